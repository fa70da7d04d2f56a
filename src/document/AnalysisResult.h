#pragma once
// What one analysis of a profile hands up: the filtered profile, the
// selected reference with its peak and valley, the runout about the
// measurement axis and the evaluation beside the page, computed once.
//
// Units: radii and radial results in millimetres; angles in radians, except
// EccentricityAngle, in degrees.

#include "analysis/FilterKind.h"
#include "analysis/Limacon.h"
#include "analysis/SampleSet.h"
#include "analysis/TrueCircles.h"
#include "document/RoundnessEvaluation.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

struct AnalysisResult {
    // The profile's samples at their angles, the used ones marked: every
    // sample but those in an excluded sector and the spikes removed. Every
    // fit, scan and parameter below runs over the used samples only.
    SampleSet Samples;
    int SamplesExcluded = 0;        // in excluded sectors or removed as spikes
    std::vector<int> RemovedSpikes; // sample indices, ascending; empty without spike removal
    // The filter the profile really passed: the settings' one, or None when
    // the samples were too sparse for it (with its warning in the evaluation).
    FilterSpec FilterApplied;
    // What the filter and the spike search's robust filter had to say (too
    // sparse, not converged), for the evaluation's warnings.
    std::vector<std::string> FilterWarnings;
    // The four true circles of the points (a point set), or of the used
    // samples taken as points about the measurement axis (WithCircles).
    std::optional<TrueCircles> Circles;

    double MinRawRadius = 0.0; // mm, smallest raw sample
    double MaxRawRadius = 0.0; // mm, largest raw sample
    // The least squares limaçon of the raw profile: taken out before the
    // filter and put back after it; the other reference fits start from it.
    LimaconReference RawLeastSquares;
    double NominalRadius = 0.0; // mm, RawLeastSquares.c: the polar graph's base radius
    std::vector<double>
        FilteredRadius;  // mm, one per sample; an unused sample holds its raw radius and is drawn only as raw
    double Runout = 0.0; // mm, peak minus valley about a circle centred on the measurement axis

    // The reference selected by the settings. With FitValid false, Peak and
    // Valley are the deviations from the circle of NominalRadius about the
    // measurement axis, and the eccentricity is what the failed fit left.
    bool FitValid = false;
    double ReferenceA = 0.0;        // mm, x offset of the reference centre
    double ReferenceB = 0.0;        // mm, y offset
    double ReferenceC = 0.0;        // mm, reference radius
    double ZoneHalfWidth = 0.0;     // mm, half the minimum zone's width (minimum zone only)
    double Peak = 0.0;              // mm, largest deviation of the filtered profile (normally ≥ 0)
    double PeakAngle = 0.0;         // radians
    double Valley = 0.0;            // mm, smallest deviation (normally ≤ 0)
    double ValleyAngle = 0.0;       // radians
    double Eccentricity = 0.0;      // mm, √(a² + b²)
    double EccentricityAngle = 0.0; // degrees, (−180, 180]
    // The selected reference's contacts when it is shown (see
    // ReferenceEvaluation::Contacts), and FitUnverified when the fit found a
    // reference that failed its check of optimality: FitValid is false then.
    std::vector<ReferenceContact> Contacts;
    bool FitUnverified = false;
    // What the exact check proved of the selected reference, and
    // FitUnproved when its gap is too large for it to be shown (FitValid
    // false then; see ReferenceEvaluation::Unproved).
    kyklos::Certificate FitCertificate;
    bool FitUnproved = false;

    RoundnessEvaluation Evaluation;
};

// Direction of a reference centre (a, b) in degrees, in (−180, 180]: a
// centre on the negative x axis reads 180 even when b comes out as −0.0.
double EccentricityAngleDegrees(double a, double b);

// The largest angle between neighbouring used samples, the wrap included, in
// degrees (seen from the measurement axis; for points from the least
// squares centre), and 360 less it.
double LargestGapDegrees(const AnalysisResult& result);
double CoverageDegrees(const AnalysisResult& result);

} // namespace kyklos
