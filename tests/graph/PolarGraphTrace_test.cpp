// The trace operations of the polar chart: vertices, run compression, closing
// segment, clamping and the clip frame, on a recording canvas.

#include "graph/PolarGraph.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace kyklos {
namespace {

// A 500 square at the origin: centre (250, 250), zero circle 150, 20 units per µm.
class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        graph.GraphRect = {0, 0, 500, 500};
        graph.DatumRadius = 10.0;
        graph.DrawGraph(dc);
        dc.calls.clear();
    }

    std::vector<Point> Vertices(const char* op) const
    {
        std::vector<Point> out;
        for (const auto& c : dc.Calls(op)) out.push_back({c.args[0], c.args[1]});
        return out;
    }

    CPolarGraph graph;
    RecordingCanvas dc;
};

TEST_F(TraceTest, EveryTraceIsClippedInsideTheSquareAndRestored)
{
    const std::vector<double> radii(8, 10.0);
    graph.DrawProfile(dc, radii, 8);
    graph.DrawCenteredProfile(dc, radii, 8, 0.0, 0.0, 10.0, graph.ZeroRadius);
    graph.DrawReference(dc, 0.0, 0.0, 10.0);
    graph.DrawCentreMark(dc, 0.0, 0.0);
    graph.DrawCircle(dc, 100);
    ASSERT_EQ(dc.Count("Save"), 5);
    ASSERT_EQ(dc.Count("Restore"), 5);
    for (const auto& clip : dc.Calls("IntersectClip")) EXPECT_EQ(clip.args, (std::vector<int>{1, 1, 500, 500}));
    for (const auto& c : dc.calls) {
        if (c.op == "MoveTo" || c.op == "LineTo" || c.op == "Arc") {
            EXPECT_EQ(c.clipDepth, 1) << c.op;
        }
    }
    EXPECT_EQ(dc.SaveDepth(), 0);
    EXPECT_EQ(dc.Count("SetPen"), 0); // the traces draw with the pen they are given
}

TEST_F(TraceTest, DatumRadiusLiesOnTheZeroCircleAndOneMicrometreIs20Units)
{
    std::vector<double> radii(12, 10.0);
    graph.DrawProfile(dc, radii, 12);
    const auto moves = Vertices("MoveTo");
    const auto lines = Vertices("LineTo");
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], (Point{400, 250}));
    ASSERT_EQ(lines.size(), 12u); // 11 vertices and the closing segment
    for (const Point p : lines) EXPECT_NEAR(std::hypot(p.x - 250.0, p.y - 250.0), 150.0, 0.75);
    EXPECT_EQ(lines[2], (Point{250, 100})); // 90°: up on the page
    EXPECT_EQ(lines.back(), moves[0]);

    dc.calls.clear();
    radii[0] = 10.001;
    graph.DrawProfile(dc, radii, 12);
    EXPECT_EQ(Vertices("MoveTo")[0], (Point{420, 250}));
    EXPECT_EQ(Vertices("LineTo").back(), (Point{420, 250}));
}

TEST_F(TraceTest, PlainTraceSkipsRepeatsCentredTraceKeepsThem)
{
    const int n = 36000;
    std::vector<double> radii(n, 10.0);
    graph.DrawProfile(dc, radii, n);
    const auto plain = Vertices("LineTo");
    EXPECT_LT(plain.size(), 2000u);
    EXPECT_GT(plain.size(), 500u);
    Point last = Vertices("MoveTo")[0];
    for (const Point p : plain) {
        EXPECT_NE(p, last);
        last = p;
    }
    EXPECT_EQ(plain.back(), (Point{400, 250}));

    dc.calls.clear();
    graph.DrawCenteredProfile(dc, radii, n, 0.0, 0.0, 10.0, graph.ZeroRadius);
    const auto centred = Vertices("LineTo");
    ASSERT_EQ(centred.size(), static_cast<std::size_t>(n)); // 35999 vertices and the close
    EXPECT_EQ(centred[1], centred[0]);
    EXPECT_EQ(centred.back(), (Point{400, 250}));
}

