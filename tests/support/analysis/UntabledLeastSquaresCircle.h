#pragma once
// The least squares reference from sums that compute each cosine and sine:
// the second opinion on the product's tabled fit (LeastSquaresCircle.h),
// which must give the same bits.

#include <span>

namespace kyklos::test {

// Cosine and sine coefficients of harmonic k of the first `count` samples:
// A = (2/N)·Σ r_i·cos(k·i·Δ), B = (2/N)·Σ r_i·sin(k·i·Δ), Δ = 2π/N, in the
// unit of the profile. `profile` must hold at least `count` samples.
// count ≤ 0 gives zeros and false.
bool HarmonicCoefficients(std::span<const double> profile, int count, int harmonic, double& A, double& B);

// a, b from harmonic 1, c the mean, in the unit of the profile; a = b = 0
// below kFewestPointsForCentre samples. `profile` must hold at least `count`
// samples. count ≤ 0 gives zeros and false.
bool FitLeastSquaresCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

} // namespace kyklos::test
