#pragma once
// What a filter does to each undulation of a profile of N samples: its
// amplitude transmission per UPR, and the warnings when N is too small for
// the cutoff of a sampled weighting function.

#include "analysis/FilterKind.h"

#include <string>
#include <vector>

namespace kyklos {

// 2^−(k/kc)²: the transmission of the continuous 50 % Gaussian weighting
// function at k UPR for a cutoff of kc UPR.
double IdealGaussianTransmission(double upr, double cutoffUpr);

// The transmission the filter really has at k = 1 … ⌊N/2⌋ (element k−1):
// H_k = Σ_{j=−K..K} w_|j|·cos(k·j·2π/N) over the weights it applies
// (sampled, truncated, and scaled to unit gain where it does so). A sampled
// undulation of k UPR leaves the filter multiplied by exactly H_k. It
// follows the ideal within 1e-3 when N ≥ 7 × cutoff and departs from it
// below. count ≤ 1 gives none.
std::vector<double> GaussianFilterTransmission(int count, double cutoffUpr);

// The sampling check, in the user's words: a warning when N < 7 × cutoff,
// saying what the filter passes at the cutoff instead of half (or that the
// cutoff lies beyond N/2), and one when the filter had to scale its weights
// to unit gain.
std::vector<std::string> FilterSamplingWarnings(int count, int cutoffUpr);

// The transmission of any kind at k = 1 … ⌊N/2⌋ (element k−1), as the
// evaluation charts it: the sampled Gaussian's as above; the robust
// filter's while every biweight is 1, its first pass (the same weights,
// divided by their sum as its weighted mean does: the biweights make the
// filter depend on the profile, and no single curve says what it does);
// |H(k)| of the kinds applied per harmonic (see SpectralFilterResponse); 1
// without a filter. count ≤ 1, or a description FilterSpecRefusal refuses,
// gives none.
std::vector<double> FilterTransmission(const FilterSpec& filterSpec, int count);

// The sampling warnings of any kind: the Gaussian's as above; the robust
// filter's shortage of samples per cutoff, with what it passes there (it
// always divides by the weights' sum); none for the kinds applied per
// harmonic, exact at every N, nor without a filter or for a refused description.
std::vector<std::string> FilterSamplingWarnings(int count, const FilterSpec& filterSpec);

} // namespace kyklos
