// Which traces the view draws, with which pens, for every presentation.

#include "document/KyklosDoc.h"
#include "platform/RecordingCanvas.h"
#include "view/KyklosView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace kyklos {
namespace {

struct PenUse {
    Colour colour;
    int width;
    friend bool operator==(const PenUse&, const PenUse&) = default;
};

class ProfileTracesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CKyklosDoc>();
        // A three-lobed profile about a centre offset of (2 µm, 1 µm).
        std::vector<double> raw(720), filtered(720);
        for (int i = 0; i < 720; ++i) {
            const double t = i * (2.0 * 3.141592653589793 / 720);
            const double r = 10.0 + 0.002 * std::cos(t) + 0.001 * std::sin(t) + 0.0015 * std::cos(3 * t);
            raw[static_cast<std::size_t>(i)] = r + 0.0003 * std::sin(97 * t);
            filtered[static_cast<std::size_t>(i)] = r;
        }
        doc->Profile = EqualStepProfile(std::move(raw));
        doc->Result.FilteredRadius = std::move(filtered);
        doc->AnalysisValid = true;
        doc->Result.FitValid = true;
        doc->Settings.ReferenceKind = ReferenceKind::LeastSquares;
        doc->Result.ReferenceA = 0.002;
        doc->Result.ReferenceB = 0.001;
        doc->Result.ReferenceC = 10.0;
        doc->Result.ZoneHalfWidth = 0.0015;

        view.Graph.GraphRect = {0, 0, 500, 500};
        view.Graph.DatumRadius = 10.0;
        view.Graph.BandRange = 10.0;
        view.Graph.DrawGraph(dc);
        dc.calls.clear();
    }

    std::vector<PenUse> Pens() const
    {
        std::vector<PenUse> out;
        for (const auto& c : dc.Calls("SetPen")) out.push_back({c.pen.colour, c.pen.width});
        return out;
    }

    // Number of LineTo calls drawn with the given pen colour.
    int LinesIn(Colour colour) const
    {
        int n = 0;
        for (const auto& c : dc.Calls("LineTo"))
            if (c.pen.colour == colour) ++n;
        return n;
    }

    std::unique_ptr<CKyklosDoc> doc;
    CKyklosView view{"/nonexistent-logo-directory"};
    RecordingCanvas dc; // 96 dpi: trace pen 1, halo pen 3
};

TEST_F(ProfileTracesTest, PlainPresentationWithEverythingShown)
{
    view.DrawProfileTraces(dc, *doc);
    EXPECT_EQ(Pens(), (std::vector<PenUse>{{kLightGrey, 1}, {kWhite, 3}, {kNavy, 1}, {kBlack, 1}}));
    EXPECT_GT(LinesIn(kLightGrey), 0);
    EXPECT_EQ(LinesIn(kWhite), LinesIn(kNavy)); // the halo follows the filtered trace
    // One reference polyline (720 segments) and the four strokes of the centre mark.
    EXPECT_EQ(LinesIn(kBlack), 720 + 4);
    // The centre mark sits at the reference centre: (2 µm, 1 µm) at 10 units per µm.
    EXPECT_EQ(dc.Calls("MoveTo").back().args, (std::vector<int>{270, 240}));
    EXPECT_EQ(dc.SaveDepth(), 0);
}

TEST_F(ProfileTracesTest, FlagsRemoveRawAndReference)
{
    view.ShowRawData = false;
    view.ShowReferenceCircle = false;
    view.DrawProfileTraces(dc, *doc);
    EXPECT_EQ(Pens(), (std::vector<PenUse>{{kNavy, 1}}));
}

TEST_F(ProfileTracesTest, MinimumZoneDrawsBothZoneCircles)
{
    doc->Settings.ReferenceKind = ReferenceKind::MinimumZone;
    view.ShowRawData = false;
    view.DrawProfileTraces(dc, *doc);
    EXPECT_EQ(LinesIn(kBlack), 2 * 720 + 4);
    // Inner zone circle first: its 0° point lies 1.5 µm (15 units) inside the reference's.
    const auto moves = dc.Calls("MoveTo");
    std::vector<std::vector<int>> blackStarts;
    for (const auto& m : moves)
        if (m.pen.colour == kBlack) blackStarts.push_back(m.args);
    ASSERT_GE(blackStarts.size(), 2u);
    EXPECT_EQ(blackStarts[0], (std::vector<int>{250 + 150 + 20 - 15, 250}));
    EXPECT_EQ(blackStarts[1], (std::vector<int>{250 + 150 + 20 + 15, 250}));
}

