#include "platform/NumberText.h"

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

bool FormatFixed(double value, int decimals, std::size_t maxLength, std::string& out)
{
    char buffer[512];
    const std::size_t capacity = maxLength < sizeof buffer ? maxLength : sizeof buffer;
    const auto result =
        std::to_chars(buffer, buffer + capacity, value, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
    if (result.ec != std::errc{}) return false;
    out.assign(buffer, result.ptr);
    return true;
}

std::string FixedNumberOrDash(double value, int decimals, std::size_t maxLength)
{
    std::string text;
    if (!std::isfinite(value) || !FormatFixed(value, decimals, maxLength, text)) return std::string(kNoValueText);
    return text;
}

std::optional<double> ParseNumber(std::string_view text)
{
    const auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    // from_chars takes a minus but not a plus.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    // A value beyond the range of a double is refused like any other non-number.
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace kyklos
