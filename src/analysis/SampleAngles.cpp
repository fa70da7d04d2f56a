#include "analysis/SampleAngles.h"

#include "analysis/Limacon.h"

#include <cmath>

namespace kyklos {

namespace {
constexpr double kTwoPi = 2.0 * 3.141592653589793;
constexpr double kEpsilon = 2.220446049250313e-16;
} // namespace

SampleAngles::SampleAngles(int count)
{
    if (count <= 0) return;
    count_ = count;
    step_ = kTwoPi / count;
    cosine_.resize(static_cast<std::size_t>(count));
    sine_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i * step_;
        cosine_[static_cast<std::size_t>(i)] = std::cos(t);
        sine_[static_cast<std::size_t>(i)] = std::sin(t);
    }
}

int SampleAngles::NearestSample(double angle) const
{
    if (count_ <= 0) return 0;
    int index = NearestIndex(angle / step_);
    if (index == count_) return 0;
    if (index < 0 || index > count_) {
        index %= count_;
        if (index < 0) index += count_;
    }
    return index;
}

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
