#pragma once
// The panel's and chart's numbers as QString: the number text every output
// uses (a full stop under every locale), micrometres with 3 decimals or
// microinches with 2, angles in degrees with 2, and "—" for what cannot be shown.

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <QString>

#include <string_view>

namespace kyklos {

inline QString ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline const QString kNoValueQText = ToQString(kNoValueText);

inline QString LengthUnitText(bool metric)
{
    return ToQString(LengthUnitSymbol(metric));
}

// Millimetres as the report shows them: "12.345" µm or "486.02" µin.
inline QString LengthText(double millimetres, bool metric)
{
    return ToQString(FixedNumberOrDash(ShownLength(millimetres, metric), LengthDecimals(metric), 40));
}

// Micrometres in the shown unit, as LengthText.
inline QString MicrometresText(double micrometres, bool metric)
{
    return ToQString(FixedNumberOrDash(MicrometresToShown(micrometres, metric), LengthDecimals(metric), 40));
}

inline QString DegreesText(double degrees)
{
    return ToQString(FixedNumberOrDash(degrees, 2, 40));
}

} // namespace kyklos
