#include "analysis/TrueCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kyklos {

double PointAngle(double dx, double dy)
{
    double angle = std::atan2(dy, dx);
    if (angle < 0.0) angle += 2.0 * std::numbers::pi;
    // A direction just below +x rounds up to 2π, which is the angle 0.
    return angle < 2.0 * std::numbers::pi ? angle : 0.0;
}

void MeasureAboutCentre(std::span<const double> x, std::span<const double> y, TrueCircle& circle)
{
    double inner = PointDistance(x[0] - circle.CentreX, y[0] - circle.CentreY);
    double outer = inner;
    for (std::size_t i = 1; i < x.size(); ++i) {
        const double d = PointDistance(x[i] - circle.CentreX, y[i] - circle.CentreY);
        inner = std::min(inner, d);
        outer = std::max(outer, d);
    }
    circle.InnerRadius = inner;
    circle.OuterRadius = outer;
    circle.RONt = outer - inner;
}

} // namespace kyklos
