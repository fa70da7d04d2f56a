#pragma once
// The harmonic chart's geometry as plain numbers: what it shows, the
// amplitude axis and its ticks, the UPR axis and its ticks, and the bars with
// the transmission curve. Every piece is a function of its inputs that can be
// checked without drawing; HarmonicChart assembles and paints them.
//
// Device units throughout, with 32-bit integer arithmetic truncating toward
// zero; doubles become device coordinates only through rounding half away
// from zero.

#include "platform/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

// One harmonic k of the profile: the component A·cos(kθ − φ).
// A: half the undulation's peak-to-valley height.
struct HarmonicAmplitude {
    double RawAmplitude = 0.0;      // mm, of the unfiltered profile
    double FilteredAmplitude = 0.0; // mm, of the filtered profile
    double FirstPeakAngle = 0.0;    // radians, where the undulation's first peak lies on the part
};

struct HarmonicChartData {
    std::vector<HarmonicAmplitude> Harmonics; // element k − 1 is harmonic k (UPR)
    std::vector<double> Transmission;         // element k − 1: the filter's amplitude ratio at k, 0 … 1
    bool MetricUnits = true;                  // amplitudes shown in µm, else in µin
    int CutoffUpr = 0;                        // the filter's cutoff, marked on the UPR axis; 0: none
};

// How far the UPR axis runs: 50, 150 or 500 UPR, or every harmonic there is.
enum class HarmonicRange {
    Upr50,
    Upr150,
    Upr500,
    All
};

struct HarmonicChartOptions {
    HarmonicRange Range = HarmonicRange::Upr50;
    bool Logarithmic = false; // amplitude axis in decades; zero amplitudes draw no bar
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
    int Left = 0, Right = 0; // device x, right exclusive
    int FilteredTop = 0;     // device y of the filtered amplitude (the largest in the column)
    int RawTop = 0;          // device y of the raw amplitude (the largest in the column)
    int Harmonic = 0;        // k shown: the column's largest filtered amplitude
    bool Clipped = false;    // an amplitude reaches beyond the axis: drawn to the top, marked broken
};

// The amplitude axis in the display unit (µm or µin): linear from 0 in steps
// of 1, 2 or 5 × 10^e, or logarithmic over whole decades.
struct AmplitudeAxis {
    bool Logarithmic = false;
    double Low = 0.0; // 0, or the lowest decade
    double High = 1.0;
    int LowDecade = 0; // logarithmic: Low = 10^LowDecade, High = 10^HighDecade
    int HighDecade = 0;
    double Step = 0.0;               // linear: the labels' spacing
    std::vector<std::string> Labels; // bottom to top

    // The fraction of the plot's height an amplitude reaches, 0 … 1; none
    // (0) for what is not positive or lies below a logarithmic axis.
    double Fraction(double amplitude) const;
    // Beyond the top of the axis: the bar is clipped.
    bool Exceeds(double amplitude) const { return amplitude > High; }
};

// The bars and the curve over them; see HarmonicChartLayout.
struct HarmonicBarLayout {
    std::vector<HarmonicBar> Bars;
    std::vector<Point> TransmissionCurve;
    double BarPitch = 1.0;
    bool Aggregated = false;
};

struct HarmonicChartLayout {
    Rect Frame{};
    Rect Plot{};        // the bars' area; the axes run along its left, bottom and right edges
    FontSpec Font;      // the chart's one font
    int FontHeight = 0; // its cell height
    int DigitWidth = 0; // width of a digit in it, as measured (the layout itself counts at least 1)
    int TickLength = 0;
    int ShownCount = 0;      // harmonics on the UPR axis
    double BarPitch = 1.0;   // device units from one entry of Bars to the next
    bool Aggregated = false; // Bars are pixel columns of several harmonics each
    double AxisLow = 0.0;    // amplitude axis, display unit: 0, or the lowest decade
    double AxisHigh = 1.0;
    std::vector<ChartTick> AmplitudeTicks;
    std::vector<ChartTick> UprTicks;
    std::vector<ChartTick> TransmissionTicks;
    std::vector<HarmonicBar> Bars;
    std::vector<Point> TransmissionCurve;
    int CutoffUpr = 0;          // the filter's cutoff (0: none)
    std::optional<int> CutoffX; // device x of its line, when it is on the UPR axis
    Point TitleAt{};            // top centre
    Point UnitCaptionAt{};      // bottom right of "µm" / "µin" above the amplitude labels
    Point UprCaptionAt{};       // top centre of "UPR" below the UPR labels

    // The harmonic under a point of the plot (for hovering), if any.
    std::optional<int> HarmonicAt(Point p) const;
};

// Harmonics on the UPR axis: the range's limit, or fewer when the profile has fewer.
int ShownHarmonicCount(const HarmonicChartData& data, HarmonicRange range);

// The amplitude axis covering the largest amplitude, raw or filtered, of
// harmonics 2 … count: 1 UPR is the part's centring on the instrument, which
// would dwarf its form; its bar is clipped. (With one harmonic only, that
// one.) A linear axis gets at most five intervals, about one per two text
// lines of roughPlotHeight; a logarithmic one one to five decades below the
// top one.
AmplitudeAxis LayoutAmplitudeAxis(const HarmonicChartData& data, int count, bool logarithmic, int roughPlotHeight,
                                  int fontHeight);

// The plot inside frame, leaving room for the title and captions above, the
// UPR labels and caption below, the amplitude labels on the left and "100%"
// on the right. fontHeight and digitWidth are at least 1.
Rect LayoutPlotArea(const Rect& frame, const AmplitudeAxis& axis, int fontHeight, int digitWidth, int tickLength);

// The amplitude labels at their heights, bottom to top; the transmission's 0, 50 and 100 %.
std::vector<ChartTick> LayoutAmplitudeTicks(const AmplitudeAxis& axis, const Rect& plot);
std::vector<ChartTick> LayoutTransmissionTicks(const Rect& plot);

// UPR labels 1, 2 or 5 × 10^e harmonics apart at the centres of their slots,
// as many as stand side by side; count is at least 1.
std::vector<ChartTick> LayoutUprTicks(int count, const Rect& plot, int digitWidth);

// One bar per harmonic, or one pixel column per device unit of the plot when
// there are more harmonics than that; count is at least 1 and the plot not empty.
HarmonicBarLayout LayoutHarmonicBars(const HarmonicChartData& data, int count, const AmplitudeAxis& axis,
                                     const Rect& plot);

// The x of harmonic k on the UPR axis: the centre of its bar's slot, or its
// pixel column; none for k outside 1 … count.
std::optional<int> UprPosition(int k, int count, const Rect& plot);

} // namespace kyklos
