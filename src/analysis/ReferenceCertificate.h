#pragma once
// The exact optimality certificate of a minimum zone, maximum inscribed or
// minimum circumscribed limaçon: a proof, independent of the algorithm that
// found the reference, of how far its value (the zone's half-width w, the
// inscribed or circumscribed radius c) can lie from the optimum of its
// linear programme.
//
// The programme certified is the one whose coefficients are the stored
// cosines and sines of the used samples (SampleSet::UsedCosines and
// UsedSines) and whose right-hand sides are the stored radii: the
// deviation of sample k is d_k = r_k − (C_k·a + S_k·b + c), every number a
// double taken as the rational it is. Cosines and sines of the exact angles
// would be irrational; the stored ones are what every fit and scan uses.
//
// Both sides of the proof are exact:
//   the primal: V, the largest excess of a used sample beyond the reference
//     (d_k − w outside, −d_k − w inside; w = 0 but for the zone), 0 when
//     none lies beyond. Moving the reference out by V makes it feasible.
//   the dual: multipliers λ_k of the right signs on contact constraints
//     with Σ λ_k·(C_k, S_k, 1) = 0 (weights of the zone's outer contacts
//     positive, inner negative, Σ|λ_k| = 1; for the circles λ_k ≥ 0,
//     Σ λ_k = 1). The dual objective Σ λ_k·r_k = value + Σ λ_k·d_k then
//     bounds the optimum from the other side (weak duality).
// So the optimum lies in
//   minimum circumscribed: [c + Σλd, c + V]
//   maximum inscribed:     [c − V, c + Σλd]
//   minimum zone:          [max(0, Σλd), w + V]
// and the gap is the larger distance of the reported value from the ends.
//
// The multipliers come from the contacts: for the circles two contacts
// exactly opposite or three around the centre (the origin in their convex
// hull, as points (C_k, S_k)); for the zone four contacts alternating outer
// and inner around the circle. When two contacts are opposite in angle to
// within 1e-9 rad but their stored cosines and sines are not exactly
// opposite, a third sample a quarter turn away completes them with a
// multiplier of the order of that difference. Of very many contacts (a
// profile that is its own reference), 64 spread around the circle start the
// search. Contacts that give no such
// multipliers (too few, all on one side, not alternating) prove nothing:
// the gap of a circle is then +∞, that of a zone w (the optimum is never
// below 0), and the result is not Optimal.
//
// Deviations are formed in double with a bound on their rounding, in one
// pass over the samples; only the samples that bound cannot place, and the
// contacts the multipliers rest on, are evaluated in rationals: on a
// measured profile a handful, on one whose every sample touches the
// reference all of them.

#include "analysis/Certificate.h"
#include "analysis/Limacon.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/ReferenceFit.h"
#include "analysis/SampleSet.h"

#include <span>

namespace kyklos {

// The certificate of the reference (a, b, c) of `kind`, with half-width
// `zoneHalfWidth` for the minimum zone (ignored otherwise), over the used
// samples of `samples`, r_i = profile[i] in mm, from `contacts` (those of
// CheckReference; a contact that is not a used sample is ignored, and for
// the circles its side too). Checked is Exact, or None with ViolationMm and
// GapMm +∞ for least squares, no used sample, a profile shorter than
// samples.Count(), or a used radius, reference or half-width that is not
// finite (or a negative half-width).
Certificate CertifyReference(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                             const LimaconReference& reference, double zoneHalfWidth,
                             std::span<const ReferenceContact> contacts);

} // namespace kyklos
