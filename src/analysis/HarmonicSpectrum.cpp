#include "analysis/HarmonicSpectrum.h"

#include "analysis/FourierTransform.h"

#include <complex>
#include <cstddef>

namespace kyklos {

namespace {

using Complex = std::complex<double>;

double Mean(std::span<const double> profile)
{
    double sum = 0.0;
    for (double r : profile) sum += r;
    return sum / static_cast<double>(profile.size());
}

// Bin k of the transform X_k = Σ r_i·exp(−ikθ_i) = Σ r_i·cos kθ_i − i·Σ r_i·sin kθ_i.
HarmonicTerm TermFromBin(Complex bin, int k, int n)
{
    if (2 * k == n) return {bin.real() / n, 0.0};
    return {2.0 * bin.real() / n, -2.0 * bin.imag() / n};
}

} // namespace

// The mean radius is taken out first. It adds nothing to any harmonic k ≥ 1,
// but the transform's rounding grows with the size of what it transforms,
// and a 10 mm radius is a thousand times the micrometres of its form.
// Radii within a factor two of their mean lose no digit in the subtraction.

std::vector<HarmonicTerm> HarmonicSpectrum(std::span<const double> profile)
{
    const int n = static_cast<int>(profile.size());
    if (n < 2) return {};
    const double mean = Mean(profile);
    std::vector<Complex> z(profile.size());
    for (std::size_t i = 0; i < z.size(); ++i) z[i] = Complex(profile[i] - mean, 0.0);
    const std::vector<Complex> bins = DiscreteFourierTransform(z, n, n / 2 + 1);
    std::vector<HarmonicTerm> terms(static_cast<std::size_t>(n / 2));
    for (int k = 1; k <= n / 2; ++k)
        terms[static_cast<std::size_t>(k - 1)] = TermFromBin(bins[static_cast<std::size_t>(k)], k, n);
    return terms;
}

void HarmonicSpectra(std::span<const double> first, std::span<const double> second,
                     std::vector<HarmonicTerm>& firstSpectrum, std::vector<HarmonicTerm>& secondSpectrum)
{
    firstSpectrum.clear();
    secondSpectrum.clear();
    const int n = static_cast<int>(first.size());
    if (n < 2 || second.size() != first.size()) return;

    // z = x + i·y: as x and y are real, X_k = (Z_k + conj Z_(N−k))/2 and
    // Y_k = (Z_k − conj Z_(N−k))/(2i).
    const double firstMean = Mean(first);
    const double secondMean = Mean(second);
    std::vector<Complex> z(first.size());
    for (std::size_t i = 0; i < z.size(); ++i) z[i] = Complex(first[i] - firstMean, second[i] - secondMean);
    const std::vector<Complex> bins = DiscreteFourierTransform(z, n, n);

    firstSpectrum.resize(static_cast<std::size_t>(n / 2));
    secondSpectrum.resize(static_cast<std::size_t>(n / 2));
    for (int k = 1; k <= n / 2; ++k) {
        const Complex zk = bins[static_cast<std::size_t>(k)];
        const Complex mirrored = std::conj(bins[static_cast<std::size_t>(n - k)]);
        const Complex sum = zk + mirrored;
        const Complex difference = zk - mirrored;
        const Complex x(0.5 * sum.real(), 0.5 * sum.imag());
        const Complex y(0.5 * difference.imag(), -0.5 * difference.real());
        firstSpectrum[static_cast<std::size_t>(k - 1)] = TermFromBin(x, k, n);
        secondSpectrum[static_cast<std::size_t>(k - 1)] = TermFromBin(y, k, n);
    }
}

} // namespace kyklos
