#pragma once
// The samples of a radial profile at any angles: a full turn at equal steps,
// an arc, an angle–radius table, a profile with excluded sectors. Every
// sample keeps its index (the profile's radii are indexed the same way);
// only the used ones take part in a fit, a scan or a parameter, and an
// excluded sample's radius is never read, so it may be anything (NaN too).
//
// The cosine and sine of every used sample are tabled once, in the order of
// the used samples, so that the fits pay a lookup per point. They are
// std::cos and std::sin of the very angle Angle(i) returns; on equal steps
// the angle is SampleAngles' i·Δ, so the tables hold the same bits.

#include <span>
#include <vector>

namespace kyklos {

class SampleSet {
public:
    // No samples.
    SampleSet() = default;

    // N samples at t_i = i·Δ, Δ = 2π/N, exactly as SampleAngles forms them;
    // all used, or those whose entry of `used` is true (N entries, or empty
    // for all). count ≤ 0, or `used` of another size, gives no samples. The
    // tables are copied from SampleAngles::ForCount(N), as the equal-step
    // fits ask for that table too.
    static SampleSet EqualSteps(int count, std::vector<bool> used = {});

    // Samples at `angles` (radians, strictly ascending, each in [0, 2π)),
    // used as `used` says (same size, or empty for all). False, with `set`
    // empty, for an angle out of order, outside the turn or not finite, or
    // for `used` of another size. Angles that are exactly i·2π/N, all used,
    // are recognised as equal steps over the full turn.
    static bool FromAngles(std::vector<double> angles, std::vector<bool> used, SampleSet& set);

    // Every sample, used or not.
    int Count() const { return static_cast<int>(angles_.size()); }
    double Angle(int index) const { return angles_[static_cast<std::size_t>(index)]; }
    bool IsUsed(int index) const { return used_[static_cast<std::size_t>(index)]; }

    // The used samples, in ascending order of angle: k = 0..UsedCount()−1.
    int UsedCount() const { return static_cast<int>(usedIndex_.size()); }
    std::span<const int> UsedIndices() const { return usedIndex_; }
    std::span<const double> UsedCosines() const { return cosine_; }
    std::span<const double> UsedSines() const { return sine_; }

    // All N samples used, at exactly i·2π/N: the fits then run today's
    // equal-step algorithms, and give their numbers bit for bit.
    bool IsEqualStepFullTurn() const { return equalStepFullTurn_; }

    // The largest angle between neighbouring used samples, the wrap through
    // 0 included, in radians: 2π/N on equal steps over a full turn, 2π with
    // fewer than two used samples. Below π the samples surround the centre.
    double LargestGap() const { return largestGap_; }

private:
    void Build(std::vector<double> angles, std::vector<bool> used, bool equalSteps);

    std::vector<double> angles_;
    std::vector<bool> used_;
    std::vector<int> usedIndex_;
    std::vector<double> cosine_;
    std::vector<double> sine_;
    bool equalStepFullTurn_ = false;
    double largestGap_ = 2.0 * 3.141592653589793;
};

} // namespace kyklos
