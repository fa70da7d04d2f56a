#pragma once
// The one switch between the filter kinds: the residual of a closed profile
// (the radii less their least squares limaçon) filtered as a FilterSpec
// says. The Gaussian kind is GaussianFilterProfile itself, its digits and
// its progress display unchanged; the others take milliseconds and show no
// progress.

#include "analysis/FilterKind.h"
#include "analysis/SampleSet.h"
#include "platform/ProgressPort.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

struct FilterOutcome {
    // False when the user cancelled the Gaussian filter (the output then holds
    // an unfinished partial sum), or when the description or the spans were
    // refused (the output untouched).
    bool Finished = false;
    std::vector<std::string> Warnings; // the robust filter's when it did not converge
    // The samples were too sparse for the filter somewhere (fewer than 7 per
    // cutoff wavelength in a stretch, as AnyAngleFilter.h defines it): the
    // output is the input, unfiltered, and Warnings holds kTooSparseWarning.
    bool Unfiltered = false;
};

inline constexpr std::string_view kTooSparseWarning =
    "The samples are too sparse for the filter here; the profile is evaluated unfiltered.";

// Filters input into output (equal sizes; they may be the same array),
// samples at equal steps over a full turn. The caller has refused what
// FilterSpecRefusal refuses.
FilterOutcome FilterProfile(const FilterSpec& filterSpec, std::span<const double> input, std::span<double> output,
                            ProgressPort& progress);

// The same switch over the used samples of `samples` (input[i], output[i]
// for a used i; the others' output untouched): equal steps over a full turn
// give FilterProfile above bit for bit. On any other set the Gaussian and the
// robust filter weigh each used sample by the angle it covers, at the actual
// angle differences, the weights present scaled to the sum the full kernel
// has; None copies. The kinds FilterNeedsEqualSteps names are refused there
// (Finished false): the caller has refused them with EqualStepsRefusal.
FilterOutcome FilterProfile(const FilterSpec& filterSpec, const SampleSet& samples, std::span<const double> input,
                            std::span<double> output, ProgressPort& progress);

} // namespace kyklos
