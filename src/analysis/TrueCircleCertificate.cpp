#include "analysis/TrueCircleCertificate.h"

#include "analysis/ExactArithmetic.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace kyklos {

namespace {

using exact::Rational;

// A contacts list longer than this is cut to it: a fit names two to four.
constexpr std::size_t kMostContacts = 16;

// The points and the centre as stored.
struct Plane {
    std::span<const double> X;
    std::span<const double> Y;
    double CentreX = 0.0;
    double CentreY = 0.0;

    // The squared distance of point i from the centre in double, and a
    // bound on its rounding together with that of radius² (each difference
    // is rounded once, relative 2⁻⁵³, whatever it cancels).
    double Squared(std::size_t i) const
    {
        const double dx = X[i] - CentreX, dy = Y[i] - CentreY;
        return dx * dx + dy * dy;
    }
    double Rounding(double squared, double radiusSquared) const
    {
        return exact::kRelativeError * (squared + radiusSquared) + exact::kAbsoluteError;
    }
    Rational DX(std::size_t i) const { return Rational(X[i]) - Rational(CentreX); }
    Rational DY(std::size_t i) const { return Rational(Y[i]) - Rational(CentreY); }
    Rational ExactSquared(std::size_t i) const
    {
        const Rational dx = DX(i), dy = DY(i);
        return dx * dx + dy * dy;
    }
};

// The largest (outer) or least (inner) exact squared distance among the
// points that may lie beyond `radius`; none when the doubles prove that
// none does.
std::optional<Rational> Beyond(const Plane& p, double radius, bool outer)
{
    const double radiusSquared = radius * radius;
    const auto excess = [&](double squared) { return outer ? squared - radiusSquared : radiusSquared - squared; };
    double proven = 0.0;
    for (std::size_t i = 0; i < p.X.size(); ++i) {
        const double q = p.Squared(i), e = p.Rounding(q, radiusSquared);
        if (excess(q) - e > proven) proven = excess(q) - e;
    }
    std::optional<Rational> extreme;
    for (std::size_t i = 0; i < p.X.size(); ++i) {
        const double q = p.Squared(i);
        if (excess(q) + p.Rounding(q, radiusSquared) <= proven) continue;
        const Rational exactSquared = p.ExactSquared(i);
        if (!extreme || (outer ? exactSquared > *extreme : exactSquared < *extreme)) extreme = exactSquared;
    }
    return extreme;
}

// An upper bound of |√q − r|, r ≥ 0, the smaller of two: the root's
// bounds in double, within two ulps of √q; and, for a point near the
// circle, where that is far tighter, one without the root. Beyond the circle
// √q − r = (q − r²)/(√q + r) < (q − r²)/(2r); inside it √q ≥ q/r, so
// r − √q = (r² − q)/(r + √q) ≤ r·(r² − q)/(r² + q).
double DistanceFromCircle(const Rational& q, double radius)
{
    const Rational r(radius), r2 = r * r;
    if (q >= r2) {
        const double rooted = exact::UpperDouble(exact::UpperSquareRoot(q) - r);
        return sgn(r) > 0 ? std::min(rooted, exact::UpperDouble((q - r2) / (2 * r))) : rooted;
    }
    return std::min(exact::UpperDouble(r - exact::LowerSquareRoot(q)), exact::UpperDouble(r * (r2 - q) / (r2 + q)));
}

// How far the worst point lies beyond `radius` (outside it when `outer`).
double ViolationOf(const Plane& p, double radius, bool outer)
{
    const std::optional<Rational> extreme = Beyond(p, radius, outer);
    if (!extreme) return 0.0;
    const Rational r2 = Rational(radius) * Rational(radius);
    return (outer ? *extreme > r2 : *extreme < r2) ? DistanceFromCircle(*extreme, radius) : 0.0;
}

// The contacts' point indices on the sides the kind touches.
std::vector<std::size_t> ContactPoints(const TrueCircle& circle, std::size_t count, bool outer, bool inner)
{
    std::vector<std::size_t> points;
    for (const CircleContact& contact : circle.Contacts) {
        const bool side = contact.Side == CircleSide::Outer ? outer : inner;
        if (!side || contact.Index < 0 || static_cast<std::size_t>(contact.Index) >= count) continue;
        if (points.size() < kMostContacts) points.push_back(static_cast<std::size_t>(contact.Index));
    }
    return points;
}

struct Vector {
    Rational X, Y;
};

Vector Between(const Plane& p, std::size_t from, std::size_t to)
{
    return {Rational(p.X[to]) - Rational(p.X[from]), Rational(p.Y[to]) - Rational(p.Y[from])};
}

Rational CrossOf(const Vector& u, const Vector& v) { return u.X * v.Y - u.Y * v.X; }
Rational DotOf(const Vector& u, const Vector& v) { return u.X * v.X + u.Y * v.Y; }

// The squared radius of the smallest circle holding the points a, b, c:
// their circumcircle when no angle is obtuse, else half the longest side.
Rational SmallestCircleSquared(const Plane& p, std::size_t a, std::size_t b, std::size_t c)
{
    const Vector ab = Between(p, a, b), ac = Between(p, a, c), bc = Between(p, b, c);
    const Rational ab2 = DotOf(ab, ab), ac2 = DotOf(ac, ac), bc2 = DotOf(bc, bc);
    const Rational area2 = CrossOf(ab, ac); // twice the signed area
    // The angles at a, b and c (the cosine rule for the last two).
    const bool noneObtuse = sgn(DotOf(ab, ac)) >= 0 && sgn(bc2 + ab2 - ac2) >= 0 && sgn(bc2 + ac2 - ab2) >= 0;
    if (!noneObtuse || sgn(area2) == 0) return exact::Larger(exact::Larger(ab2, ac2), bc2) / 4;
    // R = |ab|·|ac|·|bc| / (2·|area2|).
    return ab2 * ac2 * bc2 / (4 * area2 * area2);
}

Certificate Circumscribed(const Plane& p, const TrueCircle& circle)
{
    Certificate certificate;
    certificate.Checked = CertificateLevel::Exact;
    certificate.ViolationMm = ViolationOf(p, circle.Radius, true);
    const std::vector<std::size_t> contacts = ContactPoints(circle, p.X.size(), true, false);
    Rational lower = 0; // the smallest circle of a subset, squared
    const std::size_t m = contacts.size();
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = i + 1; j < m; ++j) {
            const Vector d = Between(p, contacts[i], contacts[j]);
            lower = exact::Larger(lower, DotOf(d, d) / 4);
            for (std::size_t k = j + 1; k < m; ++k)
                lower = exact::Larger(lower, SmallestCircleSquared(p, contacts[i], contacts[j], contacts[k]));
        }
    const Rational r(circle.Radius);
    const double below = lower < r * r ? DistanceFromCircle(lower, circle.Radius) : 0.0;
    certificate.GapMm = std::max(below, certificate.ViolationMm);
    certificate.Optimal = certificate.GapMm <= kOptimalGapMm;
    return certificate;
}

