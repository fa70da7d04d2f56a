#include "analysis/PointFrame.h"

#include <algorithm>
#include <cmath>

namespace kyklos {

PointFrame::PointFrame(std::span<const double> x, std::span<const double> y, double originX, double originY)
    : originX_(originX), originY_(originY), x_(x.size()), y_(x.size())
{
    for (std::size_t i = 0; i < x.size(); ++i) {
        x_[i] = x[i] - originX;
        y_[i] = y[i] - originY;
    }
}

void PointFrame::DirectionsAbout(double cx, double cy, PointDirections& directions) const
{
    const std::size_t n = x_.size();
    directions.R.resize(n);
    directions.Ux.resize(n);
    directions.Uy.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = x_[i] - cx;
        const double dy = y_[i] - cy;
        const double r = std::sqrt(dx * dx + dy * dy);
        directions.R[i] = r;
        directions.Ux[i] = r > 0.0 ? dx / r : 1.0;
        directions.Uy[i] = r > 0.0 ? dy / r : 0.0;
    }
}

double PointFrame::WidthAbout(double cx, double cy) const
{
    double least = 0.0;
    double greatest = 0.0;
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double dx = x_[i] - cx;
        const double dy = y_[i] - cy;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (i == 0 || r < least) least = r;
        if (i == 0 || r > greatest) greatest = r;
    }
    return greatest - least;
}

double PointFrame::NearestAbout(double cx, double cy) const
{
    double least = 0.0;
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double dx = x_[i] - cx;
        const double dy = y_[i] - cy;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (i == 0 || r < least) least = r;
    }
    return least;
}

} // namespace kyklos
