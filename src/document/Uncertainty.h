#pragma once
// The uncertainty of a roundness evaluation by simulation (propagation of
// distributions, Monte Carlo): every draw perturbs the measured profile by
// the stated model and runs the whole analysis again (filter and all four
// references); the spread of the results over the draws is their
// uncertainty. Then the ISO 14253-1 decision: a part conforms only when its
// RONt plus the expanded uncertainty stays within the tolerance.
//
// Units: model lengths in micrometres, its angle in degrees; every result
// in millimetres, as in the document.

#include "analysis/ReferenceFit.h"
#include "document/AnalysisResult.h"
#include "document/AnalysisSettings.h"
#include "io/Profile.h"
#include "platform/ProgressPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kyklos {

// What the user knows of the measurement's errors; each 0 when not known.
struct UncertaintyModel {
    double ProbeNoiseUm = 0.0;    // standard deviation of each sample's radius (Gaussian)
    double AngularNoiseDeg = 0.0; // standard deviation of each sample's angle (Gaussian)
    double CalibrationUm = 0.0;   // standard deviation of one radial offset per draw (Gaussian)
    double ResolutionUm = 0.0;    // quantisation step q: each sample ±q/2, uniform

    friend bool operator==(const UncertaintyModel&, const UncertaintyModel&) = default;
};

inline constexpr int kDefaultDraws = 10000;
inline constexpr std::uint64_t kDefaultSeed = 1;
// Fewer draws give no usable interval (and no blocks for its error).
inline constexpr int kFewestDraws = 10;

struct UncertaintyRequest {
    UncertaintyModel Model;
    int Draws = kDefaultDraws;
    std::uint64_t Seed = kDefaultSeed;
    int Workers = 0; // threads for the draws; 0: one per core

    friend bool operator==(const UncertaintyRequest&, const UncertaintyRequest&) = default;
};

// One quantity's simulated uncertainty, mm.
struct QuantityUncertainty {
    double Estimate = 0.0;            // the measured value
    double StandardUncertainty = 0.0; // sample standard deviation of the draws
    double IntervalLow = 0.0;         // shortest 95 % coverage interval of the draws
    double IntervalHigh = 0.0;
    // Monte Carlo standard error of the interval's ends, the larger of the
    // two: the standard deviation of the ends of h = 10 blocks of
    // consecutive draws, over √h.
    double IntervalError = 0.0;
    double Bias = 0.0; // mean of the draws − the measured value
};

// The quantities simulated for every reference, in the order outputs list them.
enum class UncertainQuantity {
    RONt,
    Eccentricity,
    ReferenceA,
    ReferenceB,
    ReferenceC
};
inline constexpr std::size_t kUncertainQuantityCount = 5;
inline constexpr std::array<UncertainQuantity, kUncertainQuantityCount> kUncertainQuantities{
    UncertainQuantity::RONt, UncertainQuantity::Eccentricity, UncertainQuantity::ReferenceA,
    UncertainQuantity::ReferenceB, UncertainQuantity::ReferenceC};

// "RONt", "Eccentricity", "ReferenceA", "ReferenceB", "ReferenceC".
std::string_view UncertainQuantityName(UncertainQuantity quantity);

struct ReferenceUncertainty {
    // False when the measured profile gave this reference no valid fit:
    // then there is nothing to be uncertain about.
    bool Valid = false;
    // Draws whose fit of this reference failed; the statistics are over the others.
    int FailedDraws = 0;
    std::array<QuantityUncertainty, kUncertainQuantityCount> Quantities{};

    const QuantityUncertainty& operator[](UncertainQuantity quantity) const
    {
        return Quantities[static_cast<std::size_t>(quantity)];
    }
};

// ISO 14253-1 with the expanded uncertainty U as guard band.
enum class ConformityDecision {
    None,           // no tolerance, or no RONt and uncertainty to judge
    Conforms,       // RONt + U ≤ t
    DoesNotConform, // RONt − U > t
    Undecided,      // otherwise: the tolerance lies within RONt ± U
};

// "Conforms", "Does not conform", "Undecided", or "—" for none.
std::string_view DecisionText(ConformityDecision decision);

struct UncertaintyResult {
    UncertaintyModel Model;
    int Draws = 0;
    std::uint64_t Seed = kDefaultSeed;
    ReferenceKind SelectedReference = ReferenceKind::LeastSquares;
    // Indexed by ReferenceIndex.
    std::array<ReferenceUncertainty, 4> References{};
    // U = 2u of the selected reference's RONt (mm); none without its RONt.
    std::optional<double> ExpandedUncertainty;
    ConformityDecision Decision = ConformityDecision::None;

    const ReferenceUncertainty& Reference(ReferenceKind kind) const
    {
        return References[static_cast<std::size_t>(ReferenceIndex(kind))];
    }
};

enum class UncertaintyStatus {
    Done,
    Cancelled,   // the user cancelled: no result
    NotAnalysed, // the measured analysis holds no evaluation to start from
};

// Simulates `request.Draws` perturbed copies of `profile`, each analysed with
// `settings` (without spectra or true circles), about `measured`: the
// analysis of `profile` with `settings`, whose values are the estimates and
// whose filtered profile gives the slope the angular noise acts through.
// The result depends on the seed and the draws only, never on the workers.
// Progress goes to `progress`, whose Cancel stops the draws.
UncertaintyStatus SimulateUncertainty(const Profile& profile, const AnalysisSettings& settings,
                                      const AnalysisResult& measured, const UncertaintyRequest& request,
                                      ProgressPort& progress, UncertaintyResult& result);

// The shortest interval holding a fraction p of sorted draws: among the
// intervals [y(r), y(r+q−1)] with q = ⌊p·M + ½⌋ (p·M when whole), the
// narrowest, the first on a tie. Both ends 0 without draws.
std::pair<double, double> ShortestCoverageInterval(std::span<const double> sorted, double p = 0.95);

// The statistics of one quantity from its draws in draw order (M ≥ 2). The
// draws enter as deviations from the estimate, so that draws equal to it
// give exactly zero uncertainty, interval width and bias.
QuantityUncertainty SummariseDraws(double estimate, std::span<const double> draws);

// ISO 14253-1: Conforms when RONt + U passes the tolerance, Does not conform
// when RONt − U fails it, each judged as the verdict judges (JudgeRoundness:
// in the tolerance's own unit); Undecided otherwise.
ConformityDecision DecideConformity(std::optional<double> rontMm, std::optional<double> expandedMm,
                                    const std::optional<RoundnessTolerance>& tolerance);

// The slope dr/dθ of a profile (mm per radian) at each sample by central
// differences over its neighbours' angles; a closed profile wraps around,
// the ends of an arc take one-sided differences.
std::vector<double> ProfileSlopes(std::span<const double> radius, std::span<const double> angles, bool closed);

} // namespace kyklos
