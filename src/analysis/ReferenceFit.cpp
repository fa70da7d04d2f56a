#include "analysis/ReferenceFit.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "platform/NumberText.h"

namespace kyklos {

ReferenceKind ReferenceKindFromIndex(int index)
{
    switch (index) {
    case 0: return ReferenceKind::LeastSquares;
    case 2: return ReferenceKind::MaximumInscribed;
    case 3: return ReferenceKind::MinimumCircumscribed;
    default: return ReferenceKind::MinimumZone;
    }
}

std::string_view ReferenceAbbreviation(ReferenceKind kind)
{
    switch (kind) {
    case ReferenceKind::LeastSquares: return "LSCI";
    case ReferenceKind::MaximumInscribed: return "MICI";
    case ReferenceKind::MinimumCircumscribed: return "MCCI";
    case ReferenceKind::MinimumZone: break;
    }
    return "MZCI";
}

bool FitReferenceCircle(ReferenceKind kind, std::span<const double> filtered, const SampleAngles& angles,
                        LimaconReference& reference, double& zoneHalfWidth)
{
    const int n = angles.Count();
    double& a = reference.a;
    double& b = reference.b;
    double& c = reference.c;
    switch (kind) {
    case ReferenceKind::LeastSquares: return FitLeastSquaresCircle(filtered, angles, a, b, c);
    case ReferenceKind::MaximumInscribed: return FitMaximumInscribedCircle(filtered, n, a, b, c);
    case ReferenceKind::MinimumCircumscribed: return FitMinimumCircumscribedCircle(filtered, n, a, b, c);
    case ReferenceKind::MinimumZone: break;
    }
    return FitMinimumZoneCircle(filtered, n, a, b, c, zoneHalfWidth);
}

bool FitReferenceCircle(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                        LimaconReference& reference, double& zoneHalfWidth)
{
    double& a = reference.a;
    double& b = reference.b;
    double& c = reference.c;
    switch (kind) {
    case ReferenceKind::LeastSquares: return FitLeastSquaresCircle(filtered, samples, a, b, c);
    case ReferenceKind::MaximumInscribed: return FitMaximumInscribedCircle(filtered, samples, a, b, c);
    case ReferenceKind::MinimumCircumscribed: return FitMinimumCircumscribedCircle(filtered, samples, a, b, c);
    case ReferenceKind::MinimumZone: break;
    }
    return FitMinimumZoneCircle(filtered, samples, a, b, c, zoneHalfWidth);
}

std::string PartialCoverageWarning(double largestGap)
{
    const double coverage = 360.0 - largestGap * (180.0 / 3.141592653589793);
    return "The profile covers only " + FixedNumber(coverage, 1) +
           "\u00B0 of the circle; the inscribed and circumscribed circles need samples all around it.";
}

} // namespace kyklos
