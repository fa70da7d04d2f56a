#include "analysis/GeometricCircle.h"

#include "TrueCircleTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace kyklos {
namespace {

using test::PlanePoints;

constexpr double kDegree = std::numbers::pi / 180.0;

// The 12 lattice points at distance 5 and the 20 at 25 from a lattice centre:
// exact points of known circles.
PlanePoints LatticeCircle(double cx, double cy, int radius)
{
    PlanePoints p;
    for (int i = -radius; i <= radius; ++i)
        for (int j = -radius; j <= radius; ++j)
            if (i * i + j * j == radius * radius) {
                p.X.push_back(cx + i);
                p.Y.push_back(cy + j);
            }
    return p;
}

TEST(FitGeometricCircle, ExactPointsGiveTheirCircleWithNoRoundness)
{
    std::mt19937 rng(5);
    for (int radius : {5, 25, 65}) {
        PlanePoints p = LatticeCircle(9871.0, -6543.0, radius);
        test::Shuffle(p, rng);
        TrueCircle circle;
        CircleConvergence convergence;
        ASSERT_TRUE(FitGeometricCircle(p.X, p.Y, circle, convergence)) << radius;
        EXPECT_TRUE(convergence.Converged);
        EXPECT_TRUE(circle.Valid);
        EXPECT_NEAR(circle.CentreX, 9871.0, 1e-10);
        EXPECT_NEAR(circle.CentreY, -6543.0, 1e-10);
        EXPECT_NEAR(circle.Radius, radius, 1e-10);
        EXPECT_LT(circle.RONt, 1e-10);
        EXPECT_TRUE(circle.Contacts.empty());
    }
}

// Far from the origin, small and large parts, full circles and arcs, form
// error and noise: the long-double Gauss–Newton minimum from the circle
// the points were made on, in any order.
TEST(FitGeometricCircle, MatchesALongDoubleReferenceFarFromTheOrigin)
{
    struct Case {
        double cx, cy, radius, spanDeg, form, noise;
        int count;
    };
    const Case cases[] = {
        {10000.0, -2000.0, 10.0, 360, 0.002, 0.0002, 3600},
        {-7071.0, 7071.0, 0.1, 360, 1e-5, 1e-6, 500},
        {6000.0, 8000.0, 5000.0, 360, 0.01, 0.001, 2000},
        {-9999.5, 3.25, 25.0, 180, 0.003, 0.0005, 1000},
        {4000.0, -9000.0, 40.0, 90, 0.001, 0.0002, 400},
        {9000.0, 4000.0, 2.5, 30, 0.0005, 0.0001, 300},
        {1234.5, -8765.4, 1500.0, 30, 0.02, 0.002, 50},
        {-3000.0, 9500.0, 5000.0, 30, 0.5, 0.1, 20},
        // Form and noise of a few per cent of the radius: the residuals' own
        // curvature then shapes the minimum.
        {8000.0, 2000.0, 0.1, 90, 0.004, 0.002, 200},
    };
    std::mt19937 rng(11);
    for (const Case& k : cases) {
        PlanePoints p = test::ArcPoints(rng, k.cx, k.cy, k.radius, 1.0, k.spanDeg * kDegree, k.count, k.form, k.noise);
        const test::ReferenceCircle reference = test::LongDoubleLeastSquares(p, {k.cx, k.cy, k.radius});
        for (int order = 0; order < 2; ++order) {
            TrueCircle circle;
            CircleConvergence convergence;
            ASSERT_TRUE(FitGeometricCircle(p.X, p.Y, circle, convergence)) << k.radius << " " << k.spanDeg;
            EXPECT_TRUE(convergence.Converged) << k.radius << " " << k.spanDeg;
            EXPECT_NEAR(circle.CentreX, static_cast<double>(reference.Cx), 1e-8) << k.radius << " " << k.spanDeg;
            EXPECT_NEAR(circle.CentreY, static_cast<double>(reference.Cy), 1e-8) << k.radius << " " << k.spanDeg;
            EXPECT_NEAR(circle.Radius, static_cast<double>(reference.R), 1e-8) << k.radius << " " << k.spanDeg;
            double least, greatest;
            test::Distances(p, circle.CentreX, circle.CentreY, least, greatest);
            EXPECT_NEAR(circle.RONt, greatest - least, 1e-12);
            test::Shuffle(p, rng);
        }
    }
}

TEST(FitGeometricCircle, RefusesPointsNoCircleFits)
{
    TrueCircle circle;
    CircleConvergence convergence;
    const std::vector<double> line = {1.0, 2.0, 3.0, 4.0};
    const std::vector<double> two = {1.0, 2.0};
    const std::vector<double> same = {7.0, 7.0, 7.0};
    const std::vector<double> withNan = {0.0, 1.0, std::numeric_limits<double>::quiet_NaN()};
    const std::vector<double> ys = {0.0, 1.0, 0.0};
    EXPECT_FALSE(FitGeometricCircle(line, line, circle, convergence));  // on a line
    EXPECT_FALSE(FitGeometricCircle(two, two, circle, convergence));    // two points
    EXPECT_FALSE(FitGeometricCircle(same, same, circle, convergence));  // one point
    EXPECT_FALSE(FitGeometricCircle(withNan, ys, circle, convergence)); // not finite
    EXPECT_FALSE(FitGeometricCircle(line, ys, circle, convergence));    // lengths differ
    EXPECT_EQ(circle.Radius, 0.0);
    EXPECT_EQ(convergence.Iterations, 0);
    // Three points fix their circle.
    const std::vector<double> xs = {-1.0, 1.0, 0.0};
    ASSERT_TRUE(FitGeometricCircle(xs, std::vector<double>{0.0, 0.0, 1.0}, circle, convergence));
    EXPECT_NEAR(circle.CentreX, 0.0, 1e-15);
    EXPECT_NEAR(circle.CentreY, 0.0, 1e-15);
    EXPECT_NEAR(circle.Radius, 1.0, 1e-15);
}

} // namespace
} // namespace kyklos
