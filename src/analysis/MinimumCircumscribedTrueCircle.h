#pragma once
// The minimum circumscribed true circle of points in a plane: the smallest
// circle that holds every point. The problem is convex and the result
// exact: Welzl's algorithm (in its iterative form, which moves a point onto
// the circle whenever it lies outside the circle of the points before it)
// on the points in a shuffled order, expected linear time. The shuffle is
// the same on every run and every platform, so the same points give the
// same circle bit for bit.
//
// Like the inscribed circle it needs points all around the centre: when
// the largest angular gap between the points seen from the least squares
// centre is half a turn or more there is no result. Lengths in mm.

#include "analysis/PointProfile.h"
#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

// The smallest circle holding the points (x[i], y[i]), computed about the
// centre of `start` (the points' profile about their least squares centre,
// MakePointProfile on the same points), whose gap decides whether there is
// a result. On return `circle` holds the centre, Radius (= OuterRadius),
// InnerRadius, RONt about the centre, the contacts (two opposite or three
// around the centre) and Valid (VerifyTrueCircle). False, with `circle`
// reset, when start.LargestGap ≥ π, x and y differ in length, fewer than
// two points are given, or `start` is not a profile of them.
bool FitMinimumCircumscribedTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                                       TrueCircle& circle);

} // namespace kyklos
