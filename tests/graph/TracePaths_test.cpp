// The polylines of a trace whose samples are not one closed loop: gaps found
// in the angles, paths broken at gaps and left-out samples, bridged over
// removed spikes; and the shade of an excluded sector.

#include "graph/PolarGraph.h"
#include "graph/TracePaths.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace kyklos {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(TracePathsTest, GapsAreStepsFarWiderThanTheSampling)
{
    // A full turn at uneven steps of 5° to 8° has none.
    std::vector<double> turn;
    for (int i = 0; i < 60; ++i) turn.push_back((6.0 * i + (i % 3)) * kDeg);
    for (const bool gap : AngularGaps(turn)) EXPECT_FALSE(gap);

    // A 90° arc: only the step from its end back round to its start.
    std::vector<double> arc;
    for (int i = 0; i <= 90; ++i) arc.push_back(i * kDeg);
    const std::vector<bool> arcGaps = AngularGaps(arc);
    for (std::size_t i = 0; i + 1 < arc.size(); ++i) EXPECT_FALSE(arcGaps[i]) << i;
    EXPECT_TRUE(arcGaps.back());

    // A full turn at 1° missing 200°…239°: the step from 199° to 240°.
    std::vector<double> holed;
    for (int d = 0; d < 360; ++d)
        if (d < 200 || d >= 240) holed.push_back(d * kDeg);
    const std::vector<bool> holedGaps = AngularGaps(holed);
    for (std::size_t i = 0; i < holed.size(); ++i) EXPECT_EQ(holedGaps[i], i == 199u) << i;
}

TEST(TracePathsTest, PathsBreakAtSectorsAndGapsAndBridgeSpikes)
{
    using enum TraceSample;
    // Eight samples, one turn: a spike at 2, a sector over 5 and 6.
    const std::vector<TraceSample> samples{Drawn, Drawn, Bridged, Drawn, Drawn, Break, Break, Drawn};
    // The path runs from after the sector through 0 to before it, over the spike.
    EXPECT_EQ(SplitTrace(samples, {}), (std::vector<TracePath>{{{7, 0, 1, 3, 4}, false}}));
    // A gap after sample 1 splits it there.
    std::vector<bool> gaps(8, false);
    gaps[1] = true;
    EXPECT_EQ(SplitTrace(samples, gaps), (std::vector<TracePath>{{{3, 4}, false}, {{7, 0, 1}, false}}));
    // No break anywhere: one closed loop without the bridged sample.
    const std::vector<TraceSample> loop{Drawn, Bridged, Drawn, Drawn};
    EXPECT_EQ(SplitTrace(loop, std::vector<bool>(4, false)), (std::vector<TracePath>{{{0, 2, 3}, true}}));
    // An arc (a gap after its last sample) is open at its ends.
    EXPECT_EQ(SplitTrace(std::vector<TraceSample>(3, Drawn), {false, false, true}),
              (std::vector<TracePath>{{{0, 1, 2}, false}}));
}

TEST(TracePathsTest, SectorShadeSpansItsAnglesOutToTheOuterCircle)
{
    CPolarGraph graph;
    graph.GraphRect = {0, 0, 500, 500};
    RecordingCanvas dc;
    graph.ComputeLayout(dc); // centre (250, 250), outer radius 200
    // 350° to 10° wraps through 0°: 20° of shade, not 340°.
    graph.FillSector(dc, 350.0 * kDeg, 10.0 * kDeg, kExcludedSectorShade);
    const auto polygons = dc.Calls("Polygon");
    ASSERT_EQ(polygons.size(), 1u);
    const RecordedCall& shade = polygons[0];
    EXPECT_EQ(shade.brush.colour, kExcludedSectorShade);
    EXPECT_EQ(shade.pen.style, PenStyle::Null);
    const std::vector<int>& xy = shade.args;
    ASSERT_GE(xy.size(), 6u);
    EXPECT_EQ((std::vector<int>{xy[0], xy[1]}), (std::vector<int>{250, 250}));
    for (std::size_t k = 2; k + 1 < xy.size(); k += 2) {
        const double dx = xy[k] - 250.0, dy = 250.0 - xy[k + 1];
        EXPECT_NEAR(std::hypot(dx, dy), 200.0, 0.75);
        EXPECT_LE(std::abs(std::atan2(dy, dx)), 10.0 * kDeg + 0.005);
    }
    // The first arc vertex at 350°, the last at 10°.
    EXPECT_NEAR(std::atan2(250.0 - xy[3], xy[2] - 250.0), -10.0 * kDeg, 0.005);
    EXPECT_NEAR(std::atan2(250.0 - xy.back(), xy[xy.size() - 2] - 250.0), 10.0 * kDeg, 0.005);
    // A sector of one angle has no area.
    dc.calls.clear();
    graph.FillSector(dc, 30.0 * kDeg, 390.0 * kDeg, kExcludedSectorShade);
    EXPECT_EQ(dc.Count("Polygon"), 0);
}

} // namespace
} // namespace kyklos
