#include "support/analysis/UntabledLeastSquaresCircle.h"

#include "analysis/LeastSquaresCircle.h"

#include <cmath>
#include <cstddef>

namespace kyklos::test {

bool HarmonicCoefficients(std::span<const double> profile, int count, int harmonic, double& A, double& B)
{
    if (count <= 0) {
        A = B = 0.0;
        return false;
    }
    const double step = 6.283185307179586 / count;
    // Sample 0 has cos 0 = 1 and sin 0 = 0 and is taken directly.
    double sc = profile[0];
    double ss = 0.0;
    for (int i = 1; i < count; ++i) {
        const double theta = (i * step) * harmonic;
        const double r = profile[static_cast<std::size_t>(i)];
        sc += std::cos(theta) * r;
        ss += std::sin(theta) * r;
    }
    A = 2.0 * sc / count;
    B = 2.0 * ss / count;
    return true;
}

bool FitLeastSquaresCircle(std::span<const double> profile, int count, double& a, double& b, double& c)
{
    if (count <= 0) {
        a = b = c = 0.0;
        return false;
    }
    double sum = 0.0;
    for (int i = 0; i < count; ++i) sum += profile[static_cast<std::size_t>(i)];
    c = sum / count;
    if (count < kFewestPointsForCentre) {
        a = b = 0.0;
        return true;
    }
    HarmonicCoefficients(profile, count, 1, a, b);
    return true;
}

} // namespace kyklos::test