// The largest distance of a contact from the circle of radius `radius`.
double ContactDistance(const Plane& p, const std::vector<std::size_t>& contacts, double radius)
{
    double largest = 0.0;
    for (const std::size_t i : contacts) largest = std::max(largest, DistanceFromCircle(p.ExactSquared(i), radius));
    return largest;
}

Vector FromCentre(const Plane& p, std::size_t i) { return {p.DX(i), p.DY(i)}; }

// Inscribed contacts that surround the centre: 0 when three hold it in
// their triangle, else the least distance of the centre from the line
// through two on opposite sides of it; none when neither.
std::optional<double> SurroundingDistance(const Plane& p, const std::vector<std::size_t>& contacts)
{
    std::vector<Vector> v;
    for (const std::size_t i : contacts) v.push_back(FromCentre(p, i));
    const std::size_t m = v.size();
    std::optional<double> least;
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = i + 1; j < m; ++j) {
            for (std::size_t k = j + 1; k < m; ++k) {
                const int a = sgn(CrossOf(v[j], v[k])), b = sgn(CrossOf(v[k], v[i])), c = sgn(CrossOf(v[i], v[j]));
                const bool held = (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
                if (held && (a != 0 || b != 0 || c != 0)) return 0.0;
            }
            if (sgn(DotOf(v[i], v[j])) >= 0) continue;
            const Vector chord{v[j].X - v[i].X, v[j].Y - v[i].Y};
            const Rational cross = CrossOf(v[i], v[j]);
            const double distance = exact::UpperSquareRoot(cross * cross / DotOf(chord, chord));
            if (!least || distance < *least) least = distance;
        }
    return least;
}

