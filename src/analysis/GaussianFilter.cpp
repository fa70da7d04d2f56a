#include "analysis/GaussianFilter.h"

#include "analysis/GaussianFilterDetail.h"
#include "analysis/simd/FilterKernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace kyklos {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInversePi = 0.3183098861837907;
constexpr double kMinusPi = -3.141592653589793;
constexpr double kAlpha = 0.46971863934982566; // sqrt(ln 2 / π): 50 % transmission at the cutoff
constexpr double kTruncation = 0.001;
// A gain further than this from 1 means the sampled weighting function no
// longer integrates to 1 (a few samples per cutoff wavelength); every usual
// profile stays within 2e-4 and keeps its unscaled weights.
constexpr double kGainTolerance = 1e-3;
// Passes per kernel call: keeps the stretch of profile one tile reads small
// enough to stay in the first-level cache for the next tile.
constexpr int kMaxBlockPasses = 256;

using detail::FilterPath;

// The weights X·q^(k²) for k = 0..K by the recurrence w_k = w_(k−1)·q^(2k−1),
// two multiplications per pass instead of one exponential per weight. Its
// rounding differs from exp's in the last bits, and the filtered radii carry
// those digits: every filter path, the kernel's gain and the transmission use
// these same weights.
std::vector<double> RecurrenceWeights(const GaussianKernel& kernel)
{
    std::vector<double> weights(static_cast<std::size_t>(kernel.Pairs) + 1);
    const double q2 = kernel.Ratio * kernel.Ratio;
    double w = kernel.Centre;
    double m = kernel.Ratio;
    weights[0] = w;
    for (int k = 1; k <= kernel.Pairs; ++k) {
        w = m * w;  // X·q^(k²)
        m = q2 * m; // q^(2k+1)
        weights[static_cast<std::size_t>(k)] = w;
    }
    return weights;
}

// printf's %d of a cutoff truncated toward zero, defined for any double.
int TruncatedCutoff(double cutoffUpr)
{
    if (!(std::fabs(cutoffUpr) < 2e9)) return 0;
    return static_cast<int>(cutoffUpr);
}

// The passes after which the progress display is refreshed: whenever the
// percentage has grown by more than one point since the last refresh.
std::vector<int> ProgressPasses(int pairs)
{
    std::vector<int> passes;
    double last = -1.0;
    for (int k = 1; k <= pairs; ++k) {
        const double p = k * 100.0 / pairs;
        if (last + 1.0 < p) {
            last = p;
            passes.push_back(k);
        }
    }
    return passes;
}

using KernelFunction = void (*)(const double*, const double*, double*, std::size_t, int, int);

KernelFunction KernelFor(FilterPath path)
{
    if (!detail::FilterPathSupported(path)) path = FilterPath::Portable;
    switch (path) {
#if defined(KYKLOS_FILTER_X86_KERNELS)
    case FilterPath::Avx2: return detail::AccumulatePassesAvx2;
    case FilterPath::Avx512: return detail::AccumulatePassesAvx512;
#endif
    default: return detail::AccumulatePassesPortable;
    }
}

} // namespace

GaussianKernel ComputeGaussianKernel(int count, double cutoffUpr)
{
    GaussianKernel k;
    k.Step = kTwoPi / count;
    k.Wavelength = kTwoPi / cutoffUpr;
    k.Centre = k.Step / (kAlpha * k.Wavelength);
    k.HalfLength = std::sqrt(std::log(k.Centre / (k.Step * kTruncation)) * kInversePi) / k.Centre + 1.0;
    // Round half away from zero; a non-finite length gives no pairs.
    const double kr = k.HalfLength;
    if (std::isfinite(kr) && std::fabs(kr) < 2e9)
        k.Pairs = std::max(0, static_cast<int>(kr >= 0.0 ? kr + 0.5 : kr - 0.5));
    k.Ratio = std::exp(kMinusPi * k.Centre * k.Centre);
    const std::vector<double> weights = RecurrenceWeights(k);
    double tail = 0.0;
    for (std::size_t i = 1; i < weights.size(); ++i) tail += weights[i];
    k.WeightSum = k.Centre + 2.0 * tail;
    return k;
}

