#pragma once
// The maximum inscribed true circle of points in a plane: the largest
// circle with no point inside, its centre inside the points' hull.
//
// The problem is not convex: this is a local optimum, the one reached from
// the start centre (the least squares centre), where the circle meets its
// contact conditions — points on it around the centre, three with no gap
// over half a turn or two opposite — so that no small move of the centre
// lets it grow. On a part whose form error is small beside its radius it is
// the maximum inscribed circle; a point set with several holes of about the
// same size may have a larger one elsewhere.
//
// It needs points all around the centre: when the largest angular gap
// between the points seen from the start centre is half a turn or more
// there is no result.
//
// Method: about the current centre the distances are taken to first order
// in the centre's move; the largest circle of that model (a linear
// programme, LinearisedExchange) gives a step. The first-order distances
// never exceed the true ones (a distance is convex in the centre), so the
// true circle grows by at least what the model promised; the steps are
// repeated about each new centre until they fall to rounding. Lengths in mm.

#include "analysis/PointProfile.h"
#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

// The inscribed circle of the points (x[i], y[i]) from the centre of
// `start`, the points' profile about it (MakePointProfile on the same
// points). On return `circle` holds the centre, Radius (= InnerRadius),
// OuterRadius, RONt about the centre, the contacts and Valid
// (VerifyTrueCircle); a circle that fails the check is not to be shown.
// False, with `circle` reset, when start.LargestGap ≥ π (the points do not
// surround the start), x and y differ in length, fewer than three points
// are given, or `start` is not a profile of them.
bool FitMaximumInscribedTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                                   TrueCircle& circle);

} // namespace kyklos
