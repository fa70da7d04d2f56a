#pragma once
// The peak/valley scan computed the plain way, a cosine and a sine at every
// sample. The product scans over its table of sample angles (PeakValley.h);
// the tests hold it to this scan bit for bit and the benchmarks time both.

#include <span>

namespace kyklos::test {

// Largest and smallest deviation r[i] − R(i·Δ), Δ = 2π/count, about
// R(t) = a·cos t + b·sin t + c as EvaluateLimacon forms it, in the unit of the
// profile, with their angles in radians. Strict comparisons: among equal
// extremes the lowest index wins. `profile` must hold at least `count`
// samples. False when an extreme was not found, reported as FinishPeakValley
// reports it; count ≤ 0 gives four zeros.
bool FindPeakValley(std::span<const double> profile, int count, double a, double b, double c, double& peak,
                    double& peakAngle, double& valley, double& valleyAngle);

} // namespace kyklos::test
