#pragma once
// Units of length in one place. Inside the program every radius and radial
// result is in millimetres; profile files carry micrometres; the report, the
// graph and every output show micrometres (3 decimals) or microinches (2).

#include <string_view>

namespace kyklos {

inline constexpr double kMicrometresPerMillimetre = 1000.0;
inline constexpr double kMillimetresPerMicrometre = 0.001; // .kyk radii are micrometres
inline constexpr double kMicroinchesPerMicrometre = 39.37007874015748;
inline constexpr double kMicrometresPerMicroinch = 0.0254;
// Printer and image resolutions are per inch, image files store per metre.
inline constexpr double kMetresPerInch = 0.0254;

// The unit results are shown in: micrometres when metric, else microinches.
// Millimetres become mm × 1000 × (1 or 39.37…), multiplied in that order
// everywhere so that every output shows the same digits.
constexpr double ShownLength(double millimetres, bool metric)
{
    return millimetres * kMicrometresPerMillimetre * (metric ? 1.0 : kMicroinchesPerMicrometre);
}

// A length typed in the shown unit, in micrometres.
constexpr double ShownToMicrometres(double shown, bool metric)
{
    return metric ? shown : shown * kMicrometresPerMicroinch;
}

// Micrometres in the shown unit.
constexpr double MicrometresToShown(double micrometres, bool metric)
{
    return metric ? micrometres : micrometres * kMicroinchesPerMicrometre;
}

constexpr std::string_view LengthUnitSymbol(bool metric) { return metric ? "\u00B5m" : "\u00B5in"; }

// Decimals of a shown length: 3 for micrometres, 2 for microinches.
constexpr int LengthDecimals(bool metric) { return metric ? 3 : 2; }

} // namespace kyklos
