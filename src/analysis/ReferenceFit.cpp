#include "analysis/ReferenceFit.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"

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

} // namespace kyklos
