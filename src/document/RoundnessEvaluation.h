#pragma once
// The evaluation beside the report page: the four reference circles side by
// side, the roundness parameters about the least squares reference, the
// harmonic spectrum of the raw and of the filtered profile with the filter's
// transmission, a verdict against a roundness tolerance and the sampling
// warnings. Computed from a document after AnalyzeProfile, never during it.
//
// Units: radial values in millimetres, as in the document; the tolerance in
// micrometres; phases in radians; eccentricity angles in degrees (−180, 180].

#include "analysis/SampleAngles.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

class CKyklosDoc;

// One reference circle fitted to the filtered profile.
struct ReferenceEvaluation {
    bool FitValid = false;
    double ReferenceA = 0.0;         // mm, limaçon a (x offset of the centre)
    double ReferenceB = 0.0;         // mm, limaçon b (y offset)
    double ReferenceC = 0.0;         // mm, limaçon c (radius)
    double Eccentricity = 0.0;       // mm, √(a² + b²)
    double EccentricityAngle = 0.0;  // degrees, (−180, 180]
    std::optional<double> RONt;      // mm, Peak − Valley; none when the fit failed
    double Peak = 0.0;               // mm, largest deviation from the reference (when FitValid)
    double Valley = 0.0;             // mm, smallest deviation (normally ≤ 0)
};

enum class ToleranceVerdict {
    None,  // no tolerance, or no valid fit to judge
    Pass,  // RONt ≤ tolerance
    Fail,
};

// "Pass", "Fail", or "—" for none.
std::string_view VerdictText(ToleranceVerdict verdict);

// Harmonic k of the profile: A·cos(kθ − φ).
struct HarmonicComponent {
    int Upr = 0;                     // k, undulations per revolution
    double Amplitude = 0.0;          // mm, of the raw profile
    double Phase = 0.0;              // radians, φ of the raw profile, [−π, π]
    double FilteredAmplitude = 0.0;  // mm, of the filtered profile
    // The filter's amplitude transmission at k, as its weights really are
    // (GaussianFilterTransmission): for k ≥ 2 the filtered amplitude is the
    // raw one times this. The curve to draw over the spectrum; it follows the
    // ideal 2^−(k/kc)² within 1e-3 when N ≥ 7 × cutoff, and where it departs
    // from it the bars depart too.
    double Transmission = 0.0;
};

struct RoundnessEvaluation {
    // False when the document holds no analysed profile; nothing else is set then.
    bool Valid = false;
    int PointCount = 0;
    int CutoffUpr = 0;
    // The document's reference, an index into References (ReferenceKindValue;
    // a kind outside 0..3 is the minimum zone, as the analysis takes it).
    int SelectedReference = 0;
    // Indexed by ReferenceKindValue: least squares, minimum zone, maximum
    // inscribed, minimum circumscribed. The selected one carries the
    // document's own results.
    std::array<ReferenceEvaluation, 4> References{};
    // About the least squares reference, mm; RONp + RONv equals its RONt exactly.
    double RONp = 0.0;
    double RONv = 0.0;
    double RONq = 0.0;
    std::optional<double> ToleranceUm;  // µm, as given
    ToleranceVerdict Verdict = ToleranceVerdict::None;
    std::vector<std::string> Warnings;
    // k = 1 … ⌊N/2⌋, element k−1.
    std::vector<HarmonicComponent> Harmonics;

    const ReferenceEvaluation& Selected() const { return References[static_cast<std::size_t>(SelectedReference)]; }
};

// Up to `count` harmonics with the largest raw amplitude, largest first (the
// lower UPR first on a tie). UPR 1 is left out: it is the part's
// eccentricity on the instrument, not a feature of its form; so are
// amplitudes below 1 pm, the transform's rounding of a harmonic that is not there.
std::vector<HarmonicComponent> LargestHarmonics(const RoundnessEvaluation& evaluation, std::size_t count);

// Evaluates the document's last analysis; toleranceUm is the roundness
// tolerance in micrometres, if any. Costs three reference fits, two spectra
// and a few passes over the profile. Without harmonics (for output that
// shows none, such as a table row) the spectra are left out and Harmonics
// stays empty; everything else is the same.
RoundnessEvaluation EvaluateRoundness(const CKyklosDoc& doc, std::optional<double> toleranceUm,
                                      bool withHarmonics = true);

// Pass when RONt (mm) in micrometres is at most the tolerance (µm), Fail
// otherwise; None without a RONt (no valid fit), without a tolerance, or for
// a tolerance that is not a number.
ToleranceVerdict JudgeRoundness(std::optional<double> rontMm, std::optional<double> toleranceUm);

// The reference fit of one kind on the filtered profile exactly as the
// analysis makes it: a, b, c enter holding the least squares fit of the raw
// profile and receive the reference; the minimum zone fit also writes its
// half-width. A kind outside 0..3 is the minimum zone. The fit's result.
bool FitReferenceCircle(int kind, std::span<const double> filtered, const SampleAngles& angles, double& a, double& b,
                        double& c, double& zoneHalfWidth);

} // namespace kyklos