TEST_F(TraceTest, SingleSample)
{
    const std::vector<double> radii{10.0};
    graph.DrawProfile(dc, radii, 1);
    EXPECT_EQ(dc.Count("MoveTo"), 1);
    EXPECT_EQ(dc.Count("LineTo"), 0);

    dc.calls.clear();
    graph.DrawCenteredProfile(dc, radii, 1, 0.0, 0.0, 10.0, graph.ZeroRadius);
    EXPECT_EQ(Vertices("MoveTo"), (std::vector<Point>{{400, 250}}));
    EXPECT_EQ(Vertices("LineTo"), (std::vector<Point>{{400, 250}}));

    dc.calls.clear();
    graph.DrawProfile(dc, radii, 0);
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(TraceTest, FarOutliersAreClampedTo16Bits)
{
    // 0°: a kilometre too large; 90°: a kilometre too small (through the centre and out the other side); 180°: NaN.
    const std::vector<double> radii{1e6, 10.0 - 1e6, std::nan(""), 10.0};
    graph.DrawProfile(dc, radii, 4);
    EXPECT_EQ(Vertices("MoveTo"), (std::vector<Point>{{32767, 250}}));
    const auto lines = Vertices("LineTo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (Point{250, 32767})); // the 90° ray pointing down after the sign change
    EXPECT_EQ(lines[1], (Point{0, 0}));       // NaN maps to coordinate 0, not to undefined behaviour
    EXPECT_EQ(lines[2], (Point{250, 400}));
    EXPECT_EQ(lines[3], (Point{32767, 250}));

    dc.calls.clear();
    graph.DrawCenteredProfile(dc, radii, 4, 0.0, 0.0, 10.0, graph.ZeroRadius);
    for (const Point p : Vertices("LineTo")) {
        EXPECT_GE(p.x, -32768);
        EXPECT_LE(p.x, 32767);
        EXPECT_GE(p.y, -32768);
        EXPECT_LE(p.y, 32767);
    }
}

TEST_F(TraceTest, CentredTraceMeasuresFromTheReferenceLimacon)
{
    // A profile equal to an eccentric limaçon is a circle at the base radius.
    const int n = 360;
    const double a = 0.004, b = -0.003, c = 10.0;
    std::vector<double> radii(n);
    for (int i = 0; i < n; ++i) {
        const double t = i * (2.0 * graph.Pi / n);
        radii[static_cast<std::size_t>(i)] = a * std::cos(t) + b * std::sin(t) + c;
    }
    graph.DrawCenteredProfile(dc, radii, n, a, b, c, graph.InnerRadius);
    for (const Point p : Vertices("LineTo")) EXPECT_NEAR(std::hypot(p.x - 250.0, p.y - 250.0), 100.0, 0.75);
}

TEST_F(TraceTest, ReferenceHas720VerticesAndCloses)
{
    graph.DrawReference(dc, 0.0, 0.0, 10.0);
    const auto moves = Vertices("MoveTo");
    const auto lines = Vertices("LineTo");
    ASSERT_EQ(moves.size(), 1u);
    ASSERT_EQ(lines.size(), 720u);
    EXPECT_EQ(lines.back(), moves[0]);
    for (const Point p : lines) EXPECT_NEAR(std::hypot(p.x - 250.0, p.y - 250.0), 150.0, 0.75);

    // An offset of (1 µm, 0) moves the circle 20 units right: 0° at 420, 180° at 120.
    dc.calls.clear();
    graph.DrawReference(dc, 0.001, 0.0, 10.0);
    EXPECT_EQ(Vertices("MoveTo")[0], (Point{420, 250}));
    EXPECT_EQ(Vertices("LineTo")[359], (Point{120, 250}));
}

TEST_F(TraceTest, CentreMarkAndCircle)
{
    graph.DrawCentreMark(dc, 0.001, 0.0005);
    // (1 µm, 0.5 µm) → (270, 240); arm = 200/20 = 10.
    EXPECT_EQ(Vertices("MoveTo"), (std::vector<Point>(4, Point{270, 240})));
    EXPECT_EQ(Vertices("LineTo"), (std::vector<Point>{{260, 240}, {280, 240}, {270, 230}, {270, 250}}));

    dc.calls.clear();
    graph.DrawCircle(dc, 150);
    const auto arcs = dc.Calls("Arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].args, (std::vector<int>{100, 100, 401, 401, 401, 250, 100, 250}));
    EXPECT_EQ(arcs[1].args, (std::vector<int>{100, 100, 401, 401, 100, 250, 401, 250}));
}

TEST_F(TraceTest, SaturatedCoordinatesKeepTheArithmeticDefined)
{
    // 0.001 µm per division: a 1 µm offset is 5e10 units, far beyond the int range.
    graph.BandRange = 2e-9;
    graph.DrawGraph(dc);
    dc.calls.clear();

    // The centre mark's arms stop at the end of the range instead of wrapping round.
    graph.DrawCentreMark(dc, 0.001, -0.001);
    EXPECT_EQ(Vertices("MoveTo"), (std::vector<Point>(4, Point{INT_MAX, INT_MAX})));
    EXPECT_EQ(
        Vertices("LineTo"),
        (std::vector<Point>{{INT_MAX - 10, INT_MAX}, {INT_MAX, INT_MAX}, {INT_MAX, INT_MAX - 10}, {INT_MAX, INT_MAX}}));
    dc.calls.clear();
    graph.DrawCentreMark(dc, -0.001, 0.001);
    EXPECT_EQ(
        Vertices("LineTo"),
        (std::vector<Point>{{INT_MIN, INT_MIN}, {INT_MIN + 10, INT_MIN}, {INT_MIN, INT_MIN}, {INT_MIN, INT_MIN + 10}}));

    // Radii near 1e308 µm: every trace stays within its coordinate range.
    dc.calls.clear();
    const std::vector<double> radii{1e305, -1e305, 1e305, 10.0};
    graph.DrawProfile(dc, radii, 4);
    graph.DrawCenteredProfile(dc, radii, 4, -1e305, 1e305, 1e305, graph.OuterRadius);
    graph.DrawReference(dc, 1e305, -1e305, 1e305);
    graph.DrawCentreMark(dc, 1e305, 1e305);
    const auto lines = Vertices("LineTo");
    ASSERT_EQ(lines.size(), 4u + 4u + 720u + 4u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_GE(lines[i].x, -32768) << i;
        EXPECT_LE(lines[i].x, 32767) << i;
        EXPECT_GE(lines[i].y, -32768) << i;
        EXPECT_LE(lines[i].y, 32767) << i;
    }
    EXPECT_EQ(lines.back(), (Point{INT_MAX, INT_MIN + 10}));
}

} // namespace
} // namespace kyklos
