#pragma once
// What an analysis is asked to do: the filter's cutoff, the reference circle
// and the roundness tolerance the verdict judges. A document setting: the
// selection dialogs, the Tolerance dialog and kyklos-report's options all
// change these values, and every analysis reads them.

#include "analysis/ReferenceFit.h"
#include "platform/Units.h"

#include <array>
#include <optional>
#include <string_view>

namespace kyklos {

// The filter cutoffs offered, in the order of the Filter Selection dialog.
inline constexpr std::array<int, 5> kFilterCutoffs{5, 15, 50, 150, 500};

// The radio index of a cutoff in the Filter Selection dialog (2 for any other value).
int FilterIndexFromCutoff(int cutoffUpr);
// The cutoff of a radio index (500 for any index above 3).
int CutoffFromFilterIndex(int index);

// A roundness tolerance as the user typed it, in the unit shown then.
struct RoundnessTolerance {
    double Value = 0.0; // µm when Metric, else µin; positive and finite
    bool Metric = true;

    double Micrometres() const { return ShownToMicrometres(Value, Metric); }
    // In the unit shown now: the value as typed when the unit is the same.
    double Shown(bool metric) const { return metric == Metric ? Value : MicrometresToShown(Micrometres(), metric); }
    friend bool operator==(const RoundnessTolerance&, const RoundnessTolerance&) = default;
};

// The one rule for a tolerance: a positive, finite number. A zero tolerance
// fails every real part; a negative one means nothing.
inline constexpr std::string_view kToleranceRefusal = "The tolerance must be a positive number.";
bool IsValidTolerance(double value);
// A tolerance typed as text (see ParseNumber), or nothing when the rule refuses it.
std::optional<double> ParseTolerance(std::string_view text);

struct AnalysisSettings {
    int FilterCutoffUpr = 50; // UPR; the window offers kFilterCutoffs, kyklos-report 1 … 18000
    kyklos::ReferenceKind ReferenceKind = kyklos::ReferenceKind::LeastSquares;
    std::optional<RoundnessTolerance> Tolerance; // none: no verdict
    // The evaluation's harmonic spectra; a table row shows none, and they
    // cost a quarter of its time.
    bool WithHarmonics = true;

    friend bool operator==(const AnalysisSettings&, const AnalysisSettings&) = default;
};

} // namespace kyklos
