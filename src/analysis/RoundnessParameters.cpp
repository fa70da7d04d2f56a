#include "analysis/RoundnessParameters.h"

#include <cmath>
#include <cstddef>

namespace kyklos {

RoundnessParameters RoundnessParametersFromExtremes(double peak, double valley, double rootMeanSquare)
{
    RoundnessParameters p;
    p.RONt = peak - valley;
    p.RONq = rootMeanSquare;
    // x − y is x + (−y) in floating point, so the usual split adds up to RONt
    // bit for bit; the other two cases add a zero.
    if (peak < 0.0) {
        p.RONp = 0.0;
        p.RONv = p.RONt;
    } else if (valley > 0.0) {
        p.RONp = p.RONt;
        p.RONv = 0.0;
    } else {
        p.RONp = peak;
        p.RONv = 0.0 - valley; // −valley, but +0 rather than −0 for a valley of 0
    }
    return p;
}

double RootMeanSquareDeviation(std::span<const double> profile, const SampleAngles& angles, double a, double b,
                               double c)
{
    const int count = angles.Count();
    if (count <= 0) return 0.0;
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const double reference = angles.Cosine(i) * a + angles.Sine(i) * b + c;
        const double e = profile[static_cast<std::size_t>(i)] - reference;
        sum += e * e;
    }
    return std::sqrt(sum / count);
}

double RootMeanSquareDeviation(std::span<const double> profile, const SampleSet& samples, double a, double b, double c)
{
    const int count = samples.UsedCount();
    if (count <= 0) return 0.0;
    const std::span<const int> index = samples.UsedIndices();
    const std::span<const double> cosine = samples.UsedCosines();
    const std::span<const double> sine = samples.UsedSines();
    double sum = 0.0;
    for (std::size_t k = 0; k < index.size(); ++k) {
        const double reference = cosine[k] * a + sine[k] * b + c;
        const double e = profile[static_cast<std::size_t>(index[k])] - reference;
        sum += e * e;
    }
    return std::sqrt(sum / count);
}

} // namespace kyklos
