#pragma once
// One field of a profile table as a number: an optional sign, decimal digits
// with at most one decimal sign (a full stop, or a comma where the table
// uses one), an optional exponent (e or E, a sign, digits). Nothing else:
// no spaces inside, no grouping, no "inf" or "nan", no hexadecimal. The
// value is the double nearest to the text under every locale.

#include "io/DoubleDouble.h"

#include <optional>
#include <string_view>

namespace kyklos {

// The number, or nothing when the field is none or lies beyond the range of
// a double ("1e999"); a number too small for one reads as zero, as in .kyk.
std::optional<double> ParseTableNumber(std::string_view field, char decimalSign);

// The same number to about 106 bits: Hi is ParseTableNumber's value and Lo
// what the text holds beyond it (zero beyond magnitudes of 1e±280).
std::optional<DoubleDouble> ParseTableNumberExactly(std::string_view field, char decimalSign);

} // namespace kyklos
