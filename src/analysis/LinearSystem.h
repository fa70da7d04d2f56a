#pragma once
// A small dense linear system A·x = b solved in place: the four-point solve
// of the minimum zone reference is its only user, so n stops at 4.

namespace kyklos {

// LU decomposition (Crout, implicit row scaling, partial pivoting) and
// solution of A·x = b in place: `A` (n rows of A[i][0..n−1]) receives the
// factors, row exchanges included; `x` enters holding b (n entries) and
// receives the solution. A pivot that vanishes is replaced by 1e-20 so that
// the substitution stays finite: a singular system gives a huge, not a
// non-finite, answer. False, with A and x untouched, when n is outside 1..4 or a
// row of A is all zero.
bool SolveLinearSystem(double A[][4], int n, double x[]);

} // namespace kyklos
