#include "view/DisplayScale.h"

#include <charconv>

namespace kyklos {

std::string ScaleBoundText(double bound)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, bound, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string ScaleRefusal(double perDivision, bool metric)
{
    // Zero or a negative scale leaves the graph without a usable band once
    // automatic scaling is off.
    if (!(perDivision > 0.0)) return "Please enter a positive number.";
    if (perDivision < LowestScale(metric) || perDivision > HighestScale(metric))
        return "Please enter a value between " + ScaleBoundText(LowestScale(metric)) + " and " +
               ScaleBoundText(HighestScale(metric)) + ".";
    return {};
}

} // namespace kyklos