TEST_F(ProfileTracesTest, CentredPresentationBaseRadiusPerReference)
{
    view.ShowCenteredProfile = true;
    struct Case {
        ReferenceKind kind;
        int base;
    };
    for (const Case c : {Case{ReferenceKind::LeastSquares, 150}, Case{ReferenceKind::MaximumInscribed, 100},
                         Case{ReferenceKind::MinimumCircumscribed, 200}}) {
        dc.calls.clear();
        doc->Settings.ReferenceKind = c.kind;
        view.DrawProfileTraces(dc, *doc);
        EXPECT_EQ(Pens(), (std::vector<PenUse>{{kLightGrey, 1}, {kWhite, 3}, {kNavy, 1}, {kBlack, 1}}));
        // The filtered trace minus its limaçon is the 3-lobe term alone: ±1.5 µm about the base.
        for (const auto& line : dc.Calls("LineTo")) {
            if (line.pen.colour != kNavy) continue;
            const double rho = std::hypot(line.args[0] - 250.0, line.args[1] - 250.0);
            EXPECT_NEAR(rho, c.base, 15.0 + 1.0);
        }
        // The reference is a true circle at the base radius, and there is no centre mark.
        const auto arcs = dc.Calls("Arc");
        ASSERT_EQ(arcs.size(), 2u);
        EXPECT_EQ(arcs[0].args[0], 250 - c.base);
        EXPECT_EQ(arcs[0].args[2], 250 + c.base + 1);
        EXPECT_EQ(LinesIn(kBlack), 0);
        // Every sample is a vertex in the centred trace.
        EXPECT_EQ(LinesIn(kNavy), 720);
    }
}

TEST_F(ProfileTracesTest, CentredMinimumZoneCirclesAboutTheChartCentre)
{
    view.ShowCenteredProfile = true;
    view.ShowRawData = false;
    doc->Settings.ReferenceKind = ReferenceKind::MinimumZone;
    view.DrawProfileTraces(dc, *doc);
    std::vector<std::vector<int>> blackStarts;
    for (const auto& m : dc.Calls("MoveTo"))
        if (m.pen.colour == kBlack) blackStarts.push_back(m.args);
    ASSERT_EQ(blackStarts.size(), 2u);
    EXPECT_EQ(blackStarts[0], (std::vector<int>{250 + 150 + 15, 250})); // outer first
    EXPECT_EQ(blackStarts[1], (std::vector<int>{250 + 150 - 15, 250}));
    EXPECT_EQ(dc.Count("Arc"), 0);
}

TEST_F(ProfileTracesTest, WithoutAValidFitOnlyTheRawProfileInBlack)
{
    doc->Result.FitValid = false;
    view.ShowCenteredProfile = true;
    view.ShowRawData = false;
    view.DrawProfileTraces(dc, *doc);
    EXPECT_EQ(Pens(), (std::vector<PenUse>{{kBlack, 1}}));
    // Drawn about the datum: its first point is the raw sample 0 (10.0035 mm → 35 units out).
    EXPECT_EQ(dc.Calls("MoveTo").front().args, (std::vector<int>{250 + 150 + 35, 250}));
    EXPECT_EQ(dc.Count("Arc"), 0);
}

