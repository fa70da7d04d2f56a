#include "analysis/FilterResponse.h"
#include "analysis/GaussianFilter.h"
#include "analysis/RobustGaussianFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace kyklos {
namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Sampling {
    int count;
    double cutoff;
};
// Usual; a prime count with a long kernel; a kernel longer than half the
// profile; a short profile whose weights the filter scales to unit gain.
const Sampling kSamplings[] = {{3600, 50.0}, {35999, 5.0}, {20, 1.0}, {360, 500.0}};

// H_k = Σ_{j=−K..K} w_|j|·cos(k·j·2π/N), angles reduced exactly.
double DirectTransmission(const std::vector<double>& w, int count, int k)
{
    double h = w[0];
    for (std::size_t j = 1; j < w.size(); ++j) {
        const auto m = static_cast<long long>(k) * static_cast<long long>(j) % count;
        h += 2.0 * w[j] * std::cos(static_cast<double>(m) * kTwoPi / count);
    }
    return h;
}

TEST(FilterTransmission, IsTheSumOfTheWeightsCosines)
{
    for (const Sampling& s : kSamplings) {
        const std::vector<double> w = GaussianFilterWeights(ComputeGaussianKernel(s.count, s.cutoff));
        const std::vector<double> t = GaussianFilterTransmission(s.count, s.cutoff);
        ASSERT_EQ(t.size(), static_cast<std::size_t>(s.count / 2));
        const int step = s.count > 4000 ? 997 : 1;
        for (int k = 1; k <= s.count / 2; k += step)
            EXPECT_NEAR(t[static_cast<std::size_t>(k - 1)], DirectTransmission(w, s.count, k), 1e-12)
                << "N = " << s.count << ", cutoff " << s.cutoff << ", k = " << k;
    }
}

TEST(FilterTransmission, IsWhatTheFilterDoesToAnUndulation)
{
    // The scaled weights of a short profile included: the transmission and
    // the filter must not disagree on them.
    EXPECT_FALSE(WeightsScaledToUnitGain(ComputeGaussianKernel(3600, 50.0)));
    EXPECT_TRUE(WeightsScaledToUnitGain(ComputeGaussianKernel(360, 500.0)));
    for (const Sampling& s : kSamplings) {
        if (s.count > 4000) continue;
        const std::vector<double> t = GaussianFilterTransmission(s.count, s.cutoff);
        for (int k : {2, 3, s.count / 2 - 1}) {
            std::vector<double> in(static_cast<std::size_t>(s.count)), out(in.size());
            for (int i = 0; i < s.count; ++i)
                in[static_cast<std::size_t>(i)] = 0.004 * std::cos(k * (i * kTwoPi / s.count) + 0.3);
            NoProgress progress;
            ASSERT_TRUE(GaussianFilterProfile(in, out, s.count, s.cutoff, progress));
            for (std::size_t i = 0; i < in.size(); ++i)
                ASSERT_NEAR(out[i], t[static_cast<std::size_t>(k - 1)] * in[i], 1e-15)
                    << "N = " << s.count << ", cutoff " << s.cutoff << ", k = " << k << ", i = " << i;
        }
    }
    EXPECT_EQ(IdealGaussianTransmission(50.0, 50.0), 0.5);
    EXPECT_EQ(IdealGaussianTransmission(0.0, 15.0), 1.0);
}

TEST(FilterSamplingWarnings, NameTheNumbers)
{
    EXPECT_TRUE(FilterSamplingWarnings(3500, 500).empty());
    EXPECT_TRUE(FilterSamplingWarnings(3600, 50).empty());
    // A cutoff beyond N/2 has no undulation of the profile to pass.
    // X = 500/(α·360) = 2.95685: one weight of any size, the rest vanish.
    EXPECT_EQ(FilterSamplingWarnings(360, 500),
              (std::vector<std::string>{"The profile has 360 points; the filter needs at least 7 \u00d7 500 = 3500 "
                                        "points for a 500 UPR cutoff, above the 180 UPR the profile can hold.",
                                        "The filter's weights summed to 2.9569 instead of 1 and were scaled to unit "
                                        "gain to keep the mean radius."}));
}

