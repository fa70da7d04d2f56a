#include "document/ProfileAnalysis.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"
#include "analysis/ProfileFilter.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/SpikeSearch.h"
#include "analysis/TrueCircleCertificate.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
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

constexpr std::string_view kTooFewSamplesRefusal = "The excluded sectors leave fewer than 3 samples to evaluate.";
constexpr std::string_view kTooFewAfterSpikesRefusal = "The spikes removed leave fewer than 3 samples to evaluate.";
constexpr std::string_view kSpikeGapsRefusal = " The spikes removed leave gaps in the profile.";

// The profile's samples as a set, `used` as given (empty for all): equal
// steps at i·2π/N as the fits' tables form them, else the profile's angles.
// False for angles a set cannot hold (out of order, outside the turn).
bool MakeSampleSet(const Profile& profile, std::vector<bool> used, SampleSet& samples)
{
    const int n = profile.PointCount();
    if (profile.EqualSteps) {
        samples = SampleSet::EqualSteps(n, std::move(used));
        return samples.Count() == n;
    }
    if (std::ssize(profile.SampleAngle) != n) return false;
    return SampleSet::FromAngles(profile.SampleAngle, std::move(used), samples);
}

// The samples outside every excluded sector, judged at the angles the set
// takes (i·2π/N on equal steps); empty (all) without sectors, so that a
// profile without them is the very set it always was.
std::vector<bool> SamplesOutsideSectors(const Profile& profile, const std::vector<ExcludedSector>& sectors)
{
    std::vector<bool> used;
    if (sectors.empty()) return used;
    const std::vector<double> equalSteps =
        profile.EqualSteps ? EqualStepAngles(profile.PointCount()) : std::vector<double>{};
    const std::vector<double>& angles = profile.EqualSteps ? equalSteps : profile.SampleAngle;
    used.assign(angles.size(), true);
    for (std::size_t i = 0; i < angles.size(); ++i)
        for (const ExcludedSector& sector : sectors)
            if (SectorHoldsAngle(sector, angles[i])) used[i] = false;
    return used;
}

// Why the settings cannot be applied to these samples, or nothing.
std::optional<std::string> SettingsRefusal(const AnalysisSettings& settings, const SampleSet& samples)
{
    const FilterSpec filterSpec = settings.Filter();
    if (const std::optional<std::string_view> refusal = FilterSpecRefusal(filterSpec)) return std::string(*refusal);
    // Too few to place a centre; a profile that has only one or two samples of
    // its own is evaluated about the axis as it always was.
    if (samples.UsedCount() < kFewestPointsForCentre && samples.UsedCount() < samples.Count())
        return std::string(kTooFewSamplesRefusal);
    if (FilterNeedsEqualSteps(filterSpec.Kind) && !samples.IsEqualStepFullTurn())
        return EqualStepsRefusal(filterSpec.Kind);
    return std::nullopt;
}

// The raw least squares limaçon of the used samples and the residual about
// it: what the filter and the spike search work on (0 at unused samples,
// which neither reads).
bool TakeOutLeastSquares(std::span<const double> raw, const SampleSet& samples, LimaconReference& fit,
                         std::vector<double>& residual)
{
    if (!FitLeastSquaresCircle(raw, samples, fit.a, fit.b, fit.c)) return false;
    residual.assign(raw.size(), 0.0);
    const std::span<const int> index = samples.UsedIndices();
    const std::span<const double> cosine = samples.UsedCosines();
    const std::span<const double> sine = samples.UsedSines();
    for (std::size_t k = 0; k < index.size(); ++k) {
        const auto i = static_cast<std::size_t>(index[k]);
        residual[i] = raw[i] - (cosine[k] * fit.a + sine[k] * fit.b + fit.c);
    }
    return true;
}

void AddWarning(std::vector<std::string>& warnings, const std::string& warning)
{
    if (!warning.empty() && std::find(warnings.begin(), warnings.end(), warning) == warnings.end())
        warnings.push_back(warning);
}