bool WeightsScaledToUnitGain(const GaussianKernel& kernel)
{
    const double gain = kernel.WeightSum;
    return std::fabs(gain - 1.0) > kGainTolerance && std::isfinite(gain) && gain > 0.0;
}

std::vector<double> GaussianFilterWeights(const GaussianKernel& kernel)
{
    std::vector<double> weights = RecurrenceWeights(kernel);
    if (WeightsScaledToUnitGain(kernel))
        for (double& w : weights) w /= kernel.WeightSum;
    return weights;
}

bool GaussianFilterProfile(std::span<const double> input, std::span<double> output, int count, double cutoffUpr,
                           ProgressPort& progress)
{
    return detail::GaussianFilterProfileOn(detail::BestFilterPath(), input, output, count, cutoffUpr, progress);
}

namespace detail {

bool FilterPathSupported(FilterPath path)
{
    switch (path) {
    case FilterPath::Portable: return true;
#if defined(KYKLOS_FILTER_X86_KERNELS)
    case FilterPath::Avx2: __builtin_cpu_init(); return __builtin_cpu_supports("avx2");
    case FilterPath::Avx512: __builtin_cpu_init(); return __builtin_cpu_supports("avx512f");
#endif
    default: return false;
    }
}

FilterPath BestFilterPath()
{
    static const FilterPath best = FilterPathSupported(FilterPath::Avx512) ? FilterPath::Avx512
                                   : FilterPathSupported(FilterPath::Avx2) ? FilterPath::Avx2
                                                                           : FilterPath::Portable;
    return best;
}

std::string_view FilterPathName(FilterPath path)
{
    switch (path) {
    case FilterPath::Portable: return "portable";
    case FilterPath::Avx2: return "avx2";
    case FilterPath::Avx512: return "avx512";
    }
    return "unknown";
}

bool GaussianFilterProfileOn(FilterPath path, std::span<const double> input, std::span<double> output, int count,
                             double cutoffUpr, ProgressPort& progress)
{
    if (count <= 0) return true;
    const auto n = static_cast<std::size_t>(count);
    if (input.size() < n || output.size() < n) return false;

    const GaussianKernel kernel = ComputeGaussianKernel(count, cutoffUpr);
    const int pairs = kernel.Pairs;
    const std::vector<double> weights = GaussianFilterWeights(kernel);

    char message[64];
    std::snprintf(message, sizeof message, "%d UPR Gaussian Filter...", TruncatedCutoff(cutoffUpr));
    const bool shown = progress.Show("ZizeruzeVizava", message);

    // The profile extended periodically by K samples on each side (wrapping as
    // often as needed when K ≥ N), and the sums rounded up to whole tiles, so
    // the kernels need no circular index arithmetic.
    const std::size_t tiled = (n + kFilterTile - 1) / kFilterTile * kFilterTile;
    const auto margin = static_cast<std::size_t>(pairs);
    std::vector<double> extended(tiled + 2 * margin);
    std::size_t source = (n - margin % n) % n; // (−K) mod N
    for (double& x : extended) {
        x = input[source];
        if (++source == n) source = 0;
    }
    const double* profile = extended.data() + margin;

    // Centre term; the padding lanes of the last tile are filtered too and dropped.
    std::vector<double> sums(tiled);
    for (std::size_t i = 0; i < tiled; ++i) sums[i] = weights[0] * profile[i];

    const KernelFunction accumulate = KernelFor(path);
    const std::vector<int> progressPasses = shown ? ProgressPasses(pairs) : std::vector<int>{};
    bool cancelled = false;
    int done = 0;
    for (std::size_t update = 0; update <= progressPasses.size() && !cancelled; ++update) {
        const int end = update < progressPasses.size() ? progressPasses[update] : pairs;
        while (done < end) {
            const int last = std::min(end, done + kMaxBlockPasses);
            accumulate(profile, weights.data(), sums.data(), tiled, done + 1, last);
            done = last;
        }
        if (update < progressPasses.size()) {
            // The cancel is honoured only after the pass in which it was seen.
            const double p = end * 100.0 / pairs;
            progress.PumpMessage();
            progress.SetPos(static_cast<int>(p));
            if (!progress.IsActive()) cancelled = true;
        }
    }
    std::copy_n(sums.begin(), n, output.begin());
    if (progress.IsActive()) progress.Close();
    return !cancelled;
}

} // namespace detail

} // namespace kyklos
