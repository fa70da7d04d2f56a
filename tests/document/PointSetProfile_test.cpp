#include "document/PointSetProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kyklos {
namespace {

Profile Points(std::vector<double> x, std::vector<double> y)
{
    Profile points;
    points.Kind = ProfileKind::Points;
    points.PointX = std::move(x);
    points.PointY = std::move(y);
    return points;
}

// Points on a known circle far from the origin, in no order and at uneven
// angles: the profile about that circle is the generating angles and radius.
TEST(PointSetProfile, TakesThePointsAboutTheirCircle)
{
    const double cx = -2500.125;
    const double cy = 4100.75;
    const double r = 6.35;
    const double degrees[] = {200.0, 10.0, 95.5, 300.25, 47.0, 140.0, 250.0, 359.0};
    std::vector<double> x;
    std::vector<double> y;
    for (double d : degrees) {
        x.push_back(cx + r * std::cos(d * std::numbers::pi / 180.0));
        y.push_back(cy + r * std::sin(d * std::numbers::pi / 180.0));
    }
    Profile profile = Points(x, y);
    ASSERT_EQ(TakePointsAboutTheirCircle(profile), "");
    EXPECT_FALSE(profile.EqualSteps);
    EXPECT_NEAR(profile.CentreX, cx, 1e-9);
    EXPECT_NEAR(profile.CentreY, cy, 1e-9);
    EXPECT_EQ(profile.PointIndex, (std::vector<int>{1, 4, 2, 5, 0, 6, 3, 7}));
    ASSERT_EQ(profile.SampleAngle.size(), 8u);
    for (std::size_t k = 0; k < 8; ++k) {
        const int i = profile.PointIndex[k];
        EXPECT_NEAR(profile.SampleAngle[k], degrees[i] * std::numbers::pi / 180.0, 1e-9) << k;
        EXPECT_NEAR(profile.RawRadius[k], r, 1e-9) << k;
    }
    EXPECT_EQ(profile.PointX, x); // the points stay as read
}

TEST(PointSetProfile, RefusesPointsNoCircleFitsAndPointsInOneDirection)
{
    struct Case {
        Profile points;
        std::string message;
    };
    const Case cases[] = {
        {Points({0, 1}, {0, 1}), "The points are too few for a circle: at least three are needed."},
        {Points({0, 1, 2, 3}, {5, 6, 7, 8}), "No circle fits the points: they lie on one line."},
        // A point measured twice lies in the direction of its first measurement.
        {Points({1, 0, -1, 0, 0}, {0, 1, 0, -1, 1}),
         "Points 2 and 5 lie in one direction from the centre of their circle."},
    };
    for (const Case& c : cases) {
        Profile profile = c.points;
        EXPECT_EQ(TakePointsAboutTheirCircle(profile), c.message);
        EXPECT_TRUE(profile.RawRadius.empty() && profile.SampleAngle.empty() && profile.EqualSteps);
    }
}

} // namespace
} // namespace kyklos
