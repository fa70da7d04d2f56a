#pragma once
// The least squares reference: for samples equally spaced over one full turn
// the centre terms are the first Fourier coefficients and the radius the mean.

#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"

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

// The least squares reference of the used samples of `samples` at any
// angles: the limaçon that minimises Σ (r_i − a·cos t_i − b·sin t_i − c)²
// over them, r_i = profile[i], in the unit of the profile. Equal steps over
// a full turn give the harmonic sums above, bit for bit.
//
// Otherwise the normal equations are solved about the means: with x_i, y_i,
// z_i the cosines, sines and radii less their means, (a, b) solves the 2×2
// system of the sums Σxx, Σxy, Σyy, Σxz, Σyz and c = mean r − a·mean cos −
// b·mean sin. Centring takes the radius column out exactly, so no sum
// cancels (Σcos² − N·mean² would lose the digits of an arc where cos ≈ 1);
// the 2×2 system is symmetric positive definite and is eliminated on its
// larger diagonal, which is backward stable for such a system. Its condition
// is that of the centred cosines and sines squared: about 10³ for a 30° arc.
//
// a = b = 0 and c the mean below kFewestPointsForCentre used samples (or for
// a system that rounding made singular). False, with zeros, when no sample
// is used or `profile` holds fewer than samples.Count() radii.
bool FitLeastSquaresCircle(std::span<const double> profile, const SampleSet& samples, double& a, double& b, double& c);

} // namespace kyklos
