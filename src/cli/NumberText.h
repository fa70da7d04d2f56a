#pragma once
// Numbers as kyklos-report writes them: a full stop as decimal separator and
// no grouping under every locale (Qt sets the user's locale for the C
// library, so printf's %f would write a comma under a German one).

#include <string>

namespace kyklos {

// The shortest text that reads back as exactly the same double ("0.1",
// "3600", "1.5e-07"); empty for infinity and NaN, which have no number to show.
std::string ShortestNumber(double value);

// The value rounded to `decimals` places, as "%.*f" does in the C locale
// ("-0.000", "12.50"). Infinity and NaN are written as "inf", "-inf", "nan".
std::string FixedNumber(double value, int decimals);

} // namespace kyklos
