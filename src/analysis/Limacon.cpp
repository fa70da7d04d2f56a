#include "analysis/Limacon.h"

#include <cmath>

namespace kyklos {

namespace {
constexpr double kPi = 3.141592653589793; // 4·atan(1)
constexpr double kTwoPi = 2.0 * kPi;
} // namespace

bool EvaluateLimacon(double t, double a, double b, double c, double& r)
{
    r = std::cos(t) * a + std::sin(t) * b + c;
    return true;
}

double NormalizeAngle(double x)
{
    // Bounded: a non-finite or absurd angle must not spin forever.
    if (!std::isfinite(x)) return x;
    if (std::fabs(x) > 1e6) x = std::fmod(x, kTwoPi);
    while (x > kTwoPi) x -= kTwoPi;
    while (x < 0.0) x += kTwoPi;
    return x;
}

double AngularDistance(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) return kPi;
    if (x < -1e6) x = std::fmod(x, kTwoPi);
    if (y < -1e6) y = std::fmod(y, kTwoPi);
    while (x < 0.0) x += kTwoPi;
    while (y < 0.0) y += kTwoPi;
    const double d = x > y ? x - y : y - x;
    return d > kPi ? std::fabs(d - kTwoPi) : d;
}

double CounterClockwiseSweep(double f, double g)
{
    if (!std::isfinite(f) || !std::isfinite(g)) return 0.0;
    if (std::fabs(f) > 1e6) f = std::fmod(f, kTwoPi);
    if (std::fabs(g) > 1e6) g = std::fmod(g, kTwoPi);
    while (f < 0.0) f += kTwoPi;
    while (f > kTwoPi) f -= kTwoPi;
    while (g < f) g += kTwoPi;
    double s = g - f;
    while (s >= kTwoPi) s -= kTwoPi;
    return s;
}

bool SolveLimaconThroughThree(double t0, double t1, double t2, double r0, double r1, double r2, double& a, double& b,
                              double& c)
{
    // Work relative to point 0: a·(C_k − C0) + b·(S_k − S0) = r_k − r0 for
    // k = 1, 2, then c from point 0. The differences of cosines and sines are
    // formed from half-angle products so that no cancellation creeps in.
    const double h1 = 0.5 * (t1 - t0), m1 = 0.5 * (t1 + t0);
    const double h2 = 0.5 * (t2 - t0), m2 = 0.5 * (t2 + t0);
    const double dC1 = -2.0 * std::sin(m1) * std::sin(h1);
    const double dS1 = 2.0 * std::cos(m1) * std::sin(h1);
    const double dC2 = -2.0 * std::sin(m2) * std::sin(h2);
    const double dS2 = 2.0 * std::cos(m2) * std::sin(h2);
    const double det = 4.0 * std::sin(h1) * std::sin(0.5 * (t2 - t1)) * std::sin(h2);
    if (!(std::fabs(det) >= 1e-12)) return false;
    const double d1 = r1 - r0;
    const double d2 = r2 - r0;
    const double na = (d1 * dS2 - d2 * dS1) / det;
    const double nb = (dC1 * d2 - dC2 * d1) / det;
    const double nc = r0 - (na * std::cos(t0) + nb * std::sin(t0));
    a = na;
    b = nb;
    c = nc;
    return true;
}

int NearestIndex(double x)
{
    // Clamp first: converting an out-of-range double to int is undefined.
    if (!(x > -2e9)) return -2000000000;
    if (!(x < 2e9)) return 2000000000;
    return static_cast<int>(x >= 0.0 ? x + 0.5 : x - 0.5);
}

} // namespace kyklos
