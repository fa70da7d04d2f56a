#include "analysis/MaximumInscribedCircle.h"

#include "analysis/Limacon.h"
#include "analysis/LimaconProgramme.h"
#include "analysis/SampleAngles.h"
#include "analysis/ThreePointExchange.h"

#include <algorithm>
#include <iterator>

namespace kyklos {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr int kPassLimit = 50;
// Two final contacts closer than this (degrees) mark the crowded spot that
// a stalled attempt circles around.
constexpr double kCrowdedGapDegrees = 5.0;

bool Iterate(std::span<const double> profile, const SampleAngles& angles, double& a, double& b, double& c,
             double theta[3])
{
    return IterateThreePointExchange(profile, angles, ContactSide::Valleys, kPassLimit, a, b, c, theta);
}
} // namespace

bool IterateInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c,
                            double theta[3])
{
    if (count < 1 || count > std::ssize(profile)) {
        a = b = c = 0.0;
        return false;
    }
    const SampleAngles& angles = SampleAngles::ForCount(count);
    return Iterate(profile, angles, a, b, c, theta);
}

bool FitMaximumInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c)
{
    // No profile, no inscribed circle (a count beyond the samples given is no profile either).
    if (count < 1 || count > std::ssize(profile)) {
        a = b = c = 0.0;
        return false;
    }
    const SampleAngles& angles = SampleAngles::ForCount(count);
    double theta[3] = {0.0, kPi * 2.0 / 3.0, kPi * 4.0 / 3.0};
    if (Iterate(profile, angles, a, b, c, theta)) return true;

    // The attempt stalled. When two of its contacts have crowded together,
    // restart from triples placed around that spot and the opposite side.
    // Gaps in degrees as sweep·180/π, multiplied before dividing, and the half
    // gap back in radians the same way round.
    const double g20 = CounterClockwiseSweep(theta[2], theta[0]) * 180.0 / kPi;
    const double g01 = CounterClockwiseSweep(theta[0], theta[1]) * 180.0 / kPi;
    const double g12 = CounterClockwiseSweep(theta[1], theta[2]) * 180.0 / kPi;
    double crowded;
    if (g20 < kCrowdedGapDegrees)
        crowded = theta[2] + g20 / 2.0 * kPi / 180.0;
    else if (g01 < kCrowdedGapDegrees)
        crowded = theta[0] + g01 / 2.0 * kPi / 180.0;
    else if (g12 < kCrowdedGapDegrees)
        crowded = theta[1] + g12 / 2.0 * kPi / 180.0;
    else
        return true; // the best pass of the attempt stands

    const double u = NormalizeAngle(crowded);
    const double v = NormalizeAngle(crowded + kPi);
    const double lo = std::min(u, v);
    const double hi = std::max(u, v);
    const double mid = (lo + hi) * 0.5;
    const double delta = kPi / 6.0;
    const double starts[4][3] = {
        {lo - delta, mid, hi},
        {lo, mid, hi + delta},
        {hi - delta, mid + kPi, lo},
        {hi, mid + kPi, lo + delta},
    };
    for (const auto& start : starts) {
        for (int k = 0; k < 3; ++k) theta[k] = NormalizeAngle(start[k]);
        if (Iterate(profile, angles, a, b, c, theta)) return true;
    }
    return false;
}

bool FitMaximumInscribedCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b,
                               double& c)
{
    if (samples.IsEqualStepFullTurn()) return FitMaximumInscribedCircle(profile, samples.Count(), a, b, c);
    LimaconReference reference;
    double unused = 0.0;
    const bool found = SolveLimaconProgramme(ReferenceKind::MaximumInscribed, profile, samples, reference, unused);
    a = reference.a;
    b = reference.b;
    c = reference.c;
    return found;
}

} // namespace kyklos
