#include "analysis/MaximumInscribedTrueCircle.h"

#include "analysis/LinearisedExchange.h"
#include "analysis/PointFrame.h"
#include "analysis/TrueCircleContacts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace kyklos {

namespace {

constexpr int kStepLimit = 100;
constexpr int kPassLimit = 200;
constexpr int kHalvings = 50;

// Three points around the centre of `profile` (no gap over half a turn
// among them), the nearest point first: from it, the last point within
// half a turn counter-clockwise and the one after that. False when the
// points leave a gap of half a turn or more.
bool StartContacts(const PointProfile& profile, std::array<int, 3>& contacts)
{
    const std::size_t n = profile.Index.size();
    if (n < 3 || !(profile.LargestGap < std::numbers::pi)) return false;
    const std::size_t first = static_cast<std::size_t>(std::min_element(profile.Radius.begin(), profile.Radius.end()) -
                                                       profile.Radius.begin());
    auto sweep = [&](std::size_t to) {
        const double s = profile.Angle[to] - profile.Angle[first];
        return s < 0.0 ? s + 2.0 * std::numbers::pi : s;
    };
    std::size_t last = (first + 1) % n;
    while ((last + 1) % n != first && sweep((last + 1) % n) <= std::numbers::pi) last = (last + 1) % n;
    const std::size_t next = (last + 1) % n;
    if (next == first) return false;
    contacts = {profile.Index[first], profile.Index[last], profile.Index[next]};
    return true;
}

struct InscribedSearch {
    std::span<const double> X, Y;
    const PointFrame& Frame;
    PointDirections Points;
    double Cx = 0.0, Cy = 0.0; // the centre, in the frame
    double Radius = 0.0;       // the true circle's radius there: the nearest point's distance
    std::array<int, 3> Contacts{};
};

// Contacts around the centre (cx, cy): the old ones when they still
// surround it, else a fresh start from the profile about it. False when
// the points do not surround it.
bool Surround(const InscribedSearch& s, double cx, double cy, PointDirections& points, std::array<int, 3>& contacts)
{
    s.Frame.DirectionsAbout(cx, cy, points);
    contacts = s.Contacts;
    if (ContactsInOrder(points, contacts.data(), 3, true)) return true;
    PointProfile profile;
    return MakePointProfile(s.X, s.Y, s.Frame.OriginX() + cx, s.Frame.OriginY() + cy, profile) &&
           StartContacts(profile, contacts) && ContactsInOrder(points, contacts.data(), 3, true);
}

// One step: the model's largest circle about the centre, then the longest
// of the step, its half, its quarter… that grows the true circle and keeps
// the points around the centre. False when none does: the centre is the
// optimum to rounding.
bool TakeStep(InscribedSearch& s, double roundingMm)
{
    ModelStep step;
    if (!SolveInscribedModel(s.Points, s.Contacts, roundingMm, kPassLimit, step)) return false;
    const double length = std::hypot(step.Dx, step.Dy);
    if (length <= roundingMm || !(step.Inner - s.Radius > roundingMm)) return false;
    PointDirections points;
    std::array<int, 3> contacts{};
    double fraction = 1.0;
    for (int halving = 0; halving < kHalvings && fraction * length > roundingMm; ++halving, fraction /= 2.0) {
        const double cx = s.Cx + fraction * step.Dx;
        const double cy = s.Cy + fraction * step.Dy;
        const double radius = s.Frame.NearestAbout(cx, cy);
        if (radius > s.Radius && Surround(s, cx, cy, points, contacts)) {
            s.Cx = cx;
            s.Cy = cy;
            s.Radius = radius;
            s.Points = std::move(points);
            s.Contacts = contacts;
            return true;
        }
    }
    return false;
}

} // namespace

bool FitMaximumInscribedTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                                   TrueCircle& circle)
{
    circle = TrueCircle{};
    const std::size_t n = x.size();
    if (y.size() != n || n < 3 || start.Index.size() != n || start.Radius.size() != n) return false;
    const PointFrame frame(x, y, start.CentreX, start.CentreY);
    InscribedSearch s{x, y, frame, {}, 0.0, 0.0, 0.0, {}};
    if (!StartContacts(start, s.Contacts)) return false;
    s.Frame.DirectionsAbout(0.0, 0.0, s.Points);
    s.Radius = s.Frame.NearestAbout(0.0, 0.0);
    const double largest = *std::max_element(start.Radius.begin(), start.Radius.end());
    const double rounding = 1e-14 * std::max(1.0, largest);
    if (ContactsInOrder(s.Points, s.Contacts.data(), 3, true)) {
        for (int k = 0; k < kStepLimit && TakeStep(s, rounding); ++k) {}
    }
    circle.CentreX = s.Frame.OriginX() + s.Cx;
    circle.CentreY = s.Frame.OriginY() + s.Cy;
    CompleteTrueCircle(ReferenceKind::MaximumInscribed, x, y, circle);
    return true;
}

} // namespace kyklos
