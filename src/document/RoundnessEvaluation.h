#pragma once
// The evaluation beside the report page: the four reference circles side by
// side, the roundness parameters about the least squares reference, the
// harmonic spectrum of the raw and of the filtered profile with the filter's
// transmission, the verdict against the roundness tolerance and the sampling
// warnings. Computed once per analysis, by the document, and kept with the
// analysis result; pages, panel and outputs only read it.
//
// Units: radial values in millimetres, as in the document; the margin in
// micrometres; phases and angles on the part in radians, counter-clockwise
// from sample 0; eccentricity angles in degrees (−180, 180].

#include "analysis/Certificate.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/ReferenceFit.h"
#include "document/AnalysisSettings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kyklos {

struct AnalysisResult;
struct Profile;

// One reference circle fitted to the filtered profile.
struct ReferenceEvaluation {
    bool FitValid = false;
    double ReferenceA = 0.0;        // mm, limaçon a (x offset of the centre)
    double ReferenceB = 0.0;        // mm, limaçon b (y offset)
    double ReferenceC = 0.0;        // mm, limaçon c (radius)
    double Eccentricity = 0.0;      // mm, √(a² + b²)
    double EccentricityAngle = 0.0; // degrees, (−180, 180]
    std::optional<double> RONt;     // mm, Peak − Valley; none when the fit failed
    double Peak = 0.0;              // mm, largest deviation from the reference (when FitValid)
    double Valley = 0.0;            // mm, smallest deviation (normally ≤ 0)
    double PeakAngle = 0.0;         // radians, where the peak lies (when FitValid)
    double ValleyAngle = 0.0;       // radians, where the valley lies
    // The maximum inscribed and minimum circumscribed circles have one
    // radius, but two opposite narrow features (flats, scratches, a keyway)
    // leave a segment of centres that all attain it, and RONt then depends
    // on the end the fit stopped at. RONtRange: the least and greatest RONt
    // over every optimal centre (mm), for these two references when fitted;
    // CentreUnique false when it spans more than 1e-6 mm.
    bool CentreUnique = true;
    std::optional<std::pair<double, double>> RONtRange{};
    // The minimum zone's, inscribed and circumscribed references' contacts,
    // ascending by angle (none for least squares). A fit that fails its
    // check of optimality (CheckReference) is not shown: FitValid false,
    // with the warning "The minimum zone fit could not be verified; it is
    // not shown." (or the reference's name).
    std::vector<ReferenceContact> Contacts{};
    // The fit found a reference that failed that check (FitValid false).
    bool Unverified = false;
    // What the exact check proved of the minimum zone's, inscribed or
    // circumscribed reference (Checked None for least squares, or when the
    // settings skip the check). A checked result whose gap exceeds
    // kShownGapMm is not shown: FitValid false, Unproved true, with the
    // warning "The minimum zone fit could not be proved optimal; it is not
    // shown." (or the reference's name).
    kyklos::Certificate Certificate{};
    bool Unproved = false;
};

// A limaçon result further than this from its proved optimum is not shown:
// a micrometre's thousandth, far below any form an instrument resolves yet
// far above the rounding of a sound fit.
inline constexpr double kShownGapMm = 1e-6;

// A fitted reference as the evaluation shows it: shown (FitValid) only when
// the fit found it (`found`) and it meets its conditions of optimality over
// the used samples of the filtered profile (mm), with its contacts, peak,
// valley and RONt; Unverified when it was found but fails them. With
// `withCertificate`, a verified reference is certified from its contacts
// (ApplyCertificate). The eccentricity is the fitted centre's either way.
ReferenceEvaluation CheckedReference(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                                     const LimaconReference& reference, double zoneHalfWidth, bool found,
                                     bool withCertificate = false);

// Keeps `certificate` with a shown reference and withdraws the reference
// (FitValid false, Unproved, no RONt, peak, valley or contacts) when the
// exact check bounds its gap above kShownGapMm.
void ApplyCertificate(const kyklos::Certificate& certificate, ReferenceEvaluation& reference);

// "The minimum zone fit could not be proved optimal; it is not shown." (or
// the maximum inscribed, the minimum circumscribed fit).
std::string UnprovedFitWarning(ReferenceKind kind);

// "The minimum zone fit could not be verified; it is not shown." (or the
// maximum inscribed, the minimum circumscribed fit).
std::string UnverifiedFitWarning(ReferenceKind kind);

// "The harmonic spectrum needs samples at equal steps over a full turn; it is left out."
inline constexpr std::string_view kHarmonicsLeftOutWarning =
    "The harmonic spectrum needs samples at equal steps over a full turn; it is left out.";

enum class ToleranceVerdict {
    None, // no tolerance, or no valid fit to judge
    Pass, // RONt ≤ tolerance
    Fail,
};

// "Pass", "Fail", or "—" for none.
std::string_view VerdictText(ToleranceVerdict verdict);

// Harmonic k of the profile: A·cos(kθ − φ). A is half the undulation's
// peak-to-valley height; φ is no place on the part: its peaks lie at
// (φ + 2πn)/k.
struct HarmonicComponent {
    int Upr = 0;                    // k, undulations per revolution
    double Amplitude = 0.0;         // mm, of the raw profile
    double Phase = 0.0;             // radians, φ of the raw profile, [−π, π]
    double FilteredAmplitude = 0.0; // mm, of the filtered profile
    // The filter's amplitude transmission at k, as its weights really are
    // (GaussianFilterTransmission): for k ≥ 2 the filtered amplitude is the
    // raw one times this. The curve to draw over the spectrum; it follows the
    // ideal 2^−(k/kc)² within 1e-3 when N ≥ 7 × cutoff, and where it departs
    // from it the bars depart too.
    double Transmission = 0.0;
    double FilteredPhase = 0.0;  // radians, φ of the filtered profile, [−π, π]
    double FirstPeakAngle = 0.0; // radians, FirstPeakAngle(Phase, Upr): the raw undulation's first peak
};

