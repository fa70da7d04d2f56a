#include "document/RoundnessEvaluation.h"

#include "analysis/FilterResponse.h"
#include "analysis/HarmonicSpectrum.h"
#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "analysis/PeakValley.h"
#include "analysis/RoundnessParameters.h"
#include "document/KyklosDoc.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kyklos {

namespace {

ReferenceEvaluation DocumentReference(const CKyklosDoc& doc)
{
    ReferenceEvaluation r;
    r.FitValid = doc.FitValid;
    r.ReferenceA = doc.ReferenceA;
    r.ReferenceB = doc.ReferenceB;
    r.ReferenceC = doc.ReferenceC;
    r.Eccentricity = doc.Eccentricity;
    r.EccentricityAngle = doc.EccentricityAngle;
    if (doc.FitValid) {
        r.Peak = doc.Peak;
        r.Valley = doc.Valley;
        r.RONt = doc.Peak - doc.Valley;
    }
    return r;
}

// The steps of the analysis after its filter, for a reference it did not select.
ReferenceEvaluation FitOtherReference(int kind, std::span<const double> filtered, const SampleAngles& angles,
                                      const LimaconReference& rawFit)
{
    ReferenceEvaluation r;
    double a = rawFit.a, b = rawFit.b, c = rawFit.c, zoneHalfWidth = 0.0;
    r.FitValid = FitReferenceCircle(kind, filtered, angles, a, b, c, zoneHalfWidth);
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

} // namespace

std::string_view VerdictText(ToleranceVerdict verdict)
{
    switch (verdict) {
    case ToleranceVerdict::Pass: return "Pass";
    case ToleranceVerdict::Fail: return "Fail";
    default: return "\u2014";
    }
}

ToleranceVerdict JudgeRoundness(std::optional<double> rontMm, std::optional<double> toleranceUm)
{
    if (!rontMm || !toleranceUm || std::isnan(*toleranceUm)) return ToleranceVerdict::None;
    // Compared in micrometres, the unit the tolerance is given in.
    return *rontMm * 1000.0 <= *toleranceUm ? ToleranceVerdict::Pass : ToleranceVerdict::Fail;
}

bool FitReferenceCircle(int kind, std::span<const double> filtered, const SampleAngles& angles, double& a, double& b,
                        double& c, double& zoneHalfWidth)
{
    const int n = angles.Count();
    switch (kind) {
    case LeastSquares: return FitLeastSquaresCircle(filtered, angles, a, b, c);
    case MaximumInscribed: return FitMaximumInscribedCircle(filtered, n, a, b, c);
    case MinimumCircumscribed: return FitMinimumCircumscribedCircle(filtered, n, a, b, c);
    default: return FitMinimumZoneCircle(filtered, n, a, b, c, zoneHalfWidth);
    }
}

RoundnessEvaluation EvaluateRoundness(const CKyklosDoc& doc, std::optional<double> toleranceUm, bool withHarmonics)
{
    RoundnessEvaluation e;
    const int n = doc.PointCount;
    if (!doc.DataLoaded || !doc.AnalysisValid || n < 1 || n > MaxProfilePoints) return e;
    e.Valid = true;
    e.PointCount = n;
    e.CutoffUpr = doc.FilterCutoffUpr;
    e.ToleranceUm = toleranceUm;
    const std::span<const double> raw(doc.RawRadius.data(), static_cast<std::size_t>(n));
    const std::span<const double> filtered(doc.FilteredRadius.data(), static_cast<std::size_t>(n));
    const SampleAngles& angles = SampleAngles::ForCount(n);

    // The fits start, as in the analysis, from the least squares fit of the
    // raw profile (it matters to the three-point fits while their solve is
    // singular); the document keeps only its radius, so it is fitted again.
    LimaconReference rawFit;
    FitLeastSquaresCircle(raw, angles, rawFit.a, rawFit.b, rawFit.c);

    const int selected = doc.ReferenceKind >= LeastSquares && doc.ReferenceKind <= MinimumCircumscribed
                             ? doc.ReferenceKind
                             : static_cast<int>(MinimumZone);
    e.SelectedReference = selected;
    for (int kind = LeastSquares; kind <= MinimumCircumscribed; ++kind)
        e.References[static_cast<std::size_t>(kind)] =
            kind == selected ? DocumentReference(doc) : FitOtherReference(kind, filtered, angles, rawFit);

    const ReferenceEvaluation& leastSquares = e.References[LeastSquares];
    if (leastSquares.FitValid) {
        const double rms = RootMeanSquareDeviation(filtered, angles, leastSquares.ReferenceA, leastSquares.ReferenceB,
                                                   leastSquares.ReferenceC);
        const RoundnessParameters p = RoundnessParametersFromExtremes(leastSquares.Peak, leastSquares.Valley, rms);
        e.RONp = p.RONp;
        e.RONv = p.RONv;
        e.RONq = p.RONq;
    }

    e.Verdict = JudgeRoundness(e.Selected().RONt, toleranceUm);
    e.Warnings = FilterSamplingWarnings(n, doc.FilterCutoffUpr);
    if (!withHarmonics) return e;

    std::vector<HarmonicTerm> rawSpectrum, filteredSpectrum;
    HarmonicSpectra(raw, filtered, rawSpectrum, filteredSpectrum);
    const std::vector<double> transmission = GaussianFilterTransmission(n, static_cast<double>(doc.FilterCutoffUpr));
    e.Harmonics.resize(rawSpectrum.size());
    for (std::size_t i = 0; i < e.Harmonics.size(); ++i) {
        HarmonicComponent& h = e.Harmonics[i];
        h.Upr = static_cast<int>(i) + 1;
        h.Amplitude = rawSpectrum[i].Amplitude();
        h.Phase = rawSpectrum[i].Phase();
        h.FilteredAmplitude = filteredSpectrum[i].Amplitude();
        h.Transmission = transmission[i];
    }
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

} // namespace kyklos
