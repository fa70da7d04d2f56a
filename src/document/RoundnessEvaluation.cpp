#include "document/RoundnessEvaluation.h"

#include "analysis/FilterResponse.h"
#include "analysis/HarmonicSpectrum.h"
#include "analysis/OptimalCentres.h"
#include "analysis/PeakValley.h"
#include "analysis/ReferenceCertificate.h"
#include "analysis/RoundnessParameters.h"
#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"
#include "analysis/TrueCircles.h"
#include "document/AnalysisResult.h"
#include "io/Profile.h"
#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <numbers>
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
        r.PeakAngle = result.PeakAngle;
        r.ValleyAngle = result.ValleyAngle;
        r.RONt = result.Peak - result.Valley;
    }
    r.Contacts = result.Contacts;
    r.Unverified = result.FitUnverified;
    r.Certificate = result.FitCertificate;
    r.Unproved = result.FitUnproved;
    return r;
}

// The steps of the analysis after its filter, for a reference it did not select.
ReferenceEvaluation FitOtherReference(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                                      const LimaconReference& rawFit, bool withCertificate)
{
    LimaconReference reference = rawFit;
    double zoneHalfWidth = 0.0;
    const bool found = FitReferenceCircle(kind, filtered, samples, reference, zoneHalfWidth);
    return CheckedReference(kind, filtered, samples, reference, zoneHalfWidth, found, withCertificate);
}

// The range of RONt over the optimal centres of an inscribed or circumscribed
// reference; the search takes the equal-step sample table, so only there.
void FindRONtRange(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                   ReferenceEvaluation& r)
{
    if (!r.FitValid || !r.RONt || !samples.IsEqualStepFullTurn()) return;
    if (kind != ReferenceKind::MaximumInscribed && kind != ReferenceKind::MinimumCircumscribed) return;
    OptimalCentres centres;
    const SampleAngles& angles = SampleAngles::ForCount(samples.Count());
    if (!FindOptimalCentres(filtered, angles, kind, {r.ReferenceA, r.ReferenceB, r.ReferenceC}, centres)) return;
    r.CentreUnique = centres.CentreUnique;
    r.RONtRange = std::pair{std::min(centres.RONtMin, *r.RONt), std::max(centres.RONtMax, *r.RONt)};
}

std::vector<HarmonicComponent> Harmonics(std::span<const double> raw, std::span<const double> filtered,
                                         const FilterSpec& applied)
{
    std::vector<HarmonicTerm> rawSpectrum, filteredSpectrum;
    HarmonicSpectra(raw, filtered, rawSpectrum, filteredSpectrum);
    const std::vector<double> transmission = FilterTransmission(applied, static_cast<int>(raw.size()));
    std::vector<HarmonicComponent> harmonics(rawSpectrum.size());
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        HarmonicComponent& h = harmonics[i];
        h.Upr = static_cast<int>(i) + 1;
        h.Amplitude = rawSpectrum[i].Amplitude();
        h.Phase = rawSpectrum[i].Phase();
        h.FilteredAmplitude = filteredSpectrum[i].Amplitude();
        h.Transmission = i < transmission.size() ? transmission[i] : 0.0;
        h.FilteredPhase = filteredSpectrum[i].Phase();
        h.FirstPeakAngle = FirstPeakAngle(h.Phase, h.Upr);
    }
    return harmonics;
}

// The true circle of the same kind as a limaçon reference, when it was fitted and passed its check.
std::optional<double> TrueCircleRONt(const std::optional<TrueCircles>& circles, ReferenceKind kind)
{
    if (!circles) return std::nullopt;
    const TrueCircle* circle = nullptr;
    switch (kind) {
    case ReferenceKind::LeastSquares: circle = &circles->LeastSquares; break;
    case ReferenceKind::MinimumZone: circle = &circles->MinimumZone; break;
    case ReferenceKind::MaximumInscribed:
        circle = circles->MaximumInscribed ? &*circles->MaximumInscribed : nullptr;
        break;
    case ReferenceKind::MinimumCircumscribed:
        circle = circles->MinimumCircumscribed ? &*circles->MinimumCircumscribed : nullptr;
        break;
    }
    if (!circle || !circle->Valid) return std::nullopt;
    return circle->RONt;
}

