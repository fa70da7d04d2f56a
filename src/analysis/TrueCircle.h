#pragma once
// A true circle fitted to points in a plane (a coordinate measuring
// machine's scan): its centre in the input's own coordinates and the band
// of distances of the points from that centre. Distances are measured
// along the circle's radius, not by the limaçon's small-eccentricity
// approximation, so the centre may lie metres from the origin and far
// from the measured arc. Lengths in mm, angles in radians.

#include "analysis/Certificate.h"

#include <cmath>
#include <span>
#include <vector>

namespace kyklos {

// Every point of a verified result lies within its circle (or between its
// two circles) to this much, and every contact lies on its circle to it.
inline constexpr double kTrueCircleToleranceMm = 1e-9;

enum class CircleSide {
    Outer, // on the circumscribed circle, or the outer circle of the zone
    Inner, // on the inscribed circle, or the inner circle of the zone
};

// A point that holds the result where it is.
struct CircleContact {
    int Index = 0;      // the point's index in the input
    double Angle = 0.0; // about the result's centre, counter-clockwise from +x, in [0, 2π)
    CircleSide Side = CircleSide::Outer;
};

struct TrueCircle {
    double CentreX = 0.0;
    double CentreY = 0.0;
    // Least squares: the fitted radius; minimum zone: the mean of its two
    // radii; maximum inscribed: InnerRadius; minimum circumscribed: OuterRadius.
    double Radius = 0.0;
    double InnerRadius = 0.0; // the least distance of a point from the centre
    double OuterRadius = 0.0; // the greatest
    double RONt = 0.0;        // OuterRadius − InnerRadius: the roundness about this centre
    // Minimum zone: four, alternating outer and inner around the centre;
    // inscribed and circumscribed: two opposite or three around the centre;
    // least squares: none. Sorted by angle.
    std::vector<CircleContact> Contacts;
    // Least squares: the fit converged. The others: the result meets its
    // conditions (VerifyTrueCircle); a result that does not is not to be shown.
    bool Valid = false;
    // What the exact check proved (TrueCircleCertificate.h), when the
    // analysis asked for it; None for least squares.
    kyklos::Certificate Certificate{};
};

// The direction of (dx, dy), counter-clockwise from +x, in [0, 2π); 0 for (0, 0).
double PointAngle(double dx, double dy);

// The length of (dx, dy): the one formula every true-circle distance uses,
// so that a fit, its contacts and its check agree to the last bit. (hypot
// guards against overflow that lengths in mm never reach, at several times
// the cost.)
inline double PointDistance(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

// InnerRadius, OuterRadius and RONt of `circle` from the distances of the
// points (x[i], y[i]) from its centre; x and y hold the same number of
// points, at least one.
void MeasureAboutCentre(std::span<const double> x, std::span<const double> y, TrueCircle& circle);

} // namespace kyklos
