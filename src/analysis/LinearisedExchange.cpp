#include "analysis/LinearisedExchange.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kyklos {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double DirectionAngle(const PointDirections& points, int i)
{
    const auto k = static_cast<std::size_t>(i);
    return std::atan2(points.Uy[k], points.Ux[k]);
}

// Sweep counter-clockwise from a to b, in [0, 2π).
double Sweep(double a, double b)
{
    double s = std::fmod(b - a, kTwoPi);
    if (s < 0.0) s += kTwoPi;
    return s;
}

// The step δ with (u_a − u_b)·δ = R_a − R_b and (u_c − u_d)·δ = R_c − R_d:
// points a, b at one model distance, c, d at another (or the same).
bool SolvePairs(const PointDirections& p, int a, int b, int c, int d, double& dx, double& dy)
{
    const auto A = static_cast<std::size_t>(a), B = static_cast<std::size_t>(b);
    const auto C = static_cast<std::size_t>(c), D = static_cast<std::size_t>(d);
    const double a11 = p.Ux[A] - p.Ux[B], a12 = p.Uy[A] - p.Uy[B], r1 = p.R[A] - p.R[B];
    const double a21 = p.Ux[C] - p.Ux[D], a22 = p.Uy[C] - p.Uy[D], r2 = p.R[C] - p.R[D];
    const double det = a11 * a22 - a12 * a21;
    const double size = std::hypot(a11, a12) * std::hypot(a21, a22);
    if (!(std::abs(det) > 1e-12 * size)) return false;
    dx = (r1 * a22 - r2 * a12) / det;
    dy = (r2 * a11 - r1 * a21) / det;
    return std::isfinite(dx) && std::isfinite(dy);
}

double ModelDistance(const PointDirections& p, int i, double dx, double dy)
{
    const auto k = static_cast<std::size_t>(i);
    return p.R[k] - (p.Ux[k] * dx + p.Uy[k] * dy);
}

// The position k among `count` contacts in counter-clockwise order after
// which direction `entering` lies (between contact k and contact k + 1).
int ArcHolding(const PointDirections& p, const int* contacts, int count, int entering)
{
    const double base = DirectionAngle(p, contacts[0]);
    const double s = Sweep(base, DirectionAngle(p, entering));
    int k = 0;
    while (k + 1 < count && Sweep(base, DirectionAngle(p, contacts[k + 1])) <= s) ++k;
    return k;
}

} // namespace

bool ContactsInOrder(const PointDirections& points, const int* contacts, int count, bool surround)
{
    const double base = DirectionAngle(points, contacts[0]);
    double previous = 0.0;
    for (int k = 1; k <= count; ++k) {
        const double s = k < count ? Sweep(base, DirectionAngle(points, contacts[k])) : kTwoPi;
        // Equal angles are in order: a point may be a contact of both sides.
        if (k < count && s < previous) return false;
        if (surround && s - previous > std::numbers::pi) return false;
        previous = s;
    }
    return true;
}

namespace {

// The point farthest above (or below) the model's circles at step (dx, dy).
void ScanModel(const PointDirections& p, double dx, double dy, int& highest, double& high, int& lowest, double& low)
{
    const std::size_t n = p.R.size();
    high = p.R[0] - (p.Ux[0] * dx + p.Uy[0] * dy);
    low = high;
    highest = 0;
    lowest = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const double e = p.R[i] - (p.Ux[i] * dx + p.Uy[i] * dy);
        if (e > high) {
            high = e;
            highest = static_cast<int>(i);
        }
        if (e < low) {
            low = e;
            lowest = static_cast<int>(i);
        }
    }
}

} // namespace

bool SolveZoneModel(const PointDirections& points, std::array<int, 4>& contacts, double toleranceMm, int passLimit,
                    ModelStep& step)
{
    step = ModelStep{};
    while (step.Passes < passLimit) {
        ++step.Passes;
        double dx = 0.0, dy = 0.0;
        if (!SolvePairs(points, contacts[0], contacts[2], contacts[1], contacts[3], dx, dy)) return false;
        step.Dx = dx;
        step.Dy = dy;
        step.Outer = 0.5 * (ModelDistance(points, contacts[0], dx, dy) + ModelDistance(points, contacts[2], dx, dy));
        step.Inner = 0.5 * (ModelDistance(points, contacts[1], dx, dy) + ModelDistance(points, contacts[3], dx, dy));
        int highest = 0, lowest = 0;
        double high = 0.0, low = 0.0;
        ScanModel(points, dx, dy, highest, high, lowest, low);
        const double above = high - step.Outer;
        const double below = step.Inner - low;
        if (std::max(above, below) <= toleranceMm) return true;
        const bool outer = above >= below;
        const int entering = outer ? highest : lowest;
        // A contact of the other side may enter (the model's zone is then
        // inverted there); one of its own side is on its circle already.
        const std::size_t own = outer ? 0 : 1;
        if (contacts[own] == entering || contacts[own + 2] == entering) return true;
        // The entering point lies between a contact of each side; the one of
        // its own side leaves, and the sides still alternate.
        const int k = ArcHolding(points, contacts.data(), 4, entering);
        const int leaving = (k % 2 == 0) == outer ? k : (k + 1) % 4;
        contacts[static_cast<std::size_t>(leaving)] = entering;
    }
    return true;
}

bool SolveInscribedModel(const PointDirections& points, std::array<int, 3>& contacts, double toleranceMm, int passLimit,
                         ModelStep& step)
{
    step = ModelStep{};
    while (step.Passes < passLimit) {
        ++step.Passes;
        double dx = 0.0, dy = 0.0;
        if (!SolvePairs(points, contacts[0], contacts[1], contacts[0], contacts[2], dx, dy)) return false;
        step.Dx = dx;
        step.Dy = dy;
        step.Inner = (ModelDistance(points, contacts[0], dx, dy) + ModelDistance(points, contacts[1], dx, dy) +
                      ModelDistance(points, contacts[2], dx, dy)) /
                     3.0;
        int highest = 0, lowest = 0;
        double high = 0.0, low = 0.0;
        ScanModel(points, dx, dy, highest, high, lowest, low);
        if (step.Inner - low <= toleranceMm) return true;
        if (std::find(contacts.begin(), contacts.end(), lowest) != contacts.end()) return true;
        // One of the two contacts either side of the entering point leaves:
        // the one whose going leaves no gap over half a turn.
        const int k = ArcHolding(points, contacts.data(), 3, lowest);
        std::array<int, 3> trial = contacts;
        trial[static_cast<std::size_t>(k)] = lowest;
        if (!ContactsInOrder(points, trial.data(), 3, true)) {
            trial = contacts;
            trial[static_cast<std::size_t>((k + 1) % 3)] = lowest;
        }
        contacts = trial;
    }
    return true;
}

} // namespace kyklos
