#pragma once
// A point set (x, y from a coordinate measuring machine) seen as a radial
// profile about its geometric least squares circle, the centre every
// evaluation of the points is taken about: each point's angle and distance
// from that centre, ascending by angle.

#include "io/Profile.h"

#include <string>

namespace kyklos {

// Fills RawRadius, SampleAngle (radians, strictly ascending), CentreX/Y and
// PointIndex of a ProfileKind::Points profile, with EqualSteps false. The
// message the user is shown, with `points` unchanged, when no circle fits
// (fewer than three points, all on one line, the fit not settling) or two
// points lie in one direction from the centre; "" when done.
std::string TakePointsAboutTheirCircle(Profile& points);

} // namespace kyklos
