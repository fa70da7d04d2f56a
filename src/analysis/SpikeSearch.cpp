#include "analysis/SpikeSearch.h"

#include "analysis/AnyAngleFilter.h"
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
// The same over the used samples of a set; OwnShare is indexed by sample.
std::vector<double> DeviationsWithoutSelf(std::span<const double> profile, const std::vector<double>& filtered,
                                          const RobustFilterOutcome& outcome, const SampleSet& samples)
{
    std::vector<double> deviation;
    deviation.reserve(static_cast<std::size_t>(samples.UsedCount()));
    for (const int used : samples.UsedIndices()) {
        const auto i = static_cast<std::size_t>(used);
        const double others = 1.0 - outcome.OwnShare[i];
        deviation.push_back(others > 0.0 ? (profile[i] - filtered[i]) / others : 0.0);
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

bool FindSpikes(std::span<const double> profile, const SampleSet& samples, double cutoffUpr, double deviations,
                SpikeSearch& search)
{
    if (samples.IsEqualStepFullTurn()) return FindSpikes(profile, cutoffUpr, deviations, search);
    if (!(deviations > 0.0) || !std::isfinite(deviations)) return false;
    if (profile.size() != static_cast<std::size_t>(samples.Count())) return false;
    if (!(cutoffUpr > 0.0) || !std::isfinite(cutoffUpr)) return false;
    if (TooSparseForFilter(samples, CoveredAngles(samples), cutoffUpr)) {
        search = {};
        search.TooSparse = true;
        return true;
    }
    std::vector<double> robust(profile.size()), gaussian(profile.size());
    RobustFilterOutcome outcome, linear;
    if (!RobustGaussianFilterAnyAngles(samples, profile, robust, cutoffUpr, outcome)) return false;
    search = {};
    RobustGaussianFilterAnyAngles(samples, profile, gaussian, cutoffUpr, linear, {0, 0.0});

    search.DeviationMm = NormalDeviation(DeviationsWithoutSelf(profile, gaussian, linear, samples));
    const std::vector<double> deviation = DeviationsWithoutSelf(profile, robust, outcome, samples);
    search.Robust = std::move(outcome);
    if (!(search.DeviationMm > 0.0)) return true;
    const double limit = deviations * search.DeviationMm;
    const std::span<const int> used = samples.UsedIndices();
    for (std::size_t k = 0; k < deviation.size(); ++k)
        if (std::fabs(deviation[k]) > limit) search.Samples.push_back(used[k]);
    return true;
}

} // namespace kyklos
