#include "analysis/RobustGaussianFilter.h"

#include "analysis/FourierTransform.h"
#include "analysis/GaussianFilter.h"
#include "analysis/Median.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace kyklos {

namespace {
using Complex = std::complex<double>;

// c = 3σ with σ = 1.4826·MAD, the MAD's estimate of a normal deviation.
constexpr double kBiweightScale = 4.4478;
// Below this share of the weighting function's mass within reach, the
// weighted mean divides rounding of the transform (about 1e-14 of the
// profile) by little: the sums are formed directly there.
constexpr double kThinWeight = 1e-3;

// The Gaussian filter's weights w_0 … w_K, scaled to sum to 1 over −K … K,
// and the real spectrum of the kernel they make wrapped round N samples.
struct WrappedWeights {
    std::vector<double> Pair;
    std::vector<double> Spectrum;
};

WrappedWeights MakeWrappedWeights(int n, double cutoffUpr)
{
    WrappedWeights s;
    s.Pair = GaussianFilterWeights(ComputeGaussianKernel(n, cutoffUpr));
    double sum = s.Pair[0];
    for (std::size_t j = 1; j < s.Pair.size(); ++j) sum += 2.0 * s.Pair[j];
    for (double& w : s.Pair) w /= sum;

    std::vector<Complex> folded(static_cast<std::size_t>(n));
    folded[0] += s.Pair[0];
    for (std::size_t j = 1; j < s.Pair.size(); ++j) {
        const auto up = static_cast<std::size_t>(j % static_cast<std::size_t>(n));
        folded[up] += s.Pair[j];
        folded[(static_cast<std::size_t>(n) - up) % static_cast<std::size_t>(n)] += s.Pair[j];
    }
    // A symmetric kernel has a real spectrum; the imaginary parts are rounding.
    const std::vector<Complex> bins = DiscreteFourierTransform(folded, n, n);
    s.Spectrum.resize(bins.size());
    for (std::size_t k = 0; k < bins.size(); ++k) s.Spectrum[k] = bins[k].real();
    return s;
}

// Σ_j s_(i−j)·δ_j·z_j + i·Σ_j s_(i−j)·δ_j, summed weight by weight.
Complex DirectSums(const WrappedWeights& s, std::span<const double> z, std::span<const double> delta, std::size_t i)
{
    const std::size_t n = z.size();
    Complex sums = s.Pair[0] * Complex(delta[i] * z[i], delta[i]);
    for (std::size_t j = 1; j < s.Pair.size(); ++j) {
        const std::size_t up = (i + j) % n;
        const std::size_t down = (i + n - j % n) % n;
        sums += s.Pair[j] * Complex(delta[up] * z[up] + delta[down] * z[down], delta[up] + delta[down]);
    }
    return sums;
}

// The weighted mean w_i for the weights δ, and the sum of the weights Σ_j s_(i−j)·δ_j
// behind it; where no sample within reach carries weight, w_i keeps the value it had.
void WeightedMean(const WrappedWeights& s, std::span<const double> z, std::span<const double> delta,
                  std::vector<double>& w, std::vector<double>& weightSum)
{
    const int n = static_cast<int>(z.size());
    std::vector<Complex> u(z.size());
    for (std::size_t j = 0; j < u.size(); ++j) u[j] = Complex(delta[j] * z[j], delta[j]);
    // Both sums at once: the kernel's spectrum is real, so real and imaginary
    // parts do not mix. The inverse transform is conj(F(conj(·)))/N.
    std::vector<Complex> bins = DiscreteFourierTransform(u, n, n);
    for (std::size_t k = 0; k < bins.size(); ++k) bins[k] = std::conj(bins[k] * s.Spectrum[k]);
    const std::vector<Complex> back = DiscreteFourierTransform(bins, n, n);
    for (std::size_t i = 0; i < w.size(); ++i) {
        Complex sums(back[i].real() / n, -back[i].imag() / n);
        if (sums.imag() < kThinWeight) sums = DirectSums(s, z, delta, i);
        weightSum[i] = sums.imag();
        if (sums.imag() > 0.0) w[i] = sums.real() / sums.imag();
    }
}

} // namespace

bool RobustBiweights(std::span<const double> z, std::span<const double> w, std::span<double> delta)
{
    std::vector<double> deviation(z.size());
    for (std::size_t j = 0; j < z.size(); ++j) deviation[j] = std::fabs(z[j] - w[j]);
    const double c = kBiweightScale * MedianInPlace(deviation);
    if (!(c > 0.0)) return false;
    for (std::size_t j = 0; j < z.size(); ++j) {
        const double r = (z[j] - w[j]) / c;
        delta[j] = std::fabs(r) < 1.0 ? (1.0 - r * r) * (1.0 - r * r) : 0.0;
    }
    return true;
}

std::string RobustFilterWarning(int iterations)
{
    return "The robust filter did not converge in " + std::to_string(iterations) +
           (iterations == 1 ? " iteration." : " iterations.");
}

bool RobustGaussianFilterProfile(std::span<const double> input, std::span<double> output, double cutoffUpr,
                                 RobustFilterOutcome& outcome, const RobustFilterOptions& options)
{
    if (input.empty() || input.size() != output.size()) return false;
    if (!(cutoffUpr > 0.0) || !std::isfinite(cutoffUpr)) return false;
    if (!std::all_of(input.begin(), input.end(), [](double r) { return std::isfinite(r); })) return false;
    const auto [low, high] = std::minmax_element(input.begin(), input.end());
    const double peakToValley = *high - *low;
    if (!std::isfinite(peakToValley)) return false;

    // Centred on the mean: the weighted mean moves with the profile, and the
    // transform's rounding is relative to what it transforms.
    double mean = 0.0;
    for (const double r : input) mean += r;
    mean /= static_cast<double>(input.size());
    std::vector<double> z(input.size());
    for (std::size_t i = 0; i < z.size(); ++i) z[i] = input[i] - mean;

    const WrappedWeights s = MakeWrappedWeights(static_cast<int>(z.size()), cutoffUpr);
    std::vector<double> delta(z.size(), 1.0);
    std::vector<double> w(z.size(), 0.0);
    std::vector<double> weightSum(z.size());
    WeightedMean(s, z, delta, w, weightSum); // the Gaussian regression

    outcome = {};
    outcome.Converged = peakToValley == 0.0;
    const double tolerance = options.Tolerance * peakToValley;
    std::vector<double> previous;
    while (!outcome.Converged && outcome.Iterations < options.MaxIterations) {
        if (!RobustBiweights(z, w, delta)) {
            outcome.Converged = true;
            break;
        }
        previous = w;
        WeightedMean(s, z, delta, w, weightSum);
        ++outcome.Iterations;
        double change = 0.0;
        for (std::size_t i = 0; i < w.size(); ++i) change = std::max(change, std::fabs(w[i] - previous[i]));
        outcome.Converged = change <= tolerance;
    }
    if (!outcome.Converged) outcome.Warning = RobustFilterWarning(outcome.Iterations);
    outcome.OwnShare.resize(z.size());
    for (std::size_t i = 0; i < z.size(); ++i)
        outcome.OwnShare[i] = weightSum[i] > 0.0 ? std::min(1.0, s.Pair[0] * delta[i] / weightSum[i]) : 0.0;
    for (std::size_t i = 0; i < output.size(); ++i) output[i] = mean + w[i];
    return true;
}

} // namespace kyklos
