#include "analysis/FilterKind.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

TEST(FilterKind, NamesHeadingsAndTheEqualStepsRule)
{
    struct Row {
        FilterKind kind;
        const char* name;
        const char* heading;
        const char* equalStepsRefusal; // "" for the kinds that work on any angles
    };
    const Row rows[] = {
        {FilterKind::Gaussian, "gaussian", "Gaussian (50%) Filtering:  50 UPR", ""},
        {FilterKind::GaussianExact, "gaussian-exact", "Exact Gaussian Filtering:  50 UPR",
         "The exact Gaussian filter needs samples at equal steps over a full turn."},
        {FilterKind::Robust, "robust", "Robust Gaussian Filtering:  50 UPR", ""},
        {FilterKind::TwoRC, "2rc", "2RC Filtering:  50 UPR",
         "The 2RC filter needs samples at equal steps over a full turn."},
        {FilterKind::Band, "band", "Band 15\u2013150 UPR",
         "The band-pass filter needs samples at equal steps over a full turn."},
        {FilterKind::None, "none", "No Filtering", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FilterName(row.kind), row.name);
        EXPECT_EQ(FilterKindFromName(row.name), row.kind) << row.name;
        EXPECT_EQ(FilterHeading({row.kind, 50, 15, 150}), row.heading);
        EXPECT_EQ(FilterNeedsEqualSteps(row.kind), *row.equalStepsRefusal != '\0') << row.name;
        if (FilterNeedsEqualSteps(row.kind)) {
            EXPECT_EQ(EqualStepsRefusal(row.kind), row.equalStepsRefusal);
        }
    }
    for (const char* unknown : {"Gaussian", "2RC", ""}) EXPECT_EQ(FilterKindFromName(unknown), std::nullopt);
    EXPECT_EQ(UpperCutoffUpr({FilterKind::Band, 50, 15, 150}), 150);
    EXPECT_EQ(UpperCutoffUpr({FilterKind::Robust, 50, 15, 150}), 50);
    EXPECT_EQ(FilterSpec{}, (FilterSpec{FilterKind::Gaussian, 50, 15, 150})); // today's filter stays the default
}

TEST(FilterKind, RefusesABandOutOfOrderAndACutoffBelowOne)
{
    EXPECT_EQ(kBandOrderRefusal, "The band's low cutoff must be below its high cutoff.");
    EXPECT_EQ(FilterSpecRefusal({FilterKind::Band, 50, 150, 150}), kBandOrderRefusal);
    EXPECT_EQ(FilterSpecRefusal({FilterKind::Band, 50, 150, 15}), kBandOrderRefusal);
    EXPECT_EQ(FilterSpecRefusal({FilterKind::Band, 0, 149, 150}), std::nullopt); // a band has no single cutoff
    EXPECT_EQ(FilterSpecRefusal({FilterKind::Band, 50, 0, 150}), kCutoffRangeRefusal);
    EXPECT_EQ(FilterSpecRefusal({FilterKind::TwoRC, 0, 15, 150}), kCutoffRangeRefusal);
    EXPECT_EQ(FilterSpecRefusal({FilterKind::Gaussian, 1, 15, 150}), std::nullopt);
    EXPECT_EQ(FilterSpecRefusal({FilterKind::None, 0, 150, 15}), std::nullopt);
}

} // namespace
} // namespace kyklos
