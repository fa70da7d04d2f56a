// Geometry, scale and grid of the polar chart, checked on a recording canvas.

#include "graph/PolarGraph.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace kyklos {
namespace {

CPolarGraph GraphOnSquare(int side, int left = 0, int top = 0)
{
    CPolarGraph graph;
    graph.GraphRect = {left, top, left + side, top + side};
    return graph;
}

std::vector<RecordedCall> PixelsOf(const RecordingCanvas& dc, Colour colour)
{
    std::vector<RecordedCall> out;
    for (const auto& c : dc.Calls("SetPixel"))
        if (c.colour == colour) out.push_back(c);
    return out;
}

TEST(PolarGraphLayout, SquareOf500)
{
    CPolarGraph graph = GraphOnSquare(500, 10, 20);
    RecordingCanvas dc;
    graph.DrawGraph(dc);
    EXPECT_EQ(graph.CentreX, 260);
    EXPECT_EQ(graph.CentreY, 270);
    EXPECT_EQ(graph.OuterRadius, 200);
    EXPECT_EQ(graph.InnerRadius, 100);
    EXPECT_EQ(graph.ZeroRadius, 150);
    EXPECT_DOUBLE_EQ(graph.PixelsPerMicrometre, 20.0);
}

TEST(PolarGraphLayout, PenWidthsFollowTheSmallerResolution)
{
    struct Case {
        int dpiX, dpiY, rule, trace, halo;
    };
    for (const Case c : {Case{96, 96, 1, 1, 3}, Case{300, 300, 1, 1, 12}, Case{600, 600, 1, 1, 24},
                         Case{1200, 1200, 2, 3, 48}, Case{96, 120, 1, 1, 3}, Case{1200, 600, 1, 1, 24}}) {
        CPolarGraph graph = GraphOnSquare(500);
        RecordingCanvas dc(c.dpiX, c.dpiY);
        graph.ComputeLayout(dc);
        EXPECT_EQ(graph.RulePenWidth, c.rule) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(graph.TracePenWidth, c.trace) << c.dpiX << "x" << c.dpiY;
        EXPECT_EQ(graph.HaloPenWidth, c.halo) << c.dpiX << "x" << c.dpiY;
    }
    // 96 × 120 must behave exactly like 96 × 96, not like 120 (halo 4).
    CPolarGraph graph = GraphOnSquare(500);
    RecordingCanvas dc(120, 96);
    graph.ComputeLayout(dc);
    EXPECT_EQ(graph.HaloPenWidth, 3);
}

TEST(PolarGraphLayout, RoundToDeviceMovesHalvesAwayFromZero)
{
    EXPECT_EQ(CPolarGraph::RoundToDevice(2.5), 3);
    EXPECT_EQ(CPolarGraph::RoundToDevice(2.4999), 2);
    EXPECT_EQ(CPolarGraph::RoundToDevice(-2.5), -3);
    EXPECT_EQ(CPolarGraph::RoundToDevice(-2.4999), -2);
    EXPECT_EQ(CPolarGraph::RoundToDevice(150.5), 151);
    EXPECT_EQ(CPolarGraph::RoundToDevice(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(CPolarGraph::RoundToDevice(1e300), INT_MAX);
    EXPECT_EQ(CPolarGraph::RoundToDevice(-std::numeric_limits<double>::infinity()), INT_MIN);
}

TEST(PolarGraphScale, FitScaleToRangeTable)
{
    struct Case {
        double d;
        bool metric;
        double band;
    };
    for (const Case c : {Case{3.2, true, 4.0}, Case{7.0, true, 7.0}, Case{7.01, true, 8.0}, Case{8.5, true, 10.0},
                         Case{0.9, true, 1.0}, Case{12.0, true, 20.0}, Case{0.0, true, 10.0}, Case{-3.0, true, 10.0},
                         Case{3.2, false, 5.08}, Case{0.0, false, 0.254}}) {
        CPolarGraph graph;
        graph.MetricUnits = c.metric;
        graph.FitScaleToRange(100.0 + c.d, 100.0);
        EXPECT_NEAR(graph.BandRange, c.band, 1e-9) << "range " << c.d << (c.metric ? " um" : " uin");
    }
}

TEST(PolarGraphScale, AbsurdRangesEndAndGiveAFiniteBand)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (bool metric : {true, false}) {
        for (auto [high, low] : {std::pair{inf, 0.0}, std::pair{nan, 1.0}, std::pair{0.0, -inf}}) {
            CPolarGraph graph;
            graph.MetricUnits = metric;
            graph.FitScaleToRange(high, low);
            EXPECT_NEAR(graph.BandRange, metric ? 10.0 : 0.254, 1e-12);
        }
        CPolarGraph graph;
        graph.MetricUnits = metric;
        graph.FitScaleToRange(1.7e308, 0.0);
        EXPECT_TRUE(std::isfinite(graph.BandRange));
        EXPECT_GE(graph.BandRange, metric ? 1.7e308 : 0.0);
    }
}

TEST(PolarGraphGrid, DotCountsForRadius100)
{
    CPolarGraph graph = GraphOnSquare(500);
    RecordingCanvas dc;
    graph.ComputeLayout(dc);
    graph.DrawDottedCircle(dc, 100, true);
    EXPECT_EQ(dc.Count("SetPixel"), 204);
    dc.calls.clear();
    graph.DrawDottedCircle(dc, 100, false);
    const auto dots = dc.Calls("SetPixel");
    ASSERT_EQ(dots.size(), 108u);
    // A dot on every axis: 0°, 90°, 180°, 270°.
    const std::set<std::pair<int, int>> points = [&] {
        std::set<std::pair<int, int>> s;
        for (const auto& c : dots) s.insert({c.args[0], c.args[1]});
        return s;
    }();
    for (auto p : {std::pair{350, 250}, std::pair{250, 150}, std::pair{150, 250}, std::pair{250, 350}})
        EXPECT_TRUE(points.count(p)) << p.first << "," << p.second;
    EXPECT_EQ(dots.front().colour, kGrey);
}

TEST(PolarGraphGrid, ScreenAndPrinterColours)
{
    CPolarGraph graph = GraphOnSquare(500);
    RecordingCanvas screen;
    graph.DrawGraph(screen);
    // Outer 200 → 400 raised to 408 dots, inner 100 → 204, both black; the rest is grey.
    EXPECT_EQ(PixelsOf(screen, kBlack).size(), 612u);
    EXPECT_FALSE(PixelsOf(screen, kGrey).empty());
    EXPECT_EQ(PixelsOf(screen, kBlack).size() + PixelsOf(screen, kGrey).size(),
              static_cast<std::size_t>(screen.Count("SetPixel")));

    RecordingCanvas printer(600, 600, true);
    graph.DrawGraph(printer);
    EXPECT_EQ(PixelsOf(printer, kBlack).size(), static_cast<std::size_t>(printer.Count("SetPixel")));
    EXPECT_EQ(printer.Calls("SetPen").front().pen.colour, kBlack);
    for (const auto& text : printer.Calls("TextOut")) EXPECT_EQ(text.colour, kGrey) << text.text;
}

TEST(PolarGraphGrid, MiddleRingOf503SquareLiesAt151)
{
    CPolarGraph graph = GraphOnSquare(503);
    RecordingCanvas dc;
    graph.ComputeLayout(dc);
    ASSERT_EQ(graph.OuterRadius, 201);
    ASSERT_EQ(graph.InnerRadius, 100);
    ASSERT_EQ(graph.ZeroRadius, 150);
    dc.calls.clear();
    graph.DrawGraph(dc);
    // Outer ring 402 → 408 dots, inner 200 → 204, then the plain ring: 151 raised to 156 dots.
    const auto dots = dc.Calls("SetPixel");
    ASSERT_GT(dots.size(), 408u + 204u + 156u);
    EXPECT_EQ(dots[408 + 204].args, (std::vector<int>{graph.CentreX + 151, graph.CentreY}));
    for (std::size_t i = 408 + 204; i < 408 + 204 + 156; ++i) {
        EXPECT_EQ(dots[i].colour, kGrey);
        const double dx = dots[i].args[0] - graph.CentreX, dy = dots[i].args[1] - graph.CentreY;
        EXPECT_NEAR(std::hypot(dx, dy), 151.0, 0.75);
    }
    // The spokes follow: the first axis starts at the centre.
    EXPECT_EQ(dots[408 + 204 + 156].args, (std::vector<int>{graph.CentreX, graph.CentreY}));
}

TEST(PolarGraphGrid, SpokesStartAndStep)
{
    CPolarGraph graph = GraphOnSquare(500);
    RecordingCanvas dc;
    graph.ComputeLayout(dc);
    graph.DrawRadialLines(dc);
    const auto dots = dc.Calls("SetPixel");
    // Axes from d = 0 to 198 (34 dots), the other spokes from 100 to 196 (17 dots).
    ASSERT_EQ(dots.size(), 4u * 34u + 20u * 17u);
    EXPECT_EQ(dots[0].args, (std::vector<int>{250, 250}));
    EXPECT_EQ(dots[1].args, (std::vector<int>{256, 250}));
    EXPECT_EQ(dots[33].args, (std::vector<int>{448, 250}));
    // The 15° spoke starts on the inner circle: 100·cos 15° = 96.59, 100·sin 15° = 25.88.
    EXPECT_EQ(dots[34].args, (std::vector<int>{347, 224}));
}

TEST(PolarGraphLabels, PositionsAlignmentsAndScaleBar)
{
    CPolarGraph graph = GraphOnSquare(500);
    RecordingCanvas dc;
    graph.DrawGraph(dc);
    const auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 5u);
    struct Expect {
        const char* text;
        int x, y;
        HAlign h;
        VAlign v;
    };
    // h = 500/30 = 16, D = 210, h/3 = 5.
    const Expect expected[] = {
        {"0\u00B0", 460, 255, HAlign::Left, VAlign::Baseline},
        {"  90\u00B0", 250, 40, HAlign::Centre, VAlign::Baseline},
        {"180\u00B0", 40, 255, HAlign::Right, VAlign::Baseline},
        {" 270\u00B0", 250, 460, HAlign::Centre, VAlign::Top},
        {"2.50 \u00B5m", 366, 484, HAlign::Left, VAlign::Bottom},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(texts[i].args[0], expected[i].x) << expected[i].text;
        EXPECT_EQ(texts[i].args[1], expected[i].y) << expected[i].text;
        EXPECT_EQ(texts[i].align, (TextAlign{expected[i].h, expected[i].v})) << expected[i].text;
        EXPECT_EQ(texts[i].font.height, 16);
        EXPECT_EQ(texts[i].font.face, "Arial");
        EXPECT_EQ(texts[i].font.weight, 600);
        EXPECT_EQ(texts[i].colour, kGrey);
    }
    EXPECT_EQ(graph.ScaleBarRect, (Rect{350, 450, 500, 500}));

    std::vector<std::vector<int>> strokes;
    for (const auto& c : dc.calls)
        if (c.op == "MoveTo" || c.op == "LineTo") strokes.push_back(c.args);
    EXPECT_EQ(strokes, (std::vector<std::vector<int>>{{350, 500}, {350, 450}, {350, 500}, {400, 500}}));
    EXPECT_EQ(dc.Calls("LineTo").front().pen, (Pen{PenStyle::Solid, 1, kGrey}));
    // Font, pen and colours are given back.
    EXPECT_EQ(dc.SaveDepth(), 0);
    EXPECT_EQ(dc.CurrentPen(), Pen{});
}

TEST(PolarGraphLabels, InchLabelAndTinySquare)
{
    CPolarGraph graph = GraphOnSquare(500);
    graph.MetricUnits = false;
    RecordingCanvas dc;
    graph.DrawGraph(dc);
    EXPECT_EQ(dc.Calls("TextOut").back().text, "98.4 \u00B5in");

    CPolarGraph tiny = GraphOnSquare(29);
    RecordingCanvas small;
    tiny.DrawGraph(small);
    EXPECT_EQ(small.Calls("SetFont").front().font.height, 1);
}

} // namespace
} // namespace kyklos
