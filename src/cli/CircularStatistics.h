#pragma once
// Statistics of an angle column in degrees. Angles wrap at 360°: the
// arithmetic mean of 350° and 10° is 180°, the opposite side of the part,
// where the circular mean gives 0°. So the mean is the direction of the sum
// of the unit vectors, and the spread is the circular standard deviation
// √(−2 ln R̄) (R̄ the mean resultant length), which for angles close together
// is the ordinary standard deviation; both are updated one angle at a time.

#include <optional>

namespace kyklos {

class CircularStatistics {
public:
    void Add(double degrees);
    long long Count() const { return count_; }
    // In [0°, 360°); empty without angles or when they cancel (R̄ = 0).
    std::optional<double> Mean() const;
    // In degrees; empty below two angles, or when they cancel.
    std::optional<double> StandardDeviation() const;

private:
    long long count_ = 0;
    double sumCos_ = 0.0;
    double sumSin_ = 0.0;
};

} // namespace kyklos
