#include "analysis/GeometricCircle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kyklos {

namespace {

// The points less their centroid, divided by their RMS distance from it:
// the search then works on numbers near 1 whatever the part's size and place.
struct ScaledPoints {
    std::vector<double> X;
    std::vector<double> Y;
    double OriginX = 0.0;
    double OriginY = 0.0;
    double Scale = 0.0;
};

bool ScaleToCentroid(std::span<const double> x, std::span<const double> y, ScaledPoints& p)
{
    const std::size_t n = x.size();
    // The centroid as the first point plus the mean difference from it, so
    // that coordinates of 10 m add no rounding of their own to it.
    double sumX = 0.0;
    double sumY = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
        sumX += x[i] - x[0];
        sumY += y[i] - y[0];
    }
    p.OriginX = x[0] + sumX / static_cast<double>(n);
    p.OriginY = y[0] + sumY / static_cast<double>(n);
    p.X.resize(n);
    p.Y.resize(n);
    double spread = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        p.X[i] = x[i] - p.OriginX;
        p.Y[i] = y[i] - p.OriginY;
        spread += p.X[i] * p.X[i] + p.Y[i] * p.Y[i];
    }
    p.Scale = std::sqrt(spread / static_cast<double>(n));
    if (!(p.Scale > 0.0) || !std::isfinite(p.Scale)) return false;
    for (std::size_t i = 0; i < n; ++i) {
        p.X[i] /= p.Scale;
        p.Y[i] /= p.Scale;
    }
    return true;
}

// The algebraic circle x² + y² + D·x + E·y + F = 0 of least squares (Kåsa)
// on the scaled points: centre (−D/2, −E/2). False when the points lie on a line.
bool AlgebraicCentre(const ScaledPoints& p, double& a, double& b)
{
    const std::size_t n = p.X.size();
    double mx = 0.0, my = 0.0, mz = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += p.X[i];
        my += p.Y[i];
        mz += p.X[i] * p.X[i] + p.Y[i] * p.Y[i];
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    mz /= static_cast<double>(n);
    double sxx = 0.0, sxy = 0.0, syy = 0.0, sxz = 0.0, syz = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double u = p.X[i] - mx;
        const double v = p.Y[i] - my;
        const double z = p.X[i] * p.X[i] + p.Y[i] * p.Y[i] - mz;
        sxx += u * u;
        sxy += u * v;
        syy += v * v;
        sxz += u * z;
        syz += v * z;
    }
    const double det = sxx * syy - sxy * sxy;
    // Points on a line leave the scatter one-dimensional: no circle.
    if (!(det > 1e-14 * (sxx + syy) * (sxx + syy))) return false;
    const double d = -(sxz * syy - syz * sxy) / det;
    const double e = -(syz * sxx - sxz * sxy) / det;
    a = mx - d / 2.0;
    b = my - e / 2.0;
    return std::isfinite(a) && std::isfinite(b);
}

// The sum of squares about centre (a, b), its gradient g (as −½∇, so that
// the Newton step solves H·δ = g) and half its Hessian H.
struct CircleCost {
    double Sum = 0.0;
    double MeanDistance = 0.0;
    double Gx = 0.0, Gy = 0.0;
    double Hxx = 0.0, Hxy = 0.0, Hyy = 0.0;
};

struct Workspace {
    std::vector<double> D, Ux, Uy;
};

CircleCost Evaluate(const ScaledPoints& p, double a, double b, Workspace& w)
{
    const std::size_t n = p.X.size();
    w.D.resize(n);
    w.Ux.resize(n);
    w.Uy.resize(n);
    double offsets = 0.0, sumUx = 0.0, sumUy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = p.X[i] - a;
        const double dy = p.Y[i] - b;
        const double d = std::sqrt(dx * dx + dy * dy);
        w.D[i] = d;
        w.Ux[i] = d > 0.0 ? dx / d : 0.0;
        w.Uy[i] = d > 0.0 ? dy / d : 0.0;
        // The mean distance as an offset from the first keeps the digits of the form.
        offsets += d - w.D[0];
        sumUx += w.Ux[i];
        sumUy += w.Uy[i];
    }
    const double count = static_cast<double>(n);
    CircleCost cost;
    cost.MeanDistance = w.D[0] + offsets / count;
    const double meanUx = sumUx / count;
    const double meanUy = sumUy / count;
    for (std::size_t i = 0; i < n; ++i) {
        const double f = w.D[i] - cost.MeanDistance;
        const double cx = w.Ux[i] - meanUx;
        const double cy = w.Uy[i] - meanUy;
        cost.Sum += f * f;
        cost.Gx += f * w.Ux[i];
        cost.Gy += f * w.Uy[i];
        cost.Hxx += cx * cx;
        cost.Hxy += cx * cy;
        cost.Hyy += cy * cy;
        // The curvature of each distance, (I − u·uᵀ)/d, weighted by its residual.
        if (w.D[i] > 0.0) {
            const double k = f / w.D[i];
            cost.Hxx += k * (1.0 - w.Ux[i] * w.Ux[i]);
            cost.Hxy -= k * w.Ux[i] * w.Uy[i];
            cost.Hyy += k * (1.0 - w.Uy[i] * w.Uy[i]);
        }
    }
    return cost;
}

} // namespace

