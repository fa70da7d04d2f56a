#include "io/TableAngle.h"

#include "io/DoubleDouble.h"
#include "io/TableNumber.h"
#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kyklos {

namespace {

constexpr double kTwoPi = 2.0 * 3.141592653589793;

DoubleDouble TurnExactly(AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Radian: return kTwoPiDd;
    case AngleUnit::Grad: return {400.0, 0.0};
    case AngleUnit::Degree: break;
    }
    return {360.0, 0.0};
}

DoubleDouble RadiansPer(AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Radian: return {1.0, 0.0};
    case AngleUnit::Grad: return kRadiansPerGradDd;
    case AngleUnit::Degree: break;
    }
    return kRadiansPerDegreeDd;
}

// The angle in [0, turn] (the turn itself only where rounding puts an angle
// just below the start there).
DoubleDouble ModuloTurn(DoubleDouble angle, DoubleDouble turn)
{
    if (!(std::fabs(angle.Hi) < 1e15)) {
        // Far beyond any measured angle: the double's own remainder will do.
        double remainder = std::fmod(angle.Hi, turn.Hi);
        if (remainder < 0.0) remainder += turn.Hi;
        return {remainder, 0.0};
    }
    const double turns = std::floor(angle.Hi / turn.Hi);
    if (turns != 0.0) angle = Add(angle, Negate(Multiply(turn, turns)));
    if (IsNegative(angle))
        angle = Add(angle, turn);
    else if (IsAtLeast(angle, turn))
        angle = Add(angle, Negate(turn));
    return angle;
}

bool ReadsBackAs(const std::string& degrees, double radians)
{
    const auto angle = ReadTableAngle(degrees, '.', AngleUnit::Degree, AngleDirection::CounterClockwise);
    return angle && angle->Radians == radians;
}

// mantissa · 10^exponent as plain decimal text, or in scientific notation
// far from 1.
std::string DecimalText(std::uint64_t mantissa, int exponent)
{
    if (mantissa == 0) return "0";
    std::string digits = std::to_string(mantissa);
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    const int integerDigits = static_cast<int>(digits.size()) + exponent;
    if (exponent >= 0 && integerDigits <= 21) return digits + std::string(static_cast<std::size_t>(exponent), '0');
    if (exponent < 0 && integerDigits > 0)
        return digits.substr(0, static_cast<std::size_t>(integerDigits)) + "." +
               digits.substr(static_cast<std::size_t>(integerDigits));
    if (exponent < 0 && integerDigits > -5)
        return "0." + std::string(static_cast<std::size_t>(-integerDigits), '0') + digits;
    std::string text = digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    return text + "e" + std::to_string(integerDigits - 1);
}

// A text of `digits` significant digits near the angle in degrees that reads
// back as the radians, or "".
std::string NearbyDegreesText(DoubleDouble degrees, int digits, double radians)
{
    const bool negative = degrees.Hi < 0.0;
    if (negative) degrees = Negate(degrees);
    if (!(degrees.Hi > 0.0 && degrees.Hi < 1e300)) return {};
    char buffer[48];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, degrees.Hi, std::chars_format::scientific, digits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t e = text.find('e');
    std::uint64_t mantissa = 0;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.') mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
    int power = 0;
    const std::size_t powerAt = e + (text[e + 1] == '+' ? 2 : 1);
    std::from_chars(text.data() + powerAt, text.data() + text.size(), power);
    const int exponent = power - (digits - 1);
    // The low part moves the digits by a few units of the last place.
    double unit = 0.0;
    const std::string unitText = "1e" + std::to_string(exponent);
    std::from_chars(unitText.data(), unitText.data() + unitText.size(), unit);
    const long long correction = std::llround(degrees.Lo / unit);
    for (const long long step : {0, -1, 1, -2, 2}) {
        const long long shift = correction + step;
        const std::uint64_t candidate =
            shift >= 0 ? mantissa + static_cast<std::uint64_t>(shift) : mantissa - static_cast<std::uint64_t>(-shift);
        std::string candidateText = (negative ? "-" : "") + DecimalText(candidate, exponent);
        if (ReadsBackAs(candidateText, radians)) return candidateText;
    }
    return {};
}

} // namespace

std::optional<TableAngle> ReadTableAngle(std::string_view field, char decimalSign, AngleUnit unit,
                                         AngleDirection direction)
{
    const auto value = ParseTableNumberExactly(field, decimalSign);
    if (!value) return std::nullopt;
    TableAngle angle;
    angle.Written = value->Hi;
    const DoubleDouble turned = direction == AngleDirection::Clockwise ? Negate(*value) : *value;
    const DoubleDouble reduced = ModuloTurn(turned, TurnExactly(unit));
    const double radians = unit == AngleUnit::Radian ? reduced.Hi : Multiply(reduced, RadiansPer(unit)).Hi;
    // A full turn is the start; +0 rather than -0.
    angle.Radians = radians >= kTwoPi || radians == 0.0 ? 0.0 : radians;
    return angle;
}

std::string DegreesTextForRadians(double radians)
{
    DoubleDouble degrees = Multiply(DoubleDouble{radians, 0.0}, kDegreesPerRadianDd);
    // Just below a full turn, the negative distance to it: such a last row
    // would otherwise read as the closing row at 360°. Twice the tolerance
    // keeps the texts written either way clear of its edge.
    if (degrees.Hi > 360.0 - 2.0 * kClosingToleranceDegrees) degrees = Add(degrees, {-360.0, 0.0});
    for (const double nearest :
         {degrees.Hi, std::nextafter(degrees.Hi, -HUGE_VAL), std::nextafter(degrees.Hi, HUGE_VAL)}) {
        std::string text = ShortestNumber(nearest);
        if (ReadsBackAs(text, radians)) return text;
    }
    for (int digits = 17; digits <= 19; ++digits) {
        std::string text = NearbyDegreesText(degrees, digits, radians);
        if (!text.empty()) return text;
    }
    return ShortestNumber(degrees.Hi);
}

} // namespace kyklos
