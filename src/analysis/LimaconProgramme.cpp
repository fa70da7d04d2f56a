#include "analysis/LimaconProgramme.h"

#include "analysis/LeastSquaresCircle.h"
#include "analysis/SmallLinearProgramme.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace kyklos {

namespace {

constexpr double kPi = 3.141592653589793;
// Unknowns in units of the largest residual. The optimum's offset from the
// least squares reference stays within a few of them unless the angles barely
// pin it; the box only keeps the working programmes bounded, and an optimum
// on or near it is refused.
constexpr double kBox = 1048576.0; // 2^20
constexpr double kAcceptedOffset = kBox / 8.0;
// A constraint is met within this (units of the largest residual): far below
// every tolerance of the checks, far above the rounding of the solve.
constexpr double kTolerance = 1e-12;
// The blocks of samples whose extremes make the first working set.
constexpr std::size_t kStartBlocks = 16;
constexpr std::size_t kRunsPerRound = 16;
// Bounds on the work should rounding keep a constraint unmet.
constexpr int kRoundLimit = 200;
constexpr std::size_t kWorkingLimit = 8192;

enum Side : int {
    kOuter = 0, // r_i − R(t_i) ≤ w: the outer limaçon (w = 0: circumscribed)
    kInner = 1, // R(t_i) − r_i ≤ w: the inner limaçon (w = 0: inscribed)
};

// The programme of one kind, in units of the largest residual: unknowns
// (Δa, Δb, Δc) and w for the zone.
struct Programme {
    std::span<const double> Cosine;
    std::span<const double> Sine;
    std::vector<double> Residual;
    bool Uses[2] = {true, true};
    int Dimension = 4;
    double Objective[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 1.0};
};

HalfSpace Constraint(const Programme& p, std::size_t k, int side)
{
    // Outer: −R − w ≤ −e; inner: R − w ≤ e (w only in the zone).
    const double sign = side == kOuter ? -1.0 : 1.0;
    HalfSpace h;
    h.Q[0] = sign * p.Cosine[k];
    h.Q[1] = sign * p.Sine[k];
    h.Q[2] = sign;
    h.Q[3] = p.Dimension == 4 ? -1.0 : 0.0;
    h.S = sign * p.Residual[k];
    return h;
}

// The working set, and which constraints are in it (two per sample).
struct WorkingSet {
    std::vector<HalfSpace> Constraints;
    std::vector<bool> Taken;

    bool Add(const Programme& p, std::size_t k, int side)
    {
        const std::size_t at = 2 * k + static_cast<std::size_t>(side);
        if (Taken[at]) return false;
        Taken[at] = true;
        Constraints.push_back(Constraint(p, k, side));
        return true;
    }
};

// Seidel's algorithm takes expected linear time on constraints in random
// order; a fixed generator gives the same order, and so the same digits, on
// every run and platform.
void SolveWorkingSet(const Programme& p, const WorkingSet& working, const ProgrammeBox& box, double z[])
{
    std::vector<HalfSpace> shuffled = working.Constraints;
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::size_t k = shuffled.size(); k > 1; --k) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        std::swap(shuffled[k - 1], shuffled[static_cast<std::size_t>((state >> 33) % k)]);
    }
    SolveSmallLinearProgramme(p.Dimension, shuffled, p.Objective, box, kTolerance, z);
}

// The most violated constraint of each run of violated ones (consecutive
// samples, each side apart), the worst kRunsPerRound of them, join the
// working set; the count of those that joined. None: every constraint is
// met, or rounding keeps one already in the set unmet (the checks of the
// result then judge it).
struct Violation {
    double Excess = 0.0;
    std::size_t Sample = 0;
    int Side = kOuter;
};

int AddViolated(const Programme& p, const double z[], WorkingSet& working)
{
    const double w = p.Dimension == 4 ? z[3] : 0.0;
    std::vector<Violation> runs;
    Violation worst[2] = {{kTolerance, 0, kOuter}, {kTolerance, 0, kInner}};
    const auto endRun = [&](int side) {
        if (worst[side].Excess > kTolerance) runs.push_back(worst[side]);
        worst[side].Excess = kTolerance;
    };
    for (std::size_t k = 0; k < p.Residual.size(); ++k) {
        const double d = p.Residual[k] - (p.Cosine[k] * z[0] + p.Sine[k] * z[1] + z[2]);
        for (int side = kOuter; side <= kInner; ++side) {
            if (!p.Uses[side]) continue;
            const double excess = (side == kOuter ? d : -d) - w;
            if (excess > worst[side].Excess) {
                worst[side].Excess = excess;
                worst[side].Sample = k;
            } else if (!(excess > kTolerance)) {
                endRun(side);
            }
        }
    }
    endRun(kOuter);
    endRun(kInner);
    // Noise leaves many short runs; the worst of them are the contacts to be.
    const std::size_t keep = std::min(runs.size(), kRunsPerRound);
    std::partial_sort(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(keep), runs.end(),
                      [](const Violation& x, const Violation& y) {
                          return x.Excess > y.Excess || (x.Excess == y.Excess && x.Sample < y.Sample);
                      });
    int added = 0;
    for (std::size_t j = 0; j < keep; ++j)
        if (working.Add(p, runs[j].Sample, runs[j].Side)) ++added;
    return added;
}

