// The certificates of the true circles: the circumscribed circle held to
// the exact smallest circle of small sets (every circle on two points as a
// diameter or through three, in rationals), the inscribed circle and the
// zone to their local conditions.

#include "analysis/TrueCircleCertificate.h"
#include "analysis/TrueCircles.h"

#include "ExactTestSupport.h"
#include "TrueCircleTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

namespace kyklos {
namespace {

using test::PlanePoints;
using test::Rational;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

Rational SquaredFrom(const PlanePoints& p, std::size_t i, const Rational& x, const Rational& y)
{
    const Rational dx = p.X[i] - x, dy = p.Y[i] - y;
    return dx * dx + dy * dy;
}

struct ExactCircle {
    Rational X, Y, RadiusSquared;
    std::vector<int> Contacts;
};

// The smallest circle holding every point, exact: the least of the circles
// on two points as a diameter and through three that hold them all.
ExactCircle ExactSmallestCircle(const PlanePoints& p)
{
    const std::size_t n = p.X.size();
    ExactCircle best;
    bool found = false;
    const auto consider = [&](const Rational& x, const Rational& y, std::vector<int> on) {
        const Rational r2 = SquaredFrom(p, static_cast<std::size_t>(on[0]), x, y);
        if (found && r2 >= best.RadiusSquared) return;
        for (std::size_t i = 0; i < n; ++i)
            if (SquaredFrom(p, i, x, y) > r2) return;
        best = {x, y, r2, on};
        found = true;
    };
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b) {
            consider((Rational(p.X[a]) + p.X[b]) / 2, (Rational(p.Y[a]) + p.Y[b]) / 2, {int(a), int(b)});
            for (std::size_t c = b + 1; c < n; ++c) {
                const Rational bx = Rational(p.X[b]) - p.X[a], by = Rational(p.Y[b]) - p.Y[a];
                const Rational cx = Rational(p.X[c]) - p.X[a], cy = Rational(p.Y[c]) - p.Y[a];
                const Rational det = 2 * (bx * cy - by * cx);
                if (sgn(det) == 0) continue;
                const Rational b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
                consider(p.X[a] + (cy * b2 - by * c2) / det, p.Y[a] + (bx * c2 - cx * b2) / det,
                         {int(a), int(b), int(c)});
            }
        }
    return best;
}

Rational ExtremeSquared(const PlanePoints& p, double x, double y, bool greatest)
{
    Rational extreme = SquaredFrom(p, 0, x, y);
    for (std::size_t i = 1; i < p.X.size(); ++i) {
        const Rational q = SquaredFrom(p, i, x, y);
        if (greatest ? q > extreme : q < extreme) extreme = q;
    }
    return extreme;
}

// |R − √(r2)| ≤ gap, in rationals: (R − gap)² ≤ r2 ≤ (R + gap)².
bool WithinGap(double radius, const Rational& r2, double gap)
{
    const Rational low = Rational(radius) - gap, high = Rational(radius) + gap;
    return (sgn(low) <= 0 || low * low <= r2) && r2 <= high * high;
}

TEST(TrueCircleCertificate, CircumscribedBoundsTheExactSmallestCircle)
{
    std::mt19937 rng(31);
    for (int trial = 0; trial < 12; ++trial) {
        SCOPED_TRACE(trial);
        const double radius = std::pow(10.0, -1.0 + trial % 4);
        const PlanePoints p = test::ArcPoints(rng, 7071.0 - 900.0 * trial, 300.0 * trial - 7071.0, radius, 0.0, kTwoPi,
                                              6 + trial % 5, 0.003 * radius, 0.0005 * radius, 2 + trial % 3);
        TrueCircles circles;
        ASSERT_TRUE(FitTrueCircles(p.X, p.Y, circles));
        if (!circles.MinimumCircumscribed) continue;
        const TrueCircle& mc = *circles.MinimumCircumscribed;
        const Certificate proof = CertifyTrueCircle(ReferenceKind::MinimumCircumscribed, p.X, p.Y, mc);
        EXPECT_EQ(proof.Checked, CertificateLevel::Exact);
        EXPECT_TRUE(proof.Optimal) << proof.GapMm;
        const ExactCircle best = ExactSmallestCircle(p);
        EXPECT_TRUE(WithinGap(mc.Radius, best.RadiusSquared, proof.GapMm));
        // No point beyond the radius plus the violation.
        const Rational reach = Rational(mc.Radius) + proof.ViolationMm;
        EXPECT_LE(ExtremeSquared(p, mc.CentreX, mc.CentreY, true), reach * reach);

        // A circle 1 µm off the optimum, about its centre the least double
        // radius that holds every point, with the optimum's own contacts: the
        // gap is its distance from the optimum, to a few ulps.
        TrueCircle off = mc;
        off.CentreX = best.X.get_d() + 1e-3;
        off.CentreY = best.Y.get_d() - 5e-4;
        off.Radius = test::UpperRootOf(ExtremeSquared(p, off.CentreX, off.CentreY, true));
        off.Contacts.clear();
        for (const int i : best.Contacts) off.Contacts.push_back({i, 0.0, CircleSide::Outer});
        const Certificate offProof = CertifyTrueCircle(ReferenceKind::MinimumCircumscribed, p.X, p.Y, off);
        EXPECT_EQ(offProof.ViolationMm, 0.0);
        EXPECT_FALSE(offProof.Optimal);
        EXPECT_TRUE(WithinGap(off.Radius, best.RadiusSquared, offProof.GapMm));
        EXPECT_FALSE(WithinGap(off.Radius, best.RadiusSquared, offProof.GapMm * (1.0 - 1e-9)));
    }
}

TEST(TrueCircleCertificate, InscribedAndZoneMeetTheirLocalConditions)
{
    std::mt19937 rng(4);
    const PlanePoints p = test::ArcPoints(rng, -7071.0, 7071.0, 20.0, 0.0, kTwoPi, 3000, 0.003, 0.0003, 5);
    TrueCircles circles;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, circles));
    ASSERT_TRUE(circles.MaximumInscribed && circles.MinimumCircumscribed && circles.MinimumZone.Valid);
    const TrueCircle& zone = circles.MinimumZone;
    const TrueCircle& mi = *circles.MaximumInscribed;
    const TrueCircle& mc = *circles.MinimumCircumscribed;
    for (const auto& [kind, circle, level] :
         {std::tuple{ReferenceKind::MinimumZone, zone, CertificateLevel::Local},
          std::tuple{ReferenceKind::MaximumInscribed, mi, CertificateLevel::Local},
          std::tuple{ReferenceKind::MinimumCircumscribed, mc, CertificateLevel::Exact}}) {
        const Certificate proof = CertifyTrueCircle(kind, p.X, p.Y, circle);
        EXPECT_EQ(proof.Checked, level) << ReferenceAbbreviation(kind);
        EXPECT_TRUE(proof.Optimal) << ReferenceAbbreviation(kind) << ' ' << proof.GapMm;
        // Without its first contact no result is held any more.
        TrueCircle fewer = circle;
        fewer.Contacts.erase(fewer.Contacts.begin());
        EXPECT_FALSE(CertifyTrueCircle(kind, p.X, p.Y, fewer).Optimal) << ReferenceAbbreviation(kind);
    }
    // Zone contacts that do not alternate: outer, outer, outer, inner.
    TrueCircle flipped = zone;
    ASSERT_EQ(flipped.Contacts.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) flipped.Contacts[k].Side = k < 3 ? CircleSide::Outer : CircleSide::Inner;
    EXPECT_EQ(CertifyTrueCircle(ReferenceKind::MinimumZone, p.X, p.Y, flipped).GapMm, test::kInfinity);
    // Inscribed contacts replaced by their neighbours around the part: they
    // still surround the centre, but they are not on the circle.
    TrueCircle beside = mi;
    const std::vector<int>& around = circles.Profile.Index;
    for (CircleContact& c : beside.Contacts) {
        const auto at = static_cast<std::size_t>(std::find(around.begin(), around.end(), c.Index) - around.begin());
        c.Index = around[(at + 1) % around.size()];
    }
    EXPECT_FALSE(CertifyTrueCircle(ReferenceKind::MaximumInscribed, p.X, p.Y, beside).Optimal);
}

