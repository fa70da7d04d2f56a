// Which traces the view draws, with which pens, for every presentation.

#include "document/KyklosDoc.h"
#include "platform/RecordingCanvas.h"
#include "view/KyklosView.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace kyklos
