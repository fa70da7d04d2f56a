#include "analysis/MinimumCircumscribedCircle.h"

#include "analysis/LimaconProgramme.h"
#include "analysis/SampleAngles.h"
#include "analysis/ThreePointExchange.h"

#include <iterator>

namespace kyklos {

namespace {
constexpr int kPassLimit = 51;
} // namespace

bool FitMinimumCircumscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c)
{
    // A count beyond the samples given is treated as no profile.
    if (count < 1 || count > std::ssize(profile)) {
        a = b = c = 0.0;
        return false;
    }
    const SampleAngles& angles = SampleAngles::ForCount(count);
    // Three samples a third of the profile apart; with N < 3 all three are
    // sample 0, the solve stays singular and the caller's reference stands.
    const int third = count / 3;
    double contacts[3] = {angles.Angle(0), angles.Angle(third), angles.Angle(2 * third)};
    // Reaching the pass limit still leaves the best pass, a usable reference.
    IterateThreePointExchange(profile, angles, ContactSide::Peaks, kPassLimit, a, b, c, contacts);
    return true;
}

bool FitMinimumCircumscribedCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b,
                                   double& c)
{
    if (samples.IsEqualStepFullTurn()) return FitMinimumCircumscribedCircle(profile, samples.Count(), a, b, c);
    LimaconReference reference;
    double unused = 0.0;
    const bool found = SolveLimaconProgramme(ReferenceKind::MinimumCircumscribed, profile, samples, reference, unused);
    a = reference.a;
    b = reference.b;
    c = reference.c;
    return found;
}

} // namespace kyklos
