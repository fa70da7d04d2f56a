#pragma once
// The minimum zone, maximum inscribed and minimum circumscribed limaçons of
// samples at any angles, each the exact optimum of its linear programme in
// the centre offset (a, b), the radius c and, for the zone, the half-width w:
//   minimum zone:          minimise w  with |r_i − R(t_i)| ≤ w
//   maximum inscribed:     maximise c  with R(t_i) ≤ r_i
//   minimum circumscribed: minimise c  with R(t_i) ≥ r_i
// over the used samples, R(t) = a·cos t + b·sin t + c. Nothing here assumes
// equal steps, a full turn or any order of the contacts: this is the fit of
// arcs, angle–radius tables and profiles with excluded sectors.
//
// Solved about the least squares reference, in units of the largest residual
// r_i − R_ls(t_i) (a power of two, so the scaling is exact). A working set of
// constraints, first the highest and the lowest residual of each of 16 blocks
// of neighbouring samples, is solved by Seidel's algorithm in a fixed random
// order; the profile is scanned, and the most violated constraint of each
// run of violated ones (the 16 worst runs) joins the set, until none is
// violated by more than 1e-12 of the largest residual. The working optimum
// is never worse than the whole programme's, so once it meets every
// constraint it is the whole programme's optimum. On a measured profile the
// first working set usually holds the contacts already: one solve, one scan.
// The result depends only on the used samples in their order: a sample left
// out and an excluded one change nothing, bit for bit.

#include "analysis/Limacon.h"
#include "analysis/ReferenceFit.h"
#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// The optimum of `kind` (MinimumZone, MaximumInscribed or MinimumCircumscribed)
// over the used samples of `samples`, r_i = profile[i], in the unit of the
// profile: `reference` receives (a, b, c) and, for the minimum zone,
// `zoneHalfWidth` w. A profile that is a limaçon to the last bit gives the
// least squares reference and w = 0.
//
// False when there is no such optimum, with the least squares reference of the
// used samples in `reference` (zeros for none) and `zoneHalfWidth` unchanged:
// for fewer than 4 used samples (minimum zone); for a largest gap of half a
// turn or more (inscribed and circumscribed: the samples do not surround the
// centre); for a radius that is not finite; for least squares; for a profile
// shorter than samples.Count(); and when the optimum lies more than about
// 10⁵ largest residuals from the least squares centre, where the angles
// barely pin it (a gap within a hair of half a turn, or samples crowded into
// a few hundredths of a degree).
bool SolveLimaconProgramme(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                           LimaconReference& reference, double& zoneHalfWidth);

} // namespace kyklos
