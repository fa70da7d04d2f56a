#include "analysis/ProfileFilter.h"

#include "analysis/AnyAngleFilter.h"
#include "analysis/GaussianFilter.h"
#include "analysis/RobustGaussianFilter.h"
#include "analysis/SpectralFilter.h"

#include <cstddef>
#include <string>

namespace kyklos {

FilterOutcome FilterProfile(const FilterSpec& filterSpec, std::span<const double> input, std::span<double> output,
                            ProgressPort& progress)
{
    FilterOutcome outcome;
    if (input.size() != output.size() || FilterSpecRefusal(filterSpec)) return outcome;
    switch (filterSpec.Kind) {
    case FilterKind::Gaussian:
        outcome.Finished = GaussianFilterProfile(input, output, static_cast<int>(input.size()),
                                                 static_cast<double>(filterSpec.CutoffUpr), progress);
        break;
    case FilterKind::Robust: {
        RobustFilterOutcome robust;
        outcome.Finished = RobustGaussianFilterProfile(input, output, filterSpec.CutoffUpr, robust);
        if (!robust.Warning.empty()) outcome.Warnings.push_back(robust.Warning);
        break;
    }
    default: outcome.Finished = SpectralFilterProfile(filterSpec, input, output); break;
    }
    return outcome;
}

namespace {
// The used samples as measured.
void CopyUsed(const SampleSet& samples, std::span<const double> input, std::span<double> output)
{
    for (const int i : samples.UsedIndices()) output[static_cast<std::size_t>(i)] = input[static_cast<std::size_t>(i)];
}
} // namespace

FilterOutcome FilterProfile(const FilterSpec& filterSpec, const SampleSet& samples, std::span<const double> input,
                            std::span<double> output, ProgressPort& progress)
{
    FilterOutcome outcome;
    const auto count = static_cast<std::size_t>(samples.Count());
    if (input.size() != count || output.size() != count || FilterSpecRefusal(filterSpec)) return outcome;
    if (samples.IsEqualStepFullTurn()) return FilterProfile(filterSpec, input, output, progress);
    if (FilterNeedsEqualSteps(filterSpec.Kind)) return outcome;
    if (filterSpec.Kind == FilterKind::None) {
        CopyUsed(samples, input, output);
        outcome.Finished = true;
        return outcome;
    }
    if (TooSparseForFilter(samples, CoveredAngles(samples), filterSpec.CutoffUpr)) {
        CopyUsed(samples, input, output);
        outcome.Finished = true;
        outcome.Unfiltered = true;
        outcome.Warnings.emplace_back(kTooSparseWarning);
        return outcome;
    }
    if (filterSpec.Kind == FilterKind::Robust) {
        RobustFilterOutcome robust;
        outcome.Finished = RobustGaussianFilterAnyAngles(samples, input, output, filterSpec.CutoffUpr, robust);
        if (!robust.Warning.empty()) outcome.Warnings.push_back(robust.Warning);
    } else { // the Gaussian, the one kind left
        outcome.Finished = GaussianFilterAnyAngles(samples, input, output, filterSpec.CutoffUpr);
    }
    return outcome;
}

} // namespace kyklos