TEST_F(ProfileTracesTest, TinyScaleAndHugeRadiiDrawTheWholePage)
{
    // 0.001 nm per division, as --scale 1e-9 asks: the (2 µm, 1 µm) centre lies
    // 1e11 units off the chart and saturates; its mark must still be drawn.
    view.AutoScale = false;
    view.Graph.BandRange = 2e-9;
    const Rect page{0, 0, 1600, 1000};
    for (const ReferenceKind kind : kReferenceKinds) {
        for (const bool centred : {false, true}) {
            doc->Settings.ReferenceKind = kind;
            view.ShowCenteredProfile = centred;
            dc.calls.clear();
            view.OnDraw(dc, *doc, page);
            EXPECT_GT(LinesIn(kNavy), 0) << ReferenceIndex(kind) << centred;
        }
    }
    view.ShowCenteredProfile = false;
    dc.calls.clear();
    view.OnDraw(dc, *doc, page);
    std::vector<std::vector<int>> mark;
    for (const auto& line : dc.Calls("LineTo"))
        if (line.pen.colour == kBlack) mark.push_back(line.args);
    ASSERT_GE(mark.size(), 4u);
    mark.erase(mark.begin(), mark.end() - 4);
    EXPECT_EQ(mark, (std::vector<std::vector<int>>{
                        {INT_MAX - 16, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MIN + 16}}));

    // Radii near 1e308 µm with automatic scaling.
    view.AutoScale = true;
    for (int i = 0; i < doc->Profile.PointCount(); ++i)
        doc->Result.FilteredRadius[static_cast<std::size_t>(i)] = i % 2 ? 1e305 : -1e305;
    doc->Result.ReferenceA = doc->Result.ReferenceC = 1e305;
    doc->Result.MaxRawRadius = 1e305;
    doc->Result.MinRawRadius = -1e305;
    dc.calls.clear();
    view.OnDraw(dc, *doc, page);
    EXPECT_GT(LinesIn(kNavy), 0);
}

TEST_F(ProfileTracesTest, NothingWithoutAnAnalysis)
{
    doc->AnalysisValid = false;
    view.DrawProfileTraces(dc, *doc);
    EXPECT_TRUE(dc.calls.empty());
}

// Samples left out of the analysis, spikes removed, an arc at unequal angles.
class TracesApartTest : public ProfileTracesTest {
protected:
    // The angle of a device point about the chart centre (250, 250), degrees in (−180, 180].
    static double AngleOf(int x, int y) { return std::atan2(250.0 - y, x - 250.0) * 180.0 / 3.141592653589793; }

    // The vertices drawn with a pen colour, path by path.
    std::vector<std::vector<Point>> PathsIn(Colour colour) const
    {
        std::vector<std::vector<Point>> paths;
        for (const auto& c : dc.calls) {
            if ((c.op != "MoveTo" && c.op != "LineTo") || c.pen.colour != colour) continue;
            if (c.op == "MoveTo") paths.emplace_back();
            if (!paths.empty()) paths.back().push_back({c.args[0], c.args[1]});
        }
        return paths;
    }

    void MarkUsed(const std::vector<bool>& used) { doc->Result.Samples = SampleSet::EqualSteps(720, used); }
};

TEST_F(TracesApartTest, AnExcludedSectorIsDrawnInRawGreyOnly)
{
    // 90° to 120° left out: samples 180 to 240 of 720.
    std::vector<bool> used(720, true);
    for (int i = 180; i <= 240; ++i) used[static_cast<std::size_t>(i)] = false;
    MarkUsed(used);
    view.ShowRawData = false;
    view.DrawProfileTraces(dc, *doc);

    // The filtered trace: one open path from 120.5° round through 0° to 89.5°, never inside the sector.
    const auto navy = PathsIn(kNavy);
    ASSERT_EQ(navy.size(), 1u);
    EXPECT_NEAR(AngleOf(navy[0].front().x, navy[0].front().y), 120.5, 0.4);
    EXPECT_NEAR(AngleOf(navy[0].back().x, navy[0].back().y), 89.5, 0.4);
    for (std::size_t k = 1; k < navy[0].size(); ++k) {
        const double angle = AngleOf(navy[0][k].x, navy[0][k].y);
        EXPECT_FALSE(angle > 90.0 && angle < 120.0) << angle;
    }
    // The sector's samples in light grey, joined to their neighbours on either side.
    const auto grey = PathsIn(kLightGrey);
    ASSERT_EQ(grey.size(), 1u);
    EXPECT_NEAR(AngleOf(grey[0].front().x, grey[0].front().y), 89.5, 0.4);
    EXPECT_NEAR(AngleOf(grey[0].back().x, grey[0].back().y), 120.5, 0.4);
    EXPECT_EQ(dc.SaveDepth(), 0);
}

