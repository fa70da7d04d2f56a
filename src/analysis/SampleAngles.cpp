#include "analysis/SampleAngles.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"

#include <algorithm>
#include <cmath>

namespace kyklos {

namespace {
constexpr double kTwoPi = 2.0 * 3.141592653589793;
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

const SampleAngles& SampleAngles::ForCount(int count)
{
    thread_local SampleAngles table(0);
    if (table.Count() != std::max(count, 0)) table = SampleAngles(count);
    return table;
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
    return FinishPeakValley(peak, peakAngle, valley, valleyAngle);
}

bool FitLeastSquaresCircle(std::span<const double> profile, const SampleAngles& angles, double& a, double& b,
                           double& c)
{
    const int count = angles.Count();
    if (count <= 0) {
        a = b = c = 0.0;
        return false;
    }
    // Same sums in the same order as the untabled fit: the mean, then the
    // first harmonic with sample 0 (cos 0 = 1, sin 0 = 0) taken directly.
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
