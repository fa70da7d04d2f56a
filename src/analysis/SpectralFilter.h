#pragma once
// The filters applied to each harmonic of a closed profile at equal steps:
// one transform of the profile, every harmonic k multiplied by the filter's
// response H(k), one transform back. Nothing is sampled but the profile, so
// the transmission is the formula's at every N, however few samples a
// cutoff wavelength covers. With kc the cutoff in UPR:
//
//   exact Gaussian  H(k) = exp(−π·(α·k/kc)²) = 2^−(k/kc)²,  α = √(ln 2/π)
//   2RC             H(k) = 1/(1 + j·k/(√3·kc))²: |H(kc)| = 0.75, and the
//                   phase of two RC stages, −60° at kc: each undulation
//                   comes out later in the direction of sampling (larger
//                   angles), as behind an instrument's analogue filter
//   band            H(k) = a₀(k; high)·(1 − a₀(k; low)), a₀ the exact Gaussian
//   none            H(k) = 1: the input, exactly
//
// A band passes neither the mean (H(0) = 0) nor, nearly, 1 UPR. The
// analysis filters the residual of the least squares limaçon and adds the
// limaçon back, so the profile keeps its radius and its centre under every
// kind; the reference circles absorb both, and what the band takes away is
// the form below the low cutoff.

#include "analysis/FilterKind.h"

#include <complex>
#include <span>

namespace kyklos {

// H(k) for harmonic k (0 ≤ k ≤ N/2) of N samples under a kind applied per
// harmonic (GaussianExact, TwoRC, Band, None). The alternating term k = N/2
// of an even N cannot carry a phase: it is multiplied by Re H, what the
// continuous filter does to that undulation at the sample angles. Other
// kinds give not-a-number.
std::complex<double> SpectralFilterResponse(const FilterSpec& filterSpec, int upr, int count);

// Filters input into output (equal sizes, at least 1; they may be the same
// array) at equal steps over a full turn. False, with output untouched, for
// a kind not applied per harmonic, a description FilterSpecRefusal refuses,
// or unequal or empty spans.
bool SpectralFilterProfile(const FilterSpec& filterSpec, std::span<const double> input, std::span<double> output);

} // namespace kyklos
