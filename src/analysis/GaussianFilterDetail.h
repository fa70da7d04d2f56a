#pragma once
// The vector units the Gaussian filter can run on. Every path performs the
// same operations in the same order for each sample, so all of them give the
// same digits; tests and benchmarks force a path through this header.

#include "platform/ProgressPort.h"

#include <span>
#include <string_view>

namespace kyklos::detail {

enum class FilterPath {
    Portable, // the baseline instruction set of the build
    Avx2,     // x86-64, 4 doubles at once
    Avx512,   // x86-64, 8 doubles at once
};

// True when this build has the path and this processor can run it.
bool FilterPathSupported(FilterPath path);
// The widest supported path; the one GaussianFilterProfile uses.
FilterPath BestFilterPath();
std::string_view FilterPathName(FilterPath path);

// GaussianFilterProfile on the given path; an unsupported path falls back to
// the portable one.
bool GaussianFilterProfileOn(FilterPath path, std::span<const double> input, std::span<double> output, int count,
                             double cutoffUpr, ProgressPort& progress);

} // namespace kyklos::detail