// The working optimum, grown until it meets every constraint. False when
// it lies too far out to be trusted (or is not a number).
bool SolveProgramme(const Programme& p, double z[])
{
    const std::size_t count = p.Residual.size();
    WorkingSet working;
    working.Taken.assign(2 * count, false);
    // The highest and the lowest residual of each of a few blocks of
    // neighbouring samples: the first working optimum lies close to the
    // whole programme's, and few samples are left to violate it.
    const std::size_t blocks = std::min<std::size_t>(count, kStartBlocks);
    for (std::size_t j = 0; j < blocks; ++j) {
        const auto from = p.Residual.begin() + static_cast<std::ptrdiff_t>(j * count / blocks);
        const auto to = p.Residual.begin() + static_cast<std::ptrdiff_t>((j + 1) * count / blocks);
        const auto [lowest, highest] = std::minmax_element(from, to);
        if (p.Uses[kOuter]) working.Add(p, static_cast<std::size_t>(highest - p.Residual.begin()), kOuter);
        if (p.Uses[kInner]) working.Add(p, static_cast<std::size_t>(lowest - p.Residual.begin()), kInner);
    }

    ProgrammeBox box;
    for (int l = 0; l < 3; ++l) {
        box.Lo[l] = l < 2 ? -kBox : -4.0 * kBox;
        box.Hi[l] = -box.Lo[l];
    }
    // The least squares reference keeps every residual within 1 of it.
    box.Lo[3] = 0.0;
    box.Hi[3] = 2.0;
    for (int round = 0; round < kRoundLimit && working.Constraints.size() < kWorkingLimit; ++round) {
        SolveWorkingSet(p, working, box, z);
        if (AddViolated(p, z, working) == 0) break;
    }
    for (int l = 0; l < p.Dimension; ++l)
        if (!(std::fabs(z[l]) < kAcceptedOffset)) return false;
    return true;
}

} // namespace

bool SolveLimaconProgramme(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                           LimaconReference& reference, double& zoneHalfWidth)
{
    LimaconReference ls;
    if (!FitLeastSquaresCircle(profile, samples, ls.a, ls.b, ls.c) || kind == ReferenceKind::LeastSquares) {
        reference = ls;
        return false;
    }
    reference = ls;
    const bool zone = kind == ReferenceKind::MinimumZone;
    if (zone ? samples.UsedCount() < 4 : !(samples.LargestGap() < kPi)) return false;

    Programme p;
    p.Cosine = samples.UsedCosines();
    p.Sine = samples.UsedSines();
    const std::span<const int> index = samples.UsedIndices();
    p.Residual.resize(index.size());
    double largest = 0.0;
    for (std::size_t k = 0; k < index.size(); ++k) {
        // Formed as the peak/valley scan forms a deviation.
        const double e = profile[static_cast<std::size_t>(index[k])] - (p.Cosine[k] * ls.a + p.Sine[k] * ls.b + ls.c);
        if (!std::isfinite(e)) return false;
        p.Residual[k] = e;
        largest = std::max(largest, std::fabs(e));
    }
    if (largest == 0.0) {
        if (zone) zoneHalfWidth = 0.0;
        return true;
    }
    int exponent = 0;
    std::frexp(largest, &exponent);
    // Powers of two: the scaling and its undoing are exact.
    const double down = std::ldexp(1.0, -exponent), up = std::ldexp(1.0, exponent);
    for (double& e : p.Residual) e *= down;

    if (!zone) {
        const bool inscribed = kind == ReferenceKind::MaximumInscribed;
        p.Dimension = 3;
        p.Uses[kOuter] = !inscribed;
        p.Uses[kInner] = inscribed;
        p.Objective[2] = inscribed ? -1.0 : 1.0;
        p.Objective[3] = 0.0;
    }
    double z[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 0.0};
    if (!SolveProgramme(p, z)) return false;
    reference.a = ls.a + z[0] * up;
    reference.b = ls.b + z[1] * up;
    reference.c = ls.c + z[2] * up;
    if (zone) zoneHalfWidth = z[3] * up;
    return true;
}

} // namespace kyklos
