#pragma once
// The harmonic spectrum of a roundness profile as a bar chart: amplitude
// against undulations per revolution (UPR), the filtered amplitude as a navy
// bar over the raw amplitude as a light grey bar, and the filter's
// transmission drawn over them on its own 0–100 % scale.
//
// The bars keep the report's colour code (raw light grey under filtered
// navy), so the grey cap above a navy bar is exactly what the filter took
// away; it stays readable where the bars are a single pixel wide. The
// amplitude axis is scaled from 2 UPR: the 1 UPR bar, the part's centring,
// is clipped at the top and drawn broken. A dashed line marks the cutoff.
//
// Drawn through Canvas only, so one drawing serves a window panel, a printed
// or PDF page and an image. The geometry is computed apart from painting
// (ComputeLayout, from the pieces in HarmonicChartLayout.h) and can be
// checked without drawing.

#include "graph/HarmonicChartLayout.h"
#include "platform/Canvas.h"

#include <optional>

namespace kyklos {

class HarmonicChart {
public:
    HarmonicChartData Data;
    HarmonicChartOptions Options;
    // The chart's text; none: Arial of FontHeightFor(frame), as on paper.
    std::optional<FontSpec> Font;

    // The font height asked for in a frame: the chart's text scales with it.
    static int FontHeightFor(const Rect& frame);
    // The whole geometry, in device units, for a font of the given cell
    // height whose digits are digitWidth wide (Arial of that height).
    static HarmonicChartLayout ComputeLayout(const HarmonicChartData& data, const HarmonicChartOptions& options,
                                             const Rect& frame, int fontHeight, int digitWidth);
    // The same with the font measured on dc (nothing is drawn): `font`, or
    // Arial of FontHeightFor(frame).
    static HarmonicChartLayout ComputeLayout(Canvas& dc, const HarmonicChartData& data,
                                             const HarmonicChartOptions& options, const Rect& frame,
                                             const std::optional<FontSpec>& font = std::nullopt);
    // Paints a chart laid out on the same canvas; the background is the caller's.
    static void Paint(Canvas& dc, const HarmonicChartLayout& layout, bool metricUnits);

    // Lays out and paints the chart into frame; the background is the caller's.
    void Draw(Canvas& dc, const Rect& frame);

    // On the chart drawn last.
    const HarmonicChartLayout& Layout() const { return layout_; }
    std::optional<int> HarmonicAt(Point p) const { return layout_.HarmonicAt(p); }

private:
    HarmonicChartLayout layout_;
};

} // namespace kyklos
