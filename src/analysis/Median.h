#pragma once
// The median of a set of numbers, as the robust estimates of a profile's
// noise take it: the middle value, or the mean of the two middle ones.

#include <span>

namespace kyklos {

// The median of `values` (at least one, none a NaN), which it reorders.
double MedianInPlace(std::span<double> values);

} // namespace kyklos
