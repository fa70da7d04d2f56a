#pragma once
// The discrete Fourier transform behind the harmonic spectrum and the
// filter's transmission, over Eigen's FFT. Eigen's mixed-radix transform
// costs N·p for a prime factor p of N, so N² for a prime count; such counts
// are transformed by Bluestein's method instead: the transform written as a
// convolution with the chirp exp(iπ·j²/N), carried out by FFTs of a length
// whose only prime factors are 2, 3 and 5.

#include <complex>
#include <span>
#include <vector>

namespace kyklos {

enum class FourierMethod {
    MixedRadix, // Eigen's FFT of length N
    Chirp,      // Bluestein's method over a 5-smooth length
};

// X_k = Σ_{j<L} z_j·exp(−2πi·j·k/N) for k = 0 … count−1, L = input.size():
// the first `count` bins of the N-point transform of z padded with zeros.
// Requires 1 ≤ L ≤ N and 0 ≤ count ≤ N; anything else gives an empty result.
// The plans of the last few sizes (twiddle factors, chirp spectra) are kept
// per thread, as analyses repeat on one profile size.
std::vector<std::complex<double>> DiscreteFourierTransform(std::span<const std::complex<double>> input, int period,
                                                           int count);
// The same by a chosen method (for tests and benchmarks).
std::vector<std::complex<double>> DiscreteFourierTransform(std::span<const std::complex<double>> input, int period,
                                                           int count, FourierMethod method);

// The cheaper method for these sizes, by an operation count of Eigen's
// mixed-radix stages.
FourierMethod ChooseFourierMethod(int period, int inputLength, int count);

// Frees this thread's plans (the next transform of any size makes its own).
void ReleaseFourierPlans();

// The smallest number ≥ n whose only prime factors are 2, 3 and 5.
int SmoothLength(int n);

} // namespace kyklos
