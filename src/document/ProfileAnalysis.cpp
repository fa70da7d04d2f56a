#include "document/ProfileAnalysis.h"

#include "analysis/GaussianFilter.h"
#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"
#include "analysis/SampleAngles.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace kyklos {

namespace {

// The results the report, the graph and kyklos-report show or write.
constexpr double AnalysisResult::*kShownResults[] = {
    &AnalysisResult::MinRawRadius,  &AnalysisResult::MaxRawRadius,
    &AnalysisResult::NominalRadius, &AnalysisResult::ReferenceA,
    &AnalysisResult::ReferenceB,    &AnalysisResult::ReferenceC,
    &AnalysisResult::ZoneHalfWidth, &AnalysisResult::Peak,
    &AnalysisResult::PeakAngle,     &AnalysisResult::Valley,
    &AnalysisResult::ValleyAngle,   &AnalysisResult::Runout,
    &AnalysisResult::Eccentricity,  &AnalysisResult::EccentricityAngle};

// True when every result and filtered sample is finite in every unit shown.
bool ResultsFitEveryUnit(const AnalysisResult& result)
{
    // The file reader accepts any finite radius, but the fits and the filter
    // add and square radii: near the top of the double range a sum or a² + b²
    // overflows to inf, and inf − inf gives NaN, which fails every comparison
    // of a peak search and so hides as a zero roundness. Rather than guard
    // each step, check what is shown: every result and every filtered sample,
    // with roundness and concentricity as the report derives them, must stay
    // finite at the largest display factor, millimetres to microinches. The
    // factor is doubled so that the arithmetic the displays add on top (the
    // difference of two radii the graph plots, any order of multiplying)
    // cannot overflow either. A NaN fails the test too.
    constexpr double kLargestDisplayFactor = kMicrometresPerMillimetre * kMicroinchesPerMicrometre;
    constexpr double kLimitFactor = 2.0 * kLargestDisplayFactor;
    const auto fits = [](double value) { return std::isfinite(value * kLimitFactor); };
    for (const auto member : kShownResults)
        if (!fits(result.*member)) return false;
    if (!fits(result.Peak - result.Valley) || !fits(2.0 * result.Eccentricity)) return false;
    return std::all_of(result.FilteredRadius.begin(), result.FilteredRadius.end(), fits);
}

} // namespace

AnalysisStatus AnalyseProfile(const Profile& profile, const AnalysisSettings& settings, ProgressPort& progress,
                              AnalysisResult& result, std::string& refusal)
{
    refusal.clear();
    const int n = profile.PointCount();
    if (n < 1) return AnalysisStatus::NoProfile;
    const std::span<const double> raw(profile.RawRadius);
    AnalysisResult& r = result;
    r.Evaluation = RoundnessEvaluation{};

    r.MinRawRadius = r.MaxRawRadius = raw[0];
    for (const double v : raw) {
        if (v > r.MaxRawRadius)
            r.MaxRawRadius = v;
        else if (v < r.MinRawRadius)
            r.MinRawRadius = v;
    }

    // No measured part comes near this radius, and below it every sum and
    // square the fits, the filter and the evaluation beside the page form over
    // up to 36000 samples stays finite, in microinches too.
    constexpr double kLargestEvaluableRadiusMm = 1e100;
    if (std::max(-r.MinRawRadius, r.MaxRawRadius) > kLargestEvaluableRadiusMm) return AnalysisStatus::TooLarge;

    // The cosines and sines of the sample angles, shared by every scan below;
    // the same values EvaluateLimacon would compute, so the digits do not change.
    const SampleAngles& angles = SampleAngles::ForCount(n);
    const auto limacon = [&angles](int i, const LimaconReference& l) {
        return angles.Cosine(i) * l.a + angles.Sine(i) * l.b + l.c;
    };

    // Take out the eccentric least squares circle so that the mean radius and
    // the once-per-revolution term pass the filter unchanged.
    LimaconReference& fit = r.RawLeastSquares;
    if (!FitLeastSquaresCircle(raw, angles, fit.a, fit.b, fit.c)) return AnalysisStatus::NoProfile;
    r.NominalRadius = fit.c;

    std::vector<double> residual(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        residual[static_cast<std::size_t>(i)] = raw[static_cast<std::size_t>(i)] - limacon(i, fit);
    r.FilteredRadius.resize(static_cast<std::size_t>(n));
    const bool finished =
        GaussianFilterProfile(residual, r.FilteredRadius, n, static_cast<double>(settings.FilterCutoffUpr), progress);
    residual = {};
    if (!finished) {
        // The output holds a partial sum: nothing may show it as a profile.
        r.FitValid = false;
        return AnalysisStatus::Cancelled;
    }
    for (int i = 0; i < n; ++i) r.FilteredRadius[static_cast<std::size_t>(i)] += limacon(i, fit);

    const std::span<const double> filtered(r.FilteredRadius);
    FindPeakValley(filtered, angles, 0.0, 0.0, fit.c, r.Peak, r.PeakAngle, r.Valley, r.ValleyAngle);
    r.Runout = r.Peak - r.Valley;

    // Only the minimum zone has a width: no other fit may show one left from an earlier analysis.
    r.ZoneHalfWidth = 0.0;
    LimaconReference reference = fit;
    r.FitValid = FitReferenceCircle(settings.ReferenceKind, filtered, angles, reference, r.ZoneHalfWidth);
    r.ReferenceA = reference.a;
    r.ReferenceB = reference.b;
    r.ReferenceC = reference.c;

    r.Eccentricity = std::sqrt(r.ReferenceA * r.ReferenceA + r.ReferenceB * r.ReferenceB);
    r.EccentricityAngle = EccentricityAngleDegrees(r.ReferenceA, r.ReferenceB);

    if (r.FitValid)
        FindPeakValley(filtered, angles, r.ReferenceA, r.ReferenceB, r.ReferenceC, r.Peak, r.PeakAngle, r.Valley,
                       r.ValleyAngle);

    if (!ResultsFitEveryUnit(r)) return AnalysisStatus::TooLarge;
    r.Evaluation = EvaluateRoundness(profile, r, settings);
    return AnalysisStatus::Done;
}

} // namespace kyklos
