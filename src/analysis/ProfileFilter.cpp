#include "analysis/ProfileFilter.h"

#include "analysis/AnyAngleFilter.h"
#include "analysis/GaussianFilter.h"
#include "analysis/RobustGaussianFilter.h"
#include "analysis/SpectralFilter.h"

#include <cstddef>
#include <string>

namespace kyklos {

FilterOutcome FilterProfile(const FilterSpec& spec, std::span<const double> input, std::span<double> output,
                            ProgressPort& progress)
{
    FilterOutcome outcome;
    if (input.size() != output.size() || FilterSpecRefusal(spec)) return outcome;
    switch (spec.Kind) {
    case FilterKind::Gaussian:
        outcome.Finished = GaussianFilterProfile(input, output, static_cast<int>(input.size()),
                                                 static_cast<double>(spec.CutoffUpr), progress);
        break;
    case FilterKind::Robust: {
        RobustFilterOutcome robust;
        outcome.Finished = RobustGaussianFilterProfile(input, output, spec.CutoffUpr, robust);
        if (!robust.Warning.empty()) outcome.Warnings.push_back(robust.Warning);
        break;
    }
    default: outcome.Finished = SpectralFilterProfile(spec, input, output); break;
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

FilterOutcome FilterProfile(const FilterSpec& spec, const SampleSet& samples, std::span<const double> input,
                            std::span<double> output, ProgressPort& progress)
{
    FilterOutcome outcome;
    const auto count = static_cast<std::size_t>(samples.Count());
    if (input.size() != count || output.size() != count || FilterSpecRefusal(spec)) return outcome;
    if (samples.IsEqualStepFullTurn()) return FilterProfile(spec, input, output, progress);
    if (FilterNeedsEqualSteps(spec.Kind)) return outcome;
    if (spec.Kind == FilterKind::None) {
        CopyUsed(samples, input, output);
        outcome.Finished = true;
        return outcome;
    }
    if (TooSparseForFilter(samples, CoveredAngles(samples), spec.CutoffUpr)) {
        CopyUsed(samples, input, output);
        outcome.Finished = true;
        outcome.Unfiltered = true;
        outcome.Warnings.emplace_back(kTooSparseWarning);
        return outcome;
    }
    if (spec.Kind == FilterKind::Robust) {
        RobustFilterOutcome robust;
        outcome.Finished = RobustGaussianFilterAnyAngles(samples, input, output, spec.CutoffUpr, robust);
        if (!robust.Warning.empty()) outcome.Warnings.push_back(robust.Warning);
    } else { // the Gaussian, the one kind left
        outcome.Finished = GaussianFilterAnyAngles(samples, input, output, spec.CutoffUpr);
    }
    return outcome;
}

} // namespace kyklos
