#include "analysis/MinimumZoneCircle.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/LimaconProgramme.h"
#include "analysis/LinearSystem.h"
#include "analysis/PeakValley.h"
#include "analysis/SampleAngles.h"

#include <cmath>
#include <iterator>

namespace kyklos {

namespace {
constexpr int kPassLimit = 11;

// Four contacts in ascending order of angle, alternating peak/valley.
struct ZoneContacts {
    double t[4];
    double r[4];
    bool firstIsPeak = true;
};

// Swaps the new contact in so that the entries stay sorted and alternating,
// which keeps the (−, +, −, +) pattern of the four-point solve valid.
void ExchangeZoneContact(ZoneContacts& z, bool isPeak, double h, double radius)
{
    auto put = [&z](int k, double angle, double value) {
        z.t[k] = angle;
        z.r[k] = value;
    };
    if (isPeak == z.firstIsPeak) {
        if (h < z.t[1]) {
            put(0, h, radius);
        } else if (h < z.t[3]) {
            put(2, h, radius);
        } else {
            for (int k = 0; k < 3; ++k) put(k, z.t[k + 1], z.r[k + 1]);
            put(3, h, radius);
            z.firstIsPeak = !z.firstIsPeak;
        }
    } else {
        if (h < z.t[0]) {
            for (int k = 3; k > 0; --k) put(k, z.t[k - 1], z.r[k - 1]);
            put(0, h, radius);
            z.firstIsPeak = !z.firstIsPeak;
        } else if (h < z.t[2]) {
            put(1, h, radius);
        } else {
            put(3, h, radius);
        }
    }
}

// Start: in each quarter of the profile, the highest point (quarters 0 and 2)
// or the lowest (1 and 3) relative to the least squares reference, the first
// of equals. The last N mod 4 samples belong to no quarter.
ZoneContacts QuarterExtremes(std::span<const double> profile, const SampleAngles& angles, double a, double b, double c)
{
    const int quarter = angles.Count() / 4;
    auto deviation = [&](int i) {
        return profile[static_cast<std::size_t>(i)] - (angles.Cosine(i) * a + angles.Sine(i) * b + c);
    };
    ZoneContacts z;
    for (int q = 0; q < 4; ++q) {
        const bool highest = q % 2 == 0;
        int best = q * quarter;
        double bestDeviation = deviation(best);
        for (int i = best + 1; i < q * quarter + quarter; ++i) {
            const double d = deviation(i);
            if (highest ? d > bestDeviation : d < bestDeviation) {
                best = i;
                bestDeviation = d;
            }
        }
        z.t[q] = angles.Angle(best);
        z.r[q] = profile[static_cast<std::size_t>(best)];
    }
    z.firstIsPeak = true;
    return z;
}
} // namespace

bool SolveZoneThroughFour(const double t[4], const double r[4], double& a, double& b, double& c, double& w)
{
    // Entries 0 and 2 lie at R(t) − s, entries 1 and 3 at R(t) + s.
    static constexpr double kSign[4] = {-1.0, 1.0, -1.0, 1.0};
    double A[4][4];
    double x[4];
    for (int k = 0; k < 4; ++k) {
        A[k][0] = std::cos(t[k]);
        A[k][1] = std::sin(t[k]);
        A[k][2] = 1.0;
        A[k][3] = kSign[k];
        x[k] = r[k];
    }
    // Every row holds a 1, so the solve cannot refuse; should it ever, the
    // previous reference is kept rather than the radii taken as a solution.
    if (SolveLinearSystem(A, 4, x)) {
        a = x[0];
        b = x[1];
        c = x[2];
        w = std::fabs(x[3]);
    }
    return true;
}

bool FitMinimumZoneCircle(std::span<const double> profile, int count, double& a, double& b, double& c, double& w)
{
    // A count beyond the samples given is treated as no profile.
    if (count > std::ssize(profile)) count = 0;
    // Four distinct contacts need four samples; below that the least squares
    // reference is left as the best available, and the fit reports failure.
    if (count < 4) {
        // A table of its own: asking for the shared one at another count
        // would refill the table the caller may be scanning with.
        FitLeastSquaresCircle(profile, SampleAngles(count), a, b, c);
        return false;
    }
    const SampleAngles& angles = SampleAngles::ForCount(count);
    FitLeastSquaresCircle(profile, angles, a, b, c);
    const double halfStep = angles.Step() * 0.5;
    ZoneContacts z = QuarterExtremes(profile, angles, a, b, c);

    double bestA = a, bestB = b, bestC = c, bestW = w;
    double bestWidth = kLargestDouble;
    for (int pass = 0;;) {
        SolveZoneThroughFour(z.t, z.r, a, b, c, w);

        double peak, peakAngle, valley, valleyAngle;
        FindPeakValley(profile, angles, a, b, c, peak, peakAngle, valley, valleyAngle);

        bool done = peak <= w && valley >= -w;
        if (!done) {
            // The point that leaves the zone farthest; the valley on a tie.
            const bool isPeak = peak > -valley;
            const double h = isPeak ? peakAngle : valleyAngle;
            for (int k = 0; k < 4 && !done; ++k) done = std::fabs(h - z.t[k]) < halfStep;
            if (!done) {
                const int m = angles.NearestSample(h);
                ExchangeZoneContact(z, isPeak, h, profile[static_cast<std::size_t>(m)]);
            }
        }

        const double width = peak - valley;
        if (pass == 0 || width < bestWidth) {
            bestA = a;
            bestB = b;
            bestC = c;
            bestW = w;
            bestWidth = width;
        }

        ++pass;
        if (pass >= kPassLimit) {
            a = bestA;
            b = bestB;
            c = bestC;
            w = bestW;
            return true;
        }
        if (done) return true;
    }
}

bool FitMinimumZoneCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b, double& c,
                          double& w)
{
    if (samples.IsEqualStepFullTurn()) return FitMinimumZoneCircle(profile, samples.Count(), a, b, c, w);
    LimaconReference reference;
    const bool found = SolveLimaconProgramme(ReferenceKind::MinimumZone, profile, samples, reference, w);
    a = reference.a;
    b = reference.b;
    c = reference.c;
    return found;
}

} // namespace kyklos
