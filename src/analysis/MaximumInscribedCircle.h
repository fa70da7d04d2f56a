#pragma once
// The maximum inscribed reference: the largest limaçon with no profile point
// inside, touching three valleys that surround the centre. Sample i of
// `count` lies at i·2π/count; radii and a, b, c are in the unit of the
// profile (mm in the document), angles in radians. A count below 1 or beyond
// profile.size() is no profile: false, with a = b = c = 0. a, b, c enter as
// the reference kept while a three-point solve is singular.

#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// One three-point exchange from the start angles theta[3]; on return theta
// holds the final contact angles (untouched for no profile). True when it
// converged within 50 passes; false at that limit, with its best pass in
// a, b, c.
bool IterateInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c,
                            double theta[3]);

// First attempt from 0°, 120°, 240°, then up to four restarts around a
// crowded pair of contacts. False when every attempt hit its pass limit
// (a, b, c then hold the last attempt's best pass); an attempt that hit it
// with no crowded pair stands, and counts as true.
bool FitMaximumInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

// The reference of the used samples of `samples`, r_i = profile[i]: on equal
// steps over a full turn the exchange above from a, b, c as they enter, bit
// for bit; on any other set the exact optimum of the linear programme
// (LimaconProgramme.h). False, with the least squares reference, when the
// used samples leave a gap of half a turn or more (they do not surround the
// centre: see PartialCoverageWarning) or the programme has no trusted optimum.
bool FitMaximumInscribedCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b,
                               double& c);

} // namespace kyklos
