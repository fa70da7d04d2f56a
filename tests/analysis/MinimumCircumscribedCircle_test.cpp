#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/SampleAngles.h"
#include "analysis/ThreePointExchange.h"
#include "support/analysis/UntabledPeakValley.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

using test::MakeProfile;
using test::SampleAngle;

TEST(FitMinimumCircumscribedCircle, ConstantProfile)
{
    const std::vector<double> r(360, 10.0);
    double a = 0.5, b = -0.5, c = 3;
    ASSERT_TRUE(FitMinimumCircumscribedCircle(r, 360, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 10.0, 1e-14);
}

TEST(FitMinimumCircumscribedCircle, ThreeLobesAreSettledInTheFirstPass)
{
    const auto r = MakeProfile(
        360, [](double t) { return 0.003 * std::cos(t) - 0.004 * std::sin(t) + 10 + 0.002 * std::cos(3 * t); });
    double a = 0, b = 0, c = 0;
    ASSERT_TRUE(FitMinimumCircumscribedCircle(r, 360, a, b, c));
    // Samples 0, 120 and 240 are the three peaks.
    double a1, b1, c1;
    SolveLimaconThroughThree(SampleAngle(0, 360), SampleAngle(120, 360), SampleAngle(240, 360), r[0], r[120], r[240],
                             a1, b1, c1);
    EXPECT_EQ(a, a1);
    EXPECT_EQ(b, b1);
    EXPECT_EQ(c, c1);
    EXPECT_NEAR(a, 0.003, 1e-12);
    EXPECT_NEAR(b, -0.004, 1e-12);
    EXPECT_NEAR(c, 10.002, 1e-12);
}

TEST(FitMinimumCircumscribedCircle, OneOrTwoPointsKeepTheCallersReference)
{
    const std::vector<double> r = {10.0, 10.5};
    for (int count : {1, 2}) {
        double a = 0.25, b = -0.125, c = 9.5;
        EXPECT_TRUE(FitMinimumCircumscribedCircle(r, count, a, b, c));
        EXPECT_EQ(a, 0.25);
        EXPECT_EQ(b, -0.125);
        EXPECT_EQ(c, 9.5);
    }
    double a = 1, b = 1, c = 1;
    EXPECT_FALSE(FitMinimumCircumscribedCircle(r, 0, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(c, 0.0);
    EXPECT_FALSE(FitMinimumCircumscribedCircle(r, 3, a, b, c)); // more than given
}

TEST(FitMinimumCircumscribedCircle, EndsAtThePassLimitWithTheBestPass)
{
    // Mirror image of the inscribed case: four samples, two equally wide
    // passes; a limit of two returns the first.
    const std::vector<double> r = {10.0, 10.0, 10.0, 10.25};
    const SampleAngles angles(4);
    auto run = [&](int passLimit, double& a, double& b, double& c) {
        a = b = c = 0;
        double theta[3] = {0.0, SampleAngle(1, 4), SampleAngle(2, 4)};
        return IterateThreePointExchange(r, angles, ContactSide::Peaks, passLimit, a, b, c, theta);
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
    EXPECT_TRUE(run(3, a, b, c));
    EXPECT_EQ(c, c1);
    EXPECT_FALSE(run(2, a, b, c));
    EXPECT_EQ(c, c0);
    EXPECT_EQ(a, a0);
}

} // namespace
} // namespace kyklos
