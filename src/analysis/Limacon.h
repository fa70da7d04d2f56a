#pragma once
// The linearised limaçon R(t) = a·cos t + b·sin t + c in which every reference
// circle is carried: (a, b) is the offset of the reference centre from the
// measurement axis, c the radius. Sample i of N lies at t = i·Δ, Δ = 2π/N.
// Angles in radians; a, b, c and r in the unit of the profile.
//
// Pure functions; nothing here allocates.

namespace kyklos {

struct LimaconReference {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// The largest finite double, where a search for an extreme starts.
inline constexpr double kLargestDouble = 1.7976931348623157e308;

// R = cos(t)·a + sin(t)·b + c. Always true.
bool EvaluateLimacon(double t, double a, double b, double c, double& r);

// x brought into [0, 2π]; exactly 2π stays 2π.
double NormalizeAngle(double x);

// The angle between two directions without regard to sense, 0..π.
double AngularDistance(double x, double y);

// The angle swept counter-clockwise from f to g, in [0, 2π).
double CounterClockwiseSweep(double f, double g);

// The limaçon through three points (t_k, r_k). Solved by Cramer's rule on the
// differences to point 0, with the closed-form determinant
// 4·sin((t1−t0)/2)·sin((t2−t1)/2)·sin((t2−t0)/2), so that contacts half a turn
// apart or at 90°/270° are solved as accurately as any others. False, with
// the outputs untouched, only when two angles coincide (|det| < 1e-12).
bool SolveLimaconThroughThree(double t0, double t1, double t2, double r0, double r1, double r2, double& a, double& b,
                              double& c);

// The integer nearest to x, halves away from zero.
int NearestIndex(double x);

} // namespace kyklos
