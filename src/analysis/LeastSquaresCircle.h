#pragma once
// The least squares reference: for samples equally spaced over one full turn
// the centre terms are the first Fourier coefficients and the radius the mean.

#include <span>

namespace kyklos {

// Cosine and sine coefficients of harmonic k: A = (2/N)·Σ r_i·cos(k·i·Δ),
// B = (2/N)·Σ r_i·sin(k·i·Δ). count ≤ 0 gives zeros and false.
bool HarmonicCoefficients(std::span<const double> profile, int count, int harmonic, double& A, double& B);

// a, b from harmonic 1, c the mean. count ≤ 0 gives zeros and false.
bool FitLeastSquaresCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

} // namespace kyklos
