#include "graph/HarmonicChartLayout.h"

#include "graph/PolarGraph.h"
#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kyklos {

namespace {

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
    FormatFixed(value, decimals, 32, text); // too long a number gets no label
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

int YOf(const Rect& plot, double fraction) { return plot.bottom - Round(fraction * plot.Height()); }

// The filter's transmission at harmonic k, held to 0 … 1; none where it is not known.
std::optional<double> TransmissionAt(const HarmonicChartData& data, int k)
{
    if (k < 1 || static_cast<std::size_t>(k) > data.Transmission.size()) return std::nullopt;
    const double value = data.Transmission[static_cast<std::size_t>(k - 1)];
    if (!std::isfinite(value)) return std::nullopt;
    return std::clamp(value, 0.0, 1.0);
}

// Bars seven tenths of their slot wide while that leaves a visible gap.
HarmonicBarLayout BarsPerHarmonic(const HarmonicChartData& data, int count, const AmplitudeAxis& axis, const Rect& plot)
{
    const bool metric = data.MetricUnits;
    const double pitch = static_cast<double>(plot.Width()) / count;
    HarmonicBarLayout bars;
    bars.BarPitch = pitch;
    const double barWidth = pitch >= 3.0 ? pitch * 0.7 : pitch;
    for (int k = 1; k <= count; ++k) {
        const auto& h = data.Harmonics[static_cast<std::size_t>(k - 1)];
        const double slot = (k - 1) * pitch;
        HarmonicBar bar;
        bar.Left = plot.left + Round(slot + (pitch - barWidth) / 2.0);
        bar.Right = std::max(bar.Left + 1, plot.left + Round(slot + (pitch + barWidth) / 2.0));
        const double filtered = DisplayAmplitude(h.FilteredAmplitude, metric);
        const double raw = DisplayAmplitude(h.RawAmplitude, metric);
        bar.FilteredTop = YOf(plot, axis.Fraction(filtered));
        bar.RawTop = YOf(plot, axis.Fraction(raw));
        bar.Harmonic = k;
        bar.Clipped = axis.Exceeds(raw) || axis.Exceeds(filtered);
        bars.Bars.push_back(bar);
        if (const auto tr = TransmissionAt(data, k))
            bars.TransmissionCurve.push_back({plot.left + Round(slot + pitch / 2.0), YOf(plot, *tr)});
    }
    return bars;
}

// More harmonics than pixels: one column per pixel with the largest
// amplitudes of its harmonics, so no peak is lost between columns.
HarmonicBarLayout BarsPerPixelColumn(const HarmonicChartData& data, int count, const AmplitudeAxis& axis,
                                     const Rect& plot)
{
    const bool metric = data.MetricUnits;
    const int width = plot.Width();
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
    HarmonicBarLayout bars;
    bars.Aggregated = true;
    bars.BarPitch = 1.0;
    for (int c = 0; c < width; ++c) {
        const Column& column = columns[static_cast<std::size_t>(c)];
        const int x = plot.left + c;
        bars.Bars.push_back({x, x + 1, YOf(plot, axis.Fraction(column.filtered)), YOf(plot, axis.Fraction(column.raw)),
                             column.largest, axis.Exceeds(column.raw) || axis.Exceeds(column.filtered)});
        if (const auto tr = TransmissionAt(data, (column.first + column.last) / 2))
            bars.TransmissionCurve.push_back({x, YOf(plot, *tr)});
    }
    return bars;
}

} // namespace

std::optional<int> HarmonicChartLayout::HarmonicAt(Point p) const
{
    if (Bars.empty() || !Plot.Contains(p) || !(BarPitch > 0.0)) return std::nullopt;
    const auto index = static_cast<std::size_t>(std::floor((p.x - Plot.left) / BarPitch));
    return Bars[std::min(index, Bars.size() - 1)].Harmonic;
}

double AmplitudeAxis::Fraction(double amplitude) const
{
    if (amplitude <= 0.0) return 0.0;
    if (!Logarithmic) return std::min(1.0, amplitude / High);
    if (amplitude <= Low) return 0.0;
    const double logLow = LowDecade, logSpan = HighDecade - LowDecade;
    return std::min(1.0, (std::log10(amplitude) - logLow) / logSpan);
}

int ShownHarmonicCount(const HarmonicChartData& data, HarmonicRange range)
{
    const int available = static_cast<int>(std::min<std::size_t>(data.Harmonics.size(), 1u << 30));
    const int limit = ShownLimit(range);
    return limit < 0 ? available : std::min(available, limit);
}

