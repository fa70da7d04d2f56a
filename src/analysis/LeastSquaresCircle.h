#pragma once
// The least squares reference: for samples equally spaced over one full turn
// the centre terms are the first Fourier coefficients and the radius the mean.

#include "analysis/SampleAngles.h"

#include <span>

namespace kyklos {

// Cosine and sine coefficients of harmonic k: A = (2/N)·Σ r_i·cos(k·i·Δ),
// B = (2/N)·Σ r_i·sin(k·i·Δ). count ≤ 0 gives zeros and false.
bool HarmonicCoefficients(std::span<const double> profile, int count, int harmonic, double& A, double& B);

// One or two samples cannot place a centre: the once-per-revolution term
// needs three (with one the first harmonic aliases the mean, with two it is
// the Nyquist term, and the sums of harmonic 1 give twice a radius as
// eccentricity). Fewer samples than this give the centre on the axis.
inline constexpr int kFewestPointsForCentre = 3;

// a, b from harmonic 1, c the mean; a = b = 0 below kFewestPointsForCentre
// samples. count ≤ 0 gives zeros and false.
bool FitLeastSquaresCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

// The least squares reference of the first N = angles.Count() samples of
// `profile` (sample i at angles.Angle(i)): a, b, the centre's offset from the
// measurement axis, from harmonic 1, and c, the mean radius, all in the unit
// of the profile (mm in the document); a = b = 0 below kFewestPointsForCentre
// samples. `profile` must hold at least N samples. False, with zeros, for N = 0.
bool FitLeastSquaresCircle(std::span<const double> profile, const SampleAngles& angles, double& a, double& b,
                           double& c);

} // namespace kyklos
