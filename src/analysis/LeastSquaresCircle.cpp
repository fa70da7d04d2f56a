#include "analysis/LeastSquaresCircle.h"

#include <cmath>
#include <cstddef>
#include <iterator>

namespace kyklos {

bool FitLeastSquaresCircle(std::span<const double> profile, const SampleAngles& angles, double& a, double& b, double& c)
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

bool FitLeastSquaresCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b, double& c)
{
    const int count = samples.UsedCount();
    if (count == 0 || std::ssize(profile) < samples.Count()) {
        a = b = c = 0.0;
        return false;
    }
    if (samples.IsEqualStepFullTurn())
        return FitLeastSquaresCircle(profile, SampleAngles::ForCount(samples.Count()), a, b, c);
    const std::span<const int> index = samples.UsedIndices();
    const std::span<const double> cosine = samples.UsedCosines();
    const std::span<const double> sine = samples.UsedSines();
    const auto radius = [&](std::size_t k) { return profile[static_cast<std::size_t>(index[k])]; };
    double sumR = 0.0, sumC = 0.0, sumS = 0.0;
    for (std::size_t k = 0; k < index.size(); ++k) {
        sumR += radius(k);
        sumC += cosine[k];
        sumS += sine[k];
    }
    const double meanR = sumR / count, meanC = sumC / count, meanS = sumS / count;
    a = b = 0.0;
    c = meanR;
    if (count < kFewestPointsForCentre) return true;

    double xx = 0.0, xy = 0.0, yy = 0.0, xz = 0.0, yz = 0.0;
    for (std::size_t k = 0; k < index.size(); ++k) {
        const double x = cosine[k] - meanC;
        const double y = sine[k] - meanS;
        const double z = radius(k) - meanR;
        xx += x * x;
        xy += x * y;
        yy += y * y;
        xz += x * z;
        yz += y * z;
    }
    // Eliminate on the larger diagonal; the other unknown follows.
    const bool cosineFirst = xx >= yy;
    const double p = cosineFirst ? xx : yy, q = cosineFirst ? yy : xx;
    const double pz = cosineFirst ? xz : yz, qz = cosineFirst ? yz : xz;
    const double f = xy / p;
    const double schur = q - f * xy;
    // Three distinct angles never make it singular; rounding on a few samples crowded together may.
    if (!(p > 0.0 && schur > 0.0 && std::isfinite(f))) return true;
    const double second = (qz - f * pz) / schur;
    const double first = (pz - xy * second) / p;
    a = cosineFirst ? first : second;
    b = cosineFirst ? second : first;
    c = meanR - (a * meanC + b * meanS);
    return true;
}

} // namespace kyklos