TEST_F(TracesApartTest, ARemovedSpikeIsALightCrossAndTheTraceRunsOver)
{
    // A 5 µm spike at sample 100 (50°), removed.
    doc->Profile.RawRadius[100] += 0.005;
    std::vector<bool> used(720, true);
    used[100] = false;
    MarkUsed(used);
    doc->Result.RemovedSpikes = {100};
    view.ShowRawData = false;
    view.DrawProfileTraces(dc, *doc);

    // The filtered trace stays one closed loop.
    const auto navy = PathsIn(kNavy);
    ASSERT_EQ(navy.size(), 1u);
    EXPECT_EQ(navy[0].front(), navy[0].back());
    // Two strokes crossing at the spike's raw radius: 10 units per µm from the zero circle.
    const auto grey = PathsIn(kLightGrey);
    ASSERT_EQ(grey.size(), 2u);
    const double rho = (doc->Profile.RawRadius[100] - 10.0) * 10000.0 + 150.0;
    const double t = 50.0 * 3.141592653589793 / 180.0;
    for (const auto& stroke : grey) {
        ASSERT_EQ(stroke.size(), 2u);
        EXPECT_NEAR((stroke[0].x + stroke[1].x) / 2.0, 250.0 + rho * std::cos(t), 1.0);
        EXPECT_NEAR((stroke[0].y + stroke[1].y) / 2.0, 250.0 - rho * std::sin(t), 1.0);
    }
}

TEST_F(TracesApartTest, AnArcAtUnequalAnglesIsNotClosed)
{
    // 46 samples from 0° to 89°, 1° and 3° apart in turn, on a circle of the datum radius.
    std::vector<double> angles{0.0};
    for (int k = 0; k < 45; ++k) angles.push_back(angles.back() + (k % 2 == 0 ? 1.0 : 3.0) * 3.141592653589793 / 180.0);
    doc->Profile.RawRadius.assign(angles.size(), 10.0);
    doc->Profile.SampleAngle = angles;
    doc->Profile.EqualSteps = false;
    doc->Result.FilteredRadius.assign(angles.size(), 10.0);
    ASSERT_TRUE(SampleSet::FromAngles(angles, {}, doc->Result.Samples));
    view.ShowReferenceCircle = false;
    view.DrawProfileTraces(dc, *doc);

    for (const Colour colour : {kLightGrey, kWhite, kNavy}) {
        const auto paths = PathsIn(colour);
        ASSERT_EQ(paths.size(), 1u);
        // From the first sample to the last, on the zero circle, and not back.
        EXPECT_EQ(paths[0].front(), (Point{400, 250}));
        EXPECT_NEAR(AngleOf(paths[0].back().x, paths[0].back().y), angles.back() * 180.0 / 3.141592653589793, 0.5);
        for (const Point& p : paths[0]) {
            EXPECT_NEAR(std::hypot(p.x - 250.0, p.y - 250.0), 150.0, 0.75);
            EXPECT_LE(AngleOf(p.x, p.y), 90.5);
            EXPECT_GE(AngleOf(p.x, p.y), -0.5);
        }
    }
}

TEST_F(TracesApartTest, SectorsAreShadedUnderTheGrid)
{
    doc->Settings.ExcludedSectors = {{90.0, 120.0}, {300.0, 330.0}};
    view.OnDraw(dc, *doc, {0, 0, 1000, 700});
    const auto polygons = dc.Calls("Polygon");
    int shades = 0;
    for (const auto& p : polygons) shades += p.colour == kExcludedSectorShade;
    EXPECT_EQ(shades, 2);
    // Both before the first grid dot, so the dots stay on top.
    std::size_t firstShade = dc.calls.size(), firstDot = dc.calls.size();
    for (std::size_t k = 0; k < dc.calls.size(); ++k) {
        if (dc.calls[k].op == "Polygon" && dc.calls[k].colour == kExcludedSectorShade)
            firstShade = std::min(firstShade, k);
        if (dc.calls[k].op == "SetPixel") firstDot = std::min(firstDot, k);
    }
    EXPECT_LT(firstShade, firstDot);
    // Without sectors there is no shade at all.
    doc->Settings.ExcludedSectors.clear();
    dc.calls.clear();
    view.OnDraw(dc, *doc, {0, 0, 1000, 700});
    for (const auto& p : dc.Calls("Polygon")) EXPECT_NE(p.colour, kExcludedSectorShade);
}

} // namespace
} // namespace kyklos