// The warnings in the order the page lists them: the filter's, the
// sampling's, the eccentricity, the centres that are not unique, the
// coverage, the fits not shown and the spectrum left out.
std::vector<std::string> EvaluationWarnings(const RoundnessEvaluation& e, const AnalysisResult& result,
                                            const AnalysisSettings& settings, bool equalSteps)
{
    std::vector<std::string> warnings = result.FilterWarnings;
    if (equalSteps)
        for (std::string& w : FilterSamplingWarnings(e.PointCount, e.FilterApplied)) warnings.push_back(std::move(w));
    const std::optional<double> trueRONt = TrueCircleRONt(result.Circles, e.SelectedReference);
    if (std::optional<std::string> eccentricity = EccentricityWarning(e.Selected(), trueRONt, e.SelectedReference))
        warnings.push_back(std::move(*eccentricity));
    for (const ReferenceKind kind : kReferenceKinds)
        if (std::optional<std::string> centre = CentreWarning(kind, e.Reference(kind)))
            warnings.push_back(std::move(*centre));
    if (!(result.Samples.LargestGap() < std::numbers::pi))
        warnings.push_back(PartialCoverageWarning(result.Samples.LargestGap()));
    for (const ReferenceKind kind : kReferenceKinds)
        if (e.Reference(kind).Unverified) warnings.push_back(UnverifiedFitWarning(kind));
    for (const ReferenceKind kind : kReferenceKinds)
        if (e.Reference(kind).Unproved) warnings.push_back(UnprovedFitWarning(kind));
    if (settings.WithHarmonics && !result.Samples.IsEqualStepFullTurn())
        warnings.emplace_back(kHarmonicsLeftOutWarning);
    return warnings;
}

std::string_view ReferenceName(ReferenceKind kind)
{
    switch (kind) {
    case ReferenceKind::LeastSquares: return "least squares";
    case ReferenceKind::MaximumInscribed: return "maximum inscribed";
    case ReferenceKind::MinimumCircumscribed: return "minimum circumscribed";
    case ReferenceKind::MinimumZone: break;
    }
    return "minimum zone";
}

// A RONt above the tolerance by less than this (relative) is equal to it: the
// rounding of a conversion between mm, µm and µin is some 1e-16, the
// smallest difference of form any instrument resolves some 1e-6.
constexpr double kEqualToTolerance = 1e-12;

// A limaçon error below a tenth of RONt leaves the form as it is.
constexpr double kEccentricityErrorShare = 0.1;

} // namespace

double FirstPeakAngle(double phase, int upr)
{
    constexpr double twoPi = 2.0 * std::numbers::pi;
    if (upr < 1 || !std::isfinite(phase)) return 0.0;
    double turn = std::fmod(phase, twoPi);
    if (turn < 0.0) turn += twoPi;
    const double angle = turn / upr;
    // A phase a rounding below 2π is the peak at 0, not one a whole lobe on.
    return angle < twoPi / upr ? angle : 0.0;
}

std::string_view VerdictText(ToleranceVerdict verdict)
{
    switch (verdict) {
    case ToleranceVerdict::Pass: return "Pass";
    case ToleranceVerdict::Fail: return "Fail";
    case ToleranceVerdict::None: break;
    }
    return "\u2014";
}

ToleranceVerdict JudgeRoundness(std::optional<double> rontMm, const std::optional<RoundnessTolerance>& tolerance)
{
    if (!rontMm || !tolerance || std::isnan(tolerance->Value)) return ToleranceVerdict::None;
    // In the unit the tolerance was typed in, so that it is judged as typed.
    const double ront = ShownLength(*rontMm, tolerance->Metric);
    const double t = tolerance->Value;
    return ront <= t || ront - t <= kEqualToTolerance * std::fabs(t) ? ToleranceVerdict::Pass : ToleranceVerdict::Fail;
}

