#pragma once
// The roundness parameters of ISO 12181-1 about a reference limaçon (a, b, c),
// from the local deviations e_i = r_i − (a·cos θ_i + b·sin θ_i + c). All in
// the unit of the profile (millimetres in the document).

#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

struct RoundnessParameters {
    double RONt = 0.0; // peak-to-valley: max e − min e
    double RONp = 0.0; // peak-to-reference: max e, ≥ 0
    double RONv = 0.0; // reference-to-valley: −min e, ≥ 0
    double RONq = 0.0; // root mean square: √(Σ e_i² / N)
};

// RONt, RONp and RONv from the largest and smallest deviation (peak ≥
// valley, as FindPeakValley gives them), with RONp + RONv == RONt exactly.
// About the least squares reference the deviations sum to zero, so
// peak ≥ 0 ≥ valley but for rounding: when every deviation of a perfect
// circle comes out a few 1e-16 below (above) the reference, the whole width
// counts as valley (peak).
RoundnessParameters RoundnessParametersFromExtremes(double peak, double valley, double rootMeanSquare);

// √(Σ e_i² / N) over the samples of `angles` (N = angles.Count() ≥ 1; 0 for
// none), each e_i formed as FindPeakValley forms it. `profile` must hold N samples.
double RootMeanSquareDeviation(std::span<const double> profile, const SampleAngles& angles, double a, double b,
                               double c);

// √(Σ e_i² / M) over the M used samples of `samples` (r_i = profile[i]; 0
// for none), in ascending order of angle: on equal steps over a full turn
// the sum above, bit for bit. `profile` must hold samples.Count() radii.
double RootMeanSquareDeviation(std::span<const double> profile, const SampleSet& samples, double a, double b, double c);

} // namespace kyklos
