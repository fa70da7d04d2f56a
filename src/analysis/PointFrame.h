#pragma once
// Points taken into a frame whose origin lies near them: a scan 10 m from
// the machine's origin keeps every digit of its form error when its
// coordinates are differences from a point near the part, and the fits'
// sums and products stay at the size of the part. Lengths in mm.

#include <span>
#include <vector>

namespace kyklos {

// The points about a centre: distance R_i and unit direction (Ux_i, Uy_i)
// of every point, so that moving the centre by (δx, δy) changes distance i
// by −(Ux_i·δx + Uy_i·δy) to first order.
struct PointDirections {
    std::vector<double> R;
    std::vector<double> Ux;
    std::vector<double> Uy;
};

class PointFrame {
public:
    // The points (x[i], y[i]) less (originX, originY); x and y hold the same
    // number of points.
    PointFrame(std::span<const double> x, std::span<const double> y, double originX, double originY);

    int Count() const { return static_cast<int>(x_.size()); }
    double OriginX() const { return originX_; }
    double OriginY() const { return originY_; }
    // Point i in the frame.
    double X(int i) const { return x_[static_cast<std::size_t>(i)]; }
    double Y(int i) const { return y_[static_cast<std::size_t>(i)]; }

    // Distances and directions about (cx, cy), in the frame. A point on the
    // centre has the direction +x.
    void DirectionsAbout(double cx, double cy, PointDirections& directions) const;
    // max − min of the distances from (cx, cy), in the frame.
    double WidthAbout(double cx, double cy) const;
    // The least distance from (cx, cy), in the frame.
    double NearestAbout(double cx, double cy) const;

private:
    double originX_;
    double originY_;
    std::vector<double> x_;
    std::vector<double> y_;
};

} // namespace kyklos
