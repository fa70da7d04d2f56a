#include "analysis/LeastSquaresCircle.h"

#include <cstddef>

namespace kyklos {

bool FitLeastSquaresCircle(std::span<const double> profile, const SampleAngles& angles, double& a, double& b,
                           double& c)
{
    const int count = angles.Count();
    if (count <= 0) {
        a = b = c = 0.0;
        return false;
    }
    // The mean, then harmonic 1 with sample 0 (cos 0 = 1, sin 0 = 0) taken
    // directly: the sums of a fit that computes each cosine and sine, in the
    // same order, so that the table changes no digit.
    double sum = 0.0;
    for (int i = 0; i < count; ++i) sum += profile[static_cast<std::size_t>(i)];
    c = sum / count;
    if (count < kFewestPointsForCentre) {
        a = b = 0.0;
        return true;
    }
    double sc = profile[0];
    double ss = 0.0;
    for (int i = 1; i < count; ++i) {
        const double r = profile[static_cast<std::size_t>(i)];
        sc += angles.Cosine(i) * r;
        ss += angles.Sine(i) * r;
    }
    a = 2.0 * sc / count;
    b = 2.0 * ss / count;
    return true;
}

} // namespace kyklos
