#pragma once
// The harmonic spectrum of a closed profile: the undulations per revolution
// (UPR) it is made of. Two lobes point to clamping, odd lobes to centreless
// grinding, a high UPR to chatter.
//
// For N samples r_i at θ_i = i·2π/N and k = 1 … ⌊N/2⌋:
//   a_k = (2/N)·Σ r_i·cos kθ_i,  b_k = (2/N)·Σ r_i·sin kθ_i,
// so that harmonic k of the profile is a_k·cos kθ + b_k·sin kθ
// = A_k·cos(kθ − φ_k). For even N the last term, k = N/2, is
// a = (1/N)·Σ r_i·(−1)^i, b = 0 (it alternates from sample to sample).

#include <cmath>
#include <span>
#include <vector>

namespace kyklos {

struct HarmonicTerm {
    double a = 0.0; // cosine coefficient, in the unit of the profile (mm)
    double b = 0.0; // sine coefficient

    // A_k = √(a² + b²).
    double Amplitude() const { return std::sqrt(a * a + b * b); }
    // φ_k = atan2(b, a), radians in [−π, π].
    double Phase() const { return std::atan2(b, a); }
};

// Harmonics 1 … ⌊N/2⌋ of the profile (N = profile.size()); element k−1 is
// harmonic k. Fewer than 2 samples have none.
std::vector<HarmonicTerm> HarmonicSpectrum(std::span<const double> profile);

// The spectra of two profiles of the same count (the raw and the filtered
// profile), carried by one complex transform as its real and imaginary part.
// Profiles of different counts give two empty spectra.
void HarmonicSpectra(std::span<const double> first, std::span<const double> second,
                     std::vector<HarmonicTerm>& firstSpectrum, std::vector<HarmonicTerm>& secondSpectrum);

} // namespace kyklos
