#pragma once
// The zone and the inscribed circle of points to first order about a
// centre: moving the centre by δ changes distance i from R_i to
// e_i(δ) = R_i − u_i·δ (u_i the unit direction of point i), and the best
// δ of that model is a linear programme in three or four unknowns, solved
// here by an exchange on its contacts (the dual simplex method, which
// moves from one set of contacts that hold the model to the next, the
// model's zone widening or its circle shrinking towards the optimum, one
// scan of the points per pass). The true-circle fits repeat it about each
// new centre. Lengths in mm.

#include "analysis/PointFrame.h"

#include <array>

namespace kyklos {

// The model's best step and its circle(s): e_i(δ) ≤ Outer for every point
// (zone), Inner ≤ e_i(δ) (zone and inscribed).
struct ModelStep {
    double Dx = 0.0;
    double Dy = 0.0;
    double Inner = 0.0;
    double Outer = 0.0;
    int Passes = 0;
};

// Zone: `contacts` holds four points in counter-clockwise order about the
// centre, 0 and 2 on the outer circle, 1 and 3 on the inner (one point may
// stand on both), and receives the optimum's. The exchange stops when no
// point leaves the zone by more than `toleranceMm`, or after `passLimit`
// passes. False when the four directions do not fix a step (two coincide).
bool SolveZoneModel(const PointDirections& points, std::array<int, 4>& contacts, double toleranceMm, int passLimit,
                    ModelStep& step);

// Inscribed: `contacts` holds three points around the centre (counter-
// clockwise, no gap over half a turn) and receives the optimum's. Outer is
// left 0. The exchange stops when no point lies inside the circle by more
// than `toleranceMm`, or after `passLimit` passes. False when the three
// directions do not fix a step.
bool SolveInscribedModel(const PointDirections& points, std::array<int, 3>& contacts, double toleranceMm, int passLimit,
                         ModelStep& step);

// True when `contacts` lie in counter-clockwise order (equal angles allowed)
// about the centre of `points`, with no gap over half a turn when `surround`
// is set.
bool ContactsInOrder(const PointDirections& points, const int* contacts, int count, bool surround);

} // namespace kyklos
