#include "analysis/SampleAngles.h"

#include "analysis/Limacon.h"

#include <algorithm>
#include <cmath>

namespace kyklos {

namespace {
constexpr double kTwoPi = 2.0 * 3.141592653589793;
} // namespace

SampleAngles::SampleAngles(int count)
{
    if (count <= 0) return;
    count_ = count;
    step_ = kTwoPi / count;
    cosine_.resize(static_cast<std::size_t>(count));
    sine_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i * step_;
        cosine_[static_cast<std::size_t>(i)] = std::cos(t);
        sine_[static_cast<std::size_t>(i)] = std::sin(t);
    }
}

const SampleAngles& SampleAngles::ForCount(int count)
{
    thread_local SampleAngles table(0);
    if (table.Count() != std::max(count, 0)) table = SampleAngles(count);
    return table;
}

int SampleAngles::NearestSample(double angle) const
{
    if (count_ <= 0) return 0;
    int index = NearestIndex(angle / step_);
    if (index == count_) return 0;
    if (index < 0 || index > count_) {
        index %= count_;
        if (index < 0) index += count_;
    }
    return index;
}

} // namespace kyklos
