#include "analysis/LinearSystem.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kyklos {
namespace {

TEST(SolveLinearSystem, SolvesAPivotedSystemInPlace)
{
    // Column 0 starts with a zero, so a row exchange is needed.
    double A[4][4] = {{0, 2, 1, -1}, {3, 1, 0, 2}, {1, -1, 4, 0}, {2, 0, 1, 5}};
    const double expected[4] = {1, -2, 0.5, 3};
    double x[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = 0;
        for (int j = 0; j < 4; ++j) x[i] += A[i][j] * expected[j];
    }
    ASSERT_TRUE(SolveLinearSystem(A, 4, x));
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(x[i], expected[i], 1e-14);
}

TEST(SolveLinearSystem, EqualScaledCandidatesPivotOnTheLastRow)
{
    // Scaled by their largest entries both rows offer 1 in column 0: the
    // later row becomes the pivot and the factors show it.
    double A[4][4] = {{2, 1}, {1, -0.25}};
    double x[2] = {1.75, 0.3125}; // solution (0.5, 0.75)
    ASSERT_TRUE(SolveLinearSystem(A, 2, x));
    EXPECT_EQ(A[0][0], 1.0);
    EXPECT_EQ(A[0][1], -0.25);
    EXPECT_EQ(A[1][0], 2.0);
    EXPECT_EQ(A[1][1], 1.5);
    EXPECT_NEAR(x[0], 0.5, 1e-15);
    EXPECT_NEAR(x[1], 0.75, 1e-15);
}

TEST(SolveLinearSystem, ZeroPivotIsReplacedAndZeroRowRefused)
{
    // Singular but with no zero row: the vanished pivot becomes 1e-20 and the
    // substitution stays finite.
    double singular[4][4] = {{1, 1}, {1, 1}};
    double x[2] = {1, 1};
    ASSERT_TRUE(SolveLinearSystem(singular, 2, x));
    EXPECT_EQ(singular[1][1], 1e-20);
    EXPECT_TRUE(std::isfinite(x[0]) && std::isfinite(x[1]));

    double zeroRow[4][4] = {{1, 2, 3, 4}, {0, 0, 0, 0}, {4, 3, 2, 1}, {1, 0, 0, 1}};
    double y[4] = {7, 8, 9, 10};
    EXPECT_FALSE(SolveLinearSystem(zeroRow, 4, y));
    EXPECT_EQ(y[1], 8.0); // right-hand side untouched

    double z[1] = {1};
    EXPECT_FALSE(SolveLinearSystem(zeroRow, 0, z));
    EXPECT_FALSE(SolveLinearSystem(zeroRow, 5, z));
}

} // namespace
} // namespace kyklos