Certificate Inscribed(const Plane& p, const TrueCircle& circle)
{
    Certificate certificate;
    certificate.Checked = CertificateLevel::Local;
    certificate.ViolationMm = ViolationOf(p, circle.Radius, false);
    const std::vector<std::size_t> contacts = ContactPoints(circle, p.X.size(), false, true);
    const std::optional<double> off = SurroundingDistance(p, contacts);
    if (off) certificate.GapMm = std::max({certificate.ViolationMm, ContactDistance(p, contacts, circle.Radius), *off});
    certificate.Optimal = certificate.GapMm <= kOptimalGapMm;
    return certificate;
}

// Above or on the positive x axis first, then counter-clockwise.
bool Before(const Vector& u, const Vector& v)
{
    const auto lower = [](const Vector& w) { return sgn(w.Y) < 0 || (sgn(w.Y) == 0 && sgn(w.X) < 0); };
    if (lower(u) != lower(v)) return lower(v);
    return sgn(CrossOf(u, v)) > 0;
}

// Zone contacts whose exact order around the centre changes side at least
// four times, no two in the same direction.
bool Alternating(const Plane& p, const TrueCircle& circle)
{
    struct Directed {
        Vector Direction;
        CircleSide Side;
    };
    std::vector<Directed> contacts;
    for (const CircleContact& contact : circle.Contacts)
        if (contact.Index >= 0 && static_cast<std::size_t>(contact.Index) < p.X.size() &&
            contacts.size() < kMostContacts)
            contacts.push_back({FromCentre(p, static_cast<std::size_t>(contact.Index)), contact.Side});
    std::sort(contacts.begin(), contacts.end(),
              [](const Directed& a, const Directed& b) { return Before(a.Direction, b.Direction); });
    int changes = 0;
    for (std::size_t k = 0; k < contacts.size(); ++k) {
        const Directed& a = contacts[k];
        const Directed& b = contacts[(k + 1) % contacts.size()];
        if (contacts.size() > 1 && sgn(CrossOf(a.Direction, b.Direction)) == 0 &&
            sgn(DotOf(a.Direction, b.Direction)) > 0)
            return false;
        if (a.Side != b.Side) ++changes;
    }
    return changes >= 4;
}

Certificate Zone(const Plane& p, const TrueCircle& circle)
{
    Certificate certificate;
    certificate.Checked = CertificateLevel::Local;
    certificate.ViolationMm =
        std::max(ViolationOf(p, circle.OuterRadius, true), ViolationOf(p, circle.InnerRadius, false));
    if (Alternating(p, circle)) {
        const std::vector<std::size_t> outer = ContactPoints(circle, p.X.size(), true, false);
        const std::vector<std::size_t> inner = ContactPoints(circle, p.X.size(), false, true);
        certificate.GapMm = std::max({certificate.ViolationMm, ContactDistance(p, outer, circle.OuterRadius),
                                      ContactDistance(p, inner, circle.InnerRadius)});
    }
    certificate.Optimal = certificate.GapMm <= kOptimalGapMm;
    return certificate;
}

bool Checkable(ReferenceKind kind, std::span<const double> x, std::span<const double> y, const TrueCircle& circle)
{
    if (kind == ReferenceKind::LeastSquares || x.size() != y.size() || x.empty()) return false;
    for (const double v : {circle.CentreX, circle.CentreY, circle.Radius, circle.InnerRadius, circle.OuterRadius})
        if (!std::isfinite(v)) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
    switch (kind) {
    case ReferenceKind::MinimumCircumscribed: return circle.Radius >= 0.0;
    case ReferenceKind::MaximumInscribed: return circle.Radius > 0.0;
    case ReferenceKind::MinimumZone: return circle.InnerRadius >= 0.0 && circle.OuterRadius >= circle.InnerRadius;
    case ReferenceKind::LeastSquares: break;
    }
    return false;
}

} // namespace

Certificate CertifyTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                              const TrueCircle& circle)
{
    if (!Checkable(kind, x, y, circle)) return Certificate{};
    const Plane p{x, y, circle.CentreX, circle.CentreY};
    switch (kind) {
    case ReferenceKind::MinimumCircumscribed: return Circumscribed(p, circle);
    case ReferenceKind::MaximumInscribed: return Inscribed(p, circle);
    case ReferenceKind::MinimumZone: return Zone(p, circle);
    case ReferenceKind::LeastSquares: break;
    }
    return Certificate{};
}

} // namespace kyklos
