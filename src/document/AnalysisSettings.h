#pragma once
// What an analysis is asked to do: the filter's cutoff, the reference circle
// and the roundness tolerance the verdict judges. A document setting: the
// selection dialogs, the Tolerance dialog and kyklos-report's options all
// change these values, and every analysis reads them.

#include "analysis/FilterKind.h"
#include "analysis/ReferenceFit.h"
#include "platform/Units.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A sector of the profile left out of the analysis (a keyway, a cross
// hole): degrees in the profile's own angles, counter-clockwise from From to
// To, both ends included; To below From wraps through 0°. Ends may be any
// finite number of degrees (taken modulo 360); From equal to To is one angle.
struct ExcludedSector {
    double FromDeg = 0.0;
    double ToDeg = 0.0;
    friend bool operator==(const ExcludedSector&, const ExcludedSector&) = default;
};

// "FROM:TO" as --exclude takes it (full stop for the decimal), or nothing.
std::optional<ExcludedSector> ParseExcludedSector(std::string_view text);
// "FROM:TO" in shortest round-trip text: what ParseExcludedSector reads back.
std::string ExcludedSectorText(const ExcludedSector& sector);
// True when the angle (radians, any value) lies in the sector, ends included.
bool SectorHoldsAngle(const ExcludedSector& sector, double angleRad);

// Spike removal's k when the option is given without one.
inline constexpr double kDefaultSpikeDeviations = 5.0;

struct AnalysisSettings {
    int FilterCutoffUpr = 50; // UPR; the window offers kFilterCutoffs, kyklos-report 1 … 18000
    // The filter kind; with Band, BandLowUpr and BandHighUpr are its cutoffs
    // and FilterCutoffUpr is not used.
    kyklos::FilterKind FilterKind = kyklos::FilterKind::Gaussian;
    int BandLowUpr = 15;
    int BandHighUpr = 150;
    // Spike removal before the filter: samples further than k·σ from the
    // robust profile become excluded samples. None: no spike removal.
    std::optional<double> SpikeDeviations;
    // Sectors left out of the filter, the fits and every parameter.
    std::vector<ExcludedSector> ExcludedSectors;
    // The four true circles of a radial profile's samples taken as points
    // (a point set always has them).
    bool WithCircles = false;
    kyklos::ReferenceKind ReferenceKind = kyklos::ReferenceKind::LeastSquares;
    std::optional<RoundnessTolerance> Tolerance; // none: no verdict
    // The evaluation's harmonic spectra; a table row shows none, and they
    // cost a quarter of its time.
    bool WithHarmonics = true;
    // The exact check of the minimum zone, inscribed and circumscribed
    // results (and of the true circles); a batch may skip it, and the
    // uncertainty simulation's draws never need it.
    bool WithCertificates = true;

    // The filter as one description: FilterKind, FilterCutoffUpr and the band.
    FilterSpec Filter() const { return {FilterKind, FilterCutoffUpr, BandLowUpr, BandHighUpr}; }

    friend bool operator==(const AnalysisSettings&, const AnalysisSettings&) = default;
};

} // namespace kyklos
