#pragma once
// The minimum zone reference: two concentric limaçons c − w and c + w that
// enclose the profile with the smallest radial separation 2w, found by an
// exchange on four alternating peak/valley contacts.

#include <span>

namespace kyklos {

// LU decomposition (Crout, implicit row scaling, partial pivoting) and
// solution of A·x = b in place, n ≤ 4. False when a row of A is all zero.
bool SolveLinearSystem(double A[][4], int n, double x[]);

// The zone through four contacts: rows cos t·a + sin t·b + c ± s = r with
// signs (−, +, −, +); w = |s|. Always true.
bool SolveZoneThroughFour(const double t[4], const double r[4], double& a, double& b, double& c, double& w);

// Fewer than 4 samples: false, with the least squares reference in a, b, c
// and w unchanged. Otherwise true (the best pass when the pass limit ends it).
bool FitMinimumZoneCircle(std::span<const double> profile, int count, double& a, double& b, double& c, double& w);

} // namespace kyklos
