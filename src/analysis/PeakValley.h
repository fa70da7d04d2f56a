#pragma once
// The peak and the valley of a profile about a reference limaçon
// R(t) = a·cos t + b·sin t + c: its largest and its smallest deviation
// r_i − R(t_i), and the sample angles where they lie. Every fit's roundness
// (peak − valley) and every exchange pass starts from this scan.

#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// The extremes of the first N = angles.Count() samples of `profile` about
// R, each deviation formed as cos(t_i)·a + sin(t_i)·b + c from the table's
// cosine and sine. Deviations in the unit of the profile (mm in the
// document), angles t_i = angles.Angle(i) in radians. Strict comparisons:
// among equal extremes the lowest index wins, and a deviation that is not a
// number is never an extreme. `profile` must hold at least N samples. False
// when an extreme was not found (N = 0, or no deviation is a number): that
// extreme is reported as 0 at angle 0 (all four outputs for N = 0).
bool FindPeakValley(std::span<const double> profile, const SampleAngles& angles, double a, double b, double c,
                    double& peak, double& peakAngle, double& valley, double& valleyAngle);

// The same scan over the used samples of `samples` (r_i = profile[i], at
// samples.Angle(i)): on equal steps over a full turn the scan above, bit for
// bit; otherwise the same deviations, comparisons and outputs over the used
// samples only, in ascending order of angle. False as above, with no used
// sample or a profile shorter than samples.Count() taken as N = 0.
bool FindPeakValley(std::span<const double> profile, const SampleSet& samples, double a, double b, double c,
                    double& peak, double& peakAngle, double& valley, double& valleyAngle);

// The end of a peak/valley scan that started from peak = −kLargestDouble and
// valley = +kLargestDouble: an extreme still at its starting value counts as
// not found and is reported as 0 at angle 0. True when both were found.
bool FinishPeakValley(double& peak, double& peakAngle, double& valley, double& valleyAngle);

} // namespace kyklos
