#pragma once
// What the Gaussian filter does to each undulation of a profile of N samples:
// its amplitude transmission per UPR, and the warnings when N is too small
// for the cutoff.

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

} // namespace kyklos
