#pragma once
// The contacts of a minimum zone, maximum inscribed or minimum
// circumscribed true circle, and the check of a result against the
// conditions that make it one. A fit finds a centre; what holds the
// result there are the points on its circle(s):
//   minimum zone: two on the outer and two on the inner circle,
//     alternating around the centre (no small move of the centre narrows
//     the zone);
//   maximum inscribed: points on the circle that surround the centre — two
//     opposite or three with no gap of more than half a turn between them
//     (no small move of the centre lets the circle grow);
//   minimum circumscribed: the same on the outer circle.
// Lengths in mm, angles in radians.

#include "analysis/ReferenceFit.h"
#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

// Contacts of `circle` (its centre and InnerRadius, OuterRadius, Radius as
// set for `kind`) among the points within `toleranceMm` of its circle(s),
// the most extreme point of each group of neighbours preferred. For a zone
// of width within 2·toleranceMm every point lies on both circles, and four
// points spread around the centre serve. False, with the contacts emptied,
// when no such set exists, or `kind` is least squares.
bool FindTrueCircleContacts(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                            TrueCircle& circle, double toleranceMm);

// True when `circle` meets the conditions of `kind` (minimum zone, maximum
// inscribed or minimum circumscribed) to kTrueCircleToleranceMm: every
// point on the right side of its circle(s), RONt equal to the band of the
// distances, each contact on its circle at the angle it states, sides and
// count as the kind needs, alternating or surrounding the centre. False
// for least squares, which has no such conditions, and for points x, y of
// different lengths or none.
bool VerifyTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                      const TrueCircle& circle);

// A fitted centre (CentreX, CentreY of `circle`) made a result of `kind`:
// its radii and RONt, its contacts (first among the points within a few
// roundings of the circle, so that the exact contacts are named, then
// within kTrueCircleToleranceMm) and Valid from VerifyTrueCircle.
void CompleteTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y, TrueCircle& circle);

} // namespace kyklos
