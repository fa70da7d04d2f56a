#pragma once
// The 50 % Gaussian low-pass filter of a closed profile: a circular
// convolution with the sampled ISO 11562 weighting function, cutoff in
// undulations per revolution (UPR).

#include "platform/ProgressPort.h"

#include <span>

namespace kyklos {

// The filter's constants for N samples and a cutoff; exposed for tests and benchmarks.
struct GaussianKernel {
    double step = 0.0;        // Δθ = 2π/N
    double wavelength = 0.0;  // λc = 2π/cutoff
    double centre = 0.0;      // X = Δθ/(α·λc), the centre weight
    double halfLength = 0.0;  // Kr, before rounding
    int pairs = 0;            // K, neighbour pairs
    double ratio = 0.0;       // q = exp(−π·X²)
};

GaussianKernel ComputeGaussianKernel(int count, double cutoffUpr);

// Filters input into output (distinct arrays of `count` samples). Shows
// progress through `progress` with the caption "ZizeruzeVizava"; false when
// the user cancelled, the output then holds an unfinished partial sum.
bool GaussianFilterProfile(std::span<const double> input, std::span<double> output, int count, double cutoffUpr,
                           ProgressPort& progress);

} // namespace kyklos
