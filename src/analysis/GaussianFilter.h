#pragma once
// The 50 % Gaussian low-pass filter of a closed profile: a circular
// convolution with the sampled ISO 11562 weighting function, cutoff in
// undulations per revolution (UPR).

#include "platform/ProgressPort.h"

#include <span>
#include <vector>

namespace kyklos {

// The filter's constants for N samples and a cutoff; exposed for tests and benchmarks.
struct GaussianKernel {
    double Step = 0.0;       // Δθ = 2π/N
    double Wavelength = 0.0; // λc = 2π/cutoff
    double Centre = 0.0;     // X = Δθ/(α·λc), the centre weight
    double HalfLength = 0.0; // Kr, before rounding
    int Pairs = 0;           // K, neighbour pairs
    double Ratio = 0.0;      // q = exp(−π·X²)
    double WeightSum = 0.0;  // X·(1 + 2·Σ q^(k²)), k = 1..K: the gain on a constant
};

GaussianKernel ComputeGaussianKernel(int count, double cutoffUpr);

// True when the weights' sum strays more than 1e-3 from 1 (too few samples
// under the weighting function: a high cutoff on a short profile); the filter
// then divides every weight by the sum so that it keeps the mean radius.
bool WeightsScaledToUnitGain(const GaussianKernel& kernel);

// The weights w_0 … w_K the filter applies, scaled to unit gain when
// WeightsScaledToUnitGain says so; sample i±k is weighted by w_k.
std::vector<double> GaussianFilterWeights(const GaussianKernel& kernel);

// Filters input into output (arrays of at least `count` samples; they may be
// the same array). Shows progress through `progress` with the caption
// "ZizeruzeVizava"; false when the user cancelled, the output then holds the
// centre term plus the passes done so far, an unfinished partial sum. Also
// false, with the output untouched, when a span is shorter than `count`.
//
// When too few samples fall under the weighting function (a high cutoff on a
// short profile) the weights no longer sum to 1; then they are divided by
// their sum so that the filter keeps the mean radius.
bool GaussianFilterProfile(std::span<const double> input, std::span<double> output, int count, double cutoffUpr,
                           ProgressPort& progress);

} // namespace kyklos
