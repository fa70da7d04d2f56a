#pragma once
// Point sets and independent references for the true-circle tests: a
// long-double Gauss–Newton least squares circle, and brute-force minimum
// zone, inscribed and circumscribed circles over every centre their
// contacts can fix.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace kyklos::test {

struct PlanePoints {
    std::vector<double> X;
    std::vector<double> Y;
};

// `count` points at random angles over the arc [from, from + span] (radians)
// of a circle of radius `radius` about (cx, cy), with `lobes` lobes of
// amplitude `form` and normal noise `noise` on the radius (all mm).
inline PlanePoints ArcPoints(std::mt19937& rng, double cx, double cy, double radius, double from, double span,
                             int count, double form, double noise, int lobes = 3)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> error(0.0, noise);
    const double phase = unit(rng) * 2.0 * std::numbers::pi;
    PlanePoints p;
    for (int i = 0; i < count; ++i) {
        const double t = from + span * unit(rng);
        const double r = radius + form * std::cos(lobes * t + phase) + (noise > 0.0 ? error(rng) : 0.0);
        p.X.push_back(cx + r * std::cos(t));
        p.Y.push_back(cy + r * std::sin(t));
    }
    return p;
}

inline void Shuffle(PlanePoints& p, std::mt19937& rng)
{
    for (std::size_t i = p.X.size(); i > 1; --i) {
        const std::size_t j = std::uniform_int_distribution<std::size_t>(0, i - 1)(rng);
        std::swap(p.X[i - 1], p.X[j]);
        std::swap(p.Y[i - 1], p.Y[j]);
    }
}

struct ReferenceCircle {
    long double Cx = 0, Cy = 0, R = 0;
};

// Gauss–Newton on (cx, cy, R) in long double from a given start, the
// normal equations solved by elimination with partial pivoting.
inline ReferenceCircle LongDoubleLeastSquares(const PlanePoints& p, ReferenceCircle c, int iterations = 200)
{
    for (int it = 0; it < iterations; ++it) {
        long double m[3][4] = {};
        for (std::size_t i = 0; i < p.X.size(); ++i) {
            const long double dx = p.X[i] - c.Cx, dy = p.Y[i] - c.Cy;
            const long double d = std::sqrt(dx * dx + dy * dy);
            const long double j[3] = {-dx / d, -dy / d, -1.0L};
            const long double f = d - c.R;
            for (int r = 0; r < 3; ++r) {
                for (int s = 0; s < 3; ++s) m[r][s] += j[r] * j[s];
                m[r][3] -= j[r] * f;
            }
        }
        for (int col = 0; col < 3; ++col) {
            int pivot = col;
            for (int r = col + 1; r < 3; ++r)
                if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
            std::swap(m[col], m[pivot]);
            for (int r = col + 1; r < 3; ++r) {
                const long double k = m[r][col] / m[col][col];
                for (int s = col; s < 4; ++s) m[r][s] -= k * m[col][s];
            }
        }
        long double step[3];
        for (int r = 2; r >= 0; --r) {
            long double v = m[r][3];
            for (int s = r + 1; s < 3; ++s) v -= m[r][s] * step[s];
            step[r] = v / m[r][r];
        }
        c.Cx += step[0];
        c.Cy += step[1];
        c.R += step[2];
    }
    return c;
}

inline void Distances(const PlanePoints& p, double cx, double cy, double& least, double& greatest)
{
    least = std::numeric_limits<double>::infinity();
    greatest = 0.0;
    for (std::size_t i = 0; i < p.X.size(); ++i) {
        const double d = std::hypot(p.X[i] - cx, p.Y[i] - cy);
        least = std::min(least, d);
        greatest = std::max(greatest, d);
    }
}

struct Centre {
    double X, Y;
};

