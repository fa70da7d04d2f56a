#include "graph/HarmonicChart.h"

#include "platform/NumberText.h"
#include "graph/PolarGraph.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace kyklos {

namespace {

constexpr std::string_view kTitle = "Harmonic Spectrum";

int ShownLimit(HarmonicRange range)
{
    switch (range) {
    case HarmonicRange::Upr50: return 50;
    case HarmonicRange::Upr150: return 150;
    case HarmonicRange::Upr500: return 500;
    case HarmonicRange::All: break;
    }
    return -1;
}

// Millimetres to the display unit. What is not a finite positive amplitude
// counts as none; absurd magnitudes are held where the axis's steps and
// decades stay finite numbers.
double DisplayAmplitude(double millimetres, bool metric)
{
    const double v = ShownLength(millimetres, metric);
    if (!std::isfinite(v) || !(v > 1e-200)) return 0.0;
    return std::min(v, 1e200);
}

// The smallest 1, 2 or 5 × 10^e not below rough; decimals are the digits its labels need.
double NiceStep(double rough, int& decimals)
{
    int e = static_cast<int>(std::floor(std::log10(rough)));
    double p = std::pow(10.0, e);
    double step = 10.0 * p;
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * p >= rough * (1.0 - 1e-12)) {
            step = m * p;
            break;
        }
    }
    if (step == 10.0 * p) ++e;
    decimals = std::max(0, -e);
    return step;
}

std::string NumberText(double value, int decimals)
{
    std::string text;
    FormatFixed(value, decimals, 32, text);   // too long a number gets no label
    return text;
}

int DigitCount(int n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

int Round(double v) { return CPolarGraph::RoundToDevice(v); }

} // namespace

std::optional<int> HarmonicChartLayout::HarmonicAt(Point p) const
{
    if (Bars.empty() || !Plot.Contains(p) || !(BarPitch > 0.0)) return std::nullopt;
    const auto index = static_cast<std::size_t>(std::floor((p.x - Plot.left) / BarPitch));
    return Bars[std::min(index, Bars.size() - 1)].Harmonic;
}

int CHarmonicChart::FontHeightFor(const Rect& frame)
{
    return std::max(1, std::min(frame.Height() / 24, frame.Width() / 40));
}