namespace {

// Steps below this (scaled units, relative to the centre's distance) are rounding.
constexpr double kRoundingStep = 1e-13;
// Below this the Newton step is trusted without comparing sums, whose
// differences then drown in their rounding.
constexpr double kTrustedStep = 1e-8;
constexpr int kIterationLimit = 100;

// Newton's step with Levenberg–Marquardt damping λ: false when H + λ·I is
// not positive definite.
bool DampedStep(const CircleCost& cost, double lambda, double& dx, double& dy)
{
    const double hxx = cost.Hxx + lambda;
    const double hyy = cost.Hyy + lambda;
    const double det = hxx * hyy - cost.Hxy * cost.Hxy;
    if (!(hxx > 0.0) || !(det > 0.0)) return false;
    dx = (cost.Gx * hyy - cost.Gy * cost.Hxy) / det;
    dy = (cost.Gy * hxx - cost.Gx * cost.Hxy) / det;
    return std::isfinite(dx) && std::isfinite(dy);
}

// Newton from the algebraic start (a, b) to the minimum; returns the cost there.
CircleCost Minimise(const ScaledPoints& p, double& a, double& b, CircleConvergence& convergence)
{
    Workspace w;
    CircleCost cost = Evaluate(p, a, b, w);
    double lambda = 0.0;
    double previous = std::numeric_limits<double>::infinity();
    while (convergence.Iterations < kIterationLimit) {
        ++convergence.Iterations;
        const double trace = std::abs(cost.Hxx) + std::abs(cost.Hyy);
        double dx = 0.0, dy = 0.0;
        if (!DampedStep(cost, lambda, dx, dy)) {
            lambda = std::max(10.0 * lambda, 1e-3 * trace);
            continue;
        }
        const double step = std::hypot(dx, dy);
        const double size = 1.0 + std::hypot(a, b);
        const bool trusted = lambda == 0.0 && step <= kTrustedStep * size;
        const CircleCost next = Evaluate(p, a + dx, b + dy, w);
        if (!trusted && !(next.Sum <= cost.Sum)) {
            lambda = std::max(10.0 * lambda, 1e-3 * trace);
            continue;
        }
        a += dx;
        b += dy;
        cost = next;
        convergence.LastStepMm = step * p.Scale;
        lambda = lambda < 1e-9 * trace ? 0.0 : lambda / 10.0;
        // Done when the step is rounding, or no longer shrinks as Newton's
        // steps do near the minimum: what is left is the noise of the sums.
        if (step <= kRoundingStep * size || (trusted && step > 0.5 * previous)) {
            convergence.Converged = true;
            break;
        }
        previous = trusted ? step : std::numeric_limits<double>::infinity();
    }
    return cost;
}

} // namespace

bool FitGeometricCircle(std::span<const double> x, std::span<const double> y, TrueCircle& circle,
                        CircleConvergence& convergence)
{
    circle = TrueCircle{};
    convergence = CircleConvergence{};
    if (x.size() != y.size() || x.size() < 3) return false;
    ScaledPoints p;
    double a = 0.0, b = 0.0;
    if (!ScaleToCentroid(x, y, p) || !AlgebraicCentre(p, a, b)) return false;
    const CircleCost cost = Minimise(p, a, b, convergence);
    circle.CentreX = p.OriginX + a * p.Scale;
    circle.CentreY = p.OriginY + b * p.Scale;
    circle.Radius = cost.MeanDistance * p.Scale;
    if (!std::isfinite(circle.CentreX) || !std::isfinite(circle.CentreY) || !std::isfinite(circle.Radius)) {
        circle = TrueCircle{};
        convergence = CircleConvergence{};
        return false;
    }
    MeasureAboutCentre(x, y, circle);
    circle.Valid = convergence.Converged;
    return true;
}

} // namespace kyklos
