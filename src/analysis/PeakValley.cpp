#include "analysis/PeakValley.h"

#include "analysis/Limacon.h"

#include <cmath>
#include <cstddef>
#include <iterator>

namespace kyklos {

namespace {
constexpr double kEpsilon = 2.220446049250313e-16;
} // namespace

bool FindPeakValley(std::span<const double> profile, const SampleAngles& angles, double a, double b, double c,
                    double& peak, double& peakAngle, double& valley, double& valleyAngle)
{
    const int count = angles.Count();
    if (count <= 0) {
        peak = peakAngle = valley = valleyAngle = 0.0;
        return false;
    }
    peak = -kLargestDouble;
    valley = kLargestDouble;
    int peakIndex = 0;
    int valleyIndex = 0;
    for (int i = 0; i < count; ++i) {
        // Same operations in the same order as EvaluateLimacon.
        const double reference = angles.Cosine(i) * a + angles.Sine(i) * b + c;
        const double d = profile[static_cast<std::size_t>(i)] - reference;
        if (d > peak) {
            peak = d;
            peakIndex = i;
        }
        if (d < valley) {
            valley = d;
            valleyIndex = i;
        }
    }
    peakAngle = angles.Angle(peakIndex);
    valleyAngle = angles.Angle(valleyIndex);
    return FinishPeakValley(peak, peakAngle, valley, valleyAngle);
}

bool FindPeakValley(std::span<const double> profile, const SampleSet& samples, double a, double b, double c,
                    double& peak, double& peakAngle, double& valley, double& valleyAngle)
{
    if (samples.IsEqualStepFullTurn() && std::ssize(profile) >= samples.Count())
        return FindPeakValley(profile, SampleAngles::ForCount(samples.Count()), a, b, c, peak, peakAngle, valley,
                              valleyAngle);
    if (samples.UsedCount() == 0 || std::ssize(profile) < samples.Count()) {
        peak = peakAngle = valley = valleyAngle = 0.0;
        return false;
    }
    const std::span<const int> index = samples.UsedIndices();
    const std::span<const double> cosine = samples.UsedCosines();
    const std::span<const double> sine = samples.UsedSines();
    peak = -kLargestDouble;
    valley = kLargestDouble;
    int peakIndex = index[0];
    int valleyIndex = index[0];
    for (std::size_t k = 0; k < index.size(); ++k) {
        const double reference = cosine[k] * a + sine[k] * b + c;
        const double d = profile[static_cast<std::size_t>(index[k])] - reference;
        if (d > peak) {
            peak = d;
            peakIndex = index[k];
        }
        if (d < valley) {
            valley = d;
            valleyIndex = index[k];
        }
    }
    peakAngle = samples.Angle(peakIndex);
    valleyAngle = samples.Angle(valleyIndex);
    return FinishPeakValley(peak, peakAngle, valley, valleyAngle);
}

bool FinishPeakValley(double& peak, double& peakAngle, double& valley, double& valleyAngle)
{
    bool found = true;
    if (std::fabs(peak + kLargestDouble) < kEpsilon) {
        peak = peakAngle = 0.0;
        found = false;
    }
    if (std::fabs(valley - kLargestDouble) < kEpsilon) {
        valley = valleyAngle = 0.0;
        found = false;
    }
    return found;
}

} // namespace kyklos