void JudgeTolerance(RoundnessEvaluation& evaluation, const std::optional<RoundnessTolerance>& tolerance)
{
    evaluation.Tolerance = tolerance;
    const std::optional<double>& ront = evaluation.Selected().RONt;
    evaluation.Verdict = evaluation.Valid ? JudgeRoundness(ront, tolerance) : ToleranceVerdict::None;
    evaluation.MarginUm.reset();
    if (evaluation.Verdict == ToleranceVerdict::None) return;
    // t − RONt where the verdict compared them; what counted as equal leaves nothing.
    double margin = tolerance->Value - ShownLength(*ront, tolerance->Metric);
    if (evaluation.Verdict == ToleranceVerdict::Pass) margin = std::max(margin, 0.0);
    evaluation.MarginUm = ShownToMicrometres(margin, tolerance->Metric);
}

std::optional<std::string> EccentricityWarning(const ReferenceEvaluation& selected,
                                               std::optional<double> trueCircleRONt, ReferenceKind kind)
{
    const double e = selected.Eccentricity, r = selected.ReferenceC;
    if (!selected.FitValid || !selected.RONt || !(r > 0.0)) return std::nullopt;
    // An eccentric circle is a limaçon only to first order: the rest is a
    // two-lobe form of peak-to-valley e²/(2R).
    const double error = e * e / (2.0 * r);
    if (!std::isfinite(error) || !(error > kEccentricityErrorShare * *selected.RONt)) return std::nullopt;
    std::string warning = "The eccentricity (" + FixedNumber(e * kMicrometresPerMillimetre, 3) +
                          " \u00B5m on a radius of " + FixedNumber(r, 3) + " mm) adds about " +
                          FixedNumber(error * kMicrometresPerMillimetre, 3) +
                          " \u00B5m of apparent two-lobe form; centre the part better.";
    if (trueCircleRONt && std::isfinite(*trueCircleRONt))
        warning += " About the true " + std::string(ReferenceName(kind)) + " circle the roundness is " +
                   FixedNumber(*trueCircleRONt * kMicrometresPerMillimetre, 3) + " \u00B5m.";
    return warning;
}

std::optional<std::string> CentreWarning(ReferenceKind kind, const ReferenceEvaluation& reference)
{
    if (reference.CentreUnique || !reference.RONtRange || !reference.RONt) return std::nullopt;
    const auto um = [](double mm) { return FixedNumber(mm * kMicrometresPerMillimetre, 3); };
    const char* name =
        kind == ReferenceKind::MaximumInscribed ? "maximum inscribed circle" : "minimum circumscribed circle";
    return "RONt " + std::string(ReferenceAbbreviation(kind)) + " " + um(*reference.RONt) +
           " \u00B5m \u2014 centre not unique: " + um(reference.RONtRange->first) + " to " +
           um(reference.RONtRange->second) + " \u00B5m over the " + name + "'s optimal centres.";
}

ReferenceEvaluation CheckedReference(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                                     const LimaconReference& reference, double zoneHalfWidth, bool found,
                                     bool withCertificate)
{
    ReferenceEvaluation r;
    const double a = reference.a, b = reference.b, c = reference.c;
    r.ReferenceA = a;
    r.ReferenceB = b;
    r.ReferenceC = c;
    r.Eccentricity = std::sqrt(a * a + b * b);
    r.EccentricityAngle = EccentricityAngleDegrees(a, b);
    if (!found) return r;
    ReferenceCheck check;
    if (!CheckReference(kind, filtered, samples, reference, zoneHalfWidth, check)) {
        r.Unverified = true;
        return r;
    }
    r.FitValid = true;
    r.Contacts = std::move(check.Contacts);
    FindPeakValley(filtered, samples, a, b, c, r.Peak, r.PeakAngle, r.Valley, r.ValleyAngle);
    r.RONt = r.Peak - r.Valley;
    if (withCertificate)
        ApplyCertificate(CertifyReference(kind, filtered, samples, reference, zoneHalfWidth, r.Contacts), r);
    return r;
}

void ApplyCertificate(const kyklos::Certificate& certificate, ReferenceEvaluation& reference)
{
    reference.Certificate = certificate;
    // Only a limaçon's exact check bounds the distance from the optimum;
    // nothing checked proves nothing against the result either.
    if (certificate.Checked != CertificateLevel::Exact || !(certificate.GapMm > kShownGapMm)) return;
    reference.FitValid = false;
    reference.Unproved = true;
    reference.RONt.reset();
    reference.Peak = reference.Valley = reference.PeakAngle = reference.ValleyAngle = 0.0;
    reference.Contacts.clear();
    reference.RONtRange.reset();
}

