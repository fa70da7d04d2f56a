#include "analysis/TrueCircleContacts.h"
#include "analysis/TrueCircles.h"

#include "TrueCircleTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace kyklos {
namespace {

using test::PlanePoints;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kTolerance = 1e-9; // mm

double Least(const PlanePoints& p, double cx, double cy)
{
    double least, greatest;
    test::Distances(p, cx, cy, least, greatest);
    return least;
}

double Greatest(const PlanePoints& p, double cx, double cy)
{
    double least, greatest;
    test::Distances(p, cx, cy, least, greatest);
    return greatest;
}

double Width(const PlanePoints& p, double cx, double cy) { return Greatest(p, cx, cy) - Least(p, cx, cy); }

// No centre on grids of 7×7 around (cx, cy), of spacings from `spacing`
// down by factors of 100, does better than the centre itself by more than
// rounding: the result is a local optimum of `cost`.
void ExpectLocalMinimum(const std::function<double(double, double)>& cost, double cx, double cy, double spacing,
                        const char* what)
{
    const double at = cost(cx, cy);
    for (double h = spacing; h > spacing * 1e-5; h /= 100.0)
        for (int i = -3; i <= 3; ++i)
            for (int j = -3; j <= 3; ++j)
                EXPECT_GE(cost(cx + i * h, cy + j * h), at - 1e-12 * (1.0 + std::abs(at))) << what << " h=" << h;
}

// Every point within the circle(s) to 1e-9 mm, by the test's own distances,
// and the circle's stated numbers those of its centre.
void ExpectFeasible(const PlanePoints& p, const TrueCircles& c)
{
    const TrueCircle& zone = c.MinimumZone;
    EXPECT_GE(Least(p, zone.CentreX, zone.CentreY), zone.InnerRadius - kTolerance);
    EXPECT_LE(Greatest(p, zone.CentreX, zone.CentreY), zone.OuterRadius + kTolerance);
    EXPECT_NEAR(zone.RONt, zone.OuterRadius - zone.InnerRadius, 1e-12);
    if (c.MaximumInscribed) {
        const TrueCircle& mi = *c.MaximumInscribed;
        EXPECT_GE(Least(p, mi.CentreX, mi.CentreY), mi.Radius - kTolerance);
    }
    if (c.MinimumCircumscribed) {
        const TrueCircle& mc = *c.MinimumCircumscribed;
        EXPECT_LE(Greatest(p, mc.CentreX, mc.CentreY), mc.Radius + kTolerance);
    }
}

// Small sets of near-round parts far from the origin: each circle equal to
// the best over every centre its contacts can fix, and verified.
TEST(FitTrueCircles, SmallSetsMatchTheBruteForceOptimum)
{
    std::mt19937 rng(21);
    for (int trial = 0; trial < 40; ++trial) {
        const int count = 5 + trial % 9;
        const double radius = std::pow(10.0, -1.0 + 4.5 * (trial % 7) / 6.0);
        PlanePoints p = test::ArcPoints(rng, 10000.0 - 500.0 * trial, 250.0 * trial - 6000.0, radius, 0.0,
                                        2 * std::numbers::pi, count, 0.003 * radius, 0.0005 * radius, 2 + trial % 4);
        TrueCircles c;
        ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c)) << trial;
        ExpectFeasible(p, c);
        EXPECT_TRUE(c.MinimumZone.Valid) << trial;
        EXPECT_NEAR(c.MinimumZone.RONt, test::BruteForceZoneWidth(p), kTolerance) << trial;
        if (c.Profile.LargestGap >= 170 * kDegree) continue; // either answer
        ASSERT_TRUE(c.MaximumInscribed && c.MinimumCircumscribed) << trial;
        EXPECT_TRUE(c.MaximumInscribed->Valid) << trial;
        EXPECT_TRUE(c.MinimumCircumscribed->Valid) << trial;
        EXPECT_NEAR(c.MaximumInscribed->Radius, test::BruteForceInscribedRadius(p), kTolerance) << trial;
        EXPECT_NEAR(c.MinimumCircumscribed->Radius, test::BruteForceCircumscribedRadius(p), kTolerance) << trial;
    }
}

// A whole scan 10 m out: every circle verified, feasible, and a local
// optimum on grids of centres around it.
TEST(FitTrueCircles, AFullScanFarFromTheOriginGivesLocalOptima)
{
    std::mt19937 rng(4);
    const PlanePoints p =
        test::ArcPoints(rng, -7071.0, 7071.0, 20.0, 0.0, 2 * std::numbers::pi, 20000, 0.003, 0.0003, 5);
    TrueCircles c;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c));
    ASSERT_TRUE(c.MaximumInscribed && c.MinimumCircumscribed);
    EXPECT_TRUE(c.MinimumZone.Valid && c.MaximumInscribed->Valid && c.MinimumCircumscribed->Valid);
    ExpectFeasible(p, c);
    const double h = 1e-3;
    ExpectLocalMinimum([&](double x, double y) { return Width(p, x, y); }, c.MinimumZone.CentreX, c.MinimumZone.CentreY,
                       h, "zone");
    ExpectLocalMinimum([&](double x, double y) { return -Least(p, x, y); }, c.MaximumInscribed->CentreX,
                       c.MaximumInscribed->CentreY, h, "inscribed");
    ExpectLocalMinimum([&](double x, double y) { return Greatest(p, x, y); }, c.MinimumCircumscribed->CentreX,
                       c.MinimumCircumscribed->CentreY, h, "circumscribed");
    // The zone is no wider than about any other centre found.
    EXPECT_LE(c.MinimumZone.RONt, c.LeastSquares.RONt);
    EXPECT_LE(c.MinimumZone.RONt, c.MaximumInscribed->RONt);
    EXPECT_LE(c.MinimumZone.RONt, c.MinimumCircumscribed->RONt);
}

