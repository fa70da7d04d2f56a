#pragma once
// The geometric least squares circle of points in a plane: the centre and
// radius that minimise Σ dᵢ², dᵢ = |pᵢ − centre| − R, the sum of squared
// distances of the points from the circle itself (not an algebraic fit,
// which weights the points by their distance from the centre and is biased
// on arcs). For a given centre the best R is the mean distance, so the fit
// is a search over centres: an algebraic (Kåsa) circle on the points
// shifted to their centroid and scaled to unit spread gives the start,
// Newton steps on the exact Hessian, damped as Levenberg–Marquardt steps
// while they would not lower the sum, take it to the minimum, where the
// steps fall to rounding.

#include "analysis/TrueCircle.h"

#include <span>

namespace kyklos {

struct CircleConvergence {
    int Iterations = 0;      // Newton steps taken, rejected ones included
    bool Converged = false;  // the steps fell to rounding before the limit
    double LastStepMm = 0.0; // the length of the last accepted step
};

// The circle through the points (x[i], y[i]), in mm, with its RONt about
// the centre (Contacts empty, Valid = converged). Any order of points, full
// circles and arcs, centres far from the origin.
// False, with `circle` and `convergence` reset, when x and y differ in
// length, fewer than three points are given, a number is not finite, or
// the points lie on a line (or on one point), where no circle fits.
bool FitGeometricCircle(std::span<const double> x, std::span<const double> y, TrueCircle& circle,
                        CircleConvergence& convergence);

} // namespace kyklos
