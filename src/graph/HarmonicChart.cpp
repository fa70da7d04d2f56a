#include "graph/HarmonicChart.h"


#include <algorithm>
#include <string_view>

namespace kyklos {

namespace {

constexpr std::string_view kTitle = "Harmonic Spectrum";

// Grid lines at the amplitude ticks, then the bars over them: raw under filtered.
void PaintGridAndBars(Canvas& dc, const HarmonicChartLayout& l)
{
    const Rect& plot = l.Plot;
    dc.SetPen({PenStyle::Dot, 0, kGrey});
    for (const ChartTick& tick : l.AmplitudeTicks) {
        if (tick.Position == plot.bottom) continue;
        dc.MoveTo(plot.left, tick.Position);
        dc.LineTo(plot.right, tick.Position);
    }

    for (const HarmonicBar& bar : l.Bars) {
        if (bar.RawTop < plot.bottom) dc.FillRect({bar.Left, bar.RawTop, bar.Right, plot.bottom}, kLightGrey);
        if (bar.FilteredTop < plot.bottom) dc.FillRect({bar.Left, bar.FilteredTop, bar.Right, plot.bottom}, kNavy);
    }
}

// The transmission curve over the bars, then the axes: amplitude on the
// left, UPR along the bottom, transmission on the right.
void PaintCurveAndAxes(Canvas& dc, const HarmonicChartLayout& l, const Pen& linePen)
{
    const Rect& plot = l.Plot;
    dc.SetPen(linePen);
    if (l.TransmissionCurve.size() >= 2) dc.Polyline(l.TransmissionCurve);
    dc.MoveTo(plot.left - 1, plot.top);
    dc.LineTo(plot.left - 1, plot.bottom);
    dc.LineTo(plot.right, plot.bottom);
    dc.LineTo(plot.right, plot.top - 1);
}

// Tick marks with their grey labels on the three axes, and the captions.
void PaintTicks(Canvas& dc, const HarmonicChartLayout& l, const Pen& linePen, bool metricUnits)
{
    const Rect& plot = l.Plot;
    const int t = l.TickLength, fh = l.FontHeight, digit = l.DigitWidth;
    dc.SetPen(linePen);
    dc.SetTextColour(kGrey);
    dc.SetTextAlign({HAlign::Right, VAlign::Baseline});
    for (const ChartTick& tick : l.AmplitudeTicks) {
        dc.MoveTo(plot.left - 1 - t, tick.Position);
        dc.LineTo(plot.left - 1, tick.Position);
        dc.TextOut(plot.left - 1 - t - digit / 2, tick.Position + fh / 3, tick.Label);
    }
    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
    for (const ChartTick& tick : l.TransmissionTicks) {
        dc.MoveTo(plot.right, tick.Position);
        dc.LineTo(plot.right + t, tick.Position);
        dc.TextOut(plot.right + t + digit / 2, tick.Position + fh / 3, tick.Label);
    }
    dc.SetTextAlign({HAlign::Centre, VAlign::Top});
    for (const ChartTick& tick : l.UprTicks) {
        dc.MoveTo(tick.Position, plot.bottom);
        dc.LineTo(tick.Position, plot.bottom + t);
        dc.TextOut(tick.Position, plot.bottom + t + 1, tick.Label);
    }
    dc.TextOut(l.UprCaptionAt.x, l.UprCaptionAt.y, "UPR");
    dc.SetTextAlign({HAlign::Right, VAlign::Bottom});
    dc.TextOut(l.UnitCaptionAt.x, l.UnitCaptionAt.y, metricUnits ? "\u00B5m" : "\u00B5in");
}

// Legend, right-aligned over the plot on the unit caption's line: what navy,
// grey and the line stand for.
void PaintLegend(Canvas& dc, const HarmonicChartLayout& l, const Pen& linePen)
{
    const int fh = l.FontHeight, digit = l.DigitWidth;
    const int swatch = std::max(1, fh / 2);
    const int baseline = l.UnitCaptionAt.y;
    int x = l.Plot.right;
    dc.SetPen(linePen);
    dc.SetTextColour(kGrey);
    dc.SetTextAlign({HAlign::Left, VAlign::Bottom});
    const struct {
        std::string_view text;
        Colour colour;
        bool isLine;
    } entries[] = {{"Transmission", kBlack, true}, {"Raw", kLightGrey, false}, {"Filtered", kNavy, false}};
    for (const auto& entry : entries) {
        x -= dc.TextExtent(entry.text).width;
        dc.TextOut(x, baseline, entry.text);
        x -= digit / 2 + swatch;
        const int top = baseline - fh / 4 - swatch;
        if (entry.isLine) {
            dc.MoveTo(x, top + swatch / 2);
            dc.LineTo(x + swatch, top + swatch / 2);
        } else {
            dc.FillRect({x, top, x + swatch, top + swatch}, entry.colour);
        }
        x -= 2 * digit;
    }
}

} // namespace

int HarmonicChart::FontHeightFor(const Rect& frame)
{
    return std::max(1, std::min(frame.Height() / 24, frame.Width() / 40));
}

HarmonicChartLayout HarmonicChart::ComputeLayout(const HarmonicChartData& data, const HarmonicChartOptions& options,
                                                 const Rect& frame, int fontHeight, int digitWidth)
{
    HarmonicChartLayout layout;
    layout.Frame = frame;
    const int fh = std::max(1, fontHeight);
    const int digit = std::max(1, digitWidth);
    layout.FontHeight = fh;
    layout.DigitWidth = digitWidth;
    layout.TickLength = std::max(2, fh / 3);
    const int t = layout.TickLength;
    const int count = ShownHarmonicCount(data, options.Range);
    layout.ShownCount = count;

    // Room for about one label per two text lines, at most five intervals.
    const AmplitudeAxis axis = LayoutAmplitudeAxis(data, count, options.Logarithmic, frame.Height() - 6 * fh, fh);
    layout.AxisLow = axis.Low;
    layout.AxisHigh = axis.High;
    layout.Plot = LayoutPlotArea(frame, axis, fh, digit, t);
    const Rect& plot = layout.Plot;

    layout.TitleAt = {(frame.left + frame.right) / 2, frame.top};
    // Clear of the top amplitude label, which stands about two thirds of a line above plot.top.
    layout.UnitCaptionAt = {plot.left - 1 - t - digit / 2, plot.top - 3 * fh / 4};
    layout.UprCaptionAt = {(plot.left + plot.right) / 2, plot.bottom + t + fh + fh / 4};
    if (plot.Width() <= 0 || plot.Height() <= 0) return layout;

    layout.AmplitudeTicks = LayoutAmplitudeTicks(axis, plot);
    layout.TransmissionTicks = LayoutTransmissionTicks(plot);
    if (count == 0) return layout;

    layout.UprTicks = LayoutUprTicks(count, plot, digit);
    HarmonicBarLayout bars = LayoutHarmonicBars(data, count, axis, plot);
    layout.Bars = std::move(bars.Bars);
    layout.TransmissionCurve = std::move(bars.TransmissionCurve);
    layout.BarPitch = bars.BarPitch;
    layout.Aggregated = bars.Aggregated;
    return layout;
}

HarmonicChartLayout HarmonicChart::ComputeLayout(Canvas& dc, const HarmonicChartData& data,
                                                 const HarmonicChartOptions& options, const Rect& frame)
{
    dc.Save();
    const int fh = dc.SetFont(ReportFont(FontHeightFor(frame)));
    const int digit = dc.TextExtent("0").width;
    dc.Restore();
    return ComputeLayout(data, options, frame, fh, digit);
}

void HarmonicChart::Paint(Canvas& dc, const HarmonicChartLayout& layout, bool metricUnits)
{
    const HarmonicChartLayout& l = layout;
    dc.Save();
    dc.SetFont(ReportFont(FontHeightFor(l.Frame)));
    dc.SetTextColour(kBlack);
    dc.SetTextAlign({HAlign::Centre, VAlign::Top});
    dc.TextOut(l.TitleAt.x, l.TitleAt.y, kTitle);
    if (l.Plot.Width() > 0 && l.Plot.Height() > 0) {
        // Lines of 1/400 inch, as the polar graph's traces.
        const Pen linePen{PenStyle::Solid, std::max(1, static_cast<int>(dc.PixelsPerInch() * 0.0025)), kBlack};
        PaintGridAndBars(dc, l);
        PaintCurveAndAxes(dc, l, linePen);
        PaintTicks(dc, l, linePen, metricUnits);
        PaintLegend(dc, l, linePen);
    }
    dc.Restore();
}

void HarmonicChart::Draw(Canvas& dc, const Rect& frame)
{
    layout_ = ComputeLayout(dc, Data, Options, frame);
    Paint(dc, layout_, Data.MetricUnits);
}

} // namespace kyklos
