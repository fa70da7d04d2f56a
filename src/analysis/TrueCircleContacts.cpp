#include "analysis/TrueCircleContacts.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace kyklos {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Candidate {
    double Angle;
    int Index;
    CircleSide Side;
    double Distance;
};

bool ByAngle(const Candidate& a, const Candidate& b)
{
    return std::tie(a.Angle, a.Side, a.Index) < std::tie(b.Angle, b.Side, b.Index);
}

double Distance(std::span<const double> x, std::span<const double> y, const TrueCircle& circle, std::size_t i)
{
    return PointDistance(x[i] - circle.CentreX, y[i] - circle.CentreY);
}

// An angle tolerance that moves a point on the circle by at most `toleranceMm`.
double AngleTolerance(double toleranceMm, double radius) { return radius > toleranceMm ? toleranceMm / radius : kPi; }

CircleContact ContactOf(const Candidate& c) { return CircleContact{c.Index, c.Angle, c.Side}; }

// Sweep counter-clockwise from a to b, in [0, 2π).
double Sweep(double a, double b)
{
    const double s = b - a;
    return s < 0.0 ? s + kTwoPi : s;
}

// Two opposite candidates, or three with no gap over half a turn, starting
// from the most extreme candidate (sorted by angle).
bool Surrounding(const std::vector<Candidate>& c, double angleTolerance, std::vector<CircleContact>& contacts)
{
    const std::size_t m = c.size();
    if (m < 2) return false;
    std::size_t first = 0;
    for (std::size_t k = 1; k < m; ++k) {
        const bool further =
            c[k].Side == CircleSide::Outer ? c[k].Distance > c[first].Distance : c[k].Distance < c[first].Distance;
        if (further) first = k;
    }
    // The last candidate within half a turn counter-clockwise of the first.
    std::size_t last = first;
    for (std::size_t step = 1; step < m; ++step) {
        const std::size_t k = (first + step) % m;
        if (Sweep(c[first].Angle, c[k].Angle) > kPi + angleTolerance) break;
        last = k;
    }
    if (last == first) return false;
    const double span = Sweep(c[first].Angle, c[last].Angle);
    if (span >= kPi - angleTolerance) {
        contacts = {ContactOf(c[first]), ContactOf(c[last])};
        return true;
    }
    // The next one lies beyond half a turn; the three surround the centre
    // when it is no more than half a turn past the second.
    const std::size_t next = (last + 1) % m;
    if (next == first || Sweep(c[last].Angle, c[next].Angle) > kPi + angleTolerance) return false;
    contacts = {ContactOf(c[first]), ContactOf(c[last]), ContactOf(c[next])};
    return true;
}

// One outer, one inner, one outer, one inner around the centre: the most
// extreme candidate of each of four consecutive runs of one side.
bool Alternating(const std::vector<Candidate>& c, std::vector<CircleContact>& contacts)
{
    const std::size_t m = c.size();
    std::size_t start = 0; // the first candidate of a run: its side differs from the one before it
    while (start < m && c[start].Side == c[(start + m - 1) % m].Side) ++start;
    if (start == m) return false;
    std::vector<Candidate> runs;
    for (std::size_t step = 0; step < m; ++step) {
        const Candidate& k = c[(start + step) % m];
        if (runs.empty() || runs.back().Side != k.Side) {
            runs.push_back(k);
        } else if (k.Side == CircleSide::Outer ? k.Distance > runs.back().Distance
                                               : k.Distance < runs.back().Distance) {
            runs.back() = k;
        }
    }
    if (runs.size() < 4) return false;
    contacts.clear();
    for (std::size_t k = 0; k < 4; ++k) contacts.push_back(ContactOf(runs[k]));
    return true;
}

// A zone of no width: every point is on both circles; four spread around
// the centre, alternately outer and inner, hold it.
bool Spread(std::vector<Candidate> c, std::vector<CircleContact>& contacts)
{
    std::erase_if(c, [](const Candidate& k) { return k.Side != CircleSide::Outer; });
    const std::size_t m = c.size();
    if (m < 4) return false;
    contacts.clear();
    for (std::size_t k = 0; k < 4; ++k) {
        CircleContact contact = ContactOf(c[k * m / 4]);
        contact.Side = k % 2 == 0 ? CircleSide::Outer : CircleSide::Inner;
        contacts.push_back(contact);
    }
    return true;
}

} // namespace

bool FindTrueCircleContacts(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                            TrueCircle& circle, double toleranceMm)
{
    circle.Contacts.clear();
    if (kind == ReferenceKind::LeastSquares || x.size() != y.size()) return false;
    const bool outer = kind != ReferenceKind::MaximumInscribed;
    const bool inner = kind != ReferenceKind::MinimumCircumscribed;
    const double outerRadius = kind == ReferenceKind::MinimumZone ? circle.OuterRadius : circle.Radius;
    const double innerRadius = kind == ReferenceKind::MinimumZone ? circle.InnerRadius : circle.Radius;
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double d = Distance(x, y, circle, i);
        const bool onOuter = outer && d >= outerRadius - toleranceMm;
        const bool onInner = inner && d <= innerRadius + toleranceMm;
        if (!onOuter && !onInner) continue;
        const double angle = PointAngle(x[i] - circle.CentreX, y[i] - circle.CentreY);
        if (onOuter) candidates.push_back({angle, static_cast<int>(i), CircleSide::Outer, d});
        if (onInner) candidates.push_back({angle, static_cast<int>(i), CircleSide::Inner, d});
    }
    std::sort(candidates.begin(), candidates.end(), ByAngle);
    bool found = false;
    if (kind != ReferenceKind::MinimumZone) {
        found = Surrounding(candidates, AngleTolerance(toleranceMm, circle.Radius), circle.Contacts);
    } else if (outerRadius - innerRadius <= 2.0 * toleranceMm) {
        found = Spread(candidates, circle.Contacts);
    } else {
        found = Alternating(candidates, circle.Contacts);
    }
    if (!found) circle.Contacts.clear();
    std::sort(circle.Contacts.begin(), circle.Contacts.end(),
              [](const CircleContact& a, const CircleContact& b) { return a.Angle < b.Angle; });
    return found;
}

