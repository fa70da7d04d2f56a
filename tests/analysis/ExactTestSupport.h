#pragma once
// Exact references for the certificate tests, in GMP rationals: the
// optimum of a limaçon programme by brute force over every vertex, on the
// stored cosines and sines of a sample set, and doubles rounded up or down
// from rationals.

#include "analysis/Limacon.h"
#include "analysis/SampleSet.h"

#include <gmpxx.h>

#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace kyklos::test {

using Rational = mpq_class;

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The least double ≥ q and the greatest ≤ q, found by stepping from a near one.
inline double UpperOf(const Rational& q)
{
    double d = q.get_d();
    while (Rational(d) < q) d = std::nextafter(d, kInfinity);
    while (Rational(std::nextafter(d, -kInfinity)) >= q) d = std::nextafter(d, -kInfinity);
    return d;
}

inline double LowerOf(const Rational& q) { return -UpperOf(-q); }

// The least double ≥ √q and the greatest ≤ √q.
inline double UpperRootOf(const Rational& q)
{
    double d = std::sqrt(q.get_d());
    while (Rational(d) * Rational(d) < q) d = std::nextafter(d, kInfinity);
    while (d > 0 && Rational(std::nextafter(d, 0.0)) * Rational(std::nextafter(d, 0.0)) >= q)
        d = std::nextafter(d, 0.0);
    return d;
}

inline double LowerRootOf(const Rational& q)
{
    const double d = UpperRootOf(q);
    return Rational(d) * Rational(d) == q ? d : std::nextafter(d, 0.0);
}

// Deviation r_k − (C_k·a + S_k·b + c) of used sample k, exact.
inline Rational ExactDeviation(const SampleSet& set, std::span<const double> r, std::size_t k, const Rational& a,
                               const Rational& b, const Rational& c)
{
    const auto i = static_cast<std::size_t>(set.UsedIndices()[k]);
    return Rational(r[i]) - (Rational(set.UsedCosines()[k]) * a + Rational(set.UsedSines()[k]) * b + c);
}

// Solves the n×n system (n ≤ 4, augmented column n) exactly; false when singular.
inline bool SolveExactly(int n, std::array<std::array<Rational, 5>, 4> m, std::array<Rational, 4>& x)
{
    for (int j = 0; j < n; ++j) {
        int p = j;
        while (p < n && sgn(m[p][j]) == 0) ++p;
        if (p == n) return false;
        std::swap(m[j], m[p]);
        for (int i = 0; i < n; ++i) {
            if (i == j || sgn(m[i][j]) == 0) continue;
            const Rational f = m[i][j] / m[j][j];
            for (int k = j; k <= n; ++k) m[i][k] -= f * m[j][k];
        }
    }
    for (int i = 0; i < n; ++i) x[i] = m[i][n] / m[i][i];
    return true;
}

struct ExactVertex {
    bool Found = false;
    std::array<Rational, 4> X;     // a, b, c and, for the zone, w
    std::vector<std::size_t> Used; // the used samples the vertex rests on
    std::vector<int> Sides;        // +1 outer (d = w), −1 inner (d = −w)
};

// The optimum of the programme on the stored cosines and sines: every
// choice of three (circles) or four (zone, each outer or inner) tight
// constraints solved exactly, the best feasible one kept. side = +1
// inscribed (d ≥ 0, maximise c), −1 circumscribed (d ≤ 0, minimise c), 0
// minimum zone (|d| ≤ w, minimise w).
inline ExactVertex ExactOptimum(const SampleSet& set, std::span<const double> r, int side)
{
    const std::size_t n = static_cast<std::size_t>(set.UsedCount());
    const int unknowns = side == 0 ? 4 : 3;
    ExactVertex best;
    std::array<std::size_t, 4> pick{};
    const auto visit = [&](int signs) {
        std::array<std::array<Rational, 5>, 4> m;
        for (int k = 0; k < unknowns; ++k) {
            const std::size_t u = pick[static_cast<std::size_t>(k)];
            const auto i = static_cast<std::size_t>(set.UsedIndices()[u]);
            m[k] = {set.UsedCosines()[u], set.UsedSines()[u], 1, 0, 0};
            m[k][3] = side == 0 ? ((signs >> k) & 1 ? 1 : -1) : 0; // R ± w = r
            m[k][static_cast<std::size_t>(unknowns)] = r[i];
        }
        std::array<Rational, 4> x;
        if (!SolveExactly(unknowns, m, x)) return;
        const Rational w = side == 0 ? x[3] : Rational(0);
        if (sgn(w) < 0) return;
        for (std::size_t k = 0; k < n; ++k) {
            const Rational d = ExactDeviation(set, r, k, x[0], x[1], x[2]);
            if ((side >= 0 && d < -w) || (side <= 0 && d > w)) return;
        }
        const Rational value = side == 0 ? w : Rational(side * x[2]);
        if (best.Found && !(side == 0 ? value < best.X[3] : value > side * best.X[2])) return;
        best = {true, x, {}, {}};
        for (int k = 0; k < unknowns; ++k) {
            best.Used.push_back(pick[static_cast<std::size_t>(k)]);
            best.Sides.push_back(side == 0 ? ((signs >> k) & 1 ? 1 : -1) : -side);
        }
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

} // namespace kyklos::test
