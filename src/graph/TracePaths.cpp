#include "graph/TracePaths.h"

#include <algorithm>
#include <cstddef>

namespace kyklos {

std::vector<bool> AngularGaps(std::span<const double> anglesRad)
{
    const std::size_t n = anglesRad.size();
    std::vector<bool> gaps(n, false);
    if (n < 2) return gaps;
    constexpr double kTurn = 2.0 * 3.141592653589793;
    std::vector<double> steps(n);
    for (std::size_t i = 0; i + 1 < n; ++i) steps[i] = anglesRad[i + 1] - anglesRad[i];
    steps[n - 1] = anglesRad[0] + kTurn - anglesRad[n - 1];
    std::vector<double> sorted = steps;
    // The lower median: two samples of an arc leave the wrap a gap.
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>((n - 1) / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    const double limit = std::max(kGapStepFactor * *middle, kGapFloorRad);
    for (std::size_t i = 0; i < n; ++i) gaps[i] = steps[i] > limit;
    return gaps;
}

namespace {

// True when the trace stops between sample i and the next one.
bool CutAfter(std::span<const TraceSample> samples, const std::vector<bool>& gapAfter, std::size_t i)
{
    const std::size_t next = (i + 1) % samples.size();
    return (i < gapAfter.size() && gapAfter[i]) || samples[i] == TraceSample::Break ||
           samples[next] == TraceSample::Break;
}

} // namespace

std::vector<TracePath> SplitTrace(std::span<const TraceSample> samples, const std::vector<bool>& gapAfter)
{
    const std::size_t n = samples.size();
    std::vector<TracePath> paths;
    if (n == 0) return paths;
    // Start right after a cut, so that the path running through 0 is one path.
    std::size_t start = n;
    for (std::size_t i = 0; i < n && start == n; ++i)
        if (CutAfter(samples, gapAfter, i)) start = (i + 1) % n;
    if (start == n) {
        TracePath loop;
        loop.Closed = true;
        for (std::size_t i = 0; i < n; ++i)
            if (samples[i] == TraceSample::Drawn) loop.Samples.push_back(static_cast<int>(i));
        if (!loop.Samples.empty()) paths.push_back(std::move(loop));
        return paths;
    }
    TracePath current;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = (start + k) % n;
        if (samples[i] == TraceSample::Drawn) current.Samples.push_back(static_cast<int>(i));
        if (CutAfter(samples, gapAfter, i) && !current.Samples.empty()) {
            paths.push_back(std::move(current));
            current = TracePath{};
        }
    }
    if (!current.Samples.empty()) paths.push_back(std::move(current));
    return paths;
}

} // namespace kyklos
