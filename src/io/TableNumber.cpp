#include "io/TableNumber.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace kyklos {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct NumberShape {
    bool Valid = false;
    bool Negative = false;
    std::string_view Integer;   // the digits before the decimal sign
    std::string_view Fraction;  // the digits after it
    long long Exponent = 0;     // as written, held at ±1e9 beyond that
    std::uint64_t Mantissa = 0; // the first 19 significant digits as an integer
    int Significant = 0;        // the digits from the first that is not 0
};

NumberShape Scan(std::string_view field, char decimalSign)
{
    NumberShape shape;
    std::size_t i = 0;
    const std::size_t n = field.size();
    const auto digits = [&]() {
        const std::size_t begin = i;
        while (i < n && IsDigit(field[i])) ++i;
        return field.substr(begin, i - begin);
    };
    const auto mantissaDigits = [&]() {
        const std::size_t begin = i;
        for (; i < n && IsDigit(field[i]); ++i) {
            if (shape.Significant == 0 && field[i] == '0') continue;
            if (++shape.Significant <= 19) shape.Mantissa = shape.Mantissa * 10 + static_cast<unsigned>(field[i] - '0');
        }
        return field.substr(begin, i - begin);
    };
    if (i < n && (field[i] == '+' || field[i] == '-')) shape.Negative = field[i++] == '-';
    shape.Integer = mantissaDigits();
    if (i < n && field[i] == decimalSign) {
        ++i;
        shape.Fraction = mantissaDigits();
    }
    if (shape.Integer.empty() && shape.Fraction.empty()) return shape;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < n && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
        const std::string_view exponent = digits();
        if (exponent.empty()) return shape;
        for (const char c : exponent)
            if (shape.Exponent < 1000000000) shape.Exponent = shape.Exponent * 10 + (c - '0');
        if (negative) shape.Exponent = -shape.Exponent;
    }
    shape.Valid = i == n;
    return shape;
}

// The power of ten of the leading non-zero digit (2 for 123.4, -3 for
// 0.00123); nothing when every digit is zero.
std::optional<long long> LeadingPower(const NumberShape& shape)
{
    for (std::size_t k = 0; k < shape.Integer.size(); ++k)
        if (shape.Integer[k] != '0') return static_cast<long long>(shape.Integer.size() - k) - 1 + shape.Exponent;
    for (std::size_t k = 0; k < shape.Fraction.size(); ++k)
        if (shape.Fraction[k] != '0') return -static_cast<long long>(k) - 1 + shape.Exponent;
    return std::nullopt;
}

std::optional<double> ToDouble(std::string_view field, const NumberShape& shape, char decimalSign)
{
    // from_chars ignores the locale; it takes a full stop and no plus sign.
    if (field.front() == '+') field.remove_prefix(1);
    std::string copy;
    if (decimalSign != '.' && field.find(decimalSign) != std::string_view::npos) {
        copy.assign(field);
        copy[copy.find(decimalSign)] = '.';
        field = copy;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error == std::errc::result_out_of_range) {
        const auto power = LeadingPower(shape);
        if (power && *power < 0) return shape.Negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

constexpr std::array<double, 23> kPowersOfTen = [] {
    std::array<double, 23> powers{};
    double power = 1.0;
    for (double& p : powers) {
        p = power;
        power *= 10.0; // exact up to 1e22
    }
    return powers;
}();

// The significant digits times 10^power, to about 106 bits.
DoubleDouble DecimalValue(const NumberShape& shape, long long leadingPower)
{
    constexpr int kMaxDigits = 36; // beyond 1e-35 of the value, far below the 106 bits
    DoubleDouble value;
    int count = 0;
    int chunk = 0;
    int chunkLength = 0;
    const auto flush = [&]() {
        value = Add(Multiply(value, kPowersOfTen[static_cast<std::size_t>(chunkLength)]), {double(chunk), 0.0});
        chunk = 0;
        chunkLength = 0;
    };
    for (const std::string_view part : {shape.Integer, shape.Fraction}) {
        for (const char c : part) {
            if (count == 0 && c == '0') continue;
            if (count == kMaxDigits) break;
            chunk = chunk * 10 + (c - '0');
            ++count;
            if (++chunkLength == 9) flush();
        }
    }
    if (chunkLength > 0) flush();
    long long power = leadingPower - (count - 1);
    for (; power > 22; power -= 22) value = Multiply(value, kPowersOfTen[22]);
    for (; power < -22; power += 22) value = Divide(value, kPowersOfTen[22]);
    if (power > 0) value = Multiply(value, kPowersOfTen[static_cast<std::size_t>(power)]);
    if (power < 0) value = Divide(value, kPowersOfTen[static_cast<std::size_t>(-power)]);
    return shape.Negative ? Negate(value) : value;
}

// The number as digits · 10^power when the digits make at most 15
// significant ones and the power lies within ±22: both are then exact
// doubles, and one product or quotient of them is the nearest double to the
// text (the common case, taken without the general conversion).
bool IsShortDecimal(const NumberShape& shape, double& digits, double& power)
{
    if (shape.Significant > 15) return false;
    const long long exponent = shape.Exponent - static_cast<long long>(shape.Fraction.size());
    if (exponent < -22 || exponent > 22) return false;
    digits = static_cast<double>(shape.Mantissa);
    power = static_cast<double>(exponent);
    return true;
}

} // namespace

std::optional<double> ParseTableNumber(std::string_view field, char decimalSign)
{
    const NumberShape shape = Scan(field, decimalSign);
    if (!shape.Valid) return std::nullopt;
    double digits = 0.0;
    double power = 0.0;
    if (IsShortDecimal(shape, digits, power)) {
        const double scale = kPowersOfTen[static_cast<std::size_t>(std::fabs(power))];
        const double value = power < 0 ? digits / scale : digits * scale;
        return shape.Negative ? -value : value;
    }
    return ToDouble(field, shape, decimalSign);
}

std::optional<DoubleDouble> ParseTableNumberExactly(std::string_view field, char decimalSign)
{
    const NumberShape shape = Scan(field, decimalSign);
    if (!shape.Valid) return std::nullopt;
    double digits = 0.0;
    double power = 0.0;
    if (IsShortDecimal(shape, digits, power)) {
        const double scale = kPowersOfTen[static_cast<std::size_t>(std::fabs(power))];
        DoubleDouble value = detail::TwoProduct(digits, scale); // exact
        if (power < 0) {
            const double quotient = digits / scale;
            const DoubleDouble back = detail::TwoProduct(quotient, scale);
            value = {quotient, ((digits - back.Hi) - back.Lo) / scale};
        }
        return shape.Negative ? Negate(value) : value;
    }
    const auto hi = ToDouble(field, shape, decimalSign);
    if (!hi) return std::nullopt;
    const auto leading = LeadingPower(shape);
    if (!leading || *leading > 280 || *leading < -280) return DoubleDouble{*hi, 0.0};
    const DoubleDouble exact = DecimalValue(shape, *leading);
    // Both lie within an ulp of the text, so their difference is exact.
    return DoubleDouble{*hi, (exact.Hi - *hi) + exact.Lo};
}

} // namespace kyklos
