#pragma once
// A number as the unevaluated sum of two doubles, Hi + Lo with |Lo| at most
// half an ulp of Hi: about 106 bits. An angle written in degrees or grads is
// turned into radians in this precision and rounded once, so that every
// double in radians has a degree text that reads back as exactly that double
// (a double in degrees cannot give them all: there are fewer of them per
// radian). Built only from error-free sums and Dekker's exact product, with
// no fused multiply-add, so every machine that rounds doubles to nearest
// gives the same bits. Valid for magnitudes from about 1e-290 to 1e290.

namespace kyklos {

struct DoubleDouble {
    double Hi = 0.0;
    double Lo = 0.0;
};

namespace detail {

// a + b exactly, as the rounded sum and its error (Knuth).
constexpr DoubleDouble TwoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly when |a| >= |b| (Dekker).
constexpr DoubleDouble FastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a split into two halves of 26 bits each (Veltkamp).
constexpr DoubleDouble Split(double a)
{
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double t = kSplitter * a;
    const double hi = t - (t - a);
    return {hi, a - hi};
}

// a · b exactly, as the rounded product and its error (Dekker).
constexpr DoubleDouble TwoProduct(double a, double b)
{
    const double p = a * b;
    const DoubleDouble x = Split(a);
    const DoubleDouble y = Split(b);
    return {p, ((x.Hi * y.Hi - p) + x.Hi * y.Lo + x.Lo * y.Hi) + x.Lo * y.Lo};
}

} // namespace detail

constexpr DoubleDouble Negate(DoubleDouble a) { return {-a.Hi, -a.Lo}; }

constexpr DoubleDouble Add(DoubleDouble a, DoubleDouble b)
{
    DoubleDouble s = detail::TwoSum(a.Hi, b.Hi);
    const DoubleDouble t = detail::TwoSum(a.Lo, b.Lo);
    s = detail::FastTwoSum(s.Hi, s.Lo + t.Hi);
    return detail::FastTwoSum(s.Hi, s.Lo + t.Lo);
}

constexpr DoubleDouble Multiply(DoubleDouble a, double b)
{
    const DoubleDouble p = detail::TwoProduct(a.Hi, b);
    return detail::FastTwoSum(p.Hi, p.Lo + a.Lo * b);
}

constexpr DoubleDouble Multiply(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble p = detail::TwoProduct(a.Hi, b.Hi);
    return detail::FastTwoSum(p.Hi, p.Lo + (a.Hi * b.Lo + a.Lo * b.Hi));
}

constexpr DoubleDouble Divide(DoubleDouble a, double b)
{
    const double q1 = a.Hi / b;
    const DoubleDouble p = detail::TwoProduct(q1, b);
    const double remainder = ((a.Hi - p.Hi) - p.Lo) + a.Lo;
    return detail::FastTwoSum(q1, remainder / b);
}

constexpr DoubleDouble Divide(DoubleDouble a, DoubleDouble b)
{
    const double q1 = a.Hi / b.Hi;
    const DoubleDouble r1 = Add(a, Negate(Multiply(b, q1)));
    const double q2 = r1.Hi / b.Hi;
    const DoubleDouble r2 = Add(r1, Negate(Multiply(b, q2)));
    const DoubleDouble q = detail::FastTwoSum(q1, q2);
    return Add(q, {r2.Hi / b.Hi, 0.0});
}

constexpr bool IsNegative(DoubleDouble a) { return a.Hi < 0.0 || (a.Hi == 0.0 && a.Lo < 0.0); }

// a >= b for normalised values.
constexpr bool IsAtLeast(DoubleDouble a, DoubleDouble b) { return a.Hi > b.Hi || (a.Hi == b.Hi && a.Lo >= b.Lo); }

// π to 106 bits, and the factors between the angle units.
inline constexpr DoubleDouble kPiDd{3.141592653589793116, 1.2246467991473532072e-16};
inline constexpr DoubleDouble kTwoPiDd{2.0 * kPiDd.Hi, 2.0 * kPiDd.Lo};
inline constexpr DoubleDouble kRadiansPerDegreeDd = Divide(kPiDd, 180.0);
inline constexpr DoubleDouble kRadiansPerGradDd = Divide(kPiDd, 200.0);
inline constexpr DoubleDouble kDegreesPerRadianDd = Divide(DoubleDouble{180.0, 0.0}, kPiDd);

} // namespace kyklos
