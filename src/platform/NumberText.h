#pragma once
// Number text as every output of Kyklos writes it: a full stop as the
// decimal separator and no grouping under every locale. Written with
// std::to_chars, so the locale Qt sets for the C library (printf's %f would
// write "2,50" under a German one) cannot reach it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

// The dash shown where a result cannot be trusted or does not exist.
inline constexpr std::string_view kNoValueText = "\u2014";

// The shortest text that reads back as exactly the same double ("0.1",
// "3600", "1.5e-07"); empty for infinity and NaN, which have no number to show.
std::string ShortestNumber(double value);

// The value rounded to `decimals` places (0 to 60), as "%.*f" prints it in the
// C locale ("-0.000", "12.50"). Infinity and NaN are written "inf", "-inf", "nan".
std::string FixedNumber(double value, int decimals);

// FixedNumber into `out`, but false (and `out` unchanged) when the text would
// be longer than maxLength characters.
bool FormatFixed(double value, int decimals, std::size_t maxLength, std::string& out);

// FixedNumber of a result on a page or a panel: the dash for a value that is
// not finite or whose text would be longer than maxLength characters, so that
// a result that cannot be trusted never looks like a number.
std::string FixedNumberOrDash(double value, int decimals, std::size_t maxLength = 79);

// A number typed by a user or given on a command line: optional spaces
// around it, an optional sign, decimal digits with a full stop, an optional
// exponent. Nothing for any other text ("5,5", "0x10", "1e", "12 µm").
// "inf" and "nan" read as such; the caller decides whether they are allowed.
std::optional<double> ParseNumber(std::string_view text);

} // namespace kyklos
