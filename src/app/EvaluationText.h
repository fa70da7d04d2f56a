#pragma once
// Numbers of the evaluation panel and its chart as the report writes them: a
// full stop under every locale, micrometres with 3 decimals or microinches
// with 2, angles in degrees with 2, and "—" for what cannot be shown.

#include "graph/FixedText.h"
#include "graph/PolarGraph.h"

#include <QString>

#include <cmath>
#include <string>

namespace kyklos {

inline const QString kNoValueText = QStringLiteral("\u2014");

inline QString FixedNumber(double value, int decimals)
{
    std::string text;
    if (!std::isfinite(value) || !FormatFixed(value, decimals, 40, text)) return kNoValueText;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString LengthUnitText(bool metric) { return metric ? QStringLiteral("\u00B5m") : QStringLiteral("\u00B5in"); }

// Millimetres as the report shows them: "12.345" µm or "486.02" µin.
inline QString LengthText(double millimetres, bool metric)
{
    const double k = metric ? 1.0 : CPolarGraph::kMicroinchesPerMicrometre;
    return FixedNumber(millimetres * 1000.0 * k, metric ? 3 : 2);
}

inline QString DegreesText(double degrees) { return FixedNumber(degrees, 2); }

} // namespace kyklos