// Radii made tight to the last bit in rationals, then one ulp into the
// material: the circumscribed circle smaller, the inscribed one larger,
// the zone narrower from either side.
TEST(TrueCircleCertificate, OneUlpIntoTheMaterialIsAViolation)
{
    std::mt19937 rng(8);
    const PlanePoints p = test::ArcPoints(rng, 7071.0, -7071.0, 10.0, 0.0, kTwoPi, 400, 0.002, 0.0002, 3);
    TrueCircles circles;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, circles));
    ASSERT_TRUE(circles.MaximumInscribed && circles.MinimumCircumscribed);
    const auto violation = [&](ReferenceKind kind, const TrueCircle& c) {
        return CertifyTrueCircle(kind, p.X, p.Y, c).ViolationMm;
    };
    TrueCircle mc = *circles.MinimumCircumscribed;
    mc.Radius = test::UpperRootOf(ExtremeSquared(p, mc.CentreX, mc.CentreY, true));
    EXPECT_EQ(violation(ReferenceKind::MinimumCircumscribed, mc), 0.0);
    mc.Radius = std::nextafter(mc.Radius, 0.0);
    EXPECT_GT(violation(ReferenceKind::MinimumCircumscribed, mc), 0.0);

    TrueCircle mi = *circles.MaximumInscribed;
    mi.Radius = test::LowerRootOf(ExtremeSquared(p, mi.CentreX, mi.CentreY, false));
    EXPECT_EQ(violation(ReferenceKind::MaximumInscribed, mi), 0.0);
    mi.Radius = std::nextafter(mi.Radius, test::kInfinity);
    EXPECT_GT(violation(ReferenceKind::MaximumInscribed, mi), 0.0);

    TrueCircle zone = circles.MinimumZone;
    zone.OuterRadius = test::UpperRootOf(ExtremeSquared(p, zone.CentreX, zone.CentreY, true));
    zone.InnerRadius = test::LowerRootOf(ExtremeSquared(p, zone.CentreX, zone.CentreY, false));
    EXPECT_EQ(violation(ReferenceKind::MinimumZone, zone), 0.0);
    TrueCircle outer = zone, inner = zone;
    outer.OuterRadius = std::nextafter(zone.OuterRadius, 0.0);
    inner.InnerRadius = std::nextafter(zone.InnerRadius, test::kInfinity);
    EXPECT_GT(violation(ReferenceKind::MinimumZone, outer), 0.0);
    EXPECT_GT(violation(ReferenceKind::MinimumZone, inner), 0.0);
    for (const double v :
         {violation(ReferenceKind::MinimumCircumscribed, mc), violation(ReferenceKind::MaximumInscribed, mi),
          violation(ReferenceKind::MinimumZone, outer)})
        EXPECT_LE(v, 4e-15);
}

