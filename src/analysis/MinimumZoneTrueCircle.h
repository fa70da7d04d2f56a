#pragma once
// The minimum zone true circles of points in a plane: two concentric
// circles of least radial separation with every point between them.
//
// The problem is not convex: this is a local optimum, the one reached from
// the start centre (the least squares centre), where the zone meets its
// contact conditions — two points on each circle, alternating outer and
// inner around the centre — so that no small move of the centre narrows it.
// On a part whose form error is small beside its radius it is the minimum
// zone; a point set with several zones of about the same width may have a
// narrower one elsewhere.
//
// Method: about the current centre the distances are taken to first order
// in the centre's move; the narrowest zone of that model (a linear
// programme, LinearisedExchange) gives a step, shortened until the true
// zone narrows; the steps are repeated about each new centre until they
// fall to rounding. Lengths in mm.

#include "analysis/PointProfile.h"
#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

// The zone of the points (x[i], y[i]) from the centre of `start`, the
// points' profile about it (MakePointProfile on the same points). On
// return `zone` holds the centre, InnerRadius, OuterRadius, Radius (their
// mean), RONt (the zone's width), the four contacts and Valid
// (VerifyTrueCircle); a zone that fails the check is not to be shown.
// False, with `zone` reset, when x and y differ in length, fewer than four
// points are given, or `start` is not a profile of them.
bool FitMinimumZoneTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                              TrueCircle& zone);

} // namespace kyklos
