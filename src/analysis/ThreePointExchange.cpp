#include "analysis/ThreePointExchange.h"

#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"

namespace kyklos {

namespace {
constexpr double kPi = 3.141592653589793;

// Puts the new contact in place of the first entry whose replacement leaves
// the three contacts around the centre: taken in cyclic order, no
// counter-clockwise gap exceeds half a turn. When neither entry 0 nor entry 1
// qualifies, entry 2 is replaced whatever gaps remain.
void PlaceSurroundingContact(double t[3], double r[3], double angle, double radius, double step)
{
    // Gaps are whole steps. A margin of a quarter step still admits exactly
    // half a turn (even N) against rounding, but never the (N+1)/2 steps of an
    // odd count, which overshoot half a turn by half a step: with a half-step
    // margin rounding let about half of those through, and the fit stopped
    // on contacts that do not hold the circle.
    const double limit = kPi + step * 0.25;
    int replaced = 2;
    if (CounterClockwiseSweep(angle, t[1]) < limit && CounterClockwiseSweep(t[1], t[2]) < limit &&
        CounterClockwiseSweep(t[2], angle) < limit)
        replaced = 0;
    else if (CounterClockwiseSweep(t[0], angle) < limit && CounterClockwiseSweep(angle, t[2]) < limit &&
             CounterClockwiseSweep(t[2], t[0]) < limit)
        replaced = 1;
    t[replaced] = angle;
    r[replaced] = radius;
}
} // namespace

bool IterateThreePointExchange(std::span<const double> profile, const SampleAngles& angles, ContactSide side,
                               int passLimit, double& a, double& b, double& c, double contactAngles[3])
{
    const double halfStep = angles.Step() * 0.5;
    double t[3];
    double r[3];
    for (int k = 0; k < 3; ++k) {
        const int m = angles.NearestSample(contactAngles[k]);
        t[k] = angles.Angle(m);
        r[k] = profile[static_cast<std::size_t>(m)];
    }

    double bestA = a, bestB = b, bestC = c;
    double bestWidth = kLargestDouble;
    for (int pass = 0;;) {
        // A singular triple (two contacts on one sample) leaves the previous reference in force.
        SolveLimaconThroughThree(t[0], t[1], t[2], r[0], r[1], r[2], a, b, c);

        double peak, peakAngle, valley, valleyAngle;
        FindPeakValley(profile, angles, a, b, c, peak, peakAngle, valley, valleyAngle);

        const bool inside = side == ContactSide::Valleys;
        const double worstAngle = inside ? valleyAngle : peakAngle;
        bool done = inside ? valley >= 0.0 : peak <= 0.0;
        for (int k = 0; k < 3 && !done; ++k) done = AngularDistance(worstAngle, t[k]) < halfStep;
        if (!done) {
            const int m = angles.NearestSample(worstAngle);
            PlaceSurroundingContact(t, r, worstAngle, profile[static_cast<std::size_t>(m)], angles.Step());
        }

        const double width = peak - valley;
        if (pass == 0 || width < bestWidth) {
            bestA = a;
            bestB = b;
            bestC = c;
            bestWidth = width;
        }

        ++pass;
        if (pass >= passLimit) {
            a = bestA;
            b = bestB;
            c = bestC;
            for (int k = 0; k < 3; ++k) contactAngles[k] = t[k];
            return false;
        }
        if (done) {
            for (int k = 0; k < 3; ++k) contactAngles[k] = t[k];
            return true;
        }
    }
}

} // namespace kyklos
