#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

using test::kPi;
using test::kTwoPi;
using test::SameBits;

TEST(SampleSet, RefusesAnglesOutOfOrderOrOffTheTurn)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SampleSet set;
    ASSERT_TRUE(SampleSet::FromAngles({0.0, 1.0, 6.28}, {}, set));
    EXPECT_EQ(set.Count(), 3);
    for (const std::vector<double>& bad : std::vector<std::vector<double>>{
             {0.0, 1.0, 1.0}, {1.0, 0.5}, {-1e-300, 1.0}, {0.0, kTwoPi}, {0.0, nan, 2.0}}) {
        EXPECT_FALSE(SampleSet::FromAngles(bad, {}, set));
        EXPECT_EQ(set.Count(), 0);
    }
    EXPECT_FALSE(SampleSet::FromAngles({0.0, 1.0}, {true}, set));
    EXPECT_EQ(SampleSet::EqualSteps(4, {true, false}).Count(), 0);
    EXPECT_EQ(SampleSet::EqualSteps(0).Count(), 0);
}

TEST(SampleSet, EqualStepsCarryTheTableOfTheirSampleAngles)
{
    for (const int count : {1, 7, 360, 36000}) {
        const SampleSet set = SampleSet::EqualSteps(count);
        const SampleAngles angles(count);
        ASSERT_TRUE(set.IsEqualStepFullTurn());
        ASSERT_EQ(set.UsedCount(), count);
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(SameBits(set.Angle(i), angles.Angle(i)));
            ASSERT_TRUE(SameBits(set.UsedCosines()[i], angles.Cosine(i)));
            ASSERT_TRUE(SameBits(set.UsedSines()[i], angles.Sine(i)));
        }
        EXPECT_EQ(set.LargestGap(), angles.Step());
    }
    // One sample left out, or one angle a bit off, is no longer equal steps over the turn.
    std::vector<bool> used(360, true);
    used[359] = false;
    EXPECT_FALSE(SampleSet::EqualSteps(360, used).IsEqualStepFullTurn());
    std::vector<double> t(360);
    for (int i = 0; i < 360; ++i) t[i] = SampleAngles(360).Angle(i);
    t[200] = std::nextafter(t[200], 10.0);
    SampleSet set;
    ASSERT_TRUE(SampleSet::FromAngles(t, {}, set));
    EXPECT_FALSE(set.IsEqualStepFullTurn());
    EXPECT_TRUE(SameBits(set.UsedCosines()[200], std::cos(t[200])));
}

TEST(SampleSet, LargestGapBetweenUsedSamplesWrapsThroughZero)
{
    SampleSet set;
    // Used: 0.5, 2.0 and 5.0 (1.0 and 3.0 excluded); the gaps are 1.5, 3.0 and 2π − 4.5.
    ASSERT_TRUE(SampleSet::FromAngles({0.5, 1.0, 2.0, 3.0, 5.0}, {true, false, true, false, true}, set));
    EXPECT_EQ(set.UsedCount(), 3);
    EXPECT_EQ(std::vector<int>(set.UsedIndices().begin(), set.UsedIndices().end()), (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(set.IsUsed(0) && !set.IsUsed(1));
    EXPECT_DOUBLE_EQ(set.LargestGap(), 3.0);
    // An arc: the gap is the rest of the turn.
    ASSERT_TRUE(SampleSet::FromAngles({0.1, 0.2, 0.3, 1.1}, {}, set));
    EXPECT_DOUBLE_EQ(set.LargestGap(), kTwoPi - 1.0);
    ASSERT_TRUE(SampleSet::FromAngles({0.1, 0.2, 0.3, 6.2}, {}, set));
    EXPECT_DOUBLE_EQ(set.LargestGap(), 5.9);
    // Half the equal steps, every other one: a gap of two steps.
    std::vector<bool> used(8, true);
    used[3] = false;
    EXPECT_DOUBLE_EQ(SampleSet::EqualSteps(8, used).LargestGap(), kPi / 2);
    ASSERT_TRUE(SampleSet::FromAngles({2.0}, {}, set));
    EXPECT_EQ(set.LargestGap(), kTwoPi);
    EXPECT_EQ(SampleSet().LargestGap(), kTwoPi);
}

} // namespace
} // namespace kyklos
