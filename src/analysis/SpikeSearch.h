#pragma once
// Single spikes of a closed profile at equal steps: dust, a chip, a probe
// jump. A sample is a spike when it stands further than k·σ from the robust
// Gaussian profile of the same cutoff, σ being the probe noise's standard
// deviation, 1.4826 × the median absolute deviation of the samples'
// deviations (which a few spikes do not move). With k = 5 ordinary probe
// noise is never taken for spikes: one sample in 1.7 million lies beyond 5σ.
// The spikes found become excluded samples of the analysis.
//
// Every sample is judged alike, by its deviation from the filtered value
// formed without it, (z_i − w_i)/(1 − h_i) (see RobustFilterOutcome::OwnShare):
// the biweight leaves a doubtful sample out of its own weighted mean while
// the samples it keeps pull theirs towards them, by up to 30 % with a narrow
// weighting function (500 UPR on 3600 samples). For the same reason σ is
// taken from the deviations from the Gaussian profile (every weight 1), each
// without its own sample: the biweight keeps the samples that agree with
// their neighbours, and the deviations of those it kept fall short of the
// noise, by a fifth at 500 UPR on 3600 samples. Judged by the robust
// profile's own deviations, profiles of 3600 samples of plain noise showed
// 38 spikes each at that cutoff; judged so, none in 40 such profiles. With
// the usual cutoffs h_i is 3 % or less and the measures nearly agree.

#include "analysis/RobustGaussianFilter.h"
#include "analysis/SampleSet.h"

#include <span>
#include <vector>

namespace kyklos {

inline constexpr double kSpikeDeviations = 5.0; // k

struct SpikeSearch {
    std::vector<int> Samples;   // the spikes' sample indices, ascending
    double DeviationMm = 0.0;   // σ, in the unit of the profile
    RobustFilterOutcome Robust; // the robust filter measured from (its warning when it did not converge)
    // At any angles: the samples were too sparse for the filter (see
    // AnyAngleFilter.h), so there was no robust profile to judge them by,
    // and none was found.
    bool TooSparse = false;
};

// Looks for spikes in a profile (mm, at least 1 sample) with a cutoff in UPR
// and k = `deviations`. False, with `search` untouched, where the robust
// filter refuses the profile or cutoff, or k is not a positive number. A
// profile whose deviations mostly vanish (σ = 0) has no noise to measure
// spikes against: it has none.
bool FindSpikes(std::span<const double> profile, double cutoffUpr, double deviations, SpikeSearch& search);

// The same over the used samples of a set at any angles (profile: one radius
// per sample of the set, the excluded ones never read), with the robust
// filter at any angles; σ is measured and the spikes are judged over the used
// samples only, and Samples holds the spikes' sample indices. Equal steps
// over a full turn give the search above, bit for bit. False as above, or
// for a profile of another size than the set.
bool FindSpikes(std::span<const double> profile, const SampleSet& samples, double cutoffUpr, double deviations,
                SpikeSearch& search);

} // namespace kyklos