// Where the first peak of A·cos(kθ − φ) lies on the part: φ/k wrapped into
// [0, 2π/k), radians counter-clockwise from sample 0.
double FirstPeakAngle(double phase, int upr);

struct RoundnessEvaluation {
    // False when the document holds no analysed profile; nothing else is set then.
    bool Valid = false;
    int PointCount = 0;
    int CutoffUpr = 0; // the upper cutoff of the filter applied (UpperCutoffUpr); 0 without one
    // The filter the settings asked for, and the one applied: FilterKind::None
    // when the samples were too sparse for it.
    FilterSpec Filter;
    FilterSpec FilterApplied;
    int SamplesUsed = 0;
    int SamplesExcluded = 0; // in excluded sectors, or removed as spikes
    int SpikesRemoved = 0;
    double LargestGapDeg = 0.0; // the largest angle between neighbouring used samples, wrap included
    double CoverageDeg = 0.0;   // 360 − LargestGapDeg
    // The document's reference; the selected entry of References carries the
    // document's own results.
    ReferenceKind SelectedReference = ReferenceKind::LeastSquares;
    // Indexed by ReferenceIndex: least squares, minimum zone, maximum
    // inscribed, minimum circumscribed.
    std::array<ReferenceEvaluation, 4> References{};
    // About the least squares reference, mm; RONp + RONv equals its RONt exactly.
    double RONp = 0.0;
    double RONv = 0.0;
    double RONq = 0.0;
    std::optional<RoundnessTolerance> Tolerance;
    ToleranceVerdict Verdict = ToleranceVerdict::None;
    // What is left of the tolerance, t − RONt in micrometres: subtracted in
    // the tolerance's unit as the verdict compares, never negative on a Pass
    // and negative on a Fail. None without a verdict.
    std::optional<double> MarginUm;
    std::vector<std::string> Warnings;
    // k = 1 … ⌊N/2⌋, element k−1; empty when the settings asked for none, or
    // when the used samples are not at equal steps over a full turn (with a
    // warning that says so).
    std::vector<HarmonicComponent> Harmonics;

    const ReferenceEvaluation& Reference(ReferenceKind kind) const
    {
        return References[static_cast<std::size_t>(ReferenceIndex(kind))];
    }
    const ReferenceEvaluation& Selected() const { return Reference(SelectedReference); }
};

// Evaluates an analysed profile (AnalysisValid) with the settings it was
// analysed with, over the used samples of result.Samples: three more
// reference fits, from the raw least squares centre as the analysis starts
// them, each checked; the parameters, the verdict; the range of RONt over
// the optimal centres and, with WithHarmonics, two spectra, both on equal
// steps over a full turn only; the warnings of the filter, the sampling,
// the coverage and the checks.
RoundnessEvaluation EvaluateRoundness(const Profile& profile, const AnalysisResult& result,
                                      const AnalysisSettings& settings);

// Sets the tolerance, the verdict and the margin of an evaluation; nothing else changes.
void JudgeTolerance(RoundnessEvaluation& evaluation, const std::optional<RoundnessTolerance>& tolerance);

// Pass when RONt (mm), converted to the tolerance's own unit (µm or µin) and
// not rounded, is at most the tolerance as typed; Fail otherwise. Equal is
// Pass, and so is a RONt above it by less than a millionth of a millionth
// (relative): a unit conversion's rounding, not a difference of form. None
// without a RONt (no valid fit), without a tolerance, or for a tolerance
// that is not a number.
ToleranceVerdict JudgeRoundness(std::optional<double> rontMm, const std::optional<RoundnessTolerance>& tolerance);

// Below this the filter passes too little of a harmonic for it to be part of
// the profile that RONt is evaluated on.
inline constexpr double kSmallestListedTransmission = 0.01;

// Up to `count` harmonics with the largest filtered amplitude (the profile
// RONt is evaluated on), largest first (the lower UPR first on a tie). Left
// out: UPR 1, the part's eccentricity on the instrument, not a feature of its
// form; harmonics the filter passes less than 1 % of; and amplitudes below
// 1 pm, the transform's rounding of a harmonic that is not there.
std::vector<HarmonicComponent> LargestHarmonics(const RoundnessEvaluation& evaluation, std::size_t count);

// The warning for an eccentricity whose limaçon error e²/(2R) exceeds a tenth
// of the selected reference's RONt, with E (µm), R (mm) and T = e²/(2R) (µm)
// filled in; none below that, or without a valid fit. With the RONt of the
// true circle of the same kind (mm, the samples taken as points), the
// warning also states it: the roundness without the limaçon's error.
std::optional<std::string> EccentricityWarning(const ReferenceEvaluation& selected,
                                               std::optional<double> trueCircleRONt = std::nullopt,
                                               ReferenceKind kind = ReferenceKind::LeastSquares);

// "RONt MICI 9.944 µm — centre not unique: 4.972 to 9.944 µm over the
// maximum inscribed circle's optimal centres." for a reference whose centre
// is not unique; nothing otherwise.
std::optional<std::string> CentreWarning(ReferenceKind kind, const ReferenceEvaluation& reference);

// How many evaluations this process has computed: a counter for tests and
// benchmarks that check that drawing and writing never evaluate again.
std::uint64_t RoundnessEvaluationCount();

} // namespace kyklos
