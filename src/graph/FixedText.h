#pragma once
// Fixed-point number text as "%.*f" prints it in the C locale: a full stop as
// the decimal separator, no grouping, a leading minus (also for −0). Written
// with std::to_chars so a locale set by the application cannot turn the
// separator into a comma.

#include <charconv>
#include <cstddef>
#include <string>

namespace kyklos {

// False (and out unchanged) when the text would be longer than maxLength
// characters. Infinity and NaN give "inf", "-inf" and "nan".
inline bool FormatFixed(double value, int decimals, std::size_t maxLength, std::string& out)
{
    char buffer[512];
    const std::size_t capacity = maxLength < sizeof buffer ? maxLength : sizeof buffer;
    const auto result = std::to_chars(buffer, buffer + capacity, value, std::chars_format::fixed,
                                      decimals < 0 ? 0 : decimals);
    if (result.ec != std::errc{}) return false;
    out.assign(buffer, result.ptr);
    return true;
}

} // namespace kyklos
