#include "analysis/MinimumCircumscribedTrueCircle.h"

#include "analysis/PointFrame.h"
#include "analysis/TrueCircleContacts.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>
#include <utility>
#include <vector>

namespace kyklos {

namespace {

struct Disc {
    double Cx = 0.0;
    double Cy = 0.0;
    double R2 = 0.0; // radius squared
};

// A fixed sequence (SplitMix64) for the shuffle: the same order everywhere.
std::uint64_t NextRandom(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::vector<int> ShuffledOrder(int count)
{
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::uint64_t state = 0x6B796B6C6F73ULL;
    for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[NextRandom(state) % i]);
    return order;
}

bool Outside(const PointFrame& f, int i, const Disc& d)
{
    const double dx = f.X(i) - d.Cx;
    const double dy = f.Y(i) - d.Cy;
    // A point on the circle but for rounding is inside: it must not make a
    // new circle of the same one.
    return dx * dx + dy * dy > d.R2 * (1.0 + 1e-14);
}

Disc Diametral(const PointFrame& f, int a, int b)
{
    Disc d;
    d.Cx = 0.5 * (f.X(a) + f.X(b));
    d.Cy = 0.5 * (f.Y(a) + f.Y(b));
    const double dx = f.X(a) - d.Cx;
    const double dy = f.Y(a) - d.Cy;
    d.R2 = dx * dx + dy * dy;
    return d;
}

// The circle through three points, by differences to the first; three
// points on a line have none, and the widest pair's circle holds them.
Disc Through(const PointFrame& f, int a, int b, int c)
{
    const double bx = f.X(b) - f.X(a), by = f.Y(b) - f.Y(a);
    const double cx = f.X(c) - f.X(a), cy = f.Y(c) - f.Y(a);
    const double det = 2.0 * (bx * cy - by * cx);
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    if (!(std::abs(det) > 1e-15 * (b2 + c2))) {
        const double bc = (f.X(c) - f.X(b)) * (f.X(c) - f.X(b)) + (f.Y(c) - f.Y(b)) * (f.Y(c) - f.Y(b));
        if (b2 >= c2 && b2 >= bc) return Diametral(f, a, b);
        return c2 >= bc ? Diametral(f, a, c) : Diametral(f, b, c);
    }
    const double ux = (cy * b2 - by * c2) / det;
    const double uy = (bx * c2 - cx * b2) / det;
    return Disc{f.X(a) + ux, f.Y(a) + uy, ux * ux + uy * uy};
}

Disc SmallestDisc(const PointFrame& f)
{
    const std::vector<int> order = ShuffledOrder(f.Count());
    Disc disc{f.X(order[0]), f.Y(order[0]), 0.0};
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (!Outside(f, order[i], disc)) continue;
        // Point i lies on the circle of the points before it.
        disc = Disc{f.X(order[i]), f.Y(order[i]), 0.0};
        for (std::size_t j = 0; j < i; ++j) {
            if (!Outside(f, order[j], disc)) continue;
            disc = Diametral(f, order[i], order[j]);
            for (std::size_t k = 0; k < j; ++k) {
                if (Outside(f, order[k], disc)) disc = Through(f, order[i], order[j], order[k]);
            }
        }
    }
    return disc;
}

} // namespace

bool FitMinimumCircumscribedTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                                       TrueCircle& circle)
{
    circle = TrueCircle{};
    const std::size_t n = x.size();
    if (y.size() != n || n < 2 || start.Index.size() != n || !(start.LargestGap < std::numbers::pi)) return false;
    const PointFrame frame(x, y, start.CentreX, start.CentreY);
    const Disc disc = SmallestDisc(frame);
    circle.CentreX = frame.OriginX() + disc.Cx;
    circle.CentreY = frame.OriginY() + disc.Cy;
    CompleteTrueCircle(ReferenceKind::MinimumCircumscribed, x, y, circle);
    return true;
}

} // namespace kyklos
