#include "io/TableAngle.h"
#include "io/TableNumber.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

namespace kyklos {
namespace {

TEST(TableNumber, ReadsTheNumbersOfATableAndNothingElse)
{
    struct Case {
        const char* text;
        char decimal;
        double value;
    };
    const Case numbers[] = {
        {"12.5", '.', 12.5},
        {"12,5", ',', 12.5},
        {"+7", '.', 7.0},
        {"-.5", '.', -0.5},
        {"2.", '.', 2.0},
        {"1.5E-3", '.', 0.0015},
        {"1e-400", '.', 0.0},
        {"0.1", '.', 0.1},
        // Beyond 15 digits or a power of ten of 22: the general conversion.
        {"3.14159265358979323846", '.', 3.141592653589793},
        {"1234567890123456", '.', 1234567890123456.0},
        {"12e-30", '.', 1.2e-29},
        {"-0", '.', -0.0},
    };
    for (const Case& c : numbers) EXPECT_EQ(ParseTableNumber(c.text, c.decimal), c.value) << c.text;
    for (const char* text :
         {"", "-", ".", "1e", "1e+", "1.2.3", "12,5", "1 2", "+-1", "inf", "nan", "0x10", "1e999", "5%"})
        EXPECT_FALSE(ParseTableNumber(text, '.')) << text;
    EXPECT_FALSE(ParseTableNumber("12.5", ','));
    // Short numbers take a shortcut: the same doubles as the library's conversion.
    std::mt19937_64 random(3);
    for (int i = 0; i < 20000; ++i) {
        const std::string digits = std::to_string(random() % 1000000000000000ULL);
        const std::size_t point = random() % (digits.size() + 1);
        const std::string text = digits.substr(0, point) + "." + digits.substr(point) + "e" +
                                 std::to_string(static_cast<int>(random() % 30) - 15);
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        EXPECT_EQ(ParseTableNumber(text, '.'), expected) << text;
        EXPECT_EQ(ParseTableNumberExactly(text, '.')->Hi, expected) << text;
    }
    // The low part holds what the double does not: 0.1 − 0.1000000000000000055511151231257827 ≈ −5.55e-18.
    const auto tenth = ParseTableNumberExactly("0.1", '.');
    ASSERT_TRUE(tenth);
    EXPECT_EQ(tenth->Hi, 0.1);
    EXPECT_NEAR(tenth->Lo, -5.551115123125783e-18, 1e-30);
    const auto digits = ParseTableNumberExactly("1.00000000000000000000001", '.');
    EXPECT_EQ(digits->Hi, 1.0);
    EXPECT_NEAR(digits->Lo, 1e-23, 1e-36);
}

TEST(TableAngle, GivesTheDoubleNearestToTheWrittenAngle)
{
    // References: the angle modulo one turn times π/180, π/200 or 1, in
    // 60-digit decimal arithmetic, rounded to the nearest double.
    struct Case {
        const char* text;
        AngleUnit unit;
        AngleDirection direction;
        double radians;
    };
    const auto ccw = AngleDirection::CounterClockwise;
    const Case cases[] = {
        {"90", AngleUnit::Degree, ccw, 1.5707963267948966},
        {"120", AngleUnit::Degree, ccw, 2.0943951023931957},
        {"123.456", AngleUnit::Degree, ccw, 2.1547136813421197},
        {"1000.25", AngleUnit::Degree, ccw, 4.891285228714109},
        {"-30", AngleUnit::Degree, ccw, 5.759586531581288},
        {"30", AngleUnit::Degree, AngleDirection::Clockwise, 5.759586531581288},
        {"1e-5", AngleUnit::Degree, ccw, 1.7453292519943297e-07},
        {"33.3", AngleUnit::Grad, ccw, 0.5230751768227005},
        {"399.99", AngleUnit::Grad, ccw, 6.283028227546907},
        {"7", AngleUnit::Radian, ccw, 0.7168146928204135},
        {"-1", AngleUnit::Radian, ccw, 5.283185307179586},
        // A full turn, and an angle so close to one that it rounds to it, are the start.
        {"360", AngleUnit::Degree, ccw, 0.0},
        {"359.99999999999999999999", AngleUnit::Degree, ccw, 0.0},
        {"-0", AngleUnit::Degree, ccw, 0.0},
    };
    for (const Case& c : cases) {
        const auto angle = ReadTableAngle(c.text, '.', c.unit, c.direction);
        ASSERT_TRUE(angle) << c.text;
        EXPECT_EQ(angle->Radians, c.radians) << c.text;
        EXPECT_FALSE(std::signbit(angle->Radians)) << c.text;
    }
    const auto turned = ReadTableAngle("-450", '.', AngleUnit::Degree, AngleDirection::CounterClockwise);
    EXPECT_EQ(turned->Radians, 4.71238898038469);
    EXPECT_EQ(turned->Written, -450.0);
}

TEST(TableAngle, EveryRadianHasADegreeTextThatReadsBackExactly)
{
    // About one double in eleven in radians is the product of no double in
    // degrees with π/180; the texts must reach those too.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> turn(0.0, 2.0 * 3.141592653589793);
    std::vector<double> angles = {0.0, std::nextafter(2.0 * 3.141592653589793, 0.0), 1e-300, 5e-324, 1.0};
    for (int i = 0; i < 20000; ++i) angles.push_back(i % 10 == 0 ? std::ldexp(turn(random), -(i % 50)) : turn(random));
    std::size_t longest = 0;
    for (const double radians : angles) {
        const std::string text = DegreesTextForRadians(radians);
        const auto angle = ReadTableAngle(text, '.', AngleUnit::Degree, AngleDirection::CounterClockwise);
        ASSERT_TRUE(angle) << text;
        EXPECT_EQ(angle->Radians, radians) << text;
        longest = std::max(longest, text.size());
    }
    EXPECT_LE(longest, 25u);
    EXPECT_EQ(DegreesTextForRadians(1.5707963267948966), "90");
}

} // namespace
} // namespace kyklos