HarmonicChartLayout CHarmonicChart::ComputeLayout(const HarmonicChartData& data, const HarmonicChartOptions& options,
                                                  const Rect& frame, int fontHeight, int digitWidth)
{
    HarmonicChartLayout layout;
    layout.Frame = frame;
    const int fh = std::max(1, fontHeight);
    const int digit = std::max(1, digitWidth);
    layout.FontHeight = fh;
    layout.TickLength = std::max(2, fh / 3);
    const int t = layout.TickLength;

    const int available = static_cast<int>(std::min<std::size_t>(data.Harmonics.size(), 1u << 30));
    const int limit = ShownLimit(options.Range);
    const int count = limit < 0 ? available : std::min(available, limit);
    layout.ShownCount = count;
    const bool metric = data.MetricUnits;

    // The amplitude axis covers the largest amplitude shown, raw or filtered.
    double largest = 0.0, smallest = 0.0;
    for (int i = 0; i < count; ++i) {
        const auto& h = data.Harmonics[static_cast<std::size_t>(i)];
        const double raw = DisplayAmplitude(h.RawAmplitude, metric);
        const double filtered = DisplayAmplitude(h.FilteredAmplitude, metric);
        for (const double v : {raw, filtered}) {
            if (v <= 0.0) continue;
            largest = std::max(largest, v);
            smallest = smallest == 0.0 ? v : std::min(smallest, v);
        }
    }

    // Room for about one label per two text lines, at most five intervals.
    const int roughPlotHeight = frame.Height() - 6 * fh;
    int lowDecade = 0, highDecade = 0, decimals = 0;
    double step = 0.0;
    if (options.Logarithmic) {
        if (largest > 0.0) {
            highDecade = static_cast<int>(std::ceil(std::log10(largest)));
            lowDecade = static_cast<int>(std::floor(std::log10(smallest)));
        }
        // At least one decade; at most five below the top, where the noise of a filtered profile lies.
        lowDecade = std::clamp(lowDecade, highDecade - 5, highDecade - 1);
        layout.AxisLow = std::pow(10.0, lowDecade);
        layout.AxisHigh = std::pow(10.0, highDecade);
    } else {
        const int intervals = std::clamp(roughPlotHeight / (2 * fh), 1, 5);
        step = NiceStep((largest > 0.0 ? largest : 1.0) / intervals, decimals);
        layout.AxisLow = 0.0;
        layout.AxisHigh = step * std::ceil((largest > 0.0 ? largest : 1.0) / step - 1e-9);
    }

    std::vector<std::string> amplitudeLabels;
    if (options.Logarithmic) {
        for (int e = lowDecade; e <= highDecade; ++e)
            amplitudeLabels.push_back(NumberText(std::pow(10.0, e), std::max(0, -e)));
    } else {
        const int ticks = static_cast<int>(std::lround(layout.AxisHigh / step));
        for (int i = 0; i <= ticks; ++i) amplitudeLabels.push_back(NumberText(i * step, decimals));
    }
    // "µin" above the labels needs three characters' room too.
    std::size_t labelCharacters = 3;
    for (const auto& label : amplitudeLabels) labelCharacters = std::max(labelCharacters, label.size());

    // Title and captions above, UPR labels and caption below, amplitude
    // labels on the left, "100%" on the right.
    layout.Plot.left = frame.left + static_cast<int>(labelCharacters) * digit + t + digit;
    layout.Plot.right = frame.right - (5 * digit + t + digit);
    layout.Plot.top = frame.top + 3 * fh;
    layout.Plot.bottom = frame.bottom - (t + 2 * fh + fh / 2);
    const Rect& plot = layout.Plot;
    const int width = plot.Width(), height = plot.Height();

    layout.TitleAt = {(frame.left + frame.right) / 2, frame.top};
    // Clear of the top amplitude label, which stands about two thirds of a line above plot.top.
    layout.UnitCaptionAt = {plot.left - 1 - t - digit / 2, plot.top - 3 * fh / 4};
    layout.UprCaptionAt = {(plot.left + plot.right) / 2, plot.bottom + t + fh + fh / 4};
    if (width <= 0 || height <= 0) return layout;

    // Fraction of the plot height for an amplitude; below the lowest decade nothing.
    const double logLow = lowDecade, logSpan = highDecade - lowDecade;
    auto fraction = [&](double v) {
        if (v <= 0.0) return 0.0;
        if (!options.Logarithmic) return std::min(1.0, v / layout.AxisHigh);
        if (v <= layout.AxisLow) return 0.0;
        return std::min(1.0, (std::log10(v) - logLow) / logSpan);
    };
    auto yOf = [&](double f) { return plot.bottom - Round(f * height); };

    for (std::size_t i = 0; i < amplitudeLabels.size(); ++i) {
        const double f = options.Logarithmic ? static_cast<double>(i) / logSpan
                                             : static_cast<double>(i) * step / layout.AxisHigh;
        layout.AmplitudeTicks.push_back({yOf(f), amplitudeLabels[i]});
    }
    for (const int percent : {0, 50, 100})
        layout.TransmissionTicks.push_back({yOf(percent / 100.0), std::to_string(percent) + "%"});
    if (count == 0) return layout;

    // UPR labels at 1, 2 or 5 × 10^e harmonics apart, with room to stand side by side.
    const double pitch = static_cast<double>(width) / count;
    const int labelWidth = (DigitCount(count) + 2) * digit;
    const int fit = std::max(1, width / labelWidth);
    int unused = 0;
    const double roughUprStep = std::max(1.0, static_cast<double>(count) / fit);
    const int uprStep = std::max(1, static_cast<int>(std::lround(NiceStep(roughUprStep, unused))));
    for (int k = uprStep; k <= count; k += uprStep)
        layout.UprTicks.push_back({plot.left + Round((k - 0.5) * pitch), std::to_string(k)});

    auto transmissionAt = [&](int k) -> std::optional<double> {
        if (k < 1 || static_cast<std::size_t>(k) > data.Transmission.size()) return std::nullopt;
        const double value = data.Transmission[static_cast<std::size_t>(k - 1)];
        if (!std::isfinite(value)) return std::nullopt;
        return std::clamp(value, 0.0, 1.0);
    };

    layout.Aggregated = count > width;
    if (!layout.Aggregated) {
        // Bars seven tenths of their slot wide while that leaves a visible gap.
        layout.BarPitch = pitch;
        const double barWidth = pitch >= 3.0 ? pitch * 0.7 : pitch;
        for (int k = 1; k <= count; ++k) {
            const auto& h = data.Harmonics[static_cast<std::size_t>(k - 1)];
            const double slot = (k - 1) * pitch;
            HarmonicBar bar;
            bar.Left = plot.left + Round(slot + (pitch - barWidth) / 2.0);
            bar.Right = std::max(bar.Left + 1, plot.left + Round(slot + (pitch + barWidth) / 2.0));
            bar.FilteredTop = yOf(fraction(DisplayAmplitude(h.FilteredAmplitude, metric)));
            bar.RawTop = yOf(fraction(DisplayAmplitude(h.RawAmplitude, metric)));
            bar.Harmonic = k;
            layout.Bars.push_back(bar);
            if (const auto tr = transmissionAt(k))
                layout.TransmissionCurve.push_back({plot.left + Round(slot + pitch / 2.0), yOf(*tr)});
        }
        return layout;
    }

    // More harmonics than pixels: one column per pixel with the largest
    // amplitudes of its harmonics, so no peak is lost between columns.
    layout.BarPitch = 1.0;
    struct Column {
        double filtered = 0.0, raw = 0.0;
        int first = 0, last = 0, largest = 0;
    };
    std::vector<Column> columns(static_cast<std::size_t>(width));
    for (int k = 1; k <= count; ++k) {
        const auto c = static_cast<std::size_t>(static_cast<long long>(k - 1) * width / count);
        Column& column = columns[c];
        const auto& h = data.Harmonics[static_cast<std::size_t>(k - 1)];
        const double filtered = DisplayAmplitude(h.FilteredAmplitude, metric);
        const double raw = DisplayAmplitude(h.RawAmplitude, metric);
        if (column.first == 0) {
            column.first = column.largest = k;
            column.filtered = filtered;
        } else if (filtered > column.filtered) {
            column.filtered = filtered;
            column.largest = k;
        }
        column.raw = std::max(column.raw, raw);
        column.last = k;
    }
    for (int c = 0; c < width; ++c) {
        const Column& column = columns[static_cast<std::size_t>(c)];
        const int x = plot.left + c;
        layout.Bars.push_back({x, x + 1, yOf(fraction(column.filtered)), yOf(fraction(column.raw)), column.largest});
        if (const auto tr = transmissionAt((column.first + column.last) / 2))
            layout.TransmissionCurve.push_back({x, yOf(*tr)});
    }
    return layout;
}

