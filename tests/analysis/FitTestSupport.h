#pragma once
// Profiles and optimality checks shared by the reference-fit tests.

#include "analysis/Limacon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace kyklos::test {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 2.0 * kPi;

// Equal to the last bit: unlike ==, tells +0 from −0.
inline bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

inline double SampleAngle(int i, int count) { return i * (kTwoPi / count); }

// r_i = f(t_i) for the sample angles of an N-point profile.
template <typename F>
std::vector<double> MakeProfile(int count, F f)
{
    std::vector<double> r(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) r[static_cast<std::size_t>(i)] = f(SampleAngle(i, count));
    return r;
}

// A measured-looking part in millimetres: radius near 10, set up off-centre
// by up to 50 µm, a few form lobes of up to 5 µm (unless `lobed` is false)
// and white noise.
inline std::vector<double> MakeRandomProfile(std::mt19937& rng, int count, bool lobed = true)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double a = (unit(rng) - 0.5) * 0.1;
    const double b = (unit(rng) - 0.5) * 0.1;
    const double c = 10.0 + (unit(rng) - 0.5);
    struct Lobe {
        int order;
        double amplitude, phase;
    };
    std::vector<Lobe> lobes;
    const int lobeCount = lobed ? 1 + static_cast<int>(unit(rng) * 5.0) : 0;
    for (int k = 0; k < lobeCount; ++k)
        lobes.push_back({2 + static_cast<int>(unit(rng) * 30.0), unit(rng) * 0.005, unit(rng) * kTwoPi});
    std::normal_distribution<double> noise(0.0, unit(rng) * 0.0005);
    return MakeProfile(count, [&](double t) {
        double r = a * std::cos(t) + b * std::sin(t) + c;
        for (const Lobe& lobe : lobes) r += lobe.amplitude * std::cos(lobe.order * t + lobe.phase);
        return r + noise(rng);
    });
}

inline std::vector<double> Deviations(const std::vector<double>& r, double a, double b, double c)
{
    const int count = static_cast<int>(r.size());
    std::vector<double> d(r.size());
    for (int i = 0; i < count; ++i) {
        double reference;
        EvaluateLimacon(SampleAngle(i, count), a, b, c, reference);
        d[static_cast<std::size_t>(i)] = r[static_cast<std::size_t>(i)] - reference;
    }
    return d;
}

// Largest counter-clockwise gap between consecutive marked samples (2π when
// fewer than two are marked).
inline double LargestGap(const std::vector<int>& marked, int count)
{
    if (marked.size() < 2) return kTwoPi;
    double largest = 0.0;
    for (std::size_t k = 0; k < marked.size(); ++k) {
        const int from = marked[k];
        const int to = k + 1 < marked.size() ? marked[k + 1] : marked[0] + count;
        largest = std::max(largest, (to - from) * (kTwoPi / count));
    }
    return largest;
}

// Deviations within `tolerance` (mm) of rounding count as contacts.
inline constexpr double kContactTolerance = 1e-9;
inline constexpr double kGapTolerance = 1e-9;

// Maximum inscribed optimum: no point inside, and the contacts surround the
// centre (no gap of more than half a turn), so no shift of the centre lets
// the circle grow.
inline bool IsInscribedOptimum(const std::vector<double>& r, double a, double b, double c)
{
    const std::vector<double> d = Deviations(r, a, b, c);
    std::vector<int> contacts;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (d[i] < -kContactTolerance) return false;
        if (d[i] <= kContactTolerance) contacts.push_back(static_cast<int>(i));
    }
    return LargestGap(contacts, static_cast<int>(r.size())) <= kPi + kGapTolerance;
}

// Minimum circumscribed optimum: the mirror image.
inline bool IsCircumscribedOptimum(const std::vector<double>& r, double a, double b, double c)
{
    const std::vector<double> d = Deviations(r, a, b, c);
    std::vector<int> contacts;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (d[i] > kContactTolerance) return false;
        if (d[i] >= -kContactTolerance) contacts.push_back(static_cast<int>(i));
    }
    return LargestGap(contacts, static_cast<int>(r.size())) <= kPi + kGapTolerance;
}

// Minimum zone optimum (Chebyshev alternation): every point within c ± w,
// and around the part at least four contacts alternating between the outer
// and the inner limaçon.
inline bool IsZoneOptimum(const std::vector<double>& r, double a, double b, double c, double w)
{
    const std::vector<double> d = Deviations(r, a, b, c);
    std::vector<int> types; // +1 peak contact, −1 valley contact, consecutive repeats merged
    for (double v : d) {
        if (v > w + kContactTolerance || v < -w - kContactTolerance) return false;
        const int type = v >= w - kContactTolerance ? 1 : (v <= -w + kContactTolerance ? -1 : 0);
        if (type != 0 && (types.empty() || types.back() != type)) types.push_back(type);
    }
    if (types.size() > 1 && types.front() == types.back()) types.pop_back();
    return types.size() >= 4;
}

} // namespace kyklos::test
