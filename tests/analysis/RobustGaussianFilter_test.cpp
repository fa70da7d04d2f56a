#include "analysis/GaussianFilter.h"
#include "analysis/RobustGaussianFilter.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace kyklos {
namespace {

using test::LobedResidual;
using test::PeakToValley;

struct ReferenceRun {
    std::vector<double> Filtered;
    std::vector<double> OwnShare;
    int Iterations = 0;
    bool Converged = false;
};

// The filter by its definition, every weighted mean summed sample by sample
// over the sampled weighting function X·exp(−π·X²·j²), |j| ≤ K, wrapped
// round the profile; the median by sorting.
ReferenceRun ReferenceFilter(const std::vector<double>& z, double cutoff, int maxIterations, double tolerance)
{
    const int n = static_cast<int>(z.size());
    const GaussianKernel kernel = ComputeGaussianKernel(n, cutoff);
    const int pairs = kernel.Pairs;
    std::vector<double> s(static_cast<std::size_t>(pairs) + 1);
    for (int j = 0; j <= pairs; ++j)
        s[static_cast<std::size_t>(j)] =
            kernel.Centre * std::exp(-3.141592653589793 * kernel.Centre * kernel.Centre * j * j);
    ReferenceRun run;
    std::vector<double> delta(z.size(), 1.0), w(z.size(), 0.0), sums(z.size());
    const auto weightedMean = [&] {
        for (int i = 0; i < n; ++i) {
            double num = 0.0, den = 0.0;
            for (int j = -pairs; j <= pairs; ++j) {
                const auto m = static_cast<std::size_t>(((i + j) % n + n) % n);
                num += s[static_cast<std::size_t>(std::abs(j))] * delta[m] * z[m];
                den += s[static_cast<std::size_t>(std::abs(j))] * delta[m];
            }
            sums[static_cast<std::size_t>(i)] = den;
            if (den > 0.0) w[static_cast<std::size_t>(i)] = num / den; // else no weight in reach: as it was
        }
    };
    weightedMean();
    const double limit = tolerance * PeakToValley(z);
    while (run.Iterations < maxIterations) {
        std::vector<double> r(z.size());
        for (std::size_t i = 0; i < r.size(); ++i) r[i] = std::fabs(z[i] - w[i]);
        std::sort(r.begin(), r.end());
        const double median = n % 2 == 1 ? r[r.size() / 2] : 0.5 * (r[r.size() / 2 - 1] + r[r.size() / 2]);
        const double c = 4.4478 * median;
        for (std::size_t i = 0; i < r.size(); ++i) {
            const double u = (z[i] - w[i]) / c;
            delta[i] = std::fabs(u) < 1.0 ? (1.0 - u * u) * (1.0 - u * u) : 0.0;
        }
        const std::vector<double> previous = w;
        weightedMean();
        ++run.Iterations;
        double change = 0.0;
        for (std::size_t i = 0; i < w.size(); ++i) change = std::max(change, std::fabs(w[i] - previous[i]));
        if ((run.Converged = change <= limit)) break;
    }
    run.Filtered = w;
    for (std::size_t i = 0; i < z.size(); ++i) run.OwnShare.push_back(sums[i] > 0.0 ? s[0] * delta[i] / sums[i] : 0.0);
    return run;
}

TEST(RobustGaussianFilter, IsTheReweightedMeanSummedSampleBySample)
{
    struct Case {
        const char* name;
        std::vector<double> profile;
        double cutoff;
        bool toTheEnd; // else only a few iterations: the lobes' rounding grows when c is that small
    };
    // Lobes without noise: the biweight's limit falls to what the filter
    // leaves of them and takes out runs of samples, leaving samples with no
    // weight in reach or too little for the transform. A kernel wrapping
    // round a short profile; the demonstration's undulations with probe noise.
    std::vector<double> spiked = LobedResidual(720, 0.0, 1, false);
    spiked[600] += 0.02;
    const Case cases[] = {{"noise-free", spiked, 150.0, false},
                          {"short", LobedResidual(20, 0.0005, 2, false), 1.0, true},
                          {"measured", LobedResidual(3600, 0.002, 3, true), 50.0, true}};
    for (const Case& c : cases) {
        // The transform's rounding and the sums' differ in the last digits.
        const double scale = PeakToValley(c.profile);
        for (const int iterations : {0, 1, 3, 6, kRobustFilterIterations}) {
            if (iterations == kRobustFilterIterations && !c.toTheEnd) continue;
            const double tolerance = iterations == kRobustFilterIterations ? kRobustFilterTolerance : 0.0;
            const ReferenceRun expected = ReferenceFilter(c.profile, c.cutoff, iterations, tolerance);
            std::vector<double> out(c.profile.size());
            RobustFilterOutcome outcome;
            ASSERT_TRUE(RobustGaussianFilterProfile(c.profile, out, c.cutoff, outcome, {iterations, tolerance}));
            const std::string where = std::string(c.name) + ", " + std::to_string(iterations) + " iterations";
            EXPECT_EQ(outcome.Iterations, expected.Iterations) << where;
            EXPECT_EQ(outcome.Converged, expected.Converged) << where;
            for (std::size_t i = 0; i < out.size(); ++i) {
                ASSERT_NEAR(out[i], expected.Filtered[i], 1e-10 * scale) << where << ", sample " << i;
                ASSERT_NEAR(outcome.OwnShare[i], expected.OwnShare[i], 1e-9) << where << ", sample " << i;
            }
        }
    }
}

// RONt, the peak to valley of the filtered residual, robust or Gaussian.
double Roundness(const std::vector<double>& z, double cutoff, bool robust)
{
    std::vector<double> out(z.size());
    RobustFilterOutcome outcome;
    NoProgress progress;
    if (robust)
        EXPECT_TRUE(RobustGaussianFilterProfile(z, out, cutoff, outcome) && outcome.Converged);
    else
        EXPECT_TRUE(GaussianFilterProfile(z, out, static_cast<int>(z.size()), cutoff, progress));
    return PeakToValley(out);
}

TEST(RobustGaussianFilter, HasTheGaussiansRoundnessUntilASpikeComes)
{
    // Form and 0.1 µm of probe noise: within 1 % of the Gaussian's.
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        const std::vector<double> z = LobedResidual(3600, 0.0001, seed, false);
        EXPECT_NEAR(Roundness(z, 50.0, true) / Roundness(z, 50.0, false), 1.0, 0.01) << "seed " << seed;
    }
    // 20 µm on the crest, where it adds to the roundness: the robust RONt
    // moves by less than 5 %, the Gaussian's by more.
    std::vector<double> z = LobedResidual(3600, 0.0005, 4, false);
    const double robust = Roundness(z, 150.0, true);
    const double gaussian = Roundness(z, 150.0, false);
    z[static_cast<std::size_t>(std::max_element(z.begin(), z.end()) - z.begin())] += 0.02;
    EXPECT_LT(std::fabs(Roundness(z, 150.0, true) / robust - 1.0), 0.05);
    EXPECT_GT(Roundness(z, 150.0, false) / gaussian - 1.0, 0.05);
}

