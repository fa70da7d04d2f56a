#pragma once
// The one switch between the filter kinds: the residual of a closed profile
// (the radii less their least squares limaçon) filtered as a FilterSpec
// says. The Gaussian kind is GaussianFilterProfile itself, its digits and
// its progress display unchanged; the others take milliseconds and show no
// progress.

#include "analysis/FilterKind.h"
#include "platform/ProgressPort.h"

#include <span>
#include <string>
#include <vector>

namespace kyklos {

struct FilterOutcome {
    // False when the user cancelled the Gaussian filter (the output then holds
    // an unfinished partial sum), or when the description or the spans were
    // refused (the output untouched).
    bool Finished = false;
    std::vector<std::string> Warnings;  // the robust filter's when it did not converge
};

// Filters input into output (equal sizes; they may be the same array),
// samples at equal steps over a full turn. The caller has refused what
// FilterSpecRefusal refuses.
FilterOutcome FilterProfile(const FilterSpec& spec, std::span<const double> input, std::span<double> output,
                            ProgressPort& progress);

} // namespace kyklos
