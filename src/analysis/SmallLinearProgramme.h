#pragma once
// Seidel's incremental linear programme in up to four unknowns: the
// optimum of a programme with few unknowns and any number of constraints,
// in expected time linear in their number when they come in random order.
// The limaçon references at any angles are such programmes (three or four
// unknowns, two constraints per sample at most).

#include <span>

namespace kyklos {

inline constexpr int kLargestProgrammeDimension = 4;

// Q·z ≤ S over the first `dimension` coordinates of z.
struct HalfSpace {
    double Q[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 0.0};
    double S = 0.0;
};

// Lo ≤ z ≤ Hi: stands in for the bounds the constraints may not give, so
// that every programme on the way has an optimum.
struct ProgrammeBox {
    double Lo[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 0.0};
    double Hi[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 0.0};
};

// Minimises objective·z over the box and the constraints, taken in the
// order given (deterministic: the caller shuffles, if at all). A constraint
// counts as met when Q·z ≤ S + tolerance. When z breaks the next constraint
// the optimum moves onto its plane: the unknown of its largest coefficient
// is eliminated there (|factor| ≤ 1 for the constraints before it, as with
// partial pivoting) and the constraints so far are solved again one
// dimension down. A constraint with no coefficient above 1e-13 is passed
// over; an empty interval on a line (rounding, or an infeasible programme)
// gives its middle. `z` receives the optimum, always a point of the box.
// dimension 1..4; false, with z untouched, outside that range.
bool SolveSmallLinearProgramme(int dimension, std::span<const HalfSpace> constraints,
                               const double objective[kLargestProgrammeDimension], const ProgrammeBox& box,
                               double tolerance, double z[kLargestProgrammeDimension]);

} // namespace kyklos
