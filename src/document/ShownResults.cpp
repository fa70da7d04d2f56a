#include "document/ShownResults.h"

namespace kyklos {

ShownResults ShowResults(const AnalysisResult& result)
{
    ShownResults shown;
    shown.AboutMeasurementAxis = !result.FitValid;
    shown.RoundnessMm = result.Peak - result.Valley;
    shown.EccentricityMm = result.Eccentricity;
    if (EccentricityAngleShown(result.Eccentricity)) shown.EccentricityAngleDeg = result.EccentricityAngle;
    shown.ConcentricityMm = 2.0 * result.Eccentricity;
    shown.RunoutMm = result.Runout;
    return shown;
}

std::string_view ReferenceLabel(ReferenceKind kind)
{
    switch (kind) {
    case ReferenceKind::LeastSquares: return "Reference: Least Squares Circle";
    case ReferenceKind::MaximumInscribed: return "Reference: Maximum Inscribed Circle";
    case ReferenceKind::MinimumCircumscribed: return "Reference: Minimum Circumscribed Circle";
    case ReferenceKind::MinimumZone: break;
    }
    return "Reference: Minimum Zone Center";
}

} // namespace kyklos
