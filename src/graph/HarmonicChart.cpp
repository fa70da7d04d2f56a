#include "graph/HarmonicChart.h"

#include <algorithm>
#include <string>
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

// A bar beyond the axis is broken near its top, as a broken axis is drawn: a
// slanted white gap between two black strokes, a little wider than the bar
// so that it shows on a bar one pixel wide.
void PaintBreaks(Canvas& dc, const HarmonicChartLayout& l, const Pen& linePen)
{
    const int gap = std::max(3, l.FontHeight / 3), slant = std::max(2, gap * 2 / 3);
    const int overhang = std::max(2, l.DigitWidth / 2);
    const int top = l.Plot.top + std::max(3, l.FontHeight);
    for (const HarmonicBar& bar : l.Bars) {
        if (!bar.Clipped) continue;
        const int left = bar.Left - overhang, right = bar.Right + overhang;
        const Point gapShape[] = {{left, top + slant}, {right, top}, {right, top + gap}, {left, top + gap + slant}};
        dc.Save();
        dc.SetPen({PenStyle::Null, 0, kWhite});
        dc.SetBrush({BrushStyle::Solid, kWhite, HatchStyle::Horizontal});
        dc.Polygon(gapShape);
        dc.Restore();
        dc.SetPen(linePen);
        dc.MoveTo(left, top + slant);
        dc.LineTo(right, top);
        dc.MoveTo(left, top + gap + slant);
        dc.LineTo(right, top + gap);
    }
}

// The cutoff: a dashed line across the plot, named at its top on the side with room.
void PaintCutoff(Canvas& dc, const HarmonicChartLayout& l)
{
    if (!l.CutoffX) return;
    const int x = *l.CutoffX;
    dc.SetPen({PenStyle::Dash, 0, kGrey});
    dc.MoveTo(x, l.Plot.top);
    dc.LineTo(x, l.Plot.bottom);
    const bool leftOfIt = x > (l.Plot.left + l.Plot.right) / 2;
    dc.SetTextColour(kGrey);
    dc.SetTextAlign({leftOfIt ? HAlign::Right : HAlign::Left, VAlign::Top});
    dc.TextOut(x + (leftOfIt ? -1 : 1) * std::max(1, l.DigitWidth / 2), l.Plot.top + 1,
               std::to_string(l.CutoffUpr) + " UPR cutoff");
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
    layout.Font = ReportFont(fontHeight);
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
    layout.CutoffUpr = data.CutoffUpr;
    if (data.CutoffUpr > 0) layout.CutoffX = UprPosition(data.CutoffUpr, count, plot);
    return layout;
}

HarmonicChartLayout HarmonicChart::ComputeLayout(Canvas& dc, const HarmonicChartData& data,
                                                 const HarmonicChartOptions& options, const Rect& frame,
                                                 const std::optional<FontSpec>& font)
{
    const FontSpec filterSpec = font.value_or(ReportFont(FontHeightFor(frame)));
    dc.Save();
    const int fh = dc.SetFont(filterSpec);
    const int digit = dc.TextExtent("0").width;
    dc.Restore();
    HarmonicChartLayout layout = ComputeLayout(data, options, frame, fh, digit);
    layout.Font = filterSpec;
    return layout;
}

void HarmonicChart::Paint(Canvas& dc, const HarmonicChartLayout& layout, bool metricUnits)
{
    const HarmonicChartLayout& l = layout;
    dc.Save();
    dc.SetFont(l.Font);
    dc.SetTextColour(kBlack);
    dc.SetTextAlign({HAlign::Centre, VAlign::Top});
    dc.TextOut(l.TitleAt.x, l.TitleAt.y, kTitle);
    if (l.Plot.Width() > 0 && l.Plot.Height() > 0) {
        // Lines of 1/400 inch, as the polar graph's traces.
        const Pen linePen{PenStyle::Solid, std::max(1, static_cast<int>(dc.PixelsPerInch() * 0.0025)), kBlack};
        PaintGridAndBars(dc, l);
        PaintBreaks(dc, l, linePen);
        PaintCutoff(dc, l);
        PaintCurveAndAxes(dc, l, linePen);
        PaintTicks(dc, l, linePen, metricUnits);
        PaintLegend(dc, l, linePen);
    }
    dc.Restore();
}

void HarmonicChart::Draw(Canvas& dc, const Rect& frame)
{
    layout_ = ComputeLayout(dc, Data, Options, frame, Font);
    Paint(dc, layout_, Data.MetricUnits);
}

} // namespace kyklos
