// The product scans over its table of sample angles; the untabled scan of
// the test support, a cosine and a sine at every sample, is its second
// opinion, and the two must agree to the last bit.

#include "analysis/PeakValley.h"
#include "analysis/SampleAngles.h"
#include "support/analysis/UntabledPeakValley.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace kyklos {
namespace {

using test::kPi;
using test::kTwoPi;
using test::SameBits;

struct Extremes {
    bool found = false;
    double peak = 9, peakAngle = 9, valley = 9, valleyAngle = 9;
};

// The tabled scan of the first `count` samples, once the untabled scan has
// given the same bits.
Extremes Scan(std::span<const double> r, int count, double a, double b, double c)
{
    Extremes t, u;
    t.found = FindPeakValley(r, SampleAngles(count), a, b, c, t.peak, t.peakAngle, t.valley, t.valleyAngle);
    u.found = test::FindPeakValley(r, count, a, b, c, u.peak, u.peakAngle, u.valley, u.valleyAngle);
    EXPECT_EQ(t.found, u.found) << "N=" << count;
    EXPECT_TRUE(SameBits(t.peak, u.peak) && SameBits(t.peakAngle, u.peakAngle) && SameBits(t.valley, u.valley) &&
                SameBits(t.valleyAngle, u.valleyAngle))
        << "N=" << count;
    return t;
}

TEST(FindPeakValley, EmptyOrNegativeCountGivesZerosAndFalse)
{
    const std::vector<double> r{1.0, 2.0};
    for (int n : {0, -3}) {
        const Extremes e = Scan(r, n, 0, 0, 0);
        EXPECT_FALSE(e.found);
        EXPECT_EQ(e.peak, 0.0);
        EXPECT_EQ(e.peakAngle, 0.0);
        EXPECT_EQ(e.valley, 0.0);
        EXPECT_EQ(e.valleyAngle, 0.0);
    }
}

TEST(FindPeakValley, ConstantProfileAndFirstOfEqualExtremes)
{
    const std::vector<double> flat(36, 10.0);
    Extremes e = Scan(flat, 36, 0, 0, 10.0);
    ASSERT_TRUE(e.found);
    EXPECT_EQ(e.peak, 0.0);
    EXPECT_EQ(e.valley, 0.0);
    EXPECT_EQ(e.peakAngle, 0.0);
    EXPECT_EQ(e.valleyAngle, 0.0);

    std::vector<double> r(20, 0.0);
    r[5] = r[9] = 1.0;
    r[3] = r[12] = -2.0;
    e = Scan(r, 20, 0, 0, 0);
    ASSERT_TRUE(e.found);
    EXPECT_EQ(e.peak, 1.0);
    EXPECT_EQ(e.peakAngle, 5 * (kTwoPi / 20));
    EXPECT_EQ(e.valley, -2.0);
    EXPECT_EQ(e.valleyAngle, 3 * (kTwoPi / 20));
}

TEST(FindPeakValley, MeasuresAboutTheLimacon)
{
    // Deviations from an eccentric reference: the limaçon itself is flat.
    const auto r = test::MakeProfile(
        360, [](double t) { return 3 * std::cos(t) - 4 * std::sin(t) + 100 + 0.5 * std::cos(2 * t); });
    const Extremes e = Scan(r, 360, 3, -4, 100);
    ASSERT_TRUE(e.found);
    EXPECT_NEAR(e.peak, 0.5, 1e-12);
    EXPECT_NEAR(e.valley, -0.5, 1e-12);
    EXPECT_NEAR(e.peakAngle, 0.0, 1e-12);
    EXPECT_NEAR(e.valleyAngle, kPi / 2, 1e-12);
}

TEST(FindPeakValley, NotANumberIsNeverAnExtreme)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> r(12, 5.0);
    r[0] = nan;
    r[5] = 6.0;
    r[7] = 4.0;
    Extremes e = Scan(r, 12, 0.0, 0.0, 5.0);
    ASSERT_TRUE(e.found);
    EXPECT_EQ(e.peak, 1.0);
    EXPECT_EQ(e.peakAngle, 5 * (kTwoPi / 12));
    EXPECT_EQ(e.valley, -1.0);
    EXPECT_EQ(e.valleyAngle, 7 * (kTwoPi / 12));

