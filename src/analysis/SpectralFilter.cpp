#include "analysis/SpectralFilter.h"

#include "analysis/FilterResponse.h"
#include "analysis/FourierTransform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace kyklos {

namespace {
using Complex = std::complex<double>;

constexpr double kSqrtThree = 1.7320508075688772;

bool AppliedPerHarmonic(FilterKind kind) { return FilterNeedsEqualSteps(kind) || kind == FilterKind::None; }
} // namespace

std::complex<double> SpectralFilterResponse(const FilterSpec& filterSpec, int upr, int count)
{
    const double k = upr;
    switch (filterSpec.Kind) {
    case FilterKind::GaussianExact: return IdealGaussianTransmission(k, filterSpec.CutoffUpr);
    case FilterKind::Band:
        return IdealGaussianTransmission(k, filterSpec.BandHighUpr) *
               (1.0 - IdealGaussianTransmission(k, filterSpec.BandLowUpr));
    case FilterKind::TwoRC: {
        const Complex stage = 1.0 / Complex(1.0, k / (kSqrtThree * filterSpec.CutoffUpr));
        const Complex h = stage * stage;
        return 2 * upr == count ? Complex(h.real(), 0.0) : h;
    }
    case FilterKind::None: return 1.0;
    default: return std::numeric_limits<double>::quiet_NaN();
    }
}

bool SpectralFilterProfile(const FilterSpec& filterSpec, std::span<const double> input, std::span<double> output)
{
    if (!AppliedPerHarmonic(filterSpec.Kind) || FilterSpecRefusal(filterSpec)) return false;
    if (input.empty() || input.size() != output.size()) return false;
    if (filterSpec.Kind == FilterKind::None) {
        if (output.data() != input.data()) std::copy(input.begin(), input.end(), output.begin());
        return true;
    }
    const int n = static_cast<int>(input.size());

    // The mean taken out first, as for the spectrum: the transform's rounding
    // grows with the size of what it transforms, and it passes with H(0).
    double mean = 0.0;
    for (const double r : input) mean += r;
    mean /= n;
    std::vector<Complex> z(input.size());
    for (std::size_t i = 0; i < z.size(); ++i) z[i] = Complex(input[i] - mean, 0.0);

    // A real profile has Z_(N−k) = conj Z_k; multiplying that bin by conj H(k)
    // keeps the filtered profile real.
    std::vector<Complex> bins = DiscreteFourierTransform(z, n, n);
    for (int k = 0; k < n; ++k) {
        const int upr = std::min(k, n - k);
        const Complex h = SpectralFilterResponse(filterSpec, upr, n);
        bins[static_cast<std::size_t>(k)] =
            std::conj(bins[static_cast<std::size_t>(k)] * (k == upr ? h : std::conj(h)));
    }
    // The inverse transform as conj(F(conj(·)))/N; only its real part is kept.
    const std::vector<Complex> back = DiscreteFourierTransform(bins, n, n);
    const double passedMean = mean * SpectralFilterResponse(filterSpec, 0, n).real();
    for (std::size_t i = 0; i < output.size(); ++i) output[i] = passedMean + back[i].real() / n;
    return true;
}

} // namespace kyklos
