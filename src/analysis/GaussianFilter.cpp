#include "analysis/GaussianFilter.h"

#include <cmath>
#include <cstdio>

namespace kyklos {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInversePi = 0.3183098861837907;
constexpr double kMinusPi = -3.141592653589793;
constexpr double kAlpha = 0.46971863934982566;  // sqrt(ln 2 / π): 50 % transmission at the cutoff
constexpr double kTruncation = 0.001;
} // namespace

GaussianKernel ComputeGaussianKernel(int count, double cutoffUpr)
{
    GaussianKernel k;
    k.step = kTwoPi / count;
    k.wavelength = kTwoPi / cutoffUpr;
    k.centre = k.step / (kAlpha * k.wavelength);
    k.halfLength = std::sqrt(std::log(k.centre / (k.step * kTruncation)) * kInversePi) / k.centre + 1.0;
    // Round half away from zero; a non-finite length gives no pairs.
    const double kr = k.halfLength;
    if (std::isfinite(kr) && std::fabs(kr) < 2e9)
        k.pairs = static_cast<int>(kr >= 0.0 ? kr + 0.5 : kr - 0.5);
    k.ratio = std::exp(kMinusPi * k.centre * k.centre);
    return k;
}

bool GaussianFilterProfile(std::span<const double> input, std::span<double> output, int count, double cutoffUpr,
                           ProgressPort& progress)
{
    if (count <= 0) return true;
    const GaussianKernel kernel = ComputeGaussianKernel(count, cutoffUpr);
    const int pairs = kernel.pairs;
    const double q = kernel.ratio;
    const double q2 = q * q;
    char message[64];
    std::snprintf(message, sizeof message, "%d UPR Gaussian Filter...", static_cast<int>(cutoffUpr));

    const bool shown = progress.Show("ZizeruzeVizava", message);

    const double x = kernel.centre;
    for (int i = 0; i < count; ++i) output[static_cast<std::size_t>(i)] = x * input[static_cast<std::size_t>(i)];

    double w = x;
    double m = q;
    double last = -1.0;
    bool cancelled = false;
    for (int k = 1; k <= pairs && !cancelled; ++k) {
        w = m * w;   // X·q^(k²)
        m = q2 * m;  // q^(2k+1)
        for (int i = 0; i < count; ++i) {
            int up = i + k;
            int down = i - k;
            // Circular indices; a kernel longer than the profile wraps more than once.
            up %= count;
            down %= count;
            if (down < 0) down += count;
            output[static_cast<std::size_t>(i)] +=
                (input[static_cast<std::size_t>(up)] + input[static_cast<std::size_t>(down)]) * w;
        }
        const double p = k * 100.0 / pairs;
        if (last + 1.0 < p && shown) {
            last = p;
            progress.PumpMessage();
            progress.SetPos(static_cast<int>(p));
            if (!progress.IsActive()) cancelled = true;
        }
    }
    if (progress.IsActive()) progress.Close();
    return !cancelled;
}

} // namespace kyklos
