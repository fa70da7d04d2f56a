#include "analysis/FilterResponse.h"

#include "analysis/FourierTransform.h"
#include "analysis/GaussianFilter.h"
#include "analysis/SpectralFilter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstddef>

namespace kyklos {

namespace {
// A cutoff wavelength covered by fewer samples no longer sees the shape of
// the Gaussian weighting function: the common rule of roundness instruments.
constexpr int kSamplesPerCutoff = 7;
// What too few samples do at the cutoff itself: the filter no longer passes
// half of the undulation there; a cutoff beyond N/2 UPR has no undulation of
// the profile at all.
std::string CutoffTransmissionClause(int count, int cutoffUpr, const FilterSpec& filterSpec)
{
    const int highest = count / 2;
    if (cutoffUpr < 1 || highest < 1) return {};
    if (cutoffUpr > highest) return ", above the " + std::to_string(highest) + " UPR the profile can hold";
    const double atCutoff = FilterTransmission(filterSpec, count)[static_cast<std::size_t>(cutoffUpr - 1)];
    char percent[400]; // any finite double in fixed notation
    const auto written =
        std::to_chars(percent, percent + sizeof percent, 100.0 * atCutoff, std::chars_format::fixed, 1);
    return ": it passes " + std::string(percent, written.ptr) + " % at the cutoff instead of 50 %";
}

// The rule of samples per cutoff wavelength, and what the filter passes at
// the cutoff when the profile breaks it.
std::vector<std::string> SamplesPerCutoffWarning(int count, int cutoffUpr, const FilterSpec& filterSpec)
{
    const long long needed = static_cast<long long>(kSamplesPerCutoff) * cutoffUpr;
    if (count >= needed) return {};
    const std::string warning = "The profile has " + std::to_string(count) + " points; the filter needs at least " +
                                std::to_string(kSamplesPerCutoff) + " \u00d7 " + std::to_string(cutoffUpr) + " = " +
                                std::to_string(needed) + " points for a " + std::to_string(cutoffUpr) + " UPR cutoff";
    return {warning + CutoffTransmissionClause(count, cutoffUpr, filterSpec) + "."};
}

} // namespace

double IdealGaussianTransmission(double upr, double cutoffUpr)
{
    const double ratio = upr / cutoffUpr;
    return std::exp2(-ratio * ratio);
}

std::vector<double> GaussianFilterTransmission(int count, double cutoffUpr)
{
    if (count < 2) return {};
    const std::vector<double> weights = GaussianFilterWeights(ComputeGaussianKernel(count, cutoffUpr));
    // H_k = Re Σ_{j=0..K} v_j·exp(−ijk·2π/N) with v_0 = w_0 and v_j = 2·w_j;
    // a kernel longer than the profile wraps around it as the filter's does.
    const int pairs = static_cast<int>(weights.size()) - 1;
    std::vector<std::complex<double>> folded(static_cast<std::size_t>(std::min(pairs + 1, count)));
    for (int j = 0; j <= pairs; ++j)
        folded[static_cast<std::size_t>(j % count)] += j == 0 ? weights[0] : 2.0 * weights[static_cast<std::size_t>(j)];
    const std::vector<std::complex<double>> bins = DiscreteFourierTransform(folded, count, count / 2 + 1);
    std::vector<double> transmission(static_cast<std::size_t>(count / 2));
    for (std::size_t k = 1; k < bins.size(); ++k) transmission[k - 1] = bins[k].real();
    return transmission;
}

std::vector<std::string> FilterSamplingWarnings(int count, int cutoffUpr)
{
    std::vector<std::string> warnings =
        SamplesPerCutoffWarning(count, cutoffUpr, FilterSpec{FilterKind::Gaussian, cutoffUpr, 0, 0});
    if (count >= 1) {
        const GaussianKernel kernel = ComputeGaussianKernel(count, static_cast<double>(cutoffUpr));
        if (WeightsScaledToUnitGain(kernel)) {
            char sum[400]; // any finite double in fixed notation
            const auto written = std::to_chars(sum, sum + sizeof sum, kernel.WeightSum, std::chars_format::fixed, 4);
            warnings.push_back("The filter's weights summed to " + std::string(sum, written.ptr) +
                               " instead of 1 and were scaled to unit gain to keep the mean radius.");
        }
    }
    return warnings;
}

std::vector<double> FilterTransmission(const FilterSpec& filterSpec, int count)
{
    if (count < 2 || FilterSpecRefusal(filterSpec)) return {};
    const auto highest = static_cast<std::size_t>(count / 2);
    switch (filterSpec.Kind) {
    case FilterKind::Gaussian: return GaussianFilterTransmission(count, filterSpec.CutoffUpr);
    case FilterKind::Robust: {
        const std::vector<double> weights = GaussianFilterWeights(ComputeGaussianKernel(count, filterSpec.CutoffUpr));
        double gain = weights[0];
        for (std::size_t j = 1; j < weights.size(); ++j) gain += 2.0 * weights[j];
        std::vector<double> transmission = GaussianFilterTransmission(count, filterSpec.CutoffUpr);
        for (double& t : transmission) t /= gain;
        return transmission;
    }
    default: {
        std::vector<double> transmission(highest);
        for (std::size_t k = 1; k <= highest; ++k)
            transmission[k - 1] = std::abs(SpectralFilterResponse(filterSpec, static_cast<int>(k), count));
        return transmission;
    }
    }
}

std::vector<std::string> FilterSamplingWarnings(int count, const FilterSpec& filterSpec)
{
    if (FilterSpecRefusal(filterSpec)) return {};
    switch (filterSpec.Kind) {
    case FilterKind::Gaussian: return FilterSamplingWarnings(count, filterSpec.CutoffUpr);
    case FilterKind::Robust: return SamplesPerCutoffWarning(count, filterSpec.CutoffUpr, filterSpec);
    default: return {};
    }
}

} // namespace kyklos
