#pragma once
// The report's five results as every output shows them — the page, the
// evaluation panel and page, the text block, JSON and CSV: derived here once.

#include "document/AnalysisResult.h"

#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

// Below 0.1 nm of eccentricity its direction is noise: no angle is shown.
inline constexpr double kSmallestEccentricityWithAngleMm = 1e-7;

inline bool EccentricityAngleShown(double eccentricityMm) { return eccentricityMm >= kSmallestEccentricityWithAngleMm; }

// What every output says when the selected reference could not be fitted.
inline constexpr std::string_view kFailedFitMessage = "Reference fit failed: results about the measurement axis.";

struct ShownResults {
    // The reference fit failed: roundness is the peak minus valley about the
    // measurement axis (equal to the runout), the eccentricity what the fit left.
    bool AboutMeasurementAxis = false;
    double RoundnessMm = 0.0; // peak minus valley about the reference
    double EccentricityMm = 0.0;
    std::optional<double> EccentricityAngleDeg; // none where EccentricityAngleShown is false
    double ConcentricityMm = 0.0;               // twice the eccentricity: the diameter of the circle the centre runs on
    double RunoutMm = 0.0;
};

// The shown results of an analysis whose filtered profile is valid.
ShownResults ShowResults(const AnalysisResult& result);

// The report's reference heading: "Reference: Least Squares Circle" (…Minimum
// Zone Center, …Maximum Inscribed Circle, …Minimum Circumscribed Circle); the
// filter's heading is FilterHeading (FilterKind.h).
std::string_view ReferenceLabel(ReferenceKind kind);

} // namespace kyklos
