#include "support/analysis/UntabledPeakValley.h"

#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"

#include <cstddef>

namespace kyklos::test {

namespace {
constexpr double kTwoPi = 2.0 * 3.141592653589793;
} // namespace

bool FindPeakValley(std::span<const double> profile, int count, double a, double b, double c, double& peak,
                    double& peakAngle, double& valley, double& valleyAngle)
{
    if (count <= 0) {
        peak = peakAngle = valley = valleyAngle = 0.0;
        return false;
    }
    const double step = kTwoPi / count;
    peak = -kLargestDouble;
    valley = kLargestDouble;
    peakAngle = valleyAngle = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = i * step;
        double reference;
        EvaluateLimacon(t, a, b, c, reference);
        const double d = profile[static_cast<std::size_t>(i)] - reference;
        if (d > peak) {
            peak = d;
            peakAngle = t;
        }
        if (d < valley) {
            valley = d;
            valleyAngle = t;
        }
    }
    return FinishPeakValley(peak, peakAngle, valley, valleyAngle);
}

} // namespace kyklos::test
