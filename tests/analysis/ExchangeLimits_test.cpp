// Profiles built to reach the limits of the exchange fits: the last pass the
// minimum zone may make, and the restarts of the maximum inscribed fit.

#include "analysis/Limacon.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "support/analysis/UntabledPeakValley.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kyklos {
namespace {

TEST(ExchangeLimits, MinimumZoneSettlesOnlyInItsEleventhPass)
{
    // Lobe orders 21 and 22 beat once per revolution: near 270° their sum
    // makes a run of peaks and valleys all within a fraction of a micrometre
    // of the extremes, and the exchange swaps in one of them per pass,
    // walking along the run. Measured: the zone holds every point first in
    // pass 11 (w = 7.952 µm); the best of the first ten passes, the fourth
    // (w = 7.812 µm), leaves points 0.2 µm outside.
    const auto r =
        test::MakeProfile(360, [](double t) { return 10 + 0.003 * std::cos(21 * t) - 0.005 * std::sin(22 * t); });
    double a, b, c, w;
    ASSERT_TRUE(FitMinimumZoneCircle(r, 360, a, b, c, w));
    EXPECT_TRUE(test::IsZoneOptimum(r, a, b, c, w));
    EXPECT_NEAR(w, 0.007951786, 1e-9);
}

TEST(ExchangeLimits, InscribedFitRestartsWhenItsFirstAttemptCycles)
{
    // An eccentric round part with 17 narrow bumps outward: every other
    // sample lies on one limaçon, so three-point solves through different
    // triples of them differ only in the last bit, and each may leave
    // another of them a rounding error inside. From 0°, 120°, 240° the
    // exchange ends in a cycle of two such triples (contacts 358.4°, 179.2°
    // and, in turn, 172.9° and 176.6°) and never converges. Its contacts
    // crowd near 178°, and the restart there converges in 12 passes.
    const auto r = test::MakeProfile(3600, [](double t) {
        return 0.02 * std::cos(t - 75 * test::kPi / 180) + 10 + 0.002 * std::max(0.0, std::cos(17 * t) - 0.9);
    });
    double a = 0, b = 0, c = 0;
    double theta[3] = {0.0, test::kPi * 2 / 3, test::kPi * 4 / 3};
    ASSERT_FALSE(IterateInscribedCircle(r, 3600, a, b, c, theta));

    a = b = c = 0;
    ASSERT_TRUE(FitMaximumInscribedCircle(r, 3600, a, b, c));
    EXPECT_TRUE(test::IsInscribedOptimum(r, a, b, c));
    // Converged: not even a rounding error inside, which the cycling
    // attempt's best pass leaves.
    double peak, peakAngle, valley, valleyAngle;
    test::FindPeakValley(r, 3600, a, b, c, peak, peakAngle, valley, valleyAngle);
    EXPECT_GE(valley, 0.0);
    EXPECT_NEAR(c, 10.0, 1e-12);
    EXPECT_NEAR(std::hypot(a, b), 0.02, 1e-12);
}

} // namespace
} // namespace kyklos
