#pragma once
// The four true circles of points in a plane (a coordinate measuring
// machine's scan, or a radial profile's samples taken as points about the
// measurement axis), in the input's coordinates, mm: the geometric least
// squares circle, and from its centre the minimum zone, maximum inscribed
// and minimum circumscribed circles, each with its contacts and checked
// against its conditions. The minimum zone and the inscribed circle are
// local optima (see their headers). Lengths in mm, angles in radians.

#include "analysis/GeometricCircle.h"
#include "analysis/PointProfile.h"
#include "analysis/TrueCircle.h"

#include <optional>
#include <span>

namespace kyklos {

struct TrueCircles {
    TrueCircle LeastSquares; // Valid: converged
    CircleConvergence Convergence;
    // The points as a radial profile about the least squares centre: what
    // is evaluated as a profile at any angles. Its LargestGap decides
    // whether the inscribed and circumscribed circles have a result.
    PointProfile Profile;
    // Valid false: the zone failed its check and is not to be shown.
    TrueCircle MinimumZone;
    // None when the points leave a gap of half a turn or more seen from the
    // least squares centre; Valid false when the circle failed its check.
    std::optional<TrueCircle> MaximumInscribed;
    std::optional<TrueCircle> MinimumCircumscribed;
};

// The four circles of the points (x[i], y[i]). False, with `circles` reset,
// when no least squares circle fits (see FitGeometricCircle: fewer than
// three points, x and y of different lengths, a number not finite, points
// on a line). With three points the zone has no four contacts and is not
// valid.
bool FitTrueCircles(std::span<const double> x, std::span<const double> y, TrueCircles& circles);

} // namespace kyklos
