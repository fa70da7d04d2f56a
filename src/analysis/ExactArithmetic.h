#pragma once
// The arithmetic of the optimality certificates. Every double is a rational
// number, so sums and products of stored values are exact as GMP rationals;
// doubles decide first, under a bound on their rounding, and rationals are
// formed only where that bound leaves the answer open. Only the
// certificates include this header: the rest of the analysis knows no GMP.

#include <gmpxx.h>

#include <cmath>
#include <limits>

namespace kyklos::exact {

using Rational = mpq_class;

// A sum of a few products of doubles, formed in double, lies within
// kRelativeError·(the sum of the magnitudes of its terms) + kAbsoluteError
// of its exact value. Four roundings (two products, the sums, a difference)
// give at most 5·2⁻⁵³ of the magnitudes; 2⁻⁴⁸ is six times that, so that
// the rounding in forming the bound and in comparing with it is covered
// too. The absolute term covers products that fall below the normal range.
inline constexpr double kRelativeError = 0x1p-48;
inline constexpr double kAbsoluteError = 0x1p-1020;

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The least double not below q (+∞ beyond the largest double).
inline double UpperDouble(const Rational& q)
{
    if (q > Rational(std::numeric_limits<double>::max())) return kInfinity;
    // get_d truncates towards zero: at or below q when q is positive.
    double d = q.get_d();
    if (Rational(d) < q) d = std::nextafter(d, kInfinity);
    return d;
}

// The greatest double not above q.
inline double LowerDouble(const Rational& q) { return -UpperDouble(-q); }

// Doubles not below and not above √q, q ≥ 0: the square root is correctly
// rounded, so one step out from the root of a bound of q passes √q.
inline double UpperSquareRoot(const Rational& q)
{
    if (sgn(q) <= 0) return 0.0;
    return std::nextafter(std::sqrt(UpperDouble(q)), kInfinity);
}

inline double LowerSquareRoot(const Rational& q)
{
    if (sgn(q) <= 0) return 0.0;
    return std::nextafter(std::sqrt(LowerDouble(q)), 0.0);
}

inline const Rational& Larger(const Rational& x, const Rational& y) { return x < y ? y : x; }

} // namespace kyklos::exact
