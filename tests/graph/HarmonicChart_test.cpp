// The harmonic chart: its geometry as plain numbers, the logarithmic axis,
// hovering, the pixel columns at many harmonics, and what it draws.

#include "graph/HarmonicChart.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kyklos {
namespace {

// 800 × 480 with a 20-unit font whose digits are 10 wide (as the recording
// canvas measures): plot (46, 60)–(734, 424), 688 × 364.
const Rect kFrame{0, 0, 800, 480};

// Filtered amplitudes in µm at chosen k, raw ones half as large again; the
// transmission of the 50 % Gaussian filter at 50 UPR.
HarmonicChartData Spectrum(int count, const std::vector<std::pair<int, double>>& filteredMicrometres)
{
    HarmonicChartData data;
    data.Harmonics.resize(static_cast<std::size_t>(count));
    for (const auto& [k, a] : filteredMicrometres)
        data.Harmonics[static_cast<std::size_t>(k - 1)] = {1.5 * a / 1000.0, a / 1000.0, 0.0};
    for (int k = 1; k <= count; ++k) data.Transmission.push_back(std::pow(2.0, -std::pow(k / 50.0, 2)));
    return data;
}

std::vector<std::string> Labels(const std::vector<ChartTick>& ticks)
{
    std::vector<std::string> out;
    for (const auto& t : ticks) out.push_back(t.Label);
    return out;
}

const HarmonicBar& Tallest(const HarmonicChartLayout& layout)
{
    return *std::min_element(layout.Bars.begin(), layout.Bars.end(),
                             [](const HarmonicBar& a, const HarmonicBar& b) { return a.FilteredTop < b.FilteredTop; });
}

HarmonicChartLayout Layout(const HarmonicChartData& data, bool logarithmic = false,
                           HarmonicRange range = HarmonicRange::Upr50)
{
    return HarmonicChart::ComputeLayout(data, {range, logarithmic}, kFrame, 20, 10);
}

TEST(HarmonicChartLayout, LinearAxisBarsAndTicks)
{
    // 100 harmonics, 50 shown (the 80th stays off the axis); the 3-lobe component is the largest.
    const auto layout = Layout(Spectrum(100, {{2, 1.0}, {3, 2.8}, {80, 9.0}}));
    EXPECT_EQ(layout.Plot, (Rect{46, 60, 734, 424}));
    ASSERT_EQ(layout.Bars.size(), 50u);

    // Raw amplitudes reach 4.2 µm: steps of 1 µm up to 5, bottom to top of the plot.
    EXPECT_EQ(Labels(layout.AmplitudeTicks), (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(layout.AmplitudeTicks.back().Position, 60);
    const HarmonicBar& tallest = Tallest(layout);
    EXPECT_EQ(tallest.Harmonic, 3);
    EXPECT_EQ(tallest.FilteredTop, 424 - static_cast<int>(std::lround(2.8 / 5 * 364)));
    EXPECT_EQ(tallest.RawTop, 424 - static_cast<int>(std::lround(4.2 / 5 * 364)));
    EXPECT_EQ(layout.Bars[0].FilteredTop, 424); // no amplitude at k = 1

    // UPR labels every 5; the curve passes 50 % at the 50 UPR cutoff.
    EXPECT_EQ(layout.UprTicks.back().Label, "50");
    ASSERT_EQ(layout.TransmissionCurve.size(), 50u);
    EXPECT_EQ(layout.TransmissionCurve.back(), (Point{layout.UprTicks.back().Position, 424 - 182}));

    // Fractions are written with a full stop.
    EXPECT_EQ(Labels(Layout(Spectrum(50, {{3, 0.28}})).AmplitudeTicks),
              (std::vector<std::string>{"0.0", "0.1", "0.2", "0.3", "0.4", "0.5"}));
}

TEST(HarmonicChartLayout, LogarithmicAxisSkipsZeroAndTooSmallAmplitudes)
{
    // Filtered 2 µm at k = 2, 0.002 µm at k = 3, 1e-9 µm at k = 4, nothing at k = 1.
    const auto layout = Layout(Spectrum(50, {{2, 2.0}, {3, 0.002}, {4, 1e-9}}), true);
    // From 10 µm down five decades at most, however small the smallest amplitude.
    EXPECT_EQ(Labels(layout.AmplitudeTicks), (std::vector<std::string>{"0.0001", "0.001", "0.01", "0.1", "1", "10"}));
    const int bottom = layout.Plot.bottom, height = layout.Plot.Height();
    EXPECT_EQ(layout.AmplitudeTicks.back().Position, layout.Plot.top);
    EXPECT_EQ(layout.Bars[0].FilteredTop, bottom);
    EXPECT_EQ(layout.Bars[3].FilteredTop, bottom);
    EXPECT_EQ(layout.Bars[1].FilteredTop, bottom - static_cast<int>(std::lround((std::log10(2.0) + 4) / 5 * height)));
    EXPECT_EQ(layout.Bars[2].FilteredTop, bottom - static_cast<int>(std::lround((std::log10(0.002) + 4) / 5 * height)));

    // Nothing but zeros still gives an axis of one decade.
    EXPECT_EQ(Labels(Layout(Spectrum(50, {}), true).AmplitudeTicks), (std::vector<std::string>{"0.1", "1"}));
}

TEST(HarmonicChartLayout, AbsurdAmplitudesKeepTheAxesFinite)
{
    auto data = Spectrum(50, {{2, 1.7e308}, {3, 1e-320}}); // µm; the raw 1.5 × 1.7e308 overflows
    data.Harmonics[4].FilteredAmplitude = std::nan("");
    for (const bool logarithmic : {false, true}) {
        const auto layout = Layout(data, logarithmic);
        EXPECT_TRUE(std::isfinite(layout.AxisHigh)) << logarithmic;
        EXPECT_LE(layout.AmplitudeTicks.size(), 7u) << logarithmic;
        EXPECT_EQ(Tallest(layout).Harmonic, 2) << logarithmic;
        EXPECT_EQ(Tallest(layout).FilteredTop, layout.Plot.top) << logarithmic;
        EXPECT_EQ(layout.Bars[4].FilteredTop, layout.Plot.bottom) << logarithmic;
    }
}

TEST(HarmonicChartLayout, HoverFindsTheHarmonicUnderThePoint)
{
    const auto layout = Layout(Spectrum(50, {{3, 1.0}}));
    const HarmonicBar& third = layout.Bars[2];
    EXPECT_EQ(layout.HarmonicAt({(third.Left + third.Right) / 2, 300}), 3);
    EXPECT_EQ(layout.HarmonicAt({layout.Plot.right - 1, layout.Plot.top}), 50);
    EXPECT_FALSE(layout.HarmonicAt({layout.Plot.right, 300}));
    EXPECT_FALSE(layout.HarmonicAt({300, layout.Plot.top - 1}));
}

TEST(HarmonicChartLayout, ManyHarmonicsAggregateToColumnsKeepingTheMaximum)
{
    // 18000 harmonics on 688 columns: a one-harmonic peak at 12345 must survive.
    const auto data = Spectrum(18000, {{12344, 0.5}, {12345, 3.0}, {12346, 0.5}, {17000, 1.0}});
    const auto layout = Layout(data, false, HarmonicRange::All);
    EXPECT_TRUE(layout.Aggregated);
    ASSERT_EQ(layout.Bars.size(), 688u);
    const HarmonicBar& peak = Tallest(layout);
    EXPECT_EQ(peak.Harmonic, 12345);
    EXPECT_EQ(peak.Left, layout.Plot.left + static_cast<int>(12344LL * 688 / 18000));
    EXPECT_EQ(layout.Plot.bottom - peak.RawTop, static_cast<int>(std::lround(4.5 / 5 * 364)));
    EXPECT_EQ(layout.HarmonicAt({peak.Left, 200}), 12345);
    EXPECT_EQ(layout.UprTicks.back().Label, "18000");

    // Drawn: the peak's three harmonics are one column, so two columns with
    // an amplitude, raw and filtered, besides the legend's two swatches.
    HarmonicChart chart;
    chart.Data = data;
    chart.Options.Range = HarmonicRange::All;
    RecordingCanvas dc;
    chart.Draw(dc, kFrame);
    int navy = 0, grey = 0;
    for (const auto& fill : dc.Calls("FillRect")) {
        navy += fill.colour == kNavy;
        grey += fill.colour == kLightGrey;
    }
    EXPECT_EQ(navy, 2 + 1);
    EXPECT_EQ(grey, 2 + 1);
}

TEST(HarmonicChartDraw, RawUnderFilteredThenTheCurve)
{
    HarmonicChart chart;
    chart.Data = Spectrum(60, {{3, 2.8}});
    RecordingCanvas dc;
    chart.Draw(dc, kFrame);
    const auto& layout = chart.Layout();
    EXPECT_EQ(layout.Plot, (Rect{46, 60, 734, 424})); // the font measured 20, digits 10

    std::vector<std::size_t> bars, curve;
    for (std::size_t i = 0; i < dc.calls.size(); ++i) {
        const auto& c = dc.calls[i];
        if (c.op == "FillRect" && c.args[3] == layout.Plot.bottom) bars.push_back(i);
        if (c.op == "Polyline") curve.push_back(i);
    }
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(dc.calls[bars[0]].colour, kLightGrey);
    EXPECT_EQ(dc.calls[bars[1]].colour, kNavy);
    const HarmonicBar& third = layout.Bars[2];
    EXPECT_EQ(dc.calls[bars[1]].args, (std::vector<int>{third.Left, third.FilteredTop, third.Right, 424}));
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_GT(curve[0], bars[1]);
    EXPECT_EQ(dc.calls[curve[0]].pen.colour, kBlack);
    EXPECT_EQ(dc.SaveDepth(), 0);

    // A frame too small for a plot draws no bars and hovers nothing.
    RecordingCanvas tiny;
    chart.Draw(tiny, {0, 0, 10, 10});
    EXPECT_EQ(tiny.Count("FillRect"), 0);
    EXPECT_FALSE(chart.HarmonicAt({5, 5}));
}

TEST(HarmonicChartLayout, TheAxisStartsAtTwoUprAndTheCentringBarIsClippedAndBroken)
{
    // 25 µm of centring at 1 UPR beside a 1.4 µm three-lobe form (raw 2.1 µm).
    auto data = Spectrum(50, {{1, 25.0}, {3, 1.4}});
    for (const bool logarithmic : {false, true}) {
        const auto layout = Layout(data, logarithmic);
        SCOPED_TRACE(logarithmic);
        EXPECT_EQ(layout.AxisHigh, logarithmic ? 10.0 : 2.5);
        EXPECT_TRUE(layout.Bars[0].Clipped);
        EXPECT_EQ(layout.Bars[0].RawTop, layout.Plot.top);
        EXPECT_EQ(layout.Bars[0].FilteredTop, layout.Plot.top);
        EXPECT_FALSE(layout.Bars[2].Clipped);
    }
    EXPECT_EQ(Layout(data).Bars[2].FilteredTop, 424 - static_cast<int>(std::lround(1.4 / 2.5 * 364)));
    // With one harmonic only, it sets the scale.
    EXPECT_FALSE(Layout(Spectrum(1, {{1, 25.0}})).Bars[0].Clipped);

    // Drawn: one white gap across the clipped bar, wider than it, under two strokes.
    HarmonicChart chart;
    chart.Data = data;
    RecordingCanvas dc;
    chart.Draw(dc, kFrame);
    const auto gaps = dc.Calls("Polygon");
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_EQ(gaps[0].colour, kWhite);
    const HarmonicBar& first = chart.Layout().Bars[0];
    EXPECT_LT(gaps[0].args[0], first.Left);
    EXPECT_GT(gaps[0].args[2], first.Right);
    EXPECT_GT(gaps[0].args[1], chart.Layout().Plot.top);
}

TEST(HarmonicChartDraw, TheCutoffIsMarkedAndTheFontIsTheCallers)
{
    HarmonicChart chart;
    chart.Data = Spectrum(100, {{3, 2.8}});
    chart.Data.CutoffUpr = 50;
    chart.Font = FontSpec{"Sans", 26, 0, 400};
    RecordingCanvas dc;
    chart.Draw(dc, kFrame);
    const auto& layout = chart.Layout();
    // At the centre of the 50th bar, where the curve passes 50 %.
    ASSERT_TRUE(layout.CutoffX);
    const HarmonicBar& bar = layout.Bars[49];
    EXPECT_LE(std::abs(2 * *layout.CutoffX - (bar.Left + bar.Right)), 1);
    EXPECT_EQ(*layout.CutoffX, layout.TransmissionCurve[49].x);
    bool line = false;
    const auto& calls = dc.calls;
    for (std::size_t i = 1; i < calls.size(); ++i)
        line = line || (calls[i].op == "LineTo" && calls[i].pen.style == PenStyle::Dash &&
                        calls[i - 1].args == std::vector<int>{*layout.CutoffX, layout.Plot.top} &&
                        calls[i].args == std::vector<int>{*layout.CutoffX, layout.Plot.bottom});
    EXPECT_TRUE(line);
    int named = 0;
    for (const auto& text : dc.Calls("TextOut")) {
        named += text.text == "50 UPR cutoff";
        EXPECT_EQ(text.font, *chart.Font) << text.text;
    }
    EXPECT_EQ(named, 1);
    EXPECT_EQ(layout.FontHeight, 26);

    // Beyond the UPR axis shown: no line.
    chart.Data.CutoffUpr = 150;
    chart.Draw(dc, kFrame);
    EXPECT_FALSE(chart.Layout().CutoffX);
}

} // namespace
} // namespace kyklos
