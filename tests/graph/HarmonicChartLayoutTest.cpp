// The harmonic chart's layout pieces on their own: the UPR ticks against the
// bars they label, the change from bars to pixel columns, the logarithmic
// axis's fractions and the plot's room for long amplitude labels.

#include "graph/HarmonicChartLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kyklos {
namespace {

// count harmonics of 1 µm filtered (raw 2 µm) and full transmission.
HarmonicChartData Flat(int count)
{
    HarmonicChartData data;
    data.Harmonics.assign(static_cast<std::size_t>(count), {0.002, 0.001, 0.0});
    data.Transmission.assign(static_cast<std::size_t>(count), 1.0);
    return data;
}

TEST(HarmonicChartPieces, UprTicksStandAtTheCentresOfTheBarsTheyName)
{
    const Rect plot{46, 60, 734, 424};
    const auto data = Flat(50);
    const AmplitudeAxis axis = LayoutAmplitudeAxis(data, 50, false, 400, 20);
    const HarmonicBarLayout bars = LayoutHarmonicBars(data, 50, axis, plot);
    // Labels four digits wide fit 17 times into 688: every fifth harmonic, up to the last.
    const auto ticks = LayoutUprTicks(50, plot, 10);
    ASSERT_EQ(ticks.size(), 10u);
    for (const ChartTick& tick : ticks) {
        const int k = std::stoi(tick.Label);
        EXPECT_EQ(k % 5, 0);
        const HarmonicBar& bar = bars.Bars[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(bar.Harmonic, k);
        EXPECT_LE(std::abs(2 * tick.Position - (bar.Left + bar.Right)), 1) << k;
    }
}

TEST(HarmonicChartPieces, BarsBecomePixelColumnsOnlyBeyondOneHarmonicPerPixel)
{
    const Rect plot{100, 0, 200, 50}; // 100 pixels wide
    const AmplitudeAxis axis = LayoutAmplitudeAxis(Flat(101), 101, false, 50, 10);

    const HarmonicBarLayout one = LayoutHarmonicBars(Flat(100), 100, axis, plot);
    EXPECT_FALSE(one.Aggregated);
    ASSERT_EQ(one.Bars.size(), 100u);
    EXPECT_EQ(one.Bars[99].Left, 199);
    EXPECT_EQ(one.Bars[99].Right, 200);

    // 101 harmonics: the first column holds harmonics 1 and 2, the last the 101st.
    auto data = Flat(101);
    data.Harmonics[1].FilteredAmplitude = 0.003;
    const HarmonicBarLayout columns = LayoutHarmonicBars(data, 101, axis, plot);
    EXPECT_TRUE(columns.Aggregated);
    ASSERT_EQ(columns.Bars.size(), 100u);
    EXPECT_EQ(columns.Bars[0].Harmonic, 2);
    EXPECT_EQ(columns.Bars[1].Harmonic, 3);
    EXPECT_EQ(columns.Bars[99].Harmonic, 101);
    EXPECT_EQ(columns.Bars[99].Left, 199);
}

TEST(HarmonicChartPieces, LogarithmicAxisFractionsAndTheRoomItsLabelsTake)
{
    // Amplitudes from 0.02 to 30 µm (raw 2 µm is the only other): decades 10^-2 … 10^2.
    HarmonicChartData data;
    data.Harmonics = {{0.0, 0.0, 0.0}, {0.030, 0.00002, 0.0}, {0.002, 0.0, 0.0}};
    const AmplitudeAxis axis = LayoutAmplitudeAxis(data, 3, true, 400, 20);
    EXPECT_EQ(axis.LowDecade, -2);
    EXPECT_EQ(axis.HighDecade, 2);
    EXPECT_DOUBLE_EQ(axis.Fraction(1.0), 0.5);
    EXPECT_DOUBLE_EQ(axis.Fraction(std::sqrt(10.0)), 0.625);
    EXPECT_EQ(axis.Fraction(0.01), 0.0); // on the axis's bottom: no bar
    EXPECT_EQ(axis.Fraction(1000.0), 1.0);
    EXPECT_EQ(axis.Fraction(-1.0), 0.0);

    // "0.01" has four characters: the plot starts 4 digits + tick + digit in.
    const Rect plot = LayoutPlotArea({0, 0, 800, 480}, axis, 20, 10, 6);
    EXPECT_EQ(plot, (Rect{4 * 10 + 6 + 10, 60, 800 - (50 + 6 + 10), 480 - (6 + 40 + 10)}));
    const auto ticks = LayoutAmplitudeTicks(axis, plot);
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_EQ(ticks[2].Label, "1");
    EXPECT_EQ(ticks[2].Position, plot.bottom - plot.Height() / 2);
}

} // namespace
} // namespace kyklos