// Spike removal: the residual's spikes (against the robust profile of the
// filter's upper cutoff) become unused samples, and the raw least squares
// limaçon and residual are formed again without them. The refusal's text
// when the spikes leave too little, or gaps a per-harmonic filter cannot take.
std::optional<std::string> RemoveSpikes(const Profile& profile, const AnalysisSettings& settings, AnalysisResult& r,
                                        std::vector<double>& residual)
{
    SpikeSearch search;
    const FilterSpec filterSpec = settings.Filter();
    if (!FindSpikes(residual, r.Samples, UpperCutoffUpr(filterSpec), *settings.SpikeDeviations, search))
        return std::nullopt;
    AddWarning(r.FilterWarnings, search.Robust.Warning);
    if (search.Samples.empty()) return std::nullopt;
    if (FilterNeedsEqualSteps(filterSpec.Kind))
        return EqualStepsRefusal(filterSpec.Kind) + std::string(kSpikeGapsRefusal);

    std::vector<bool> used(static_cast<std::size_t>(r.Samples.Count()));
    for (int i = 0; i < r.Samples.Count(); ++i) used[static_cast<std::size_t>(i)] = r.Samples.IsUsed(i);
    for (const int i : search.Samples) used[static_cast<std::size_t>(i)] = false;
    if (!MakeSampleSet(profile, std::move(used), r.Samples)) return std::nullopt;
    if (r.Samples.UsedCount() < kFewestPointsForCentre) return std::string(kTooFewAfterSpikesRefusal);
    r.RemovedSpikes = std::move(search.Samples);
    TakeOutLeastSquares(profile.RawRadius, r.Samples, r.RawLeastSquares, residual);
    return std::nullopt;
}

// The filtered profile: the residual filtered and the raw limaçon put back at
// the used samples; the raw radius at the others, and everywhere when the
// profile is evaluated unfiltered (on purpose, or too sparse for the filter).
// False when the user cancelled the filter.
bool FilterResidual(std::span<const double> raw, const FilterSpec& filterSpec, std::span<const double> residual,
                    ProgressPort& progress, AnalysisResult& r)
{
    r.FilterApplied = filterSpec;
    r.FilteredRadius.assign(raw.begin(), raw.end());
    if (filterSpec.Kind == FilterKind::None) return true;
    std::vector<double> output(raw.size(), 0.0);
    FilterOutcome outcome = FilterProfile(filterSpec, r.Samples, residual, output, progress);
    if (!outcome.Finished) return false;
    for (const std::string& warning : outcome.Warnings) AddWarning(r.FilterWarnings, warning);
    if (outcome.Unfiltered) {
        r.FilterApplied.Kind = FilterKind::None;
        return true;
    }
    const LimaconReference& fit = r.RawLeastSquares;
    const std::span<const int> index = r.Samples.UsedIndices();
    const std::span<const double> cosine = r.Samples.UsedCosines();
    const std::span<const double> sine = r.Samples.UsedSines();
    for (std::size_t k = 0; k < index.size(); ++k) {
        const auto i = static_cast<std::size_t>(index[k]);
        r.FilteredRadius[i] = output[i] + (cosine[k] * fit.a + sine[k] * fit.b + fit.c);
    }
    return true;
}