    // Nothing but not-a-number samples: no extremes at all.
    const std::vector<double> bad(8, nan);
    e = Scan(bad, 8, 0.0, 0.0, 1.0);
    EXPECT_FALSE(e.found);
    EXPECT_EQ(e.peak, 0.0);
    EXPECT_EQ(e.peakAngle, 0.0);
    EXPECT_EQ(e.valley, 0.0);
    EXPECT_EQ(e.valleyAngle, 0.0);
}

// The tabled scan must not change a single digit of any fit.
TEST(FindPeakValley, TabledScanIsBitIdenticalToTheUntabledOne)
{
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> offset(-0.05, 0.05);
    for (int count : {1, 2, 3, 7, 360, 1001, 3600, 36000}) {
        for (int trial = 0; trial < 20; ++trial) {
            const std::vector<double> r = test::MakeRandomProfile(rng, count);
            const double a = offset(rng), b = offset(rng), c = 10.0 + offset(rng);
            EXPECT_TRUE(Scan(r, count, a, b, c).found);
            ASSERT_FALSE(HasFailure()) << "N=" << count << " trial " << trial;
        }
    }
}

TEST(FindPeakValley, AnyAnglesScanOnlyTheUsedSamples)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> t, r;
    std::vector<bool> used;
    for (int i = 0; i < 500; ++i) {
        t.push_back(0.3 + i * 0.004 + unit(rng) * 0.003);
        used.push_back(i % 9 != 4);
        // Excluded samples hold what would be every extreme.
        r.push_back(used.back() ? 10 + 0.01 * unit(rng) : (i % 2 ? 1e300 : std::numeric_limits<double>::quiet_NaN()));
    }
    r[17] = r[41] = 10.02; // equal peaks: the first wins
    SampleSet set;
    ASSERT_TRUE(SampleSet::FromAngles(t, used, set));
    const double a = 0.003, b = -0.002, c = 10.0;
    double peak = -1, peakAngle = -1, valley = 1, valleyAngle = -1;
    int lowest = -1;
    for (std::size_t i = 0; i < t.size(); ++i) {
        double R;
        EvaluateLimacon(t[i], a, b, c, R);
        if (used[i] && r[i] - R < valley) valley = r[i] - R, valleyAngle = t[i], lowest = static_cast<int>(i);
        if (used[i] && r[i] - R > peak) peak = r[i] - R, peakAngle = t[i];
    }
    ASSERT_GE(lowest, 0);
    Extremes e;
    ASSERT_TRUE(FindPeakValley(r, set, a, b, c, e.peak, e.peakAngle, e.valley, e.valleyAngle));
    EXPECT_TRUE(SameBits(e.peak, peak) && SameBits(e.valley, valley));
    EXPECT_EQ(e.peakAngle, peakAngle);
    EXPECT_EQ(e.valleyAngle, valleyAngle);
    ASSERT_TRUE(FindPeakValley(r, set, 0.0, 0.0, c, e.peak, e.peakAngle, e.valley, e.valleyAngle));
    EXPECT_EQ(e.peakAngle, t[17]);
    // No used sample: nothing found, zeros.
    ASSERT_TRUE(SampleSet::FromAngles(t, std::vector<bool>(t.size(), false), set));
    EXPECT_FALSE(FindPeakValley(r, set, a, b, c, e.peak, e.peakAngle, e.valley, e.valleyAngle));
    EXPECT_EQ(e.peak, 0.0);
    EXPECT_EQ(e.valleyAngle, 0.0);
}

} // namespace
} // namespace kyklos
