#include "analysis/ProfileFilter.h"

#include "analysis/GaussianFilter.h"
#include "analysis/RobustGaussianFilter.h"
#include "analysis/SpectralFilter.h"

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

} // namespace kyklos
