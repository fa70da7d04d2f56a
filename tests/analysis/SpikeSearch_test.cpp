#include "analysis/SpikeSearch.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kyklos {
namespace {

using test::LobedResidual;

TEST(SpikeSearch, FindsExactlyThePlantedSpikes)
{
    // The demonstration's undulations and 2 µm of probe noise: 5σ is about
    // 12 µm, a spike of 20 µm stands out whatever the noise beneath it.
    std::vector<double> z = LobedResidual(3600, 0.002, 7, true);
    z[500] += 0.020;
    z[1700] -= 0.020;
    z[2900] += 0.025;
    SpikeSearch search;
    ASSERT_TRUE(FindSpikes(z, 50.0, kSpikeDeviations, search));
    EXPECT_EQ(search.Samples, (std::vector<int>{500, 1700, 2900}));
    EXPECT_TRUE(search.Robust.Converged);
    ASSERT_TRUE(FindSpikes(z, 50.0, 15.0, search)); // none stands out by 15σ
    EXPECT_TRUE(search.Samples.empty());
}

TEST(SpikeSearch, TakesNothingFromOrdinaryNoise)
{
    // At every cutoff, 500 UPR included, where the narrow weighting function
    // pulls the filtered value 30 % towards each sample it keeps.
    for (const std::uint64_t seed : {1u, 2u, 3u})
        for (const double cutoff : {15.0, 50.0, 150.0, 500.0}) {
            SpikeSearch search;
            ASSERT_TRUE(FindSpikes(LobedResidual(3600, 0.002, seed, true), cutoff, kSpikeDeviations, search));
            EXPECT_TRUE(search.Samples.empty())
                << "seed " << seed << ", " << cutoff << " UPR: " << search.Samples.size() << " spikes";
        }
}

TEST(SpikeSearch, MeasuresTheNoiseAndRefusesANonPositiveThreshold)
{
    // Plain 2 µm noise, within the median's sampling error (2.5 % at 3600 samples).
    SpikeSearch search;
    ASSERT_TRUE(FindSpikes(LobedResidual(3600, 0.002, 9, false), 50.0, kSpikeDeviations, search));
    EXPECT_NEAR(search.DeviationMm, 0.002, 0.0001);
    search.Samples = {42};
    EXPECT_FALSE(FindSpikes(LobedResidual(100, 0.002, 10, false), 50.0, 0.0, search));
    EXPECT_EQ(search.Samples, std::vector<int>{42});
}

} // namespace
} // namespace kyklos
