#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/SampleAngles.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace kyklos {
namespace {

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// The tabled scan must not change a single digit of any fit.
TEST(SampleAngles, ScanIsBitIdenticalToFindPeakValley)
{
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> offset(-0.05, 0.05);
    for (int count : {1, 2, 3, 7, 360, 1001, 3600, 36000}) {
        const SampleAngles angles(count);
        for (int trial = 0; trial < 20; ++trial) {
            const std::vector<double> r = test::MakeRandomProfile(rng, count);
            const double a = offset(rng), b = offset(rng), c = 10.0 + offset(rng);
            double p1, pa1, v1, va1, p2, pa2, v2, va2;
            const bool ok1 = FindPeakValley(r, count, a, b, c, p1, pa1, v1, va1);
            const bool ok2 = FindPeakValley(r, angles, a, b, c, p2, pa2, v2, va2);
            ASSERT_EQ(ok1, ok2);
            ASSERT_TRUE(SameBits(p1, p2) && SameBits(pa1, pa2) && SameBits(v1, v2) && SameBits(va1, va2))
                << "N=" << count << " trial " << trial;
        }
    }
}

TEST(SampleAngles, LeastSquaresIsBitIdentical)
{
    std::mt19937 rng(99);
    for (int count : {0, 1, 2, 5, 360, 1001, 36000}) {
        const SampleAngles angles(count);
        const std::vector<double> r = count > 0 ? test::MakeRandomProfile(rng, count) : std::vector<double>{};
        double a1 = 1, b1 = 1, c1 = 1, a2 = 2, b2 = 2, c2 = 2;
        ASSERT_EQ(FitLeastSquaresCircle(r, count, a1, b1, c1), FitLeastSquaresCircle(r, angles, a2, b2, c2));
        EXPECT_TRUE(SameBits(a1, a2) && SameBits(b1, b2) && SameBits(c1, c2)) << "N=" << count;
    }
}

TEST(SampleAngles, ScanMatchesOnTiesAndMissingExtremes)
{
    // Equal extremes: the lowest index wins in both scans.
    std::vector<double> r(12, 5.0);
    r[5] = r[9] = 6.0;
    r[2] = r[7] = 4.0;
    const SampleAngles angles(12);
    double p, pa, v, va;
    ASSERT_TRUE(FindPeakValley(r, angles, 0.0, 0.0, 5.0, p, pa, v, va));
    EXPECT_EQ(pa, 5 * angles.Step());
    EXPECT_EQ(va, 2 * angles.Step());

    // Not-a-number samples are never extremes; all of them give no extremes.
    std::vector<double> bad(8, std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(FindPeakValley(bad, SampleAngles(8), 0.0, 0.0, 1.0, p, pa, v, va));
    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(v, 0.0);

    EXPECT_FALSE(FindPeakValley(r, SampleAngles(0), 0.0, 0.0, 5.0, p, pa, v, va));
}

TEST(SampleAngles, SharedTableFollowsTheRequestedCount)
{
    for (int count : {360, 7, 360, 0, 5}) {
        const SampleAngles& shared = SampleAngles::ForCount(count);
        const SampleAngles fresh(count);
        ASSERT_EQ(shared.Count(), fresh.Count());
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(SameBits(shared.Cosine(i), fresh.Cosine(i)));
            ASSERT_TRUE(SameBits(shared.Sine(i), fresh.Sine(i)));
        }
    }
}

TEST(SampleAngles, NearestSampleAlwaysIndexesTheProfile)
{
    const SampleAngles angles(360);
    const double step = angles.Step();
    EXPECT_EQ(angles.NearestSample(0.0), 0);
    EXPECT_EQ(angles.NearestSample(17 * step), 17);
    // Within half a step below a full turn: sample 0.
    EXPECT_EQ(angles.NearestSample(test::kTwoPi - 0.4 * step), 0);
    // Off the turn: wrapped around it.
    EXPECT_EQ(angles.NearestSample(-step), 359);
    EXPECT_EQ(angles.NearestSample(test::kTwoPi + 3 * step), 3);
    for (double odd : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
        const int m = angles.NearestSample(odd);
        EXPECT_GE(m, 0);
        EXPECT_LT(m, 360);
    }
}

} // namespace
} // namespace kyklos
