#include "analysis/TrueCircleContacts.h"
#include "analysis/TrueCircles.h"

#include "TrueCircleTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace kyklos {
namespace {

using test::PlanePoints;

// Eight points about (5000, 5000) at every 45° from 0°, at 11, 10.5, 10,
// 10.5, 11, 10.5, 10, 10.5 mm: the zone is centred there, outer on points 0
// and 4, inner on 2 and 6; the circumscribed circle rests on 0 and 4.
PlanePoints EightPoints()
{
    const double radii[] = {11.0, 10.5, 10.0, 10.5, 11.0, 10.5, 10.0, 10.5};
    PlanePoints p;
    for (int k = 0; k < 8; ++k) {
        p.X.push_back(5000.0 + radii[k] * std::cos(k * std::numbers::pi / 4));
        p.Y.push_back(5000.0 + radii[k] * std::sin(k * std::numbers::pi / 4));
    }
    return p;
}

TEST(TrueCircleContacts, AKnownZoneAndCircumscribedCircleTouchTheirPoints)
{
    const PlanePoints p = EightPoints();
    TrueCircles c;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c));
    const TrueCircle& zone = c.MinimumZone;
    EXPECT_TRUE(zone.Valid);
    EXPECT_NEAR(zone.CentreX, 5000.0, 1e-11);
    EXPECT_NEAR(zone.CentreY, 5000.0, 1e-11);
    EXPECT_NEAR(zone.InnerRadius, 10.0, 1e-11);
    EXPECT_NEAR(zone.OuterRadius, 11.0, 1e-11);
    EXPECT_NEAR(zone.Radius, 10.5, 1e-11);
    ASSERT_EQ(zone.Contacts.size(), 4u);
    const int index[] = {0, 2, 4, 6};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(zone.Contacts[k].Index, index[k]);
        EXPECT_EQ(zone.Contacts[k].Side, k % 2 == 0 ? CircleSide::Outer : CircleSide::Inner);
        EXPECT_NEAR(zone.Contacts[k].Angle, k * std::numbers::pi / 2, 1e-12);
    }
    ASSERT_TRUE(c.MinimumCircumscribed.has_value());
    const TrueCircle& mc = *c.MinimumCircumscribed;
    EXPECT_TRUE(mc.Valid);
    EXPECT_NEAR(mc.Radius, 11.0, 1e-11);
    ASSERT_EQ(mc.Contacts.size(), 2u);
    EXPECT_EQ(mc.Contacts[0].Index, 0);
    EXPECT_EQ(mc.Contacts[1].Index, 4);
}

// Each way a result can miss its conditions is caught, and the results
// themselves pass.
TEST(TrueCircleContacts, VerificationRejectsEveryBrokenCondition)
{
    std::mt19937 rng(17);
    const PlanePoints p = test::ArcPoints(rng, 3000.0, -9000.0, 15.0, 0.0, 2 * std::numbers::pi, 500, 0.004, 0.0005);
    TrueCircles c;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c));
    ASSERT_TRUE(c.MaximumInscribed && c.MinimumCircumscribed);
    struct Result {
        ReferenceKind Kind;
        TrueCircle Circle;
    };
    const Result results[] = {{ReferenceKind::MinimumZone, c.MinimumZone},
                              {ReferenceKind::MaximumInscribed, *c.MaximumInscribed},
                              {ReferenceKind::MinimumCircumscribed, *c.MinimumCircumscribed}};
    for (const Result& r : results) {
        const int kind = static_cast<int>(r.Kind);
        EXPECT_TRUE(VerifyTrueCircle(r.Kind, p.X, p.Y, r.Circle)) << kind;
        EXPECT_FALSE(VerifyTrueCircle(ReferenceKind::LeastSquares, p.X, p.Y, r.Circle)) << kind;
        TrueCircle moved = r.Circle; // a centre 1 µm off the optimum, completed as a fit would be
        moved.CentreX += 0.001;
        CompleteTrueCircle(r.Kind, p.X, p.Y, moved);
        EXPECT_FALSE(moved.Valid) << kind;
        for (double change : {-2e-9, 2e-9}) { // the circle(s) 2e-9 mm smaller or larger
            TrueCircle resized = r.Circle;
            resized.Radius += change;
            resized.InnerRadius += change;
            resized.OuterRadius += change;
            EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, resized)) << kind << " " << change;
        }
        TrueCircle fewer = r.Circle;
        fewer.Contacts.pop_back();
        EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, fewer)) << kind;
        TrueCircle turned = r.Circle;
        turned.Contacts[1].Angle += 1e-6;
        EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, turned)) << kind;
        TrueCircle flipped = r.Circle;
        flipped.Contacts[0].Side =
            flipped.Contacts[0].Side == CircleSide::Outer ? CircleSide::Inner : CircleSide::Outer;
        EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, flipped)) << kind;
        TrueCircle outside = r.Circle;
        outside.Contacts[0].Index = static_cast<int>(p.X.size());
        EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, outside)) << kind;
        TrueCircle wrongRont = r.Circle;
        wrongRont.RONt += 2e-9;
        EXPECT_FALSE(VerifyTrueCircle(r.Kind, p.X, p.Y, wrongRont)) << kind;
    }
}

// Contacts on their circles, every point within, but not in the pattern
// that holds the centre: two outer then two inner around it; two outer a
// quarter turn apart.
TEST(TrueCircleContacts, ContactsThatNeitherAlternateNorSurroundAreRejected)
{
    const std::vector<double> x = {11.0, 0.0, -10.0, 0.0};
    const std::vector<double> y = {0.0, 11.0, 0.0, -10.0};
    TrueCircle zone;
    zone.InnerRadius = 10.0;
    zone.OuterRadius = 11.0;
    zone.Radius = 10.5;
    zone.RONt = 1.0;
    zone.Contacts = {{0, 0.0, CircleSide::Outer},
                     {1, std::numbers::pi / 2, CircleSide::Outer},
                     {2, std::numbers::pi, CircleSide::Inner},
                     {3, 3 * std::numbers::pi / 2, CircleSide::Inner}};
    EXPECT_FALSE(VerifyTrueCircle(ReferenceKind::MinimumZone, x, y, zone));
    EXPECT_FALSE(FindTrueCircleContacts(ReferenceKind::MinimumZone, x, y, zone, 1e-9));
    // The same contacts alternating: points 1 and 2 swap their distances.
    const std::vector<double> x2 = {11.0, 0.0, -11.0, 0.0};
    const std::vector<double> y2 = {0.0, 10.0, 0.0, -10.0};
    EXPECT_TRUE(FindTrueCircleContacts(ReferenceKind::MinimumZone, x2, y2, zone, 1e-9));
    EXPECT_TRUE(VerifyTrueCircle(ReferenceKind::MinimumZone, x2, y2, zone));

    const std::vector<double> cx = {10.0, 0.0, -5.0, 0.0};
    const std::vector<double> cy = {0.0, 10.0, 0.0, -5.0};
    TrueCircle circle;
    circle.Radius = circle.OuterRadius = 10.0;
    circle.InnerRadius = 5.0;
    circle.RONt = 5.0;
    circle.Contacts = {{0, 0.0, CircleSide::Outer}, {1, std::numbers::pi / 2, CircleSide::Outer}};
    EXPECT_FALSE(VerifyTrueCircle(ReferenceKind::MinimumCircumscribed, cx, cy, circle));
    EXPECT_FALSE(FindTrueCircleContacts(ReferenceKind::MinimumCircumscribed, cx, cy, circle, 1e-9));
}

} // namespace
} // namespace kyklos
