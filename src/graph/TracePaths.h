#pragma once
// The polylines a profile trace is drawn as when its samples are not one
// closed loop: a profile at unequal angles, an arc, excluded sectors,
// removed spikes. A trace is never joined across an angular gap in the
// samples (an arc's two ends, a stretch the instrument did not measure) nor
// across a sample that is not drawn; it passes over a bridged sample (a
// removed spike) as if it were not there.

#include <span>
#include <vector>

namespace kyklos {

enum class TraceSample : unsigned char {
    Drawn,   // a vertex of the trace
    Bridged, // not a vertex; its neighbours are joined across it
    Break,   // not a vertex, and the trace stops on either side of it
};

// Sample indices in drawing order; a closed path joins its last vertex back to its first.
struct TracePath {
    std::vector<int> Samples;
    bool Closed = false;
    friend bool operator==(const TracePath&, const TracePath&) = default;
};

// A step between neighbouring samples is a gap when it is wider than this
// many times the median step (and wider than kGapFloorRad): far sparser
// than the instrument sampled anywhere else.
inline constexpr double kGapStepFactor = 10.0;
inline constexpr double kGapFloorRad = 3.0 * 3.141592653589793 / 180.0;

// For each sample i, whether the step from it to the next one (the last to
// the first across 0, a turn later) is a gap. Angles in radians, ascending,
// within one turn; empty angles stand for equal steps over a full turn (no gaps).
std::vector<bool> AngularGaps(std::span<const double> anglesRad);

// The paths of a trace over `samples` (one state per sample, in order of
// angle), broken after every sample gapAfter marks (empty: none). With no
// break anywhere the Drawn samples make one closed path.
std::vector<TracePath> SplitTrace(std::span<const TraceSample> samples, const std::vector<bool>& gapAfter);

} // namespace kyklos
