#pragma once
// The cosine and sine of every sample angle t_i = i·Δ of a profile, computed
// once, so that the exchange fits, which scan the whole profile on every
// pass, pay one table lookup per point instead of a cosine and a sine.
// The entries are std::cos and std::sin of the very products Angle(i)
// returns, so a scan through the table gives the same deviations, extremes
// and angles, bit for bit, as one that computes them at each point.

#include <vector>

namespace kyklos {

class SampleAngles {
public:
    // count ≤ 0 gives an empty table (Count() = 0).
    explicit SampleAngles(int count);

    // The table for `count`, kept per thread until another count is asked
    // for. Analyses repeat on one profile size, and a fresh half-megabyte
    // table costs more (page faults and 2N cosines and sines) than all the
    // passes of a fit. The reference stays valid until this thread asks for
    // a different count.
    static const SampleAngles& ForCount(int count);

    int Count() const { return count_; }
    // Δ = 2π/N.
    double Step() const { return step_; }
    // t_i = i·Δ, the same product everywhere so that equal indices give equal angles.
    double Angle(int index) const { return index * step_; }
    double Cosine(int index) const { return cosine_[static_cast<std::size_t>(index)]; }
    double Sine(int index) const { return sine_[static_cast<std::size_t>(index)]; }

    // The sample nearest to an angle: the integer nearest to angle/Δ (halves
    // away from zero). An index of N, an angle within half a step below 2π,
    // is sample 0; any other index outside 0..N−1 (an angle off the turn, or
    // not finite) is wrapped around the turn, so the result always indexes
    // the profile. Requires Count() ≥ 1.
    int NearestSample(double angle) const;

private:
    int count_ = 0;
    double step_ = 0.0;
    std::vector<double> cosine_;
    std::vector<double> sine_;
};

} // namespace kyklos
