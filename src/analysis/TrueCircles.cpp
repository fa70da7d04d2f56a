#include "analysis/TrueCircles.h"

#include "analysis/MaximumInscribedTrueCircle.h"
#include "analysis/MinimumCircumscribedTrueCircle.h"
#include "analysis/MinimumZoneTrueCircle.h"
#include "analysis/TrueCircleContacts.h"

namespace kyklos {

bool FitTrueCircles(std::span<const double> x, std::span<const double> y, TrueCircles& circles)
{
    circles = TrueCircles{};
    if (!FitGeometricCircle(x, y, circles.LeastSquares, circles.Convergence) ||
        !MakePointProfile(x, y, circles.LeastSquares.CentreX, circles.LeastSquares.CentreY, circles.Profile)) {
        circles = TrueCircles{};
        return false;
    }
    if (!FitMinimumZoneTrueCircle(x, y, circles.Profile, circles.MinimumZone)) {
        // Three points: the zone about the least squares centre, which has no four contacts.
        circles.MinimumZone.CentreX = circles.LeastSquares.CentreX;
        circles.MinimumZone.CentreY = circles.LeastSquares.CentreY;
        CompleteTrueCircle(ReferenceKind::MinimumZone, x, y, circles.MinimumZone);
    }
    // Each is refused when the points leave a gap of half a turn about the start.
    TrueCircle circle;
    if (FitMaximumInscribedTrueCircle(x, y, circles.Profile, circle)) circles.MaximumInscribed = circle;
    if (FitMinimumCircumscribedTrueCircle(x, y, circles.Profile, circle)) circles.MinimumCircumscribed = circle;
    return true;
}

} // namespace kyklos
