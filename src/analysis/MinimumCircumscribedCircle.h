#pragma once
// The minimum circumscribed reference: the smallest limaçon with no profile
// point outside, touching three peaks that surround the centre.

#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// The reference of the first `count` samples of `profile` (sample i at
// i·2π/count): centre offset a, b and radius c in the unit of the profile
// (mm in the document). Starts from samples 0, N/3 and 2N/3; at most 51
// passes, the best one kept. a, b, c enter as the reference kept while a
// three-point solve is singular (with N < 3 it always is). False only for
// no profile, a count below 1 or beyond profile.size() (then a = b = c = 0).
bool FitMinimumCircumscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

// The reference of the used samples of `samples`, r_i = profile[i]: on equal
// steps over a full turn the exchange above from a, b, c as they enter, bit
// for bit; on any other set the exact optimum of the linear programme
// (LimaconProgramme.h). False, with the least squares reference, when the
// used samples leave a gap of half a turn or more (they do not surround the
// centre: see PartialCoverageWarning) or the programme has no trusted optimum.
bool FitMinimumCircumscribedCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b,
                                   double& c);

} // namespace kyklos