TEST(FilterSamplingWarnings, StateWhatTheFilterPassesAtTheCutoff)
{
    // The transmission at the cutoff, measured by filtering an undulation of
    // exactly the cutoff's UPR: 0.73 instead of 0.50 at N = 360, 150 UPR;
    // barely off one point below the rule.
    const std::pair<Sampling, const char*> cases[] = {{{360, 150.0}, "73.0"}, {{3499, 500.0}, "50.0"}};
    for (const auto& [s, percent] : cases) {
        const int k = static_cast<int>(s.cutoff);
        std::vector<double> in(static_cast<std::size_t>(s.count)), out(in.size());
        for (int i = 0; i < s.count; ++i)
            in[static_cast<std::size_t>(i)] = 0.004 * std::cos(k * (i * kTwoPi / s.count));
        NoProgress progress;
        ASSERT_TRUE(GaussianFilterProfile(in, out, s.count, s.cutoff, progress));
        char measured[16];
        std::snprintf(measured, sizeof measured, "%.1f", 100.0 * out[0] / in[0]);
        EXPECT_STREQ(measured, percent);
        const std::vector<std::string> warnings = FilterSamplingWarnings(s.count, k);
        ASSERT_FALSE(warnings.empty());
        EXPECT_EQ(warnings[0], "The profile has " + std::to_string(s.count) +
                                   " points; the filter needs at least 7 "
                                   "\u00d7 " +
                                   std::to_string(k) + " = " + std::to_string(7 * k) + " points for a " +
                                   std::to_string(k) + " UPR cutoff: it passes " + percent +
                                   " % at the cutoff instead of 50 %.");
    }
}

TEST(FilterTransmission, OfTheRobustFilterIsItsFirstPass)
{
    // Its weighted mean divides by the weights' sum, which the Gaussian
    // filter keeps unless it strays by 1e-3 (3600 samples at 50 UPR).
    for (const Sampling& s : {Sampling{3600, 50.0}, Sampling{360, 500.0}}) {
        const int cutoff = static_cast<int>(s.cutoff);
        const std::vector<double> t = FilterTransmission({FilterKind::Robust, cutoff, 0, 0}, s.count);
        for (const int k : {3, 50, 150}) {
            std::vector<double> in(static_cast<std::size_t>(s.count)), out(in.size());
            for (int i = 0; i < s.count; ++i) in[static_cast<std::size_t>(i)] = std::cos(k * (i * kTwoPi / s.count));
            RobustFilterOutcome outcome;
            ASSERT_TRUE(RobustGaussianFilterProfile(in, out, s.cutoff, outcome, {0, 0.0}));
            for (std::size_t i = 0; i < in.size(); ++i)
                ASSERT_NEAR(out[i], t[static_cast<std::size_t>(k - 1)] * in[i], 1e-13) << s.count << ", k = " << k;
        }
    }
    EXPECT_EQ(FilterTransmission({FilterKind::Gaussian, 150, 0, 0}, 360), GaussianFilterTransmission(360, 150.0));
}

TEST(FilterSamplingWarnings, FollowTheKind)
{
    EXPECT_EQ(FilterSamplingWarnings(360, {FilterKind::Gaussian, 500, 0, 0}), FilterSamplingWarnings(360, 500));
    // The robust filter scales its weights itself, and passes at the cutoff what its first pass does.
    const double atCutoff = FilterTransmission({FilterKind::Robust, 150, 0, 0}, 360)[149];
    char percent[16];
    std::snprintf(percent, sizeof percent, "%.1f", 100.0 * atCutoff);
    EXPECT_EQ(FilterSamplingWarnings(360, {FilterKind::Robust, 150, 0, 0}),
              std::vector<std::string>{"The profile has 360 points; the filter needs at least 7 \u00d7 150 = 1050 "
                                       "points for a 150 UPR cutoff: it passes " +
                                       std::string(percent) + " % at the cutoff instead of 50 %."});
    for (const FilterKind kind : {FilterKind::GaussianExact, FilterKind::TwoRC, FilterKind::Band, FilterKind::None})
        EXPECT_TRUE(FilterSamplingWarnings(360, {kind, 150, 100, 150}).empty()) << FilterName(kind);
}

} // namespace
} // namespace kyklos
