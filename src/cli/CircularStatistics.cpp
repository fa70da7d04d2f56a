#include "cli/CircularStatistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kyklos {

namespace {
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// Below this mean resultant length the angles point nowhere in particular.
constexpr double kNoDirection = 1e-12;
} // namespace

void CircularStatistics::Add(double degrees)
{
    const double radians = degrees * kRadiansPerDegree;
    ++count_;
    sumCos_ += std::cos(radians);
    sumSin_ += std::sin(radians);
}

std::optional<double> CircularStatistics::Mean() const
{
    if (count_ == 0 || std::hypot(sumCos_, sumSin_) / static_cast<double>(count_) < kNoDirection) return std::nullopt;
    const double degrees = std::atan2(sumSin_, sumCos_) / kRadiansPerDegree;
    // atan2 gives (−180°, 180°]; the column's angles run from 0° to 360°
    // (and −1e-17° + 360° rounds to 360°, which is 0°).
    const double wrapped = degrees < 0.0 ? degrees + 360.0 : degrees;
    return wrapped < 360.0 ? wrapped : 0.0;
}

std::optional<double> CircularStatistics::StandardDeviation() const
{
    if (count_ < 2) return std::nullopt;
    // Rounding can leave R̄ a hair above 1 for equal angles.
    const double r = std::min(1.0, std::hypot(sumCos_, sumSin_) / static_cast<double>(count_));
    if (r < kNoDirection) return std::nullopt;
    return std::sqrt(-2.0 * std::log(r)) / kRadiansPerDegree;
}

} // namespace kyklos
