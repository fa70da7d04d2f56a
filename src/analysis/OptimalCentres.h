#pragma once
// Every centre of the maximum inscribed or the minimum circumscribed
// reference, and the range of roundness over them.
//
// The radius of either reference is unique, its centre need not be: two
// opposite narrow features (two flats, two scratches, a keyway and the
// scratch opposite it) leave a segment of centres that all give the same
// radius, the exchange fit stops at one end of it, and RONt about the
// reference depends on which end that is. With f_i(a, b) = r_i − a·cos t_i −
// b·sin t_i and c* the optimal radius, the optimal centres are
//   inscribed:      P = {(a, b) : min_i f_i(a, b) ≥ c*},  RONt(a, b) = max_i f_i(a, b) − c*
//   circumscribed:  P = {(a, b) : max_i f_i(a, b) ≤ c*},  RONt(a, b) = c* − min_i f_i(a, b)
// a point or, with two exactly opposite samples both in contact, a segment.

#include "analysis/Limacon.h"
#include "analysis/ReferenceFit.h"
#include "analysis/SampleAngles.h"

#include <span>

namespace kyklos {

// Lengths in mm (the unit of the profile in the document).
struct OptimalCentres {
    // RONtMax − RONtMin ≤ 1e-6 mm: the reference's RONt does not depend on
    // which optimal centre the fit found.
    bool CentreUnique = false;
    // The least and the greatest RONt over the optimal centres; the fitted
    // reference's own RONt (peak − valley about it) lies between them.
    double RONtMin = 0.0;
    double RONtMax = 0.0;
    // c*: the radius every optimal centre attains, as the fitted centre attains it.
    double Radius = 0.0;
    // Optimal references (centre and radius c*) where RONt is least and greatest.
    LimaconReference MinReference;
    LimaconReference MaxReference;
    // The two optimal references whose centres lie farthest apart: the ends
    // of the segment of centres (both at the fitted centre, but for the
    // tolerance below, when it is unique).
    LimaconReference FirstEnd;
    LimaconReference SecondEnd;
};

// The optimal centres of the reference `reference` = (a, b, c) of `kind`
// (MaximumInscribed or MinimumCircumscribed) as the fit returned it on the
// first N = angles.Count() samples of `filtered` (r_i at t_i = angles.Angle(i),
// radians).
//
// The set is taken with a tolerance ε = 1e-12·max(1 mm, |a| + |b| + |c|) on
// the radius, which absorbs the rounding of the fit and of the deviations;
// the ends then lie at most about ε/sin φ beyond the exact set, where φ is
// the angle by which the contacts that pin that end miss being opposite.
// The reference must be an optimum of its kind: no sample more than ε on the
// wrong side of it, and the samples within ε of it around the centre, no gap
// between them over half a turn (which proves that no centre does better by
// more than ε). Costs two scans of the profile when the set is small (a
// unique centre), a few more when it is not and every sample bears on it.
//
// False, with `centres` reset to its defaults (CentreUnique false, every
// number 0), when N < 3 (fewer sample directions cannot enclose a centre),
// `filtered` is shorter than N, `kind` is least squares or minimum zone, a
// number is not finite, or the reference is not an optimum of its kind (a
// failed fit's last pass, the reference of the other kind).
bool FindOptimalCentres(std::span<const double> filtered, const SampleAngles& angles, ReferenceKind kind,
                        const LimaconReference& reference, OptimalCentres& centres);

} // namespace kyklos
