#include "analysis/SampleAngles.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

using test::SameBits;

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