// The runout about the measurement axis, then the selected reference, shown
// only when the fit found it and it passes its check of optimality. Without
// one, peak and valley stay those about the axis.
void FitSelectedReference(ReferenceKind kind, bool withCertificate, AnalysisResult& r)
{
    const std::span<const double> filtered(r.FilteredRadius);
    const SampleSet& samples = r.Samples;
    FindPeakValley(filtered, samples, 0.0, 0.0, r.RawLeastSquares.c, r.Peak, r.PeakAngle, r.Valley, r.ValleyAngle);
    r.Runout = r.Peak - r.Valley;

    // Only the minimum zone has a width: no other fit may show one left from an earlier analysis.
    r.ZoneHalfWidth = 0.0;
    LimaconReference reference = r.RawLeastSquares;
    const bool found = FitReferenceCircle(kind, filtered, samples, reference, r.ZoneHalfWidth);
    ReferenceEvaluation checked =
        CheckedReference(kind, filtered, samples, reference, r.ZoneHalfWidth, found, withCertificate);
    r.FitValid = checked.FitValid;
    r.FitUnverified = checked.Unverified;
    r.FitCertificate = checked.Certificate;
    r.FitUnproved = checked.Unproved;
    r.Contacts = std::move(checked.Contacts);
    r.ReferenceA = checked.ReferenceA;
    r.ReferenceB = checked.ReferenceB;
    r.ReferenceC = checked.ReferenceC;
    r.Eccentricity = checked.Eccentricity;
    r.EccentricityAngle = checked.EccentricityAngle;
    if (r.FitValid) {
        r.Peak = checked.Peak;
        r.PeakAngle = checked.PeakAngle;
        r.Valley = checked.Valley;
        r.ValleyAngle = checked.ValleyAngle;
    }
}

// The used samples of the filtered profile as points in the input's
// coordinates: a point set's points moved along their radius from its
// centre by what the filter changed (so unfiltered they are the points
// themselves), or a radial profile's samples about the measurement axis.
void FilteredPoints(const Profile& profile, const AnalysisResult& r, std::vector<double>& x, std::vector<double>& y)
{
    const std::span<const int> index = r.Samples.UsedIndices();
    const std::span<const double> cosine = r.Samples.UsedCosines();
    const std::span<const double> sine = r.Samples.UsedSines();
    const bool points = profile.Kind == ProfileKind::Points;
    x.resize(index.size());
    y.resize(index.size());
    for (std::size_t k = 0; k < index.size(); ++k) {
        const auto i = static_cast<std::size_t>(index[k]);
        const double f = r.FilteredRadius[i];
        if (points) {
            const auto p = static_cast<std::size_t>(profile.PointIndex[i]);
            const double shift = f - profile.RawRadius[i];
            x[k] = profile.PointX[p] + shift * cosine[k];
            y[k] = profile.PointY[p] + shift * sine[k];
        } else {
            x[k] = f * cosine[k];
            y[k] = f * sine[k];
        }
    }
}

// The certificates of the minimum zone, inscribed and circumscribed true
// circles that were found, while their contacts still index `x` and `y`.
void CertifyCircles(std::span<const double> x, std::span<const double> y, TrueCircles& circles)
{
    const std::pair<ReferenceKind, TrueCircle*> checked[] = {
        {ReferenceKind::MinimumZone, &circles.MinimumZone},
        {ReferenceKind::MaximumInscribed, circles.MaximumInscribed ? &*circles.MaximumInscribed : nullptr},
        {ReferenceKind::MinimumCircumscribed, circles.MinimumCircumscribed ? &*circles.MinimumCircumscribed : nullptr}};
    for (const auto& [kind, circle] : checked)
        if (circle && circle->Valid) circle->Certificate = CertifyTrueCircle(kind, x, y, *circle);
}

