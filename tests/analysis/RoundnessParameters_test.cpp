#include "analysis/RoundnessParameters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kyklos {
namespace {

TEST(RoundnessParameters, PeakAndValleyAddUpToPeakToValleyAndNeverGoNegative)
{
    struct Case {
        double peak, valley;
        double RONp, RONv;
    };
    // Usual; every deviation of a perfect circle just below the reference;
    // just above it; a flat profile.
    const Case cases[] = {{0.0031, -0.0017, 0.0031, 0.0017},
                          {-1.1e-16, -4.4e-16, 0.0, 3.3e-16},
                          {6.7e-16, 2.2e-16, 4.5e-16, 0.0},
                          {0.0, 0.0, 0.0, 0.0}};
    for (const Case& c : cases) {
        const RoundnessParameters p = RoundnessParametersFromExtremes(c.peak, c.valley, 0.001);
        EXPECT_EQ(p.RONt, c.peak - c.valley);
        EXPECT_EQ(p.RONp + p.RONv, p.RONt);
        EXPECT_NEAR(p.RONp, c.RONp, 1e-30);
        EXPECT_NEAR(p.RONv, c.RONv, 1e-30);
        EXPECT_FALSE(std::signbit(p.RONp) || std::signbit(p.RONv));
        EXPECT_EQ(p.RONq, 0.001);
    }
}

} // namespace
} // namespace kyklos
