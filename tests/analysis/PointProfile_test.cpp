#include "analysis/PointProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace kyklos {
namespace {

constexpr double kPi = std::numbers::pi;

// Five points about (10000, −10000): at 90° (3 mm), 0° (2 mm), 180° (4 mm),
// 45° (1 mm) and just below a full turn (5 mm), given out of order.
TEST(MakePointProfile, SortsByAngleWithDistancesAndTheLargestGap)
{
    const double cx = 10000.0, cy = -10000.0;
    const double below = -1e-9; // 5 mm at −1e-9 rad
    const std::vector<double> x = {cx, cx + 2.0, cx - 4.0, cx + std::sqrt(0.5), cx + 5.0 * std::cos(below)};
    const std::vector<double> y = {cy + 3.0, cy, cy, cy + std::sqrt(0.5), cy + 5.0 * std::sin(below)};
    PointProfile p;
    ASSERT_TRUE(MakePointProfile(x, y, cx, cy, p));
    EXPECT_EQ(p.CentreX, cx);
    EXPECT_EQ(p.CentreY, cy);
    const std::vector<int> order = {1, 3, 0, 2, 4};
    const double angles[] = {0.0, kPi / 4, kPi / 2, kPi, 2 * kPi - 1e-9};
    const double radii[] = {2.0, 1.0, 3.0, 4.0, 5.0};
    EXPECT_EQ(p.Index, order);
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_NEAR(p.Angle[k], angles[k], 1e-11) << k;
        EXPECT_NEAR(p.Radius[k], radii[k], 1e-11) << k;
    }
    // From 180° to just below 360°: the largest gap, ending at the last point.
    EXPECT_NEAR(p.LargestGap, kPi - 1e-9, 1e-11);
    EXPECT_EQ(p.GapEnd, 4);
}

TEST(MakePointProfile, TheGapWrapsRoundThroughZero)
{
    // Points from 30° to 300°: the gap is the 90° from 300° round to 30°.
    std::vector<double> x, y;
    for (int deg = 300; deg >= 30; deg -= 30) {
        x.push_back(std::cos(deg * kPi / 180));
        y.push_back(std::sin(deg * kPi / 180));
    }
    PointProfile p;
    ASSERT_TRUE(MakePointProfile(x, y, 0.0, 0.0, p));
    EXPECT_NEAR(p.LargestGap, kPi / 2, 1e-12);
    EXPECT_EQ(p.GapEnd, 0);
    EXPECT_EQ(p.Index.front(), 9);
    // Points at 0°, then every 30° from 100°: the gap is the first one.
    x = {1.0};
    y = {0.0};
    for (int deg = 100; deg < 360; deg += 30) {
        x.push_back(std::cos(deg * kPi / 180));
        y.push_back(std::sin(deg * kPi / 180));
    }
    ASSERT_TRUE(MakePointProfile(x, y, 0.0, 0.0, p));
    EXPECT_NEAR(p.LargestGap, 100 * kPi / 180, 1e-12);
    EXPECT_EQ(p.GapEnd, 1);
    // A point just below +x takes the angle 0, not 2π.
    ASSERT_TRUE(MakePointProfile(std::vector<double>{1.0}, std::vector<double>{-1e-17}, 0.0, 0.0, p));
    EXPECT_EQ(p.Angle[0], 0.0);
    EXPECT_EQ(p.LargestGap, 2 * kPi); // one point
}

TEST(MakePointProfile, RefusesWhatIsNoPointSet)
{
    PointProfile p;
    const std::vector<double> two = {1.0, 2.0};
    EXPECT_FALSE(MakePointProfile(two, std::vector<double>{1.0}, 0.0, 0.0, p));
    EXPECT_FALSE(MakePointProfile(two, std::vector<double>{1.0, std::numeric_limits<double>::infinity()}, 0.0, 0.0, p));
    EXPECT_FALSE(MakePointProfile(two, two, std::numeric_limits<double>::quiet_NaN(), 0.0, p));
    EXPECT_TRUE(p.Angle.empty());
}

} // namespace
} // namespace kyklos
