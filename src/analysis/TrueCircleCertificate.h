#pragma once
// The certificates of the true circles of points (TrueCircles.h): what can
// be proved about a minimum circumscribed, maximum inscribed or minimum
// zone circle, in exact arithmetic on the points and the centre as stored
// (every double a rational; distances compared through their squares, and
// a difference of a distance from a radius bounded above by rationals
// without a square root). Lengths in mm.
//
// Minimum circumscribed (Exact). The smallest circle holding the points is
// a convex problem with one optimum. ViolationMm bounds how far the
// farthest point lies beyond Radius. The lower bound comes from the
// contacts: the smallest circle holding them (half the distance of two;
// the circumcircle of three forming a triangle with no obtuse angle, else
// half its longest side) is no larger than the one holding every point.
// The optimum radius therefore lies in [that, Radius + violation], and
// GapMm bounds the reported Radius's distance from both ends. Contacts
// that do not hold the circle (two not diametral, three within half a
// turn) give a small lower bound and a gap far above kOptimalGapMm.
//
// Maximum inscribed and minimum zone (Local). These problems are not
// convex: a centre far off may do better, and nothing short of a search
// proves it cannot. What is checked, exactly, are the conditions that no
// small move of the centre improves the result:
//   inscribed: no point inside Radius; the contacts (on the inner circle)
//     surround the centre: three whose directions from the centre hold it
//     in their triangle, or two on opposite sides of it, the centre's
//     distance from the line through them entering the gap;
//   zone: no point outside OuterRadius or inside InnerRadius; four or more
//     contacts whose exact order around the centre alternates outer and
//     inner at least four times.
// GapMm is then the largest of the violation, the distances of the
// contacts from their circles and (two inscribed contacts) the centre's
// distance from their line: how far the result is from meeting its local
// conditions exactly, not a bound on a better centre elsewhere. Contacts
// that do not surround or alternate give +∞.

#include "analysis/Certificate.h"
#include "analysis/ReferenceFit.h"
#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

// The certificate of `circle` as a result of `kind` for the points (x[i],
// y[i]), from its centre, radii (Radius for the inscribed and
// circumscribed circles, InnerRadius and OuterRadius for the zone) and
// Contacts (a contact with no such point, or on the side the kind does not
// touch, is ignored). Checked None, ViolationMm and GapMm +∞, for least
// squares, x and y of different lengths or empty, a number that is not
// finite, or a negative radius (a zero inscribed radius too).
Certificate CertifyTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                              const TrueCircle& circle);

} // namespace kyklos
