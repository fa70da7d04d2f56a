#include "document/RoundnessEvaluation.h"

#include "analysis/FilterResponse.h"
#include "analysis/HarmonicSpectrum.h"
#include "analysis/PeakValley.h"
#include "analysis/RoundnessParameters.h"
#include "analysis/SampleAngles.h"
#include "document/AnalysisResult.h"
#include "io/Profile.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <span>

namespace kyklos {

namespace {

std::atomic<std::uint64_t> evaluationCount{0};

// The selected reference, as the analysis found it.
ReferenceEvaluation AnalysedReference(const AnalysisResult& result)
{
    ReferenceEvaluation r;
    r.FitValid = result.FitValid;
    r.ReferenceA = result.ReferenceA;
    r.ReferenceB = result.ReferenceB;
    r.ReferenceC = result.ReferenceC;
    r.Eccentricity = result.Eccentricity;
    r.EccentricityAngle = result.EccentricityAngle;
    if (result.FitValid) {
        r.Peak = result.Peak;
        r.Valley = result.Valley;
        r.RONt = result.Peak - result.Valley;
    }
    return r;
}

// The steps of the analysis after its filter, for a reference it did not select.
ReferenceEvaluation FitOtherReference(ReferenceKind kind, std::span<const double> filtered,
                                      const SampleAngles& angles, const LimaconReference& rawFit)
{
    ReferenceEvaluation r;
    LimaconReference reference = rawFit;
    double zoneHalfWidth = 0.0;
    r.FitValid = FitReferenceCircle(kind, filtered, angles, reference, zoneHalfWidth);
    const double a = reference.a, b = reference.b, c = reference.c;
    r.ReferenceA = a;
    r.ReferenceB = b;
    r.ReferenceC = c;
    r.Eccentricity = std::sqrt(a * a + b * b);
    r.EccentricityAngle = EccentricityAngleDegrees(a, b);
    if (r.FitValid) {
        double peakAngle = 0.0, valleyAngle = 0.0;
        FindPeakValley(filtered, angles, a, b, c, r.Peak, peakAngle, r.Valley, valleyAngle);
        r.RONt = r.Peak - r.Valley;
    }
    return r;
}

std::vector<HarmonicComponent> Harmonics(std::span<const double> raw, std::span<const double> filtered, int cutoffUpr)
{
    std::vector<HarmonicTerm> rawSpectrum, filteredSpectrum;
    HarmonicSpectra(raw, filtered, rawSpectrum, filteredSpectrum);
    const std::vector<double> transmission =
        GaussianFilterTransmission(static_cast<int>(raw.size()), static_cast<double>(cutoffUpr));
    std::vector<HarmonicComponent> harmonics(rawSpectrum.size());
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        HarmonicComponent& h = harmonics[i];
        h.Upr = static_cast<int>(i) + 1;
        h.Amplitude = rawSpectrum[i].Amplitude();
        h.Phase = rawSpectrum[i].Phase();
        h.FilteredAmplitude = filteredSpectrum[i].Amplitude();
        h.Transmission = transmission[i];
    }
    return harmonics;
}

} // namespace

std::string_view VerdictText(ToleranceVerdict verdict)
{
    switch (verdict) {
    case ToleranceVerdict::Pass: return "Pass";
    case ToleranceVerdict::Fail: return "Fail";
    case ToleranceVerdict::None: break;
    }
    return "\u2014";
}

ToleranceVerdict JudgeRoundness(std::optional<double> rontMm, std::optional<double> toleranceUm)
{
    if (!rontMm || !toleranceUm || std::isnan(*toleranceUm)) return ToleranceVerdict::None;
    // Compared in micrometres, the unit the tolerance is given in.
    return *rontMm * kMicrometresPerMillimetre <= *toleranceUm ? ToleranceVerdict::Pass : ToleranceVerdict::Fail;
}

void JudgeTolerance(RoundnessEvaluation& evaluation, const std::optional<RoundnessTolerance>& tolerance)
{
    evaluation.Tolerance = tolerance;
    const std::optional<double> toleranceUm =
        tolerance ? std::optional<double>(tolerance->Micrometres()) : std::nullopt;
    const std::optional<double>& ront = evaluation.Selected().RONt;
    evaluation.Verdict = evaluation.Valid ? JudgeRoundness(ront, toleranceUm) : ToleranceVerdict::None;
    evaluation.MarginUm.reset();
    // t − RONt with the very product the verdict compared.
    if (evaluation.Verdict != ToleranceVerdict::None)
        evaluation.MarginUm = *toleranceUm - *ront * kMicrometresPerMillimetre;
}

RoundnessEvaluation EvaluateRoundness(const Profile& profile, const AnalysisResult& result,
                                      const AnalysisSettings& settings)
{
    ++evaluationCount;
    RoundnessEvaluation e;
    const int n = profile.PointCount();
    if (n < 1 || result.FilteredRadius.size() != profile.RawRadius.size()) return e;
    e.Valid = true;
    e.PointCount = n;
    e.CutoffUpr = settings.FilterCutoffUpr;
    const std::span<const double> raw(profile.RawRadius);
    const std::span<const double> filtered(result.FilteredRadius);
    const SampleAngles& angles = SampleAngles::ForCount(n);

    e.SelectedReference = settings.ReferenceKind;
    for (const ReferenceKind kind : kReferenceKinds)
        e.References[static_cast<std::size_t>(ReferenceIndex(kind))] =
            kind == e.SelectedReference ? AnalysedReference(result)
                                        : FitOtherReference(kind, filtered, angles, result.RawLeastSquares);

    const ReferenceEvaluation& leastSquares = e.Reference(ReferenceKind::LeastSquares);
    if (leastSquares.FitValid) {
        const double rms = RootMeanSquareDeviation(filtered, angles, leastSquares.ReferenceA, leastSquares.ReferenceB,
                                                   leastSquares.ReferenceC);
        const RoundnessParameters p = RoundnessParametersFromExtremes(leastSquares.Peak, leastSquares.Valley, rms);
        e.RONp = p.RONp;
        e.RONv = p.RONv;
        e.RONq = p.RONq;
    }

    JudgeTolerance(e, settings.Tolerance);
    e.Warnings = FilterSamplingWarnings(n, settings.FilterCutoffUpr);
    if (settings.WithHarmonics) e.Harmonics = Harmonics(raw, filtered, settings.FilterCutoffUpr);
    return e;
}

// 1 pm: far below what any roundness instrument resolves; what the transform
// leaves of a harmonic that is not there, whose phase means nothing.
constexpr double kNegligibleAmplitudeMm = 1e-9;

std::vector<HarmonicComponent> LargestHarmonics(const RoundnessEvaluation& evaluation, std::size_t count)
{
    std::vector<HarmonicComponent> candidates;
    for (const HarmonicComponent& h : evaluation.Harmonics)
        if (h.Upr >= 2 && std::isfinite(h.Amplitude) && h.Amplitude >= kNegligibleAmplitudeMm) candidates.push_back(h);
    const std::size_t shown = std::min(count, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(shown), candidates.end(),
                      [](const HarmonicComponent& a, const HarmonicComponent& b) {
                          return a.Amplitude != b.Amplitude ? a.Amplitude > b.Amplitude : a.Upr < b.Upr;
                      });
    candidates.resize(shown);
    return candidates;
}

std::uint64_t RoundnessEvaluationCount()
{
    return evaluationCount.load();
}

} // namespace kyklos