TEST(FitTrueCircles, ExactPointsOfACircleHaveNoRoundnessAboutAnyOfThem)
{
    PlanePoints p; // the 36 lattice points at distance 65 from (−9000, 4000)
    for (int i = -65; i <= 65; ++i)
        for (int j = -65; j <= 65; ++j)
            if (i * i + j * j == 65 * 65) {
                p.X.push_back(-9000.0 + i);
                p.Y.push_back(4000.0 + j);
            }
    std::mt19937 rng(8);
    test::Shuffle(p, rng);
    TrueCircles c;
    ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c));
    ASSERT_TRUE(c.MaximumInscribed && c.MinimumCircumscribed);
    for (const TrueCircle* circle : {&c.LeastSquares, &c.MinimumZone, &*c.MaximumInscribed, &*c.MinimumCircumscribed}) {
        EXPECT_TRUE(circle->Valid);
        EXPECT_NEAR(circle->CentreX, -9000.0, 1e-10);
        EXPECT_NEAR(circle->CentreY, 4000.0, 1e-10);
        EXPECT_NEAR(circle->Radius, 65.0, 1e-10);
        EXPECT_LT(circle->RONt, 1e-10);
    }
    EXPECT_EQ(c.MinimumZone.Contacts.size(), 4u);
}

// Arcs: the zone on every arc; the inscribed and circumscribed circles only
// when the points surround the least squares centre (a gap under 180°),
// either answer between 170° and 190°.
TEST(FitTrueCircles, ArcsKeepTheZoneAndNeedCoverageForTheOthers)
{
    std::mt19937 rng(30);
    for (double span : {30.0, 90.0, 150.0, 180.0, 185.0, 200.0, 270.0}) {
        const PlanePoints p = test::ArcPoints(rng, 9000.0, 4000.0, 40.0, 1.0, span * kDegree, 1500, 0.002, 0.0003);
        TrueCircles c;
        ASSERT_TRUE(FitTrueCircles(p.X, p.Y, c)) << span;
        EXPECT_NEAR(c.Profile.LargestGap, (360.0 - span) * kDegree, 2 * kDegree) << span;
        EXPECT_TRUE(c.MinimumZone.Valid) << span;
        ExpectFeasible(p, c);
        ExpectLocalMinimum([&](double x, double y) { return Width(p, x, y); }, c.MinimumZone.CentreX,
                           c.MinimumZone.CentreY, 1e-3, "zone");
        const bool covered = c.Profile.LargestGap < std::numbers::pi;
        EXPECT_EQ(c.MaximumInscribed.has_value(), covered) << span;
        EXPECT_EQ(c.MinimumCircumscribed.has_value(), covered) << span;
        if (span > 190.0) {
            ASSERT_TRUE(covered) << span;
            EXPECT_TRUE(c.MaximumInscribed->Valid && c.MinimumCircumscribed->Valid) << span;
        }
        if (span < 170.0) {
            EXPECT_FALSE(covered) << span;
        }
    }
}

// Six points on 23° of a 1.5 mm arc with 3 % form: their zone narrows as
// its centre runs off towards a straight zone. The search stops within a
// radius of the start, and the zone there, which has no alternating
// contacts, is not valid.
TEST(FitTrueCircles, AZoneRunningOffTowardsAStraightOneStopsUnverified)
{
    const std::vector<double> x = {-6368.512336909722, -6368.900241343535, -6368.685513199025,
                                   -6368.654138407797, -6368.841524066132, -6368.632502007290};
    const std::vector<double> y = {4460.098215271129, 4460.174216924129, 4460.130417566538,
                                   4460.126989899120, 4460.124612416884, 4460.149290772108};
    TrueCircles c;
    ASSERT_TRUE(FitTrueCircles(x, y, c));
    EXPECT_FALSE(c.MinimumZone.Valid);
    EXPECT_LE(
        std::hypot(c.MinimumZone.CentreX - c.LeastSquares.CentreX, c.MinimumZone.CentreY - c.LeastSquares.CentreY),
        c.LeastSquares.Radius * (1 + 1e-9));
    EXPECT_LT(c.MinimumZone.RONt, c.LeastSquares.RONt);
}

TEST(FitTrueCircles, RefusesPointsWithNoLeastSquaresCircleAndLeavesThreePointsWithoutAZone)
{
    TrueCircles c;
    const std::vector<double> line = {1.0, 2.0, 3.0, 4.0};
    EXPECT_FALSE(FitTrueCircles(line, line, c));
    EXPECT_FALSE(c.MaximumInscribed.has_value());
    // Three points around their circle: it is the inscribed and the
    // circumscribed circle, but a zone needs four contacts.
    const double h = std::sqrt(0.75);
    ASSERT_TRUE(FitTrueCircles(std::vector<double>{1.0, -0.5, -0.5}, std::vector<double>{0.0, h, -h}, c));
    EXPECT_FALSE(c.MinimumZone.Valid);
    ASSERT_TRUE(c.MaximumInscribed && c.MinimumCircumscribed);
    for (const TrueCircle* circle : {&*c.MaximumInscribed, &*c.MinimumCircumscribed}) {
        EXPECT_TRUE(circle->Valid);
        EXPECT_NEAR(circle->Radius, 1.0, 1e-15);
        EXPECT_EQ(circle->Contacts.size(), 3u);
    }
}

} // namespace
} // namespace kyklos
