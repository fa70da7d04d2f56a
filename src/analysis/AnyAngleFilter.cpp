#include "analysis/AnyAngleFilter.h"

#include "analysis/AnyAngleGaussianSums.h"
#include "analysis/GaussianFilter.h"
#include "analysis/Median.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kyklos {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr int kMostNominalCount = 1 << 20;
// Exactly 7 samples per wavelength passes, whatever the rounding of the sums.
constexpr double kDensityTolerance = 1e-9;

// The intervals between neighbouring used samples: interval k runs from used
// sample k to used sample k + 1, the last one through 0 back to the first.
struct Intervals {
    std::vector<double> Length;      // radians
    std::vector<bool> HoldsExcluded; // an excluded sample lies within
};

Intervals UsedIntervals(const SampleSet& samples)
{
    const std::span<const int> used = samples.UsedIndices();
    const std::size_t n = used.size();
    Intervals in;
    in.Length.resize(n);
    in.HoldsExcluded.resize(n);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        in.Length[k] = samples.Angle(used[k + 1]) - samples.Angle(used[k]);
        in.HoldsExcluded[k] = used[k + 1] != used[k] + 1;
    }
    if (n > 0) {
        in.Length[n - 1] = samples.Angle(used[0]) + kTwoPi - samples.Angle(used[n - 1]);
        in.HoldsExcluded[n - 1] = used[0] != 0 || used[n - 1] != samples.Count() - 1;
    }
    return in;
}

double MedianStep(const Intervals& in)
{
    std::vector<double> steps;
    for (std::size_t k = 0; k < in.Length.size(); ++k)
        if (!in.HoldsExcluded[k]) steps.push_back(in.Length[k]);
    if (steps.empty()) steps = in.Length;
    return steps.empty() ? 0.0 : MedianInPlace(steps);
}

// The used samples' values, in the order of the used samples.
std::vector<double> UsedValues(const SampleSet& samples, std::span<const double> input)
{
    std::vector<double> z;
    z.reserve(static_cast<std::size_t>(samples.UsedCount()));
    for (const int i : samples.UsedIndices()) z.push_back(input[static_cast<std::size_t>(i)]);
    return z;
}

std::vector<double> UsedAngles(const SampleSet& samples)
{
    std::vector<double> t;
    t.reserve(static_cast<std::size_t>(samples.UsedCount()));
    for (const int i : samples.UsedIndices()) t.push_back(samples.Angle(i));
    return t;
}

bool Refused(const SampleSet& samples, std::span<const double> input, std::span<double> output, double cutoffUpr)
{
    const auto count = static_cast<std::size_t>(samples.Count());
    return input.size() != count || output.size() != count || !(cutoffUpr > 0.0) || !std::isfinite(cutoffUpr);
}

AnyAngleKernel KernelFor(double nominalStep, double cutoffUpr)
{
    AnyAngleKernel k;
    k.NominalStep = nominalStep;
    const double count = k.NominalStep > 0.0 ? std::round(kTwoPi / k.NominalStep) : 1.0;
    k.NominalCount = static_cast<int>(std::clamp(count, 1.0, static_cast<double>(kMostNominalCount)));
    const GaussianKernel kernel = ComputeGaussianKernel(k.NominalCount, cutoffUpr);
    k.Width = kernel.Step / kernel.Centre; // α·λc = Δθ/X
    k.Reach = (kernel.Pairs + 0.5) * kernel.Step;
    // Summed as the kernel's gain is: the centre weight and twice the rest.
    const std::vector<double> weights = GaussianFilterWeights(kernel);
    double tail = 0.0;
    for (std::size_t j = 1; j < weights.size(); ++j) tail += weights[j];
    k.Gain = weights[0] + 2.0 * tail;
    return k;
}

std::vector<double> CoveredFor(const Intervals& in, double step)
{
    const std::size_t n = in.Length.size();
    std::vector<bool> gap(n);
    for (std::size_t k = 0; k < n; ++k) {
        const double neighbours = std::max(in.Length[(k + n - 1) % n], in.Length[(k + 1) % n]);
        gap[k] = in.HoldsExcluded[k] || in.Length[k] > kGapSteps * neighbours;
    }
    std::vector<double> covered(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t previous = (k + n - 1) % n;
        const double before = in.Length[previous] / 2.0, after = in.Length[k] / 2.0;
        double left = before, right = after;
        if (gap[previous] && gap[k]) {
            left = std::min(step / 2.0, before);
            right = std::min(step / 2.0, after);
        } else if (gap[previous]) {
            left = std::min(after, before); // as much as on the inner side, within half the gap
        } else if (gap[k]) {
            right = std::min(before, after);
        }
        covered[k] = left + right;
    }
    return covered;
}
} // namespace

double NominalStep(const SampleSet& samples) { return MedianStep(UsedIntervals(samples)); }

AnyAngleKernel ComputeAnyAngleKernel(const SampleSet& samples, double cutoffUpr)
{
    return KernelFor(NominalStep(samples), cutoffUpr);
}

std::vector<double> CoveredAngles(const SampleSet& samples)
{
    const Intervals in = UsedIntervals(samples);
    return CoveredFor(in, MedianStep(in));
}

