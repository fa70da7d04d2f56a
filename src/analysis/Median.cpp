#include "analysis/Median.h"

#include <algorithm>
#include <cstddef>

namespace kyklos {

double MedianInPlace(std::span<double> values)
{
    const auto middle = static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const double upper = values[static_cast<std::size_t>(middle)];
    if (values.size() % 2 == 1) return upper;
    // The lower middle value is the largest of the half nth_element put below.
    return 0.5 * (*std::max_element(values.begin(), values.begin() + middle) + upper);
}

} // namespace kyklos
