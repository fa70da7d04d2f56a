#include "analysis/GaussianFilter.h"
#include "analysis/ProfileFilter.h"
#include "analysis/RobustGaussianFilter.h"
#include "analysis/SpectralFilter.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kyklos {
namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(ProfileFilter, EachKindReachesItsFilterAndARefusalLeavesTheOutput)
{
    // 500 UPR on 3600 samples: the robust filter does not converge.
    const std::vector<double> z = test::LobedResidual(3600, 0.002, 1, true);
    std::vector<double> expected(z.size()), out(z.size());
    NoProgress progress;
    for (const FilterKind kind : kFilterKinds) {
        const FilterSpec filterSpec{kind, 500, 15, 150};
        RobustFilterOutcome robust;
        if (kind == FilterKind::Gaussian)
            ASSERT_TRUE(GaussianFilterProfile(z, expected, 3600, 500.0, progress)); // today's digits
        else if (kind == FilterKind::Robust)
            ASSERT_TRUE(RobustGaussianFilterProfile(z, expected, 500.0, robust));
        else
            ASSERT_TRUE(SpectralFilterProfile(filterSpec, z, expected));
        const FilterOutcome outcome = FilterProfile(filterSpec, z, out, progress);
        EXPECT_TRUE(outcome.Finished) << FilterName(kind);
        EXPECT_TRUE(SameBits(out, expected)) << FilterName(kind);
        EXPECT_EQ(outcome.Warnings, kind == FilterKind::Robust ? std::vector<std::string>{RobustFilterWarning(100)}
                                                               : std::vector<std::string>{});
    }
    std::vector<double> untouched(z.size(), 7.0), shorter(z.size() - 1, 7.0);
    EXPECT_FALSE(FilterProfile({FilterKind::Band, 50, 150, 15}, z, untouched, progress).Finished);
    EXPECT_FALSE(FilterProfile({FilterKind::Gaussian, 0, 15, 150}, z, untouched, progress).Finished);
    EXPECT_FALSE(FilterProfile({}, z, shorter, progress).Finished);
    EXPECT_EQ(untouched, std::vector<double>(z.size(), 7.0));
}

} // namespace
} // namespace kyklos
