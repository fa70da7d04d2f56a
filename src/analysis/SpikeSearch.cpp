#include "analysis/SpikeSearch.h"

#include "analysis/Median.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace kyklos {

namespace {
// The median absolute deviation's estimate of a normal standard deviation.
constexpr double kNormalScale = 1.4826;

// 1.4826 × the median absolute deviation of the deviations.
double NormalDeviation(std::vector<double> deviation)
{
    std::vector<double> spread = deviation;
    const double centre = MedianInPlace(spread);
    for (std::size_t i = 0; i < spread.size(); ++i) spread[i] = std::fabs(deviation[i] - centre);
    return kNormalScale * MedianInPlace(spread);
}

// z_i less the filtered value formed without sample i: (z_i − w_i)/(1 − h_i).
std::vector<double> DeviationsWithoutSelf(std::span<const double> profile, const std::vector<double>& filtered,
                                          const RobustFilterOutcome& outcome)
{
    std::vector<double> deviation(profile.size());
    for (std::size_t i = 0; i < deviation.size(); ++i) {
        const double others = 1.0 - outcome.OwnShare[i];
        deviation[i] = others > 0.0 ? (profile[i] - filtered[i]) / others : 0.0;
    }
    return deviation;
}
} // namespace

bool FindSpikes(std::span<const double> profile, double cutoffUpr, double deviations, SpikeSearch& search)
{
    if (!(deviations > 0.0) || !std::isfinite(deviations)) return false;
    std::vector<double> robust(profile.size()), gaussian(profile.size());
    RobustFilterOutcome outcome, linear;
    if (!RobustGaussianFilterProfile(profile, robust, cutoffUpr, outcome)) return false;
    RobustGaussianFilterProfile(profile, gaussian, cutoffUpr, linear, {0, 0.0});

    search = {};
    search.DeviationMm = NormalDeviation(DeviationsWithoutSelf(profile, gaussian, linear));
    const std::vector<double> deviation = DeviationsWithoutSelf(profile, robust, outcome);
    search.Robust = std::move(outcome);
    if (!(search.DeviationMm > 0.0)) return true;
    const double limit = deviations * search.DeviationMm;
    for (std::size_t i = 0; i < deviation.size(); ++i)
        if (std::fabs(deviation[i]) > limit) search.Samples.push_back(static_cast<int>(i));
    return true;
}

} // namespace kyklos