TEST(RobustGaussianFilter, WarnsWhenItDoesNotConvergeAndRefusesWhatItCannotFilter)
{
    // Seven samples per cutoff wavelength: samples near the biweight's limit
    // keep trading weight with their neighbours.
    std::vector<double> z = LobedResidual(3600, 0.002, 1, true);
    std::vector<double> out(z.size(), 7.0);
    RobustFilterOutcome outcome;
    ASSERT_TRUE(RobustGaussianFilterProfile(z, out, 500.0, outcome));
    EXPECT_FALSE(outcome.Converged);
    EXPECT_EQ(outcome.Iterations, kRobustFilterIterations);
    EXPECT_EQ(outcome.Warning, "The robust filter did not converge in 100 iterations.");
    EXPECT_EQ(RobustFilterWarning(1), "The robust filter did not converge in 1 iteration.");

    const std::vector<double> before = out;
    std::vector<double> shorter(z.size() - 1);
    EXPECT_FALSE(RobustGaussianFilterProfile(z, shorter, 50.0, outcome));
    EXPECT_FALSE(RobustGaussianFilterProfile(z, out, 0.0, outcome));
    EXPECT_FALSE(RobustGaussianFilterProfile({}, {}, 50.0, outcome));
    z[5] = std::nan("");
    EXPECT_FALSE(RobustGaussianFilterProfile(z, out, 50.0, outcome));
    EXPECT_EQ(out, before);
}

} // namespace
} // namespace kyklos
