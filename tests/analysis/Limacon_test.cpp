#include "analysis/Limacon.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kyklos {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;

TEST(Angles, NormalizeAngle)
{
    EXPECT_EQ(NormalizeAngle(kTwoPi), kTwoPi);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-0.5), kTwoPi - 0.5);
    EXPECT_DOUBLE_EQ(NormalizeAngle(7.0), 7.0 - kTwoPi);
    EXPECT_EQ(NormalizeAngle(0.0), 0.0);
    // Huge and non-finite angles come back without spinning forever.
    EXPECT_TRUE(std::isnan(NormalizeAngle(std::nan(""))));
    const double big = NormalizeAngle(1e300);
    EXPECT_GE(big, 0.0);
    EXPECT_LE(big, kTwoPi);
}

TEST(Angles, CounterClockwiseSweep)
{
    EXPECT_EQ(CounterClockwiseSweep(0.1, 0.1), 0.0);
    EXPECT_DOUBLE_EQ(CounterClockwiseSweep(1.0, 0.5), kTwoPi - 0.5);
    EXPECT_DOUBLE_EQ(CounterClockwiseSweep(6.0, 0.2), 0.2 + kTwoPi - 6.0);
    EXPECT_DOUBLE_EQ(CounterClockwiseSweep(-0.5, 0.5), 1.0);
    EXPECT_LT(CounterClockwiseSweep(0.0, kTwoPi), kTwoPi);
    EXPECT_EQ(CounterClockwiseSweep(std::nan(""), 1.0), 0.0);
}

TEST(Angles, AngularDistance)
{
    EXPECT_NEAR(AngularDistance(0.1, kTwoPi - 0.1), 0.2, 1e-15);
    EXPECT_NEAR(AngularDistance(-0.1, 0.1), 0.2, 1e-15);
    EXPECT_EQ(AngularDistance(0.0, kPi), kPi);
    EXPECT_EQ(AngularDistance(1.0, 1.0), 0.0);
}

TEST(Angles, NearestIndexRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(NearestIndex(2.5), 3);
    EXPECT_EQ(NearestIndex(-2.5), -3);
    EXPECT_EQ(NearestIndex(2.4999), 2);
    EXPECT_EQ(NearestIndex(1e300), 2000000000);
    EXPECT_EQ(NearestIndex(std::nan("")), -2000000000);
}

TEST(SolveLimaconThroughThree, SolvesExactLimacons)
{
    const auto R = [](double t) { return 1.0 * std::cos(t) - 2.0 * std::sin(t) + 10.0; };
    double a = 0, b = 0, c = 0;
    ASSERT_TRUE(SolveLimaconThroughThree(0, 2, 4, R(0), R(2), R(4), a, b, c));
    EXPECT_NEAR(a, 1.0, 1e-13);
    EXPECT_NEAR(b, -2.0, 1e-13);
    EXPECT_NEAR(c, 10.0, 1e-13);
}

TEST(SolveLimaconThroughThree, StaysAccurateWhereTheWrittenEliminationDegenerates)
{
    // Contacts half a turn apart, and entry 0 at 90° or 270°: the elimination
    // that divides by sin(t0 − t1) and cos t0 loses everything here.
    const double a0 = 0.003, b0 = -0.004, c0 = 10.0;
    const auto R = [&](double t) { return a0 * std::cos(t) + b0 * std::sin(t) + c0; };
    const double triples[][3] = {
        {0.0, kPi, 1.0},         {kPi / 2, 3 * kPi / 2, 0.3}, {kPi / 2, 2.0, 4.0},
        {3 * kPi / 2, 0.5, 2.5}, {1.0, 1.0 + kPi, 5.0},
    };
    for (const auto& t : triples) {
        double a = 0, b = 0, c = 0;
        ASSERT_TRUE(SolveLimaconThroughThree(t[0], t[1], t[2], R(t[0]), R(t[1]), R(t[2]), a, b, c));
        EXPECT_NEAR(a, a0, 1e-12);
        EXPECT_NEAR(b, b0, 1e-12);
        EXPECT_NEAR(c, c0, 1e-12);
    }
}

TEST(SolveLimaconThroughThree, CoincidentAnglesAreSingularAndLeaveTheOutputs)
{
    double a = 7, b = 8, c = 9;
    EXPECT_FALSE(SolveLimaconThroughThree(1.0, 1.0, 2.0, 1, 2, 3, a, b, c));
    EXPECT_FALSE(SolveLimaconThroughThree(0.0, 0.0, 0.0, 1, 1, 1, a, b, c));
    EXPECT_FALSE(SolveLimaconThroughThree(0.5, 2.0, 0.5, 1, 2, 1, a, b, c));
    EXPECT_FALSE(SolveLimaconThroughThree(0.0, 1.0, kTwoPi, 1, 2, 1, a, b, c)); // 0 and 2π are one direction
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 8);
    EXPECT_EQ(c, 9);
}

} // namespace
} // namespace kyklos
