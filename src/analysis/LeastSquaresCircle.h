#pragma once
// The least squares reference: for samples equally spaced over one full turn
// the centre terms are the first Fourier coefficients and the radius the mean.

#include "analysis/SampleAngles.h"

#include <span>

namespace kyklos {

// One or two samples cannot place a centre: the once-per-revolution term
// needs three (with one the first harmonic aliases the mean, with two it is
// the Nyquist term, and the sums of harmonic 1 give twice a radius as
// eccentricity). Fewer samples than this give the centre on the axis.
inline constexpr int kFewestPointsForCentre = 3;

// The least squares reference of the first N = angles.Count() samples r_i of
// `profile` at t_i = angles.Angle(i): the centre's offset from the
// measurement axis a = (2/N)·Σ r_i·cos t_i, b = (2/N)·Σ r_i·sin t_i and the
// mean radius c = (1/N)·Σ r_i, in the unit of the profile (mm in the
// document); a = b = 0 below kFewestPointsForCentre samples. `profile` must
// hold at least N samples. False, with zeros, for N = 0.
bool FitLeastSquaresCircle(std::span<const double> profile, const SampleAngles& angles, double& a, double& b,
                           double& c);

} // namespace kyklos
