#include "document/PointSetProfile.h"

#include "analysis/GeometricCircle.h"
#include "analysis/PointProfile.h"
#include "analysis/TrueCircle.h"

#include <cstddef>

namespace kyklos {

std::string TakePointsAboutTheirCircle(Profile& points)
{
    if (points.PointX.size() < 3 || points.PointX.size() != points.PointY.size())
        return "The points are too few for a circle: at least three are needed.";
    TrueCircle circle;
    CircleConvergence convergence;
    if (!FitGeometricCircle(points.PointX, points.PointY, circle, convergence))
        return "No circle fits the points: they lie on one line.";
    if (!circle.Valid) return "No circle fits the points: the least squares circle does not settle.";
    PointProfile radial;
    if (!MakePointProfile(points.PointX, points.PointY, circle.CentreX, circle.CentreY, radial))
        return "No circle fits the points.";
    // A sample set needs strictly ascending angles: two points in one
    // direction from the centre would be two radii at one angle.
    for (std::size_t k = 1; k < radial.Angle.size(); ++k) {
        if (radial.Angle[k] > radial.Angle[k - 1]) continue;
        return "Points " + std::to_string(radial.Index[k - 1] + 1) + " and " + std::to_string(radial.Index[k] + 1) +
               " lie in one direction from the centre of their circle.";
    }
    points.RawRadius = std::move(radial.Radius);
    points.SampleAngle = std::move(radial.Angle);
    points.PointIndex = std::move(radial.Index);
    points.CentreX = radial.CentreX;
    points.CentreY = radial.CentreY;
    points.EqualSteps = false;
    return {};
}

} // namespace kyklos
