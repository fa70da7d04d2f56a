#pragma once
// The harmonic spectrum of a roundness profile as a bar chart: amplitude
// against undulations per revolution (UPR), the filtered amplitude as a navy
// bar over the raw amplitude as a light grey bar, and the filter's
// transmission drawn over them on its own 0–100 % scale.
//
// The bars keep the report's colour code (raw light grey under filtered
// navy), so the grey cap above a navy bar is exactly what the filter took
// away; it stays readable where the bars are a single pixel wide.
//
// Drawn through Canvas only, so one drawing serves a window panel, a printed
// or PDF page and an image. The geometry is computed apart from painting
// (ComputeLayout) and can be checked without drawing.

#include "platform/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

// One harmonic k of the profile: the component A·cos(kθ − φ).
struct HarmonicAmplitude {
    double RawAmplitude = 0.0;        // mm, of the unfiltered profile
    double FilteredAmplitude = 0.0;   // mm, of the filtered profile
    double Phase = 0.0;               // radians (φ of the raw profile)
};

struct HarmonicChartData {
    std::vector<HarmonicAmplitude> Harmonics;   // element k − 1 is harmonic k (UPR)
    std::vector<double> Transmission;           // element k − 1: the filter's amplitude ratio at k, 0 … 1
    bool MetricUnits = true;                    // amplitudes shown in µm, else in µin
};

// How far the UPR axis runs: 50, 150 or 500 UPR, or every harmonic there is.
enum class HarmonicRange { Upr50, Upr150, Upr500, All };

struct HarmonicChartOptions {
    HarmonicRange Range = HarmonicRange::Upr50;
    bool Logarithmic = false;   // amplitude axis in decades; zero amplitudes draw no bar
};

// A labelled tick: position is y on the amplitude and transmission axes, x on the UPR axis.
struct ChartTick {
    int Position = 0;
    std::string Label;
    friend bool operator==(const ChartTick&, const ChartTick&) = default;
};

// One bar, or one pixel column holding several harmonics when bars would be
// narrower than a pixel; a top equal to Plot.bottom draws nothing.
struct HarmonicBar {
    int Left = 0, Right = 0;   // device x, right exclusive
    int FilteredTop = 0;       // device y of the filtered amplitude (the largest in the column)
    int RawTop = 0;            // device y of the raw amplitude (the largest in the column)
    int Harmonic = 0;          // k shown: the column's largest filtered amplitude
};

struct HarmonicChartLayout {
    Rect Frame{};
    Rect Plot{};                  // the bars' area; the axes run along its left, bottom and right edges
    int FontHeight = 0;           // cell height of the chart's one font
    int TickLength = 0;
    int ShownCount = 0;           // harmonics on the UPR axis
    double BarPitch = 1.0;        // device units from one entry of Bars to the next
    bool Aggregated = false;      // Bars are pixel columns of several harmonics each
    double AxisLow = 0.0;         // amplitude axis, display unit: 0, or the lowest decade
    double AxisHigh = 1.0;
    std::vector<ChartTick> AmplitudeTicks;
    std::vector<ChartTick> UprTicks;
    std::vector<ChartTick> TransmissionTicks;
    std::vector<HarmonicBar> Bars;
    std::vector<Point> TransmissionCurve;
    Point TitleAt{};              // top centre
    Point UnitCaptionAt{};        // bottom right of "µm" / "µin" above the amplitude labels
    Point UprCaptionAt{};         // top centre of "UPR" below the UPR labels

    // The harmonic under a point of the plot (for hovering), if any.
    std::optional<int> HarmonicAt(Point p) const;
};

class CHarmonicChart {
public:
    HarmonicChartData Data;
    HarmonicChartOptions Options;

    // The font height asked for in a frame: the chart's text scales with it.
    static int FontHeightFor(const Rect& frame);
    // The whole geometry, in device units, for a font of the given cell
    // height whose digits are digitWidth wide.
    static HarmonicChartLayout ComputeLayout(const HarmonicChartData& data, const HarmonicChartOptions& options,
                                             const Rect& frame, int fontHeight, int digitWidth);

    // Draws the chart into frame; the background is the caller's.
    void Draw(Canvas& dc, const Rect& frame);

    // On the chart drawn last.
    const HarmonicChartLayout& Layout() const { return layout_; }
    std::optional<int> HarmonicAt(Point p) const { return layout_.HarmonicAt(p); }

private:
    HarmonicChartLayout layout_;
};

} // namespace kyklos
