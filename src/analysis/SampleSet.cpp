#include "analysis/SampleSet.h"

#include "analysis/SampleAngles.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace kyklos {

namespace {
constexpr double kTwoPi = 2.0 * 3.141592653589793;
} // namespace

SampleSet SampleSet::EqualSteps(int count, std::vector<bool> used)
{
    SampleSet set;
    if (count <= 0 || (!used.empty() && std::ssize(used) != count)) return set;
    const double step = kTwoPi / count;
    std::vector<double> angles(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) angles[static_cast<std::size_t>(i)] = i * step;
    set.Build(std::move(angles), std::move(used), true);
    return set;
}

bool SampleSet::FromAngles(std::vector<double> angles, std::vector<bool> used, SampleSet& set)
{
    set = SampleSet{};
    if (!used.empty() && used.size() != angles.size()) return false;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const double t = angles[i];
        // Written so that NaN fails too.
        if (!(t >= 0.0 && t < kTwoPi && (i == 0 || t > angles[i - 1]))) return false;
    }
    // Equal steps only when every angle is the very product i·Δ.
    const int count = static_cast<int>(angles.size());
    const double step = count > 0 ? kTwoPi / count : 0.0;
    bool equalSteps = count > 0;
    for (int i = 0; i < count && equalSteps; ++i) equalSteps = angles[static_cast<std::size_t>(i)] == i * step;
    set.Build(std::move(angles), std::move(used), equalSteps);
    return true;
}

void SampleSet::Build(std::vector<double> angles, std::vector<bool> used, bool equalSteps)
{
    const int count = static_cast<int>(angles.size());
    angles_ = std::move(angles);
    used_ = used.empty() ? std::vector<bool>(static_cast<std::size_t>(count), true) : std::move(used);
    const SampleAngles* table = equalSteps ? &SampleAngles::ForCount(count) : nullptr;
    const auto usedCount = static_cast<std::size_t>(std::count(used_.begin(), used_.end(), true));
    usedIndex_.reserve(usedCount);
    cosine_.reserve(usedCount);
    sine_.reserve(usedCount);
    for (int i = 0; i < count; ++i) {
        if (!used_[static_cast<std::size_t>(i)]) continue;
        usedIndex_.push_back(i);
        if (table) {
            cosine_.push_back(table->Cosine(i));
            sine_.push_back(table->Sine(i));
        } else {
            const double t = angles_[static_cast<std::size_t>(i)];
            cosine_.push_back(std::cos(t));
            sine_.push_back(std::sin(t));
        }
    }
    equalStepFullTurn_ = equalSteps && UsedCount() == count;
    if (equalStepFullTurn_) {
        largestGap_ = kTwoPi / count;
    } else if (UsedCount() >= 2) {
        largestGap_ = Angle(usedIndex_.front()) + kTwoPi - Angle(usedIndex_.back());
        for (int k = 1; k < UsedCount(); ++k)
            largestGap_ = std::max(largestGap_, Angle(usedIndex_[static_cast<std::size_t>(k)]) -
                                                    Angle(usedIndex_[static_cast<std::size_t>(k - 1)]));
    }
}

} // namespace kyklos