namespace {

// Every point on the right side of the circle(s), and RONt the band of the distances.
bool PointsWithin(ReferenceKind kind, std::span<const double> x, std::span<const double> y, const TrueCircle& circle)
{
    const double tolerance = kTrueCircleToleranceMm;
    double least = Distance(x, y, circle, 0);
    double greatest = least;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double d = Distance(x, y, circle, i);
        least = std::min(least, d);
        greatest = std::max(greatest, d);
        const bool inside = kind == ReferenceKind::MaximumInscribed ||
                            d <= (kind == ReferenceKind::MinimumZone ? circle.OuterRadius : circle.Radius) + tolerance;
        const bool outside = kind == ReferenceKind::MinimumCircumscribed ||
                             d >= (kind == ReferenceKind::MinimumZone ? circle.InnerRadius : circle.Radius) - tolerance;
        if (!inside || !outside) return false;
    }
    return std::abs(circle.RONt - (greatest - least)) <= tolerance;
}

// Each contact on its circle at its stated angle; the contacts then alternate or surround.
bool ContactsHold(ReferenceKind kind, std::span<const double> x, std::span<const double> y, const TrueCircle& circle)
{
    const double tolerance = kTrueCircleToleranceMm;
    const bool zone = kind == ReferenceKind::MinimumZone;
    const std::size_t count = circle.Contacts.size();
    if (zone ? count != 4 : count < 2 || count > 3) return false;
    std::vector<Candidate> found;
    for (const CircleContact& contact : circle.Contacts) {
        if (contact.Index < 0 || static_cast<std::size_t>(contact.Index) >= x.size()) return false;
        const auto i = static_cast<std::size_t>(contact.Index);
        const double d = Distance(x, y, circle, i);
        const double angle = PointAngle(x[i] - circle.CentreX, y[i] - circle.CentreY);
        const double onto =
            zone ? (contact.Side == CircleSide::Outer ? circle.OuterRadius : circle.InnerRadius) : circle.Radius;
        const double angleError = std::abs(contact.Angle - angle);
        const double angleTolerance = AngleTolerance(tolerance, d);
        if (std::abs(d - onto) > tolerance || std::min(angleError, kTwoPi - angleError) > angleTolerance) return false;
        if (kind == ReferenceKind::MaximumInscribed && contact.Side != CircleSide::Inner) return false;
        if (kind == ReferenceKind::MinimumCircumscribed && contact.Side != CircleSide::Outer) return false;
        found.push_back({angle, contact.Index, contact.Side, d});
    }
    std::sort(found.begin(), found.end(), ByAngle);
    for (std::size_t k = 0; k < count; ++k) {
        const Candidate& a = found[k];
        const Candidate& b = found[(k + 1) % count];
        if (zone ? a.Side == b.Side : Sweep(a.Angle, b.Angle) > kPi + AngleTolerance(tolerance, circle.Radius))
            return false;
    }
    return true;
}

} // namespace

bool VerifyTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y,
                      const TrueCircle& circle)
{
    if (kind == ReferenceKind::LeastSquares || x.size() != y.size() || x.empty()) return false;
    const double values[] = {circle.CentreX,     circle.CentreY,     circle.Radius,
                             circle.InnerRadius, circle.OuterRadius, circle.RONt};
    for (double v : values)
        if (!std::isfinite(v)) return false;
    if (kind == ReferenceKind::MaximumInscribed && !(circle.Radius > 0.0)) return false;
    return PointsWithin(kind, x, y, circle) && ContactsHold(kind, x, y, circle);
}

void CompleteTrueCircle(ReferenceKind kind, std::span<const double> x, std::span<const double> y, TrueCircle& circle)
{
    circle.Contacts.clear();
    circle.Valid = false;
    if (x.size() != y.size() || x.empty()) return;
    MeasureAboutCentre(x, y, circle);
    switch (kind) {
    case ReferenceKind::MinimumZone: circle.Radius = 0.5 * (circle.InnerRadius + circle.OuterRadius); break;
    case ReferenceKind::MaximumInscribed: circle.Radius = circle.InnerRadius; break;
    case ReferenceKind::MinimumCircumscribed: circle.Radius = circle.OuterRadius; break;
    case ReferenceKind::LeastSquares: return;
    }
    // A converged centre puts its contacts within a few roundings of the
    // circle; their neighbours on a smooth peak lie further off.
    const double tight = std::min(kTrueCircleToleranceMm, 1e-13 * std::max(1.0, circle.OuterRadius));
    if (!FindTrueCircleContacts(kind, x, y, circle, tight))
        FindTrueCircleContacts(kind, x, y, circle, kTrueCircleToleranceMm);
    circle.Valid = VerifyTrueCircle(kind, x, y, circle);
}

} // namespace kyklos