bool TooSparseForFilter(const SampleSet& samples, std::span<const double> covered, double cutoffUpr)
{
    const long n = samples.UsedCount();
    if (n < 2 || covered.size() != static_cast<std::size_t>(n)) return true;
    // Below 1 UPR the window is the whole turn.
    const double wavelength = kTwoPi / cutoffUpr;
    const double half = std::min(wavelength / 2.0, kTwoPi / 2.0);
    // The used samples repeated every turn: g = k + m·n is used sample k a
    // turn m on, and the covered angles are summed along them.
    const std::vector<double> angles = UsedAngles(samples);
    std::vector<double> coveredBefore(static_cast<std::size_t>(n) + 1, 0.0);
    for (std::size_t k = 0; k < covered.size(); ++k) coveredBefore[k + 1] = coveredBefore[k] + covered[k];
    const auto at = [&](long g, const std::vector<double>& values, double perTurn) {
        const long turn = g < 0 ? -1 : g / n; // g stays within a turn of the middle one
        return values[static_cast<std::size_t>(g - turn * n)] + static_cast<double>(turn) * perTurn;
    };
    long low = 0, high = 0;
    for (long i = 0; i < n; ++i) {
        const double t = angles[static_cast<std::size_t>(i)];
        while (at(low - n, angles, kTwoPi) < t - half) ++low;
        while (high < 2 * n && at(high, angles, kTwoPi) < t + half) ++high;
        const double part =
            at(high, coveredBefore, coveredBefore.back()) - at(low - n, coveredBefore, coveredBefore.back());
        const auto count = static_cast<double>(high - (low - n));
        if (count * wavelength < kSamplesPerWavelength * part * (1.0 - kDensityTolerance)) return true;
    }
    return false;
}

bool GaussianFilterAnyAngles(const SampleSet& samples, std::span<const double> input, std::span<double> output,
                             double cutoffUpr)
{
    if (Refused(samples, input, output, cutoffUpr)) return false;
    if (samples.UsedCount() == 0) return true;
    const Intervals in = UsedIntervals(samples);
    const double step = MedianStep(in);
    const AnyAngleKernel kernel = KernelFor(step, cutoffUpr);
    const std::vector<double> covered = CoveredFor(in, step);
    const std::vector<double> z = UsedValues(samples, input);
    const AnyAngleGaussianSums sums(UsedAngles(samples), kernel.Width, kernel.Reach);
    std::vector<double> weighted(z.size()), weightSums(z.size());
    sums.Apply(covered, z, weighted, weightSums);
    const std::span<const int> used = samples.UsedIndices();
    for (std::size_t k = 0; k < z.size(); ++k)
        output[static_cast<std::size_t>(used[k])] = kernel.Gain * (weighted[k] / weightSums[k]);
    return true;
}

namespace {
// The weighted means w_k = Σ s·a·z / Σ s·a for the weights a = c·δ; where no
// weight is left within reach, w_k keeps the value it had.
void WeightedMeans(const AnyAngleGaussianSums& sums, const std::vector<double>& covered,
                   const std::vector<double>& delta, const std::vector<double>& z, std::vector<double>& w,
                   std::vector<double>& weightSums)
{
    std::vector<double> a(z.size()), weighted(z.size());
    for (std::size_t k = 0; k < a.size(); ++k) a[k] = covered[k] * delta[k];
    sums.Apply(a, z, weighted, weightSums);
    for (std::size_t k = 0; k < w.size(); ++k)
        if (weightSums[k] > 0.0) w[k] = weighted[k] / weightSums[k];
}
} // namespace

bool RobustGaussianFilterAnyAngles(const SampleSet& samples, std::span<const double> input, std::span<double> output,
                                   double cutoffUpr, RobustFilterOutcome& outcome, const RobustFilterOptions& options)
{
    if (Refused(samples, input, output, cutoffUpr) || samples.UsedCount() == 0) return false;
    std::vector<double> z = UsedValues(samples, input);
    if (!std::all_of(z.begin(), z.end(), [](double r) { return std::isfinite(r); })) return false;
    const auto [low, high] = std::minmax_element(z.begin(), z.end());
    const double peakToValley = *high - *low;
    if (!std::isfinite(peakToValley)) return false;
    // Centred on the mean, as the equal-step filter is.
    double mean = 0.0;
    for (const double r : z) mean += r;
    mean /= static_cast<double>(z.size());
    for (double& r : z) r -= mean;

    const Intervals in = UsedIntervals(samples);
    const double step = MedianStep(in);
    const AnyAngleKernel kernel = KernelFor(step, cutoffUpr);
    const std::vector<double> covered = CoveredFor(in, step);
    const AnyAngleGaussianSums sums(UsedAngles(samples), kernel.Width, kernel.Reach);
    std::vector<double> delta(z.size(), 1.0), w(z.size(), 0.0), weightSums(z.size()), previous;
    WeightedMeans(sums, covered, delta, z, w, weightSums); // the Gaussian regression

    outcome = {};
    outcome.Converged = peakToValley == 0.0;
    const double tolerance = options.Tolerance * peakToValley;
    while (!outcome.Converged && outcome.Iterations < options.MaxIterations) {
        if (!RobustBiweights(z, w, delta)) {
            outcome.Converged = true;
            break;
        }
        previous = w;
        WeightedMeans(sums, covered, delta, z, w, weightSums);
        ++outcome.Iterations;
        double change = 0.0;
        for (std::size_t k = 0; k < w.size(); ++k) change = std::max(change, std::fabs(w[k] - previous[k]));
        outcome.Converged = change <= tolerance;
    }
    if (!outcome.Converged) outcome.Warning = RobustFilterWarning(outcome.Iterations);
    const std::span<const int> used = samples.UsedIndices();
    outcome.OwnShare.assign(static_cast<std::size_t>(samples.Count()), 0.0);
    for (std::size_t k = 0; k < z.size(); ++k) {
        const auto i = static_cast<std::size_t>(used[k]);
        const double own = sums.Peak() * covered[k] * delta[k];
        if (weightSums[k] > 0.0) outcome.OwnShare[i] = std::min(1.0, own / weightSums[k]);
        output[i] = mean + w[k];
    }
    return true;
}

} // namespace kyklos
