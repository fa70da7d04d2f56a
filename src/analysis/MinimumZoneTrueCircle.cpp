#include "analysis/MinimumZoneTrueCircle.h"

#include "analysis/LinearisedExchange.h"
#include "analysis/PointFrame.h"
#include "analysis/TrueCircleContacts.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kyklos {

namespace {

constexpr int kStepLimit = 100;
constexpr int kPassLimit = 200;
constexpr int kHalvings = 50;

// Four contacts that alternate around the centre of `profile`: its points,
// from the end of the largest gap round, cut into four runs; the farthest
// point of the first and third, the nearest of the second and fourth.
std::array<int, 4> StartContacts(const PointProfile& profile)
{
    const std::size_t n = profile.Index.size();
    std::array<int, 4> contacts{};
    for (std::size_t run = 0; run < 4; ++run) {
        const std::size_t from = run * n / 4;
        const std::size_t to = (run + 1) * n / 4;
        std::size_t best = (static_cast<std::size_t>(profile.GapEnd) + from) % n;
        for (std::size_t k = from; k < to; ++k) {
            const std::size_t at = (static_cast<std::size_t>(profile.GapEnd) + k) % n;
            const bool better =
                run % 2 == 0 ? profile.Radius[at] > profile.Radius[best] : profile.Radius[at] < profile.Radius[best];
            if (better) best = at;
        }
        contacts[run] = profile.Index[best];
    }
    return contacts;
}

struct ZoneSearch {
    std::span<const double> X, Y;
    const PointFrame& Frame;
    PointDirections Points;
    double Cx = 0.0, Cy = 0.0; // the centre, in the frame
    double Width = 0.0;        // the true zone's width about it
    // How far the centre may go from the start: the start's mean radius. A
    // zone narrows towards a straight one on some sparse, flat arcs, and
    // the centre would run off without end.
    double Reach = 0.0;
    std::array<int, 4> Contacts{};
};

// Contacts that alternate about the search's new centre: the old ones when
// they still do, else a fresh start from the profile about it.
bool Reorder(ZoneSearch& s)
{
    if (ContactsInOrder(s.Points, s.Contacts.data(), 4, false)) return true;
    PointProfile profile;
    if (!MakePointProfile(s.X, s.Y, s.Frame.OriginX() + s.Cx, s.Frame.OriginY() + s.Cy, profile)) return false;
    s.Contacts = StartContacts(profile);
    return ContactsInOrder(s.Points, s.Contacts.data(), 4, false);
}

// One step: the model's narrowest zone about the centre, then the longest
// of the step, its half, its quarter… that narrows the true zone by a
// tenth of what the model promised. False when no step narrows it: the
// centre is the optimum to rounding.
bool TakeStep(ZoneSearch& s, double roundingMm)
{
    ModelStep step;
    if (!SolveZoneModel(s.Points, s.Contacts, roundingMm, kPassLimit, step)) return false;
    const double promised = s.Width - (step.Outer - step.Inner);
    if (std::hypot(step.Dx, step.Dy) <= roundingMm || !(promised > roundingMm)) return false;
    double fraction = 1.0;
    for (int halving = 0; halving < kHalvings; ++halving, fraction /= 2.0) {
        const double cx = s.Cx + fraction * step.Dx;
        const double cy = s.Cy + fraction * step.Dy;
        const double width = s.Frame.WidthAbout(cx, cy);
        if (width <= s.Width - 0.1 * fraction * promised && std::hypot(cx, cy) <= s.Reach) {
            s.Cx = cx;
            s.Cy = cy;
            s.Width = width;
            s.Frame.DirectionsAbout(cx, cy, s.Points);
            return Reorder(s);
        }
        if (fraction * std::hypot(step.Dx, step.Dy) <= roundingMm) break;
    }
    return false;
}

} // namespace

bool FitMinimumZoneTrueCircle(std::span<const double> x, std::span<const double> y, const PointProfile& start,
                              TrueCircle& zone)
{
    zone = TrueCircle{};
    const std::size_t n = x.size();
    if (y.size() != n || n < 4 || start.Index.size() != n || start.Radius.size() != n) return false;
    const PointFrame frame(x, y, start.CentreX, start.CentreY);
    ZoneSearch s{x, y, frame, {}, 0.0, 0.0, 0.0, 0.0, StartContacts(start)};
    frame.DirectionsAbout(0.0, 0.0, s.Points);
    s.Width = frame.WidthAbout(0.0, 0.0);
    double sum = 0.0;
    for (double r : start.Radius) sum += r;
    s.Reach = sum / static_cast<double>(n);
    const double largest = *std::max_element(start.Radius.begin(), start.Radius.end());
    // Distances of a part of radius R carry roundings of about 1e-16·R.
    const double rounding = 1e-14 * std::max(1.0, largest);
    if (ContactsInOrder(s.Points, s.Contacts.data(), 4, false)) {
        for (int k = 0; k < kStepLimit && TakeStep(s, rounding); ++k) {}
    }
    zone.CentreX = frame.OriginX() + s.Cx;
    zone.CentreY = frame.OriginY() + s.Cy;
    CompleteTrueCircle(ReferenceKind::MinimumZone, x, y, zone);
    return true;
}

} // namespace kyklos
