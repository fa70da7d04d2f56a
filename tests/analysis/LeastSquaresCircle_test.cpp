// The product fits over its table of sample angles; the untabled fit of the
// test support, a cosine and a sine at every sample, is its second opinion,
// and the two must agree to the last bit.

#include "analysis/LeastSquaresCircle.h"
#include "analysis/SampleAngles.h"
#include "support/analysis/UntabledLeastSquaresCircle.h"

#include "AnyAngleTestSupport.h"
#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace kyklos {
namespace {

using test::MakeProfile;
using test::SameBits;

// The tabled fit of the first `count` samples, once the untabled fit has
// given the same bits.
bool Fit(std::span<const double> r, int count, double& a, double& b, double& c)
{
    double ua = 2, ub = 2, uc = 2;
    const bool untabled = test::FitLeastSquaresCircle(r, count, ua, ub, uc);
    const bool tabled = FitLeastSquaresCircle(r, SampleAngles(count), a, b, c);
    EXPECT_EQ(tabled, untabled) << "N=" << count;
    EXPECT_TRUE(SameBits(a, ua) && SameBits(b, ub) && SameBits(c, uc)) << "N=" << count;
    return tabled;
}

TEST(LeastSquaresCircle, FitsCentreAndMeanRadius)
{
    double a = 1, b = 1, c = 1;
    EXPECT_FALSE(Fit({}, 0, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(c, 0.0);

    const auto flat = MakeProfile(100, [](double) { return 5.0; });
    ASSERT_TRUE(Fit(flat, 100, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 5.0, 1e-14);

    const auto limacon = MakeProfile(360, [](double t) { return 3 * std::cos(t) - 4 * std::sin(t) + 100; });
    ASSERT_TRUE(Fit(limacon, 360, a, b, c));
    EXPECT_NEAR(a, 3.0, 1e-12);
    EXPECT_NEAR(b, -4.0, 1e-12);
    EXPECT_NEAR(c, 100.0, 1e-12);

    // Other harmonics do not move the centre.
    const auto second = MakeProfile(360, [](double t) { return std::cos(2 * t); });
    ASSERT_TRUE(Fit(second, 360, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 0.0, 1e-14);

    // One or two samples place no centre (harmonic 1 would give twice a radius as eccentricity).
    const std::vector<double> one{4.0};
    ASSERT_TRUE(Fit(one, 1, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(c, 4.0);
    const std::vector<double> two{4.0, 6.0};
    ASSERT_TRUE(Fit(two, 2, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(c, 5.0);
    const std::vector<double> three{4.0, 5.0, 5.0};
    ASSERT_TRUE(Fit(three, 3, a, b, c));
    EXPECT_NEAR(a, -2.0 / 3.0, 1e-15); // three samples do place it
}

// The second opinion's own sums, against a profile of known harmonics.
TEST(LeastSquaresCircle, HarmonicCoefficientsOfHigherOrder)
{
    const auto r =
        MakeProfile(360, [](double t) { return 0.7 * std::cos(3 * t) + 0.2 * std::sin(3 * t) + 0.1 * std::cos(t); });
    double A, B;
    ASSERT_TRUE(test::HarmonicCoefficients(r, 360, 3, A, B));
    EXPECT_NEAR(A, 0.7, 1e-13);
    EXPECT_NEAR(B, 0.2, 1e-13);
    EXPECT_FALSE(test::HarmonicCoefficients(r, -1, 1, A, B));
    EXPECT_EQ(A, 0.0);
}

// The table must not change a single digit of the reference.
TEST(LeastSquaresCircle, TabledFitIsBitIdenticalToTheUntabledOne)
{
    std::mt19937 rng(99);
    for (int count : {0, 1, 2, 5, 360, 1001, 36000}) {
        const std::vector<double> r = count > 0 ? test::MakeRandomProfile(rng, count) : std::vector<double>{};
        double a = 1, b = 1, c = 1;
        EXPECT_EQ(Fit(r, count, a, b, c), count > 0);
    }
}

// The normal equations of Σ (r − a·cos t − b·sin t − c)², formed and solved
// directly (no centring) in long double.
LimaconReference NormalEquations(const std::vector<double>& t, const std::vector<double>& r)
{
    long double M[4][5] = {};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const long double row[4] = {std::cos(static_cast<long double>(t[i])), std::sin(static_cast<long double>(t[i])),
                                    1.0L, r[i]};
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 4; ++k) M[j][k] += row[j] * row[k];
    }
    // Column 3 holds the right-hand side Σ row·r.
    long double x[4] = {};
    EXPECT_TRUE(test::SolveLong(3, M, x));
    return {double(x[0]), double(x[1]), double(x[2])};
}

TEST(LeastSquaresCircleAnyAngles, SolvesTheNormalEquationsOnArcsAndUnequalSteps)
{
    std::mt19937 rng(30);
    for (const double spanDegrees : {10.0, 30.0, 90.0, 180.0, 360.0}) {
        for (int trial = 0; trial < 4; ++trial) {
            const auto t = test::RandomAngles(rng, 2000, trial * 1.7, spanDegrees * (test::kPi / 180.0));
            const auto r = test::PartAt(rng, t);
            double a, b, c;
            ASSERT_TRUE(FitLeastSquaresCircle(r, test::SetAt(t), a, b, c));
            const LimaconReference expected = NormalEquations(t, r);
            EXPECT_LE(test::LargestDifference(t, {a, b, c}, expected), 1e-12) << spanDegrees;
            EXPECT_NEAR(c, expected.c, 1e-10) << spanDegrees;
        }
    }
}

TEST(LeastSquaresCircleAnyAngles, TwoUsedSamplesGiveTheirMeanAndNoneGiveNothing)
{
    const std::vector<double> t = {0.5, 1.0, 2.0}, r = {10.0, std::numeric_limits<double>::quiet_NaN(), 10.5};
    SampleSet set;
    ASSERT_TRUE(SampleSet::FromAngles(t, {true, false, true}, set));
    double a = 1, b = 1, c = 1;
    ASSERT_TRUE(FitLeastSquaresCircle(r, set, a, b, c));
    EXPECT_TRUE(a == 0.0 && b == 0.0 && c == 10.25);
    ASSERT_TRUE(SampleSet::FromAngles(t, {false, false, false}, set));
    EXPECT_FALSE(FitLeastSquaresCircle(r, set, a, b, c));
    EXPECT_EQ(c, 0.0);
    c = 1;
    EXPECT_FALSE(FitLeastSquaresCircle(std::span(r).first(2), SampleSet::EqualSteps(3), a, b, c));
    EXPECT_EQ(c, 0.0);
}

} // namespace
} // namespace kyklos