std::string UnverifiedFitWarning(ReferenceKind kind)
{
    return "The " + std::string(ReferenceName(kind)) + " fit could not be verified; it is not shown.";
}

std::string UnprovedFitWarning(ReferenceKind kind)
{
    return "The " + std::string(ReferenceName(kind)) + " fit could not be proved optimal; it is not shown.";
}

RoundnessEvaluation EvaluateRoundness(const Profile& profile, const AnalysisResult& result,
                                      const AnalysisSettings& settings)
{
    ++evaluationCount;
    RoundnessEvaluation e;
    const int n = profile.PointCount();
    const SampleSet& samples = result.Samples;
    if (n < 1 || result.FilteredRadius.size() != profile.RawRadius.size() || samples.Count() != n) return e;
    e.Valid = true;
    e.PointCount = n;
    e.Filter = settings.Filter();
    e.FilterApplied = result.FilterApplied;
    e.CutoffUpr = e.FilterApplied.Kind == FilterKind::None ? 0 : UpperCutoffUpr(e.FilterApplied);
    e.SamplesUsed = samples.UsedCount();
    e.SamplesExcluded = result.SamplesExcluded;
    e.SpikesRemoved = static_cast<int>(result.RemovedSpikes.size());
    e.LargestGapDeg = LargestGapDegrees(result);
    e.CoverageDeg = CoverageDegrees(result);
    const std::span<const double> raw(profile.RawRadius);
    const std::span<const double> filtered(result.FilteredRadius);

    e.SelectedReference = settings.ReferenceKind;
    for (const ReferenceKind kind : kReferenceKinds) {
        ReferenceEvaluation& r = e.References[static_cast<std::size_t>(ReferenceIndex(kind))];
        r = kind == e.SelectedReference
                ? AnalysedReference(result)
                : FitOtherReference(kind, filtered, samples, result.RawLeastSquares, settings.WithCertificates);
        FindRONtRange(kind, filtered, samples, r);
    }

    const ReferenceEvaluation& leastSquares = e.Reference(ReferenceKind::LeastSquares);
    if (leastSquares.FitValid) {
        const double rms = RootMeanSquareDeviation(filtered, samples, leastSquares.ReferenceA, leastSquares.ReferenceB,
                                                   leastSquares.ReferenceC);
        const RoundnessParameters p = RoundnessParametersFromExtremes(leastSquares.Peak, leastSquares.Valley, rms);
        e.RONp = p.RONp;
        e.RONv = p.RONv;
        e.RONq = p.RONq;
    }

    JudgeTolerance(e, settings.Tolerance);
    // The sampling warnings weigh N against the cutoff: they need the equal step.
    const bool equalSteps = profile.EqualSteps || samples.IsEqualStepFullTurn();
    e.Warnings = EvaluationWarnings(e, result, settings, equalSteps);
    if (settings.WithHarmonics && samples.IsEqualStepFullTurn())
        e.Harmonics = Harmonics(raw, filtered, e.FilterApplied);
    return e;
}

// 1 pm: far below what any roundness instrument resolves; what the transform
// leaves of a harmonic that is not there, whose phase means nothing.
constexpr double kNegligibleAmplitudeMm = 1e-9;

std::vector<HarmonicComponent> LargestHarmonics(const RoundnessEvaluation& evaluation, std::size_t count)
{
    std::vector<HarmonicComponent> candidates;
    for (const HarmonicComponent& h : evaluation.Harmonics)
        if (h.Upr >= 2 && std::fabs(h.Transmission) >= kSmallestListedTransmission &&
            std::isfinite(h.FilteredAmplitude) && h.FilteredAmplitude >= kNegligibleAmplitudeMm)
            candidates.push_back(h);
    const std::size_t shown = std::min(count, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(shown), candidates.end(),
                      [](const HarmonicComponent& a, const HarmonicComponent& b) {
                          return a.FilteredAmplitude != b.FilteredAmplitude ? a.FilteredAmplitude > b.FilteredAmplitude
                                                                            : a.Upr < b.Upr;
                      });
    candidates.resize(shown);
    return candidates;
}

std::uint64_t RoundnessEvaluationCount() { return evaluationCount.load(); }

} // namespace kyklos
