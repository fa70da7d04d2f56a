#pragma once
// Points in a plane seen as a radial profile about a centre: each point's
// angle and distance, sorted by angle, so that the profile can be
// evaluated as a profile at any angles; and the largest angular gap
// between neighbouring points, which says whether they lie all around the
// centre. Lengths in mm, angles in radians.

#include <span>
#include <vector>

namespace kyklos {

struct PointProfile {
    double CentreX = 0.0; // the centre the profile is taken about, in the input's coordinates
    double CentreY = 0.0;
    // One entry per point, ascending by angle (equal angles by index).
    std::vector<double> Angle;  // counter-clockwise from +x, in [0, 2π)
    std::vector<double> Radius; // distance from the centre
    std::vector<int> Index;     // the point's index in the input
    // The largest angle between neighbouring points, the one from the last
    // back round to the first included; 2π for fewer than two points.
    double LargestGap = 0.0;
    // Where that gap ends: the position in Angle of the point after it, so
    // that the points from there on, wrapping round, cover the arc in order.
    int GapEnd = 0;
};

// The profile of the points (x[i], y[i]) about (centreX, centreY). False,
// with `profile` emptied, when x and y differ in length or a number is not
// finite.
bool MakePointProfile(std::span<const double> x, std::span<const double> y, double centreX, double centreY,
                      PointProfile& profile);

} // namespace kyklos
