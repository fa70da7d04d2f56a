#pragma once
// Stand-in until the filter at any angles lands: the spike search over a
// sample set. Removed then, with its .cpp, for SpikeSearch.h's own overload.

#include "analysis/SampleSet.h"
#include "analysis/SpikeSearch.h"

#include <span>

namespace kyklos {

// The used samples' spikes, as sample indices; equal steps over a full turn only.
bool FindSpikes(std::span<const double> profile, const SampleSet& samples, double cutoffUpr, double deviations,
                SpikeSearch& search);

} // namespace kyklos
