#pragma once
// The minimum zone reference: two concentric limaçons c − w and c + w that
// enclose the profile with the smallest radial separation 2w, found by an
// exchange on four alternating peak/valley contacts.

#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// The zone through four contacts at angles t[k] (radians) and radii r[k]:
// rows cos t·a + sin t·b + c ± s = r with signs (−, +, −, +), w = |s|, all
// in the unit of r. Always true; a system the solver refused would leave
// a, b, c and w as they were.
bool SolveZoneThroughFour(const double t[4], const double r[4], double& a, double& b, double& c, double& w);

// The zone of the first `count` samples of `profile` (sample i at angle
// i·2π/count): centre offset a, b, mean radius c and half-width w, in the
// unit of the profile (mm in the document). A count beyond profile.size() is
// taken as 0. Fewer than 4 samples: false, with the least squares reference
// in a, b, c (zeros for none) and w unchanged. Otherwise true, also when the
// pass limit ends the exchange, which leaves its best pass.
bool FitMinimumZoneCircle(std::span<const double> profile, int count, double& a, double& b, double& c, double& w);

// The zone of the used samples of `samples`, r_i = profile[i]: on equal steps
// over a full turn the exchange above, bit for bit; on any other set the
// exact optimum of the linear programme (LimaconProgramme.h), false (with the
// least squares reference and w unchanged) below four used samples or where
// that programme has no trusted optimum.
bool FitMinimumZoneCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b, double& c,
                          double& w);

} // namespace kyklos