// The four true circles of the filtered points, their indices those of the
// input: a point set's points, a radial profile's samples; certified unless
// the settings skip it.
std::optional<TrueCircles> FitCircles(const Profile& profile, const AnalysisResult& r, bool withCertificates)
{
    const bool points = profile.Kind == ProfileKind::Points;
    if (points &&
        (profile.PointIndex.size() != profile.RawRadius.size() || profile.PointX.size() != profile.PointY.size()))
        return std::nullopt;
    std::vector<double> x, y;
    FilteredPoints(profile, r, x, y);
    TrueCircles circles;
    if (!FitTrueCircles(x, y, circles)) return std::nullopt;
    if (withCertificates) CertifyCircles(x, y, circles);
    const std::span<const int> used = r.Samples.UsedIndices();
    const auto inputIndex = [&](int k) {
        const int i = used[static_cast<std::size_t>(k)];
        return points ? profile.PointIndex[static_cast<std::size_t>(i)] : i;
    };
    for (TrueCircle* circle :
         {&circles.LeastSquares, &circles.MinimumZone, circles.MaximumInscribed ? &*circles.MaximumInscribed : nullptr,
          circles.MinimumCircumscribed ? &*circles.MinimumCircumscribed : nullptr})
        if (circle)
            for (CircleContact& contact : circle->Contacts) contact.Index = inputIndex(contact.Index);
    for (int& index : circles.Profile.Index) index = inputIndex(index);
    return circles;
}

// The smallest and largest raw radius over every sample: the graph draws the excluded ones too.
void FindRawRange(std::span<const double> raw, AnalysisResult& r)
{
    r.MinRawRadius = r.MaxRawRadius = raw[0];
    for (const double v : raw) {
        if (v > r.MaxRawRadius)
            r.MaxRawRadius = v;
        else if (v < r.MinRawRadius)
            r.MinRawRadius = v;
    }
}

} // namespace

AnalysisStatus AnalyseProfile(const Profile& profile, const AnalysisSettings& settings, ProgressPort& progress,
                              AnalysisResult& result, std::string& refusal)
{
    refusal.clear();
    const int n = profile.PointCount();
    if (n < 1) return AnalysisStatus::NoProfile;
    const std::span<const double> raw(profile.RawRadius);
    // Built aside: a refused analysis leaves `result` as it was.
    AnalysisResult r;
    FindRawRange(raw, r);
    // No measured part comes near this radius, and below it every sum and
    // square the fits, the filter and the evaluation beside the page form over
    // up to 36000 samples stays finite, in microinches too.
    constexpr double kLargestEvaluableRadiusMm = 1e100;
    if (std::max(-r.MinRawRadius, r.MaxRawRadius) > kLargestEvaluableRadiusMm) return AnalysisStatus::TooLarge;

    if (!MakeSampleSet(profile, SamplesOutsideSectors(profile, settings.ExcludedSectors), r.Samples))
        return AnalysisStatus::NoProfile;
    if (std::optional<std::string> why = SettingsRefusal(settings, r.Samples)) {
        refusal = std::move(*why);
        return AnalysisStatus::Refused;
    }

    // Take out the eccentric least squares circle so that the mean radius and
    // the once-per-revolution term pass the filter unchanged.
    std::vector<double> residual;
    if (!TakeOutLeastSquares(raw, r.Samples, r.RawLeastSquares, residual)) return AnalysisStatus::NoProfile;
    if (settings.SpikeDeviations)
        if (std::optional<std::string> why = RemoveSpikes(profile, settings, r, residual)) {
            refusal = std::move(*why);
            return AnalysisStatus::Refused;
        }
    r.SamplesExcluded = n - r.Samples.UsedCount();
    r.NominalRadius = r.RawLeastSquares.c;

    if (!FilterResidual(raw, settings.Filter(), residual, progress, r)) {
        // The user stopped the filter: what `result` held was analysed before
        // and must not be shown as this profile's.
        result.FitValid = false;
        result.Evaluation = RoundnessEvaluation{};
        return AnalysisStatus::Cancelled;
    }
    residual = {};

    FitSelectedReference(settings.ReferenceKind, settings.WithCertificates, r);
    if (!ResultsFitEveryUnit(r)) return AnalysisStatus::TooLarge;
    if (profile.Kind == ProfileKind::Points || settings.WithCircles)
        r.Circles = FitCircles(profile, r, settings.WithCertificates);
    r.Evaluation = EvaluateRoundness(profile, r, settings);
    result = std::move(r);
    return AnalysisStatus::Done;
}

} // namespace kyklos
