#include "analysis/RoundnessParameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kyklos {
namespace {

TEST(RoundnessParameters, PeakAndValleyAddUpToPeakToValleyAndNeverGoNegative)
{
    struct Case {
        double peak, valley;
        double RONp, RONv;
    };
    // Usual; every deviation of a perfect circle just below the reference;
    // just above it; a flat profile.
    const Case cases[] = {{0.0031, -0.0017, 0.0031, 0.0017},
                          {-1.1e-16, -4.4e-16, 0.0, 3.3e-16},
                          {6.7e-16, 2.2e-16, 4.5e-16, 0.0},
                          {0.0, 0.0, 0.0, 0.0}};
    for (const Case& c : cases) {
        const RoundnessParameters p = RoundnessParametersFromExtremes(c.peak, c.valley, 0.001);
        EXPECT_EQ(p.RONt, c.peak - c.valley);
        EXPECT_EQ(p.RONp + p.RONv, p.RONt);
        EXPECT_NEAR(p.RONp, c.RONp, 1e-30);
        EXPECT_NEAR(p.RONv, c.RONv, 1e-30);
        EXPECT_FALSE(std::signbit(p.RONp) || std::signbit(p.RONv));
        EXPECT_EQ(p.RONq, 0.001);
    }
}

TEST(RoundnessParameters, RootMeanSquareOverTheUsedSamplesOnly)
{
    constexpr int n = 360;
    std::vector<double> r(n);
    for (int i = 0; i < n; ++i) r[static_cast<std::size_t>(i)] = 5.0 + 0.002 * std::sin(7.0 * i) + 0.001 * (i % 5);
    const double a = 0.0013, b = -0.0007, c = 5.002;
    // A full turn at equal steps: the table's sum, bit for bit.
    EXPECT_EQ(RootMeanSquareDeviation(r, SampleSet::EqualSteps(n), a, b, c),
              RootMeanSquareDeviation(r, SampleAngles::ForCount(n), a, b, c));

    // Every third sample left out (its radius made absurd, so a stray read shows): a direct sum over the rest.
    std::vector<bool> used(n);
    std::vector<double> angles(n);
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        angles[k] = (i + 0.25 * std::sin(i)) * (6.283185307179586 / n);
        used[k] = i % 3 != 0;
        if (!used[k]) {
            r[k] = 1e6;
            continue;
        }
        const double e = r[k] - (a * std::cos(angles[k]) + b * std::sin(angles[k]) + c);
        sum += e * e;
        ++count;
    }
    SampleSet set;
    ASSERT_TRUE(SampleSet::FromAngles(angles, used, set));
    EXPECT_NEAR(RootMeanSquareDeviation(r, set, a, b, c), std::sqrt(sum / count), 1e-15);
    EXPECT_EQ(RootMeanSquareDeviation(r, SampleSet{}, a, b, c), 0.0);
}

} // namespace
} // namespace kyklos
