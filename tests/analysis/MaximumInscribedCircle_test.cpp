#include "analysis/MaximumInscribedCircle.h"
#include "analysis/SampleAngles.h"
#include "analysis/ThreePointExchange.h"
#include "support/analysis/UntabledPeakValley.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace kyklos {
namespace {

using test::MakeProfile;
using test::SampleAngle;

TEST(FitMaximumInscribedCircle, ConstantProfile)
{
    const std::vector<double> r(360, 10.0);
    double a = 0.5, b = -0.5, c = 3;
    ASSERT_TRUE(FitMaximumInscribedCircle(r, 360, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 10.0, 1e-14);
}

TEST(FitMaximumInscribedCircle, ThreeLobesTouchTheThreeValleys)
{
    const auto r = MakeProfile(
        360, [](double t) { return 0.003 * std::cos(t) - 0.004 * std::sin(t) + 10 + 0.002 * std::cos(3 * t); });
    double a = 0, b = 0, c = 0;
    double theta[3] = {0.0, test::kPi * 2 / 3, test::kPi * 4 / 3};
    ASSERT_TRUE(IterateInscribedCircle(r, 360, a, b, c, theta));
    EXPECT_NEAR(a, 0.003, 1e-12);
    EXPECT_NEAR(b, -0.004, 1e-12);
    EXPECT_NEAR(c, 9.998, 1e-12);
    std::sort(theta, theta + 3);
    EXPECT_EQ(theta[0], SampleAngle(60, 360));
    EXPECT_EQ(theta[1], SampleAngle(180, 360));
    EXPECT_EQ(theta[2], SampleAngle(300, 360));

    double fa = 0, fb = 0, fc = 0;
    ASSERT_TRUE(FitMaximumInscribedCircle(r, 360, fa, fb, fc));
    EXPECT_EQ(fa, a);
    EXPECT_EQ(fc, c);
}

TEST(FitMaximumInscribedCircle, StartJustBelowAFullTurnIsSampleZero)
{
    // Valleys at 0°, 120°, 240°: the start triple is already the answer.
    const auto r = MakeProfile(360, [](double t) { return 10 - 0.002 * std::cos(3 * t); });
    const double step = test::kTwoPi / 360;
    double a = 0, b = 0, c = 0;
    double theta[3] = {test::kTwoPi - 0.4 * step, test::kPi * 2 / 3, test::kPi * 4 / 3};
    ASSERT_TRUE(IterateInscribedCircle(r, 360, a, b, c, theta));
    EXPECT_EQ(theta[0], 0.0);
    EXPECT_NEAR(c, 9.998, 1e-12);
}

TEST(FitMaximumInscribedCircle, ExchangeKeepsTheContactsAroundTheCentre)
{
    // Contacts crowded at 0°, 10°, 20° on a round part with one dip at 100°:
    // the dip can replace neither entry 0 nor entry 1 without leaving a gap
    // of more than half a turn, so entry 2 goes.
    std::vector<double> r(36, 10.0);
    r[10] = 9.99;
    const SampleAngles angles(36);
    double a = 0, b = 0, c = 0;
    double theta[3] = {SampleAngle(0, 36), SampleAngle(1, 36), SampleAngle(2, 36)};
    EXPECT_FALSE(IterateThreePointExchange(r, angles, ContactSide::Valleys, 1, a, b, c, theta));
    EXPECT_EQ(theta[0], SampleAngle(0, 36));
    EXPECT_EQ(theta[1], SampleAngle(1, 36));
    EXPECT_EQ(theta[2], SampleAngle(10, 36));
}

// Four samples: through 0, 1, 2 the last one lies D inside; after the
// exchange, through 1, 2, 3, sample 0 lies D outside and nothing inside.
// Both passes have the width |D|.
TEST(ThreePointExchange, CounterBeforeConvergenceAndEarliestOfEqualPasses)
{
    const std::vector<double> r = {10.0, 10.0, 10.0, 9.75};
    const SampleAngles angles(4);
    auto run = [&](int passLimit, double& a, double& b, double& c) {
        a = b = c = 0;
        double theta[3] = {0.0, SampleAngle(1, 4), SampleAngle(2, 4)};
        return IterateThreePointExchange(r, angles, ContactSide::Valleys, passLimit, a, b, c, theta);
    };
    double a0, b0, c0, a1, b1, c1;
    SolveLimaconThroughThree(SampleAngle(0, 4), SampleAngle(1, 4), SampleAngle(2, 4), r[0], r[1], r[2], a0, b0, c0);
    SolveLimaconThroughThree(SampleAngle(1, 4), SampleAngle(2, 4), SampleAngle(3, 4), r[1], r[2], r[3], a1, b1, c1);

    ASSERT_NE(c0, c1);
    double p0, p1, v0, v1, angle;
    test::FindPeakValley(r, 4, a0, b0, c0, p0, angle, v0, angle);
    test::FindPeakValley(r, 4, a1, b1, c1, p1, angle, v1, angle);
    ASSERT_EQ(p0 - v0, p1 - v1); // the passes tie exactly

    double a, b, c;
    EXPECT_TRUE(run(3, a, b, c)); // converges in its second pass
    EXPECT_EQ(c, c1);
    EXPECT_EQ(a, a1);
    // A limit of two passes ends it before convergence is looked at, and of
    // the two equally wide passes the earlier one is kept.
    EXPECT_FALSE(run(2, a, b, c));
    EXPECT_EQ(c, c0);
    EXPECT_EQ(a, a0);
    EXPECT_EQ(b, b0);
}

TEST(FitMaximumInscribedCircle, NoProfileIsNoFit)
{
    const std::vector<double> r(10, 1.0);
    double a = 1, b = 1, c = 1;
    EXPECT_FALSE(FitMaximumInscribedCircle(r, 0, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(c, 0.0);
    EXPECT_FALSE(FitMaximumInscribedCircle(r, 11, a, b, c));
    double theta[3] = {1, 2, 3};
    EXPECT_FALSE(IterateInscribedCircle(r, -3, a, b, c, theta));
    EXPECT_EQ(theta[1], 2.0);
}

} // namespace
} // namespace kyklos
