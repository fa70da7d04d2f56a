#include "analysis/PointProfile.h"

#include "analysis/TrueCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace kyklos {

namespace {

void FindLargestGap(PointProfile& profile)
{
    const std::size_t n = profile.Angle.size();
    profile.LargestGap = 2.0 * std::numbers::pi;
    profile.GapEnd = 0;
    if (n < 2) return;
    // The wrap from the last point back round to the first.
    profile.LargestGap = profile.Angle[0] + 2.0 * std::numbers::pi - profile.Angle[n - 1];
    for (std::size_t k = 1; k < n; ++k) {
        const double gap = profile.Angle[k] - profile.Angle[k - 1];
        if (gap > profile.LargestGap) {
            profile.LargestGap = gap;
            profile.GapEnd = static_cast<int>(k);
        }
    }
}

} // namespace

bool MakePointProfile(std::span<const double> x, std::span<const double> y, double centreX, double centreY,
                      PointProfile& profile)
{
    profile = PointProfile{};
    if (x.size() != y.size() || !std::isfinite(centreX) || !std::isfinite(centreY)) return false;
    const std::size_t n = x.size();
    std::vector<std::pair<double, int>> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
        order[i] = {PointAngle(x[i] - centreX, y[i] - centreY), static_cast<int>(i)};
    }
    std::sort(order.begin(), order.end());
    profile.CentreX = centreX;
    profile.CentreY = centreY;
    profile.Angle.resize(n);
    profile.Radius.resize(n);
    profile.Index.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const int i = order[k].second;
        profile.Angle[k] = order[k].first;
        profile.Index[k] = i;
        profile.Radius[k] =
            PointDistance(x[static_cast<std::size_t>(i)] - centreX, y[static_cast<std::size_t>(i)] - centreY);
    }
    FindLargestGap(profile);
    return true;
}

} // namespace kyklos
