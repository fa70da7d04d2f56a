#include "analysis/PeakValley.h"
#include "analysis/Limacon.h"
#include "analysis/SampleAngles.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace kyklos {
namespace {

using test::kPi;
using test::kTwoPi;
using test::MakeProfile;

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

TEST(FindPeakValley, EmptyOrNegativeCountGivesZerosAndFalse)
{
    const std::vector<double> r{1.0, 2.0};
    for (int n : {0, -3}) {
        double p = 9, pa = 9, v = 9, va = 9;
        EXPECT_FALSE(FindPeakValley(r, n, 0, 0, 0, p, pa, v, va));
        EXPECT_EQ(p, 0.0);
        EXPECT_EQ(pa, 0.0);
        EXPECT_EQ(v, 0.0);
        EXPECT_EQ(va, 0.0);
    }
}

TEST(FindPeakValley, ConstantProfileAndFirstOfEqualExtremes)
{
    const std::vector<double> flat(36, 10.0);
    double p, pa, v, va;
    ASSERT_TRUE(FindPeakValley(flat, 36, 0, 0, 10.0, p, pa, v, va));
    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(pa, 0.0);
    EXPECT_EQ(va, 0.0);

    std::vector<double> r(20, 0.0);
    r[5] = r[9] = 1.0;
    r[3] = r[12] = -2.0;
    ASSERT_TRUE(FindPeakValley(r, 20, 0, 0, 0, p, pa, v, va));
    EXPECT_EQ(p, 1.0);
    EXPECT_EQ(pa, 5 * (kTwoPi / 20));
    EXPECT_EQ(v, -2.0);
    EXPECT_EQ(va, 3 * (kTwoPi / 20));
}

TEST(FindPeakValley, MeasuresAboutTheLimacon)
{
    // Deviations from an eccentric reference: the limaçon itself is flat.
    const auto r = MakeProfile(360, [](double t) { return 3 * std::cos(t) - 4 * std::sin(t) + 100 + 0.5 * std::cos(2 * t); });
    double p, pa, v, va;
    ASSERT_TRUE(FindPeakValley(r, 360, 3, -4, 100, p, pa, v, va));
    EXPECT_NEAR(p, 0.5, 1e-12);
    EXPECT_NEAR(v, -0.5, 1e-12);
    EXPECT_NEAR(pa, 0.0, 1e-12);
    EXPECT_NEAR(va, kPi / 2, 1e-12);
}

// The tabled scan must not change a single digit of any fit.
TEST(FindPeakValley, TabledScanIsBitIdenticalToTheUntabledOne)
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

TEST(FindPeakValley, TabledScanOnTiesAndMissingExtremes)
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

} // namespace
} // namespace kyklos
