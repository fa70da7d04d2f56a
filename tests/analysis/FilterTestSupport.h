#pragma once
// Profiles the filter tests share, from a generator that gives the same
// noise on every platform.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace kyklos::test {

// The residual of a lobed part (mm): lobes of 3 and 14 UPR (2 and 3 µm) and
// normal probe noise, by Box–Muller over mt19937_64 (whose output, unlike
// std::normal_distribution's, is specified); with `chatter`, the
// demonstration's lobes of 47 and 119 UPR (2 and 1 µm) too.
inline std::vector<double> LobedResidual(int count, double noiseMm, std::uint64_t seed, bool chatter)
{
    constexpr double kTwoPi = 6.283185307179586;
    std::mt19937_64 generator(seed);
    std::vector<double> r(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double u1 = (static_cast<double>(generator() >> 11) + 1.0) * 0x1p-53;
        const double u2 = static_cast<double>(generator() >> 11) * 0x1p-53;
        const double t = i * (kTwoPi / count);
        double v = 0.002 * std::sin(3.0 * t) + 0.003 * std::cos(14.0 * t);
        if (chatter) v += 0.002 * std::sin(47.0 * t) + 0.001 * std::cos(119.0 * t);
        r[static_cast<std::size_t>(i)] = v + noiseMm * std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
    }
    return r;
}

inline double PeakToValley(const std::vector<double>& r)
{
    const auto [low, high] = std::minmax_element(r.begin(), r.end());
    return *high - *low;
}

} // namespace kyklos::test
