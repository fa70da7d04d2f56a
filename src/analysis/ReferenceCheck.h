#pragma once
// The contacts of a minimum zone, maximum inscribed or minimum circumscribed
// reference, and the check of the reference against the conditions that make
// it optimal (ISO 12181-2's references as limaçons):
//   minimum zone:          every sample within c ± w, and contacts that
//                          alternate outer/inner at least four times around
//                          the circle (Chebyshev alternation: a, b, c and w
//                          are four unknowns);
//   maximum inscribed:     no sample inside, and contacts that surround the
//   minimum circumscribed: centre (none outside), no gap between neighbouring
//                          contacts over half a turn: any shift of the centre
//                          then moves the reference into some contact.
// A reference that meets them is optimal, whichever algorithm found it; one
// that does not (an exchange stopped at its pass limit, a programme spoilt by
// rounding) must not be shown as the reference.

#include "analysis/Limacon.h"
#include "analysis/ReferenceFit.h"
#include "analysis/SampleSet.h"

#include <span>
#include <vector>

namespace kyklos {

// Where a contact touches: the outer limaçon (a peak of the zone, or the
// circumscribed reference) or the inner one (a valley, the inscribed one).
enum class ReferenceSide {
    Outer,
    Inner,
};

struct ReferenceContact {
    int Index = 0;      // the sample's index in the profile (and in the SampleSet)
    double Angle = 0.0; // its angle, radians
    ReferenceSide Side = ReferenceSide::Outer;
};

struct ReferenceCheck {
    // In ascending order of angle.
    std::vector<ReferenceContact> Contacts;
    bool Verified = false;
};

// How far a used sample may lie beyond the reference (or outside the zone),
// in the unit of the profile: 1e-9 mm in the document.
inline constexpr double kReferenceFeasibility = 1e-9;
// A contact lies within ε = kContactTolerance·max(1, |a| + |b| + |c| + w) of
// its limaçon: a thousand times the rounding of a deviation, which an exact
// fit's contacts meet and a neighbour of a contact on a smooth profile does not.
inline constexpr double kContactTolerance = 1e-12;

// The contacts of `reference` (and half-width `zoneHalfWidth`, for the
// minimum zone only) of kind `kind` among the used samples of `samples`,
// r_i = profile[i], deviations formed as the peak/valley scan forms them, and
// whether the reference meets its conditions of optimality: every used
// sample within kReferenceFeasibility of its side, and the contacts
// alternating (zone; or a zone no wider than ε, which nothing can beat) or
// surrounding the centre (largest gap between contacts at most π + 1e-9, so
// that two contacts exactly opposite hold it). Works on any fit's result,
// the equal-step exchanges' included, and changes no number.
//
// Least squares has no contacts and no conditions: Verified, true. False,
// with no contacts, for no used sample, a profile shorter than
// samples.Count(), or a reference or half-width that is not finite (or a
// negative half-width); otherwise the result is check.Verified.
bool CheckReference(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                    const LimaconReference& reference, double zoneHalfWidth, ReferenceCheck& check);

} // namespace kyklos