TEST(TrueCircleCertificate, NothingIsProvedOfNumbersThatAreNoNumbers)
{
    const std::vector<double> x = {1, 0, -1, 0}, y = {0, 1, 0, -1};
    TrueCircle circle;
    circle.Radius = circle.OuterRadius = circle.InnerRadius = 1.0;
    circle.Contacts = {{0, 0, CircleSide::Outer}, {2, 0, CircleSide::Outer}};
    EXPECT_EQ(CertifyTrueCircle(ReferenceKind::MinimumCircumscribed, x, y, circle).GapMm, 0.0);
    EXPECT_EQ(CertifyTrueCircle(ReferenceKind::LeastSquares, x, y, circle).Checked, CertificateLevel::None);
    EXPECT_EQ(CertifyTrueCircle(ReferenceKind::MinimumCircumscribed, x, std::span(y).first(3), circle).Checked,
              CertificateLevel::None);
    circle.CentreX = std::numeric_limits<double>::quiet_NaN();
    const Certificate nan = CertifyTrueCircle(ReferenceKind::MinimumCircumscribed, x, y, circle);
    EXPECT_EQ(nan.Checked, CertificateLevel::None);
    EXPECT_EQ(nan.ViolationMm, test::kInfinity);
}

} // namespace
} // namespace kyklos
