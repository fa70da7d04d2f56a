#include "analysis/MinimumZoneCircle.h"
#include "support/analysis/UntabledLeastSquaresCircle.h"
#include "support/analysis/UntabledPeakValley.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

using test::MakeProfile;
using test::SampleAngle;

TEST(SolveZoneThroughFour, PeaksAtEntriesZeroAndTwoGiveAPositiveHalfWidth)
{
    const double t[4] = {0.3, 1.9, 3.4, 5.0};
    const double a0 = 0.02, b0 = -0.01, c0 = 12.0, s = -0.004; // entries 0 and 2 above the reference
    const double sign[4] = {-1, 1, -1, 1};
    double r[4];
    for (int k = 0; k < 4; ++k) r[k] = a0 * std::cos(t[k]) + b0 * std::sin(t[k]) + c0 + sign[k] * s;
    double a = 0, b = 0, c = 0, w = 0;
    EXPECT_TRUE(SolveZoneThroughFour(t, r, a, b, c, w));
    EXPECT_NEAR(a, a0, 1e-13);
    EXPECT_NEAR(b, b0, 1e-13);
    EXPECT_NEAR(c, c0, 1e-13);
    EXPECT_NEAR(w, 0.004, 1e-13);
}

TEST(FitMinimumZoneCircle, ThreeLobes)
{
    const auto r = MakeProfile(
        360, [](double t) { return 0.003 * std::cos(t) - 0.004 * std::sin(t) + 10 + 0.002 * std::cos(3 * t); });
    double a, b, c, w = -1;
    ASSERT_TRUE(FitMinimumZoneCircle(r, 360, a, b, c, w));
    EXPECT_NEAR(a, 0.003, 1e-12);
    EXPECT_NEAR(b, -0.004, 1e-12);
    EXPECT_NEAR(c, 10.0, 1e-12);
    EXPECT_NEAR(w, 0.002, 1e-12);
    EXPECT_TRUE(test::IsZoneOptimum(r, a, b, c, w));
}

TEST(FitMinimumZoneCircle, OvalIsSettledByTheQuarterExtremesInTheFirstPass)
{
    const auto r = MakeProfile(
        360, [](double t) { return 0.003 * std::cos(t) - 0.004 * std::sin(t) + 10 + 0.001 * std::cos(2 * t); });
    double a, b, c, w;
    ASSERT_TRUE(FitMinimumZoneCircle(r, 360, a, b, c, w));
    // The first pass solves through the samples at 0°, 90°, 180° and 270°.
    const double t[4] = {SampleAngle(0, 360), SampleAngle(90, 360), SampleAngle(180, 360), SampleAngle(270, 360)};
    const double rk[4] = {r[0], r[90], r[180], r[270]};
    double a1, b1, c1, w1;
    SolveZoneThroughFour(t, rk, a1, b1, c1, w1);
    EXPECT_EQ(a, a1);
    EXPECT_EQ(b, b1);
    EXPECT_EQ(c, c1);
    EXPECT_EQ(w, w1);
    EXPECT_NEAR(a, 0.003, 1e-12);
    EXPECT_NEAR(b, -0.004, 1e-12);
    EXPECT_NEAR(c, 10.0, 1e-12);
    EXPECT_NEAR(w, 0.001, 1e-12);
}

TEST(FitMinimumZoneCircle, LastSampleOutsideTheQuartersIsExchangedIn)
{
    // N = 5: the start takes samples 0..3; only the peak search sees sample 4.
    const std::vector<double> r = {10.0, 10.001, 10.0, 9.999, 10.02};
    double a, b, c, w;
    ASSERT_TRUE(FitMinimumZoneCircle(r, 5, a, b, c, w));
    EXPECT_TRUE(test::IsZoneOptimum(r, a, b, c, w));
    double p, pa, v, va;
    test::FindPeakValley(r, 5, a, b, c, p, pa, v, va);
    EXPECT_LE(p - v, 2 * w + 1e-12);
}

TEST(FitMinimumZoneCircle, PeakBeyondTheLastContactRotatesTheContacts)
{
    // An oval whose quarter extremes sit at 0°, 90°, 180°, 270°, and a sharp
    // peak at 330°, past the last contact: it enters as entry 3 and the
    // pattern rotates. The result must still be the minimum zone.
    const auto r = MakeProfile(360, [](double t) {
        const double bump = std::exp(-std::pow((t - 330 * test::kPi / 180) / 0.03, 2));
        return 10 + 0.001 * std::cos(2 * t) + 0.004 * bump;
    });
    double a, b, c, w;
    ASSERT_TRUE(FitMinimumZoneCircle(r, 360, a, b, c, w));
    EXPECT_TRUE(test::IsZoneOptimum(r, a, b, c, w));
    EXPECT_GT(w, 0.0015); // the bump is inside the zone, not ignored
}

TEST(FitMinimumZoneCircle, BelowFourPointsLeavesTheLeastSquaresReference)
{
    const std::vector<double> r = {10.0, 10.5, 9.7};
    for (int count = 1; count <= 3; ++count) {
        double a = 7, b = 7, c = 7, w = 0.25;
        EXPECT_FALSE(FitMinimumZoneCircle(r, count, a, b, c, w));
        double la, lb, lc;
        test::FitLeastSquaresCircle(r, count, la, lb, lc);
        EXPECT_EQ(a, la);
        EXPECT_EQ(b, lb);
        EXPECT_EQ(c, lc);
        EXPECT_EQ(w, 0.25);
    }
    double a = 7, b = 7, c = 7, w = 0.25;
    EXPECT_FALSE(FitMinimumZoneCircle(r, 0, a, b, c, w));
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(c, 0.0);
    EXPECT_EQ(w, 0.25);
    // A count beyond the samples given is no profile, not a read past the end.
    EXPECT_FALSE(FitMinimumZoneCircle(r, 4, a, b, c, w));
    EXPECT_EQ(c, 0.0);
}

TEST(FitMinimumZoneCircle, NeverWiderThanItsFirstPass)
{
    // The result is the best pass, so it can never be worse than the zone
    // through the quarter extremes it started from.
    std::mt19937 rng(7);
    for (int trial = 0; trial < 100; ++trial) {
        const int count = trial % 2 ? 361 : 1000;
        const std::vector<double> r = test::MakeRandomProfile(rng, count);
        double la, lb, lc;
        test::FitLeastSquaresCircle(r, count, la, lb, lc);
        const std::vector<double> d = test::Deviations(r, la, lb, lc);
        const int q = count / 4;
        double t[4], rk[4];
        for (int k = 0; k < 4; ++k) {
            int best = k * q;
            for (int i = k * q + 1; i < k * q + q; ++i)
                if (k % 2 == 0 ? d[i] > d[best] : d[i] < d[best]) best = i;
            t[k] = SampleAngle(best, count);
            rk[k] = r[static_cast<std::size_t>(best)];
        }
        double a, b, c, w;
        SolveZoneThroughFour(t, rk, a, b, c, w);
        double p, pa, v, va;
        test::FindPeakValley(r, count, a, b, c, p, pa, v, va);
        const double firstWidth = p - v;
        ASSERT_TRUE(FitMinimumZoneCircle(r, count, a, b, c, w));
        test::FindPeakValley(r, count, a, b, c, p, pa, v, va);
        EXPECT_LE(p - v, firstWidth + 1e-12) << "trial " << trial;
    }
}

} // namespace
} // namespace kyklos
