#pragma once
// The panel's, chart's and dialogs' numbers as QString: the number text every
// output uses (a full stop under every locale), micrometres with 3 decimals or
// microinches with 2, angles in degrees with 2, a value to a number of
// significant digits, and "—" for what cannot be shown.

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <QString>

#include <charconv>
#include <string_view>

namespace kyklos {

inline QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline const QString kNoValueQText = ToQString(kNoValueText);

inline QString LengthUnitText(bool metric) { return ToQString(LengthUnitSymbol(metric)); }

// Millimetres as the report shows them: "12.345" µm or "486.02" µin.
inline QString LengthText(double millimetres, bool metric)
{
    return ToQString(FixedNumberOrDash(ShownLength(millimetres, metric), LengthDecimals(metric), 40));
}

inline QString DegreesText(double degrees) { return ToQString(FixedNumberOrDash(degrees, 2, 40)); }

// Up to `digits` (1 to 17) significant digits, as "%.*g" writes them in the C
// locale: 393.700787401575 µin reads "393.701" at six digits.
inline QString SignificantText(double value, int digits)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

} // namespace kyklos
