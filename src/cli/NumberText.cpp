#include "cli/NumberText.h"

#include <charconv>
#include <cmath>

namespace kyklos {

std::string ShortestNumber(double value)
{
    if (!std::isfinite(value)) return {};
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string FixedNumber(double value, int decimals)
{
    // 309 integer digits for the largest double, a sign, a point and the decimals.
    char text[400];
    if (decimals < 0) decimals = 0;
    if (decimals > 60) decimals = 60;
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    return std::string(text, result.ptr);
}

} // namespace kyklos
