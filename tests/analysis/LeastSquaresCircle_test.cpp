#include "analysis/LeastSquaresCircle.h"
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

TEST(LeastSquaresCircle, FitsCentreAndMeanRadius)
{
    double a = 1, b = 1, c = 1;
    EXPECT_FALSE(FitLeastSquaresCircle({}, 0, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(c, 0.0);

    const auto flat = MakeProfile(100, [](double) { return 5.0; });
    ASSERT_TRUE(FitLeastSquaresCircle(flat, 100, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 5.0, 1e-14);

    const auto limacon = MakeProfile(360, [](double t) { return 3 * std::cos(t) - 4 * std::sin(t) + 100; });
    ASSERT_TRUE(FitLeastSquaresCircle(limacon, 360, a, b, c));
    EXPECT_NEAR(a, 3.0, 1e-12);
    EXPECT_NEAR(b, -4.0, 1e-12);
    EXPECT_NEAR(c, 100.0, 1e-12);

    // Other harmonics do not move the centre.
    const auto second = MakeProfile(360, [](double t) { return std::cos(2 * t); });
    ASSERT_TRUE(FitLeastSquaresCircle(second, 360, a, b, c));
    EXPECT_NEAR(a, 0.0, 1e-14);
    EXPECT_NEAR(b, 0.0, 1e-14);
    EXPECT_NEAR(c, 0.0, 1e-14);

    // One or two samples place no centre (harmonic 1 would give twice a radius as eccentricity).
    const std::vector<double> one{4.0};
    ASSERT_TRUE(FitLeastSquaresCircle(one, 1, a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(c, 4.0);
    const std::vector<double> two{4.0, 6.0};
    ASSERT_TRUE(FitLeastSquaresCircle(two, SampleAngles(2), a, b, c));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(c, 5.0);
    const std::vector<double> three{4.0, 5.0, 5.0};
    ASSERT_TRUE(FitLeastSquaresCircle(three, 3, a, b, c));
    EXPECT_NEAR(a, -2.0 / 3.0, 1e-15);  // three samples do place it
}

TEST(LeastSquaresCircle, HarmonicCoefficientsOfHigherOrder)
{
    const auto r = MakeProfile(360, [](double t) { return 0.7 * std::cos(3 * t) + 0.2 * std::sin(3 * t) + 0.1 * std::cos(t); });
    double A, B;
    ASSERT_TRUE(HarmonicCoefficients(r, 360, 3, A, B));
    EXPECT_NEAR(A, 0.7, 1e-13);
    EXPECT_NEAR(B, 0.2, 1e-13);
    EXPECT_FALSE(HarmonicCoefficients(r, -1, 1, A, B));
    EXPECT_EQ(A, 0.0);
}

TEST(LeastSquaresCircle, TabledFitIsBitIdenticalToTheUntabledOne)
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

} // namespace
} // namespace kyklos
