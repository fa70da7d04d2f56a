// Stand-in until the filter at any angles lands: equal steps over a full turn
// go to today's filter and spike search; any other set is copied unfiltered
// and has no spikes. Only for trying the analysis on such sets meanwhile.

#include "analysis/AnyAngleFilterPending.h"
#include "analysis/ProfileFilter.h"

namespace kyklos {

FilterOutcome FilterProfile(const FilterSpec& spec, const SampleSet& samples, std::span<const double> input,
                            std::span<double> output, ProgressPort& progress)
{
    if (samples.IsEqualStepFullTurn()) return FilterProfile(spec, input, output, progress);
    FilterOutcome outcome;
    if (FilterNeedsEqualSteps(spec.Kind) || std::ssize(input) < samples.Count() || std::ssize(output) < samples.Count())
        return outcome;
    for (const int i : samples.UsedIndices()) output[static_cast<std::size_t>(i)] = input[static_cast<std::size_t>(i)];
    outcome.Finished = true;
    return outcome;
}

bool FindSpikes(std::span<const double> profile, const SampleSet& samples, double cutoffUpr, double deviations,
                SpikeSearch& search)
{
    if (!samples.IsEqualStepFullTurn()) return false;
    return FindSpikes(profile.first(static_cast<std::size_t>(samples.Count())), cutoffUpr, deviations, search);
}

} // namespace kyklos