void CHarmonicChart::Draw(Canvas& dc, const Rect& frame)
{
    dc.Save();
    const int fh = dc.SetFont(ReportFont(FontHeightFor(frame)));
    const int digit = dc.TextExtent("0").width;
    layout_ = ComputeLayout(Data, Options, frame, fh, digit);
    const HarmonicChartLayout& l = layout_;
    const Rect& plot = l.Plot;
    const int t = l.TickLength;
    // Lines of 1/400 inch, as the polar graph's traces.
    const int line = std::max(1, static_cast<int>(dc.PixelsPerInch() * 0.0025));

    dc.SetTextColour(kBlack);
    dc.SetTextAlign({HAlign::Centre, VAlign::Top});
    dc.TextOut(l.TitleAt.x, l.TitleAt.y, kTitle);
    if (plot.Width() <= 0 || plot.Height() <= 0) {
        dc.Restore();
        return;
    }

    // Grid lines at the amplitude ticks, under the bars.
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

    dc.SetPen({PenStyle::Solid, line, kBlack});
    if (l.TransmissionCurve.size() >= 2) dc.Polyline(l.TransmissionCurve);

    // Axes: amplitude on the left, UPR along the bottom, transmission on the right.
    dc.MoveTo(plot.left - 1, plot.top);
    dc.LineTo(plot.left - 1, plot.bottom);
    dc.LineTo(plot.right, plot.bottom);
    dc.LineTo(plot.right, plot.top - 1);

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
    dc.TextOut(l.UnitCaptionAt.x, l.UnitCaptionAt.y, Data.MetricUnits ? "\u00B5m" : "\u00B5in");

    // Legend, right-aligned over the plot: what navy, grey and the line stand for.
    const int swatch = std::max(1, fh / 2);
    const int baseline = l.UnitCaptionAt.y;
    int x = plot.right;
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
    dc.Restore();
}

} // namespace kyklos
