#pragma once
// Sample sets at any angles and the independent references the fits on them
// are held to: the limaçon optimum by brute force over every vertex of its
// linear programme, and the least squares normal equations in long double.

#include "analysis/Limacon.h"
#include "analysis/SampleSet.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace kyklos::test {

// `count` sorted random angles in [from, from + span), each in [0, 2π).
inline std::vector<double> RandomAngles(std::mt19937& rng, int count, double from, double span)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> angles;
    for (int i = 0; i < count; ++i) {
        double t = from + span * unit(rng);
        if (t >= kTwoPi) t -= kTwoPi;
        angles.push_back(t);
    }
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    return angles;
}

// A measured-looking part (mm) at the given angles: radius near 10, up to
// 50 µm off-centre, a few lobes of up to 5 µm and noise.
inline std::vector<double> PartAt(std::mt19937& rng, const std::vector<double>& angles)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double a = (unit(rng) - 0.5) * 0.1, b = (unit(rng) - 0.5) * 0.1, c = 10.0 + unit(rng) - 0.5;
    const int order = 2 + static_cast<int>(unit(rng) * 10.0);
    const double amplitude = unit(rng) * 0.005, phase = unit(rng) * kTwoPi;
    std::normal_distribution<double> noise(0.0, 0.0005);
    std::vector<double> r;
    for (const double t : angles)
        r.push_back(a * std::cos(t) + b * std::sin(t) + c + amplitude * std::cos(order * t + phase) + noise(rng));
    return r;
}

// Every angle of a set.
inline std::vector<double> Angles(const SampleSet& set)
{
    std::vector<double> t;
    for (int i = 0; i < set.Count(); ++i) t.push_back(set.Angle(i));
    return t;
}

inline SampleSet SetAt(const std::vector<double>& angles)
{
    SampleSet set;
    EXPECT_TRUE(SampleSet::FromAngles(angles, {}, set));
    return set;
}

// Solves the n×n system M·x = v (n ≤ 4) by Gaussian elimination with partial
// pivoting in long double; false when a pivot vanishes.
inline bool SolveLong(int n, long double M[4][5], long double x[4])
{
    for (int j = 0; j < n; ++j) {
        int p = j;
        for (int i = j + 1; i < n; ++i)
            if (std::fabs(M[i][j]) > std::fabs(M[p][j])) p = i;
        if (std::fabs(M[p][j]) < 1e-15L) return false;
        for (int k = 0; k <= n; ++k) std::swap(M[j][k], M[p][k]);
        for (int i = j + 1; i < n; ++i) {
            const long double f = M[i][j] / M[j][j];
            for (int k = j; k <= n; ++k) M[i][k] -= f * M[j][k];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        long double v = M[i][n];
        for (int k = i + 1; k < n; ++k) v -= M[i][k] * x[k];
        x[i] = v / M[i][i];
    }
    return true;
}

struct BruteOptimum {
    bool Found = false;
    LimaconReference Reference;
    double HalfWidth = 0.0;
};

// The optimum of a limaçon programme is a vertex: three (inscribed,
// circumscribed) or four (zone) constraints met with equality. Every such
// choice is solved and the best feasible one kept. side = +1 inscribed
// (R ≤ r), −1 circumscribed (R ≥ r), 0 minimum zone (|r − R| ≤ w).
inline BruteOptimum BruteForceLimacon(const std::vector<double>& t, const std::vector<double>& r, int side)
{
    const int n = static_cast<int>(t.size());
    const int unknowns = side == 0 ? 4 : 3;
    std::vector<long double> cosine, sine;
    for (const double u : t) {
        cosine.push_back(std::cos(static_cast<long double>(u)));
        sine.push_back(std::sin(static_cast<long double>(u)));
    }
    const auto feasible = [&](const long double x[4]) {
        const long double w = side == 0 ? x[3] : 0.0L;
        if (w < -1e-15L) return false;
        for (int i = 0; i < n; ++i) {
            const long double d = r[i] - (x[0] * cosine[i] + x[1] * sine[i] + x[2]);
            if ((side >= 0 && d < -w - 1e-13L) || (side <= 0 && d > w + 1e-13L)) return false;
        }
        return true;
    };
    BruteOptimum best;
    int pick[4] = {0, 0, 0, 0};
    const auto visit = [&](int signs) {
        long double M[4][5];
        for (int k = 0; k < unknowns; ++k) {
            M[k][0] = cosine[pick[k]];
            M[k][1] = sine[pick[k]];
            M[k][2] = 1.0L;
            // The zone's row k: R + s·w = r, s = ±1 as bit k of `signs` says.
            if (side == 0) M[k][3] = (signs >> k) & 1 ? 1.0L : -1.0L;
            M[k][unknowns] = r[pick[k]];
        }
        long double x[4] = {0, 0, 0, 0};
        if (!SolveLong(unknowns, M, x) || !feasible(x)) return;
        const double value = side == 0 ? double(x[3]) : side * double(x[2]);
        const double bestValue = side == 0 ? best.HalfWidth : side * best.Reference.c;
        if (best.Found && (side == 0 ? value >= bestValue : value <= bestValue)) return;
        best = {true, {double(x[0]), double(x[1]), double(x[2])}, side == 0 ? double(x[3]) : 0.0};
    };
    for (pick[0] = 0; pick[0] < n; ++pick[0])
        for (pick[1] = pick[0] + 1; pick[1] < n; ++pick[1])
            for (pick[2] = pick[1] + 1; pick[2] < n; ++pick[2]) {
                if (side != 0) {
                    visit(0);
                    continue;
                }
                for (pick[3] = pick[2] + 1; pick[3] < n; ++pick[3])
                    for (int signs = 0; signs < 16; ++signs) visit(signs);
            }
    return best;
}

// The largest difference of two limaçons at the given angles.
inline double LargestDifference(const std::vector<double>& t, const LimaconReference& x, const LimaconReference& y)
{
    double largest = 0.0;
    for (const double u : t)
        largest = std::max(largest, std::fabs((x.a - y.a) * std::cos(u) + (x.b - y.b) * std::sin(u) + (x.c - y.c)));
    return largest;
}

} // namespace kyklos::test