AmplitudeAxis LayoutAmplitudeAxis(const HarmonicChartData& data, int count, bool logarithmic, int roughPlotHeight,
                                  int fontHeight)
{
    double largest = 0.0, smallest = 0.0;
    for (int i = count >= 2 ? 1 : 0; i < count; ++i) {
        const auto& h = data.Harmonics[static_cast<std::size_t>(i)];
        const double raw = DisplayAmplitude(h.RawAmplitude, data.MetricUnits);
        const double filtered = DisplayAmplitude(h.FilteredAmplitude, data.MetricUnits);
        for (const double v : {raw, filtered}) {
            if (v <= 0.0) continue;
            largest = std::max(largest, v);
            smallest = smallest == 0.0 ? v : std::min(smallest, v);
        }
    }

    AmplitudeAxis axis;
    axis.Logarithmic = logarithmic;
    if (logarithmic) {
        if (largest > 0.0) {
            axis.HighDecade = static_cast<int>(std::ceil(std::log10(largest)));
            axis.LowDecade = static_cast<int>(std::floor(std::log10(smallest)));
        }
        // At least one decade; at most five below the top, where the noise of a filtered profile lies.
        axis.LowDecade = std::clamp(axis.LowDecade, axis.HighDecade - 5, axis.HighDecade - 1);
        axis.Low = std::pow(10.0, axis.LowDecade);
        axis.High = std::pow(10.0, axis.HighDecade);
        for (int e = axis.LowDecade; e <= axis.HighDecade; ++e)
            axis.Labels.push_back(NumberText(std::pow(10.0, e), std::max(0, -e)));
        return axis;
    }
    const int intervals = std::clamp(roughPlotHeight / (2 * fontHeight), 1, 5);
    int decimals = 0;
    axis.Step = NiceStep((largest > 0.0 ? largest : 1.0) / intervals, decimals);
    axis.Low = 0.0;
    axis.High = axis.Step * std::ceil((largest > 0.0 ? largest : 1.0) / axis.Step - 1e-9);
    const int ticks = static_cast<int>(std::lround(axis.High / axis.Step));
    for (int i = 0; i <= ticks; ++i) axis.Labels.push_back(NumberText(i * axis.Step, decimals));
    return axis;
}

Rect LayoutPlotArea(const Rect& frame, const AmplitudeAxis& axis, int fontHeight, int digitWidth, int tickLength)
{
    // "µin" above the labels needs three characters' room too.
    std::size_t labelCharacters = 3;
    for (const auto& label : axis.Labels) labelCharacters = std::max(labelCharacters, label.size());
    const int fh = fontHeight, digit = digitWidth, t = tickLength;
    Rect plot;
    plot.left = frame.left + static_cast<int>(labelCharacters) * digit + t + digit;
    plot.right = frame.right - (5 * digit + t + digit);
    plot.top = frame.top + 3 * fh;
    plot.bottom = frame.bottom - (t + 2 * fh + fh / 2);
    return plot;
}

std::vector<ChartTick> LayoutAmplitudeTicks(const AmplitudeAxis& axis, const Rect& plot)
{
    const double logSpan = axis.HighDecade - axis.LowDecade;
    std::vector<ChartTick> ticks;
    for (std::size_t i = 0; i < axis.Labels.size(); ++i) {
        const double f =
            axis.Logarithmic ? static_cast<double>(i) / logSpan : static_cast<double>(i) * axis.Step / axis.High;
        ticks.push_back({YOf(plot, f), axis.Labels[i]});
    }
    return ticks;
}

std::vector<ChartTick> LayoutTransmissionTicks(const Rect& plot)
{
    std::vector<ChartTick> ticks;
    for (const int percent : {0, 50, 100}) ticks.push_back({YOf(plot, percent / 100.0), std::to_string(percent) + "%"});
    return ticks;
}

std::vector<ChartTick> LayoutUprTicks(int count, const Rect& plot, int digitWidth)
{
    const int width = plot.Width();
    const double pitch = static_cast<double>(width) / count;
    const int labelWidth = (DigitCount(count) + 2) * digitWidth;
    const int fit = std::max(1, width / labelWidth);
    int unused = 0;
    const double roughUprStep = std::max(1.0, static_cast<double>(count) / fit);
    const int uprStep = std::max(1, static_cast<int>(std::lround(NiceStep(roughUprStep, unused))));
    std::vector<ChartTick> ticks;
    for (int k = uprStep; k <= count; k += uprStep)
        ticks.push_back({plot.left + Round((k - 0.5) * pitch), std::to_string(k)});
    return ticks;
}

HarmonicBarLayout LayoutHarmonicBars(const HarmonicChartData& data, int count, const AmplitudeAxis& axis,
                                     const Rect& plot)
{
    if (count > plot.Width()) return BarsPerPixelColumn(data, count, axis, plot);
    return BarsPerHarmonic(data, count, axis, plot);
}

std::optional<int> UprPosition(int k, int count, const Rect& plot)
{
    const int width = plot.Width();
    if (k < 1 || k > count || width <= 0) return std::nullopt;
    // As the bars are laid out: pixel columns beyond one harmonic per pixel.
    if (count > width) return plot.left + static_cast<int>(static_cast<long long>(k - 1) * width / count);
    return plot.left + Round((k - 0.5) * (static_cast<double>(width) / count));
}

} // namespace kyklos