// The centres of the circles through each three points, and of the circles on each pair as a diameter.
inline std::vector<Centre> CircumCentres(const PlanePoints& p)
{
    std::vector<Centre> centres;
    const std::size_t n = p.X.size();
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b) {
            centres.push_back({(p.X[a] + p.X[b]) / 2, (p.Y[a] + p.Y[b]) / 2});
            for (std::size_t c = b + 1; c < n; ++c) {
                const long double bx = p.X[b] - p.X[a], by = p.Y[b] - p.Y[a];
                const long double cx = p.X[c] - p.X[a], cy = p.Y[c] - p.Y[a];
                const long double det = 2 * (bx * cy - by * cx);
                if (det == 0) continue;
                const long double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
                centres.push_back({static_cast<double>(p.X[a] + (cy * b2 - by * c2) / det),
                                   static_cast<double>(p.Y[a] + (bx * c2 - cx * b2) / det)});
            }
        }
    return centres;
}

// Where the perpendicular bisector of (a, b) meets that of (c, d): the
// centre equidistant from a and b and from c and d.
inline bool BisectorsMeet(const PlanePoints& p, std::size_t a, std::size_t b, std::size_t c, std::size_t d, Centre& o)
{
    // (b − a)·o = (|b|² − |a|²)/2, relative to point a for accuracy.
    const long double x0 = p.X[a], y0 = p.Y[a];
    auto rel = [&](std::size_t i, long double& x, long double& y) { x = p.X[i] - x0, y = p.Y[i] - y0; };
    long double ax, ay, bx, by, cx, cy, dx, dy;
    rel(a, ax, ay), rel(b, bx, by), rel(c, cx, cy), rel(d, dx, dy);
    const long double a11 = bx - ax, a12 = by - ay, r1 = (bx * bx + by * by - ax * ax - ay * ay) / 2;
    const long double a21 = dx - cx, a22 = dy - cy, r2 = (dx * dx + dy * dy - cx * cx - cy * cy) / 2;
    const long double det = a11 * a22 - a12 * a21;
    if (std::fabs(det) < 1e-12L * (std::fabs(a11 * a22) + std::fabs(a12 * a21))) return false;
    o = {static_cast<double>(x0 + (r1 * a22 - r2 * a12) / det), static_cast<double>(y0 + (r2 * a11 - r1 * a21) / det)};
    return true;
}

// The narrowest zone over every centre two pairs of points can fix (and
// every circumcentre): the global minimum zone width of a small set.
inline double BruteForceZoneWidth(const PlanePoints& p)
{
    double best = std::numeric_limits<double>::infinity();
    auto consider = [&](Centre o) {
        double least, greatest;
        Distances(p, o.X, o.Y, least, greatest);
        best = std::min(best, greatest - least);
    };
    for (const Centre& o : CircumCentres(p)) consider(o);
    const std::size_t n = p.X.size();
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            for (std::size_t c = 0; c < n; ++c)
                for (std::size_t d = c + 1; d < n; ++d) {
                    Centre o;
                    if (BisectorsMeet(p, a, b, c, d, o)) consider(o);
                }
    return best;
}

// True when the points lie all around (ox, oy): no gap of half a turn.
inline bool Surrounded(const PlanePoints& p, double ox, double oy)
{
    std::vector<double> angles;
    for (std::size_t i = 0; i < p.X.size(); ++i) angles.push_back(std::atan2(p.Y[i] - oy, p.X[i] - ox));
    std::sort(angles.begin(), angles.end());
    double gap = angles.front() + 2 * std::numbers::pi - angles.back();
    for (std::size_t k = 1; k < angles.size(); ++k) gap = std::max(gap, angles[k] - angles[k - 1]);
    return gap < std::numbers::pi;
}

// The largest empty circle centred among the points, over every circumcentre.
inline double BruteForceInscribedRadius(const PlanePoints& p)
{
    double best = 0.0;
    for (const Centre& o : CircumCentres(p)) {
        double least, greatest;
        Distances(p, o.X, o.Y, least, greatest);
        if (least > best && Surrounded(p, o.X, o.Y)) best = least;
    }
    return best;
}

// The smallest circle holding every point, over every circumcentre.
inline double BruteForceCircumscribedRadius(const PlanePoints& p)
{
    double best = std::numeric_limits<double>::infinity();
    for (const Centre& o : CircumCentres(p)) {
        double least, greatest;
        Distances(p, o.X, o.Y, least, greatest);
        best = std::min(best, greatest);
    }
    return best;
}

} // namespace kyklos::test
