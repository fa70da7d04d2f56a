#include "io/Profile.h"

#include <utility>

namespace kyklos {

std::vector<double> EqualStepAngles(int count)
{
    std::vector<double> angles;
    if (count <= 0) return angles;
    // The same step and the same products as the sample-angle tables of the fits.
    constexpr double kTwoPi = 2.0 * 3.141592653589793;
    const double step = kTwoPi / count;
    angles.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) angles[static_cast<std::size_t>(i)] = i * step;
    return angles;
}

Profile EqualStepProfile(std::vector<double> radii)
{
    Profile profile;
    profile.SampleAngle = EqualStepAngles(static_cast<int>(radii.size()));
    profile.RawRadius = std::move(radii);
    profile.EqualSteps = true;
    return profile;
}

} // namespace kyklos
