#include "analysis/AnyAngleFilter.h"
#include "analysis/GaussianFilter.h"
#include "analysis/ProfileFilter.h"
#include "analysis/SpikeSearch.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace kyklos {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegree = kTwoPi / 360.0;

double LargestDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    double largest = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

// `count` angles at (i + ½ + u)·2π/count, u uniform within ±0.4: a scanning
// instrument's table.
std::vector<double> JitteredAngles(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    std::vector<double> t(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) t[static_cast<std::size_t>(i)] = (i + 0.5 + jitter(rng)) * kTwoPi / count;
    return t;
}

// A residual (mm) at the given angles: lobes of 3 and 14 UPR (with
// `chatter`, of 47 UPR too) and 1 µm of noise.
std::vector<double> ResidualAt(const std::vector<double>& t, unsigned seed, bool chatter = true)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.001);
    std::vector<double> r;
    for (const double u : t)
        r.push_back(0.002 * std::sin(3 * u) + 0.003 * std::cos(14 * u) + (chatter ? 0.002 * std::sin(47 * u) : 0.0) +
                    noise(rng));
    return r;
}

std::vector<double> AnglesOf(const SampleSet& set)
{
    std::vector<double> t;
    for (int i = 0; i < set.Count(); ++i) t.push_back(set.Angle(i));
    return t;
}

SampleSet SetAt(std::vector<double> angles, std::vector<bool> used = {})
{
    SampleSet set;
    EXPECT_TRUE(SampleSet::FromAngles(std::move(angles), std::move(used), set));
    return set;
}

// The weighted means at any angles summed plainly, pair by pair over every
// used sample and every turn: Σ s(d)·c·δ·z / Σ s(d)·c·δ over |d| ≤ reach.
std::vector<double> DirectMeans(const SampleSet& set, const std::vector<double>& z, const std::vector<double>& delta,
                                double cutoff)
{
    const AnyAngleKernel kernel = ComputeAnyAngleKernel(set, cutoff);
    const std::vector<double> covered = CoveredAngles(set);
    const std::span<const int> used = set.UsedIndices();
    std::vector<double> out(z.size(), 0.0);
    const int turns = static_cast<int>(kernel.Reach / kTwoPi) + 1;
    for (const int i : used) {
        double weighted = 0.0, sum = 0.0;
        for (int turn = -turns; turn <= turns; ++turn)
            for (std::size_t k = 0; k < used.size(); ++k) {
                const double d = (set.Angle(used[k]) + turn * kTwoPi) - set.Angle(i);
                if (std::fabs(d) > kernel.Reach) continue;
                const double w = std::exp(-3.141592653589793 * d * d / (kernel.Width * kernel.Width)) * covered[k] *
                                 delta[static_cast<std::size_t>(used[k])];
                weighted += w * z[static_cast<std::size_t>(used[k])];
                sum += w;
            }
        out[static_cast<std::size_t>(i)] = weighted / sum;
    }
    return out;
}

std::vector<double> DirectGaussian(const SampleSet& set, const std::vector<double>& z, double cutoff)
{
    std::vector<double> out = DirectMeans(set, z, std::vector<double>(z.size(), 1.0), cutoff);
    for (double& r : out) r *= ComputeAnyAngleKernel(set, cutoff).Gain;
    return out;
}

// The robust filter plainly: `iterations` passes of Tukey's biweight
// (c = 3 × 1.4826 × the median absolute deviation) over the used samples.
std::vector<double> DirectRobust(const SampleSet& set, const std::vector<double>& z, double cutoff, int iterations)
{
    std::vector<double> delta(z.size(), 1.0);
    std::vector<double> w = DirectMeans(set, z, delta, cutoff);
    for (int pass = 0; pass < iterations; ++pass) {
        std::vector<double> deviation;
        for (const int i : set.UsedIndices()) deviation.push_back(std::fabs(z[i] - w[i]));
        std::sort(deviation.begin(), deviation.end());
        const std::size_t m = deviation.size() / 2;
        const double median = deviation.size() % 2 ? deviation[m] : (deviation[m - 1] + deviation[m]) / 2;
        for (const int i : set.UsedIndices()) {
            const double u = (z[i] - w[i]) / (3 * 1.4826 * median);
            delta[i] = std::fabs(u) < 1 ? (1 - u * u) * (1 - u * u) : 0.0;
        }
        w = DirectMeans(set, z, delta, cutoff);
    }
    return w;
}

TEST(AnyAngleFilter, OnEqualStepsOverAFullTurnIsTodaysFilter)
{
    // The cases include a long kernel, the default, a narrow one and a kernel
    // scaled to unit gain (360 samples, 150 UPR).
    const struct {
        int Count;
        double Cutoff;
    } cases[] = {{36000, 50}, {3600, 5}, {3600, 500}, {360, 150}};
    NoProgress progress;
    for (const auto& c : cases) {
        const std::vector<double> z = test::LobedResidual(c.Count, 0.001, 3, true);
        std::vector<double> today(z.size()), anyAngles(z.size());
        ASSERT_TRUE(GaussianFilterProfile(z, today, c.Count, c.Cutoff, progress));
        const SampleSet set = SampleSet::EqualSteps(c.Count);
        ASSERT_TRUE(GaussianFilterAnyAngles(set, z, anyAngles, c.Cutoff));
        EXPECT_LT(LargestDifference(anyAngles, today), 1e-12) << c.Count << " samples, " << c.Cutoff << " UPR";
        EXPECT_EQ(ComputeAnyAngleKernel(set, c.Cutoff).NominalCount, c.Count);
    }
    // Through the switch a full equal-step set takes today's filter itself.
    const std::vector<double> z = test::LobedResidual(3600, 0.001, 4, true);
    for (const FilterKind kind : {FilterKind::Gaussian, FilterKind::Robust, FilterKind::GaussianExact}) {
        std::vector<double> expected(z.size()), out(z.size());
        FilterProfile({kind, 50}, z, expected, progress);
        ASSERT_TRUE(FilterProfile({kind, 50}, SampleSet::EqualSteps(3600), z, out, progress).Finished);
        EXPECT_EQ(std::memcmp(out.data(), expected.data(), out.size() * sizeof(double)), 0) << FilterName(kind);
    }
}

TEST(AnyAngleFilter, MatchesTheSumPairByPair)
{
    // A jittered full turn at a wide and a narrow cutoff; 1 UPR on a short
    // one, whose reach goes more than once round; an arc of 100° with an
    // excluded sector and a hole in the scan.
    std::vector<double> arc;
    std::vector<bool> arcUsed;
    for (const double t : JitteredAngles(3600, 5))
        if (t < 100 * kDegree && (t < 40 * kDegree || t > 42 * kDegree)) {
            arc.push_back(t);
            arcUsed.push_back(t < 60 * kDegree || t > 61 * kDegree);
        }
    const struct {
        SampleSet Set;
        double Cutoff;
    } cases[] = {{SetAt(JitteredAngles(2000, 1)), 50},
                 {SetAt(JitteredAngles(2000, 2)), 150},
                 {SetAt(JitteredAngles(500, 3)), 1},
                 {SetAt(arc, arcUsed), 150}};
    for (const auto& c : cases) {
        const std::vector<double> z = ResidualAt(AnglesOf(c.Set), 7);
        std::vector<double> out(z.size(), 0.0);
        ASSERT_TRUE(GaussianFilterAnyAngles(c.Set, z, out, c.Cutoff));
        EXPECT_LT(LargestDifference(out, DirectGaussian(c.Set, z, c.Cutoff)), 1e-14) << c.Cutoff << " UPR";
        EXPECT_FALSE(TooSparseForFilter(c.Set, CoveredAngles(c.Set), c.Cutoff));
    }
}

TEST(AnyAngleFilter, CoveredAnglesMirrorTheInnerSideAtAGap)
{
    // Degrees: a scan from 0° to 85° (the rest of the circle a gap) with 50°
    // and 70° excluded; 60° has gaps on both sides and covers a nominal step,
    // the median of 10, 20, 10, 5 and 275.
    const std::vector<double> degrees{0, 10, 30, 40, 50, 60, 70, 80, 85};
    std::vector<double> angles;
    for (const double d : degrees) angles.push_back(d * kDegree);
    const SampleSet set = SetAt(angles, {true, true, true, true, false, true, false, true, true});
    EXPECT_NEAR(NominalStep(set) / kDegree, 10.0, 1e-12);
    const std::vector<double> covered = CoveredAngles(set);
    const double expected[] = {10, 15, 15, 10, 10, 5, 5};
    ASSERT_EQ(covered.size(), std::size(expected));
    for (std::size_t k = 0; k < covered.size(); ++k) EXPECT_NEAR(covered[k] / kDegree, expected[k], 1e-12) << k;
}

TEST(AnyAngleFilter, ArcEndsAndExcludedSectorsAreEndsOfTheProfile)
{
    // A 120° arc with a sector excluded: a constant stays the constant
    // times the kernel's gain up to each end (the weights present divided by
    // their sum), and no excluded radius, however wild, reaches the output.
    std::vector<double> angles;
    std::vector<bool> used;
    for (const double t : JitteredAngles(3600, 11))
        if (t < 120 * kDegree) {
            angles.push_back(t);
            used.push_back(t < 50 * kDegree || t > 58 * kDegree);
        }
    const SampleSet set = SetAt(angles, used);
    const double gain = ComputeAnyAngleKernel(set, 50).Gain;
    NoProgress progress;
    std::vector<double> constant(angles.size(), 0.004), out(angles.size(), -1.0);
    ASSERT_TRUE(FilterProfile({FilterKind::Gaussian, 50}, set, constant, out, progress).Finished);
    for (int i = 0; i < set.Count(); ++i) EXPECT_NEAR(out[i], set.IsUsed(i) ? 0.004 * gain : -1.0, 1e-17) << i;

    std::vector<double> z = ResidualAt(angles, 12);
    for (const FilterKind kind : {FilterKind::Gaussian, FilterKind::Robust}) {
        std::vector<double> clean(z.size(), -1.0), wild(z.size(), -1.0), changed = z;
        for (int i = 0; i < set.Count(); ++i)
            if (!set.IsUsed(i)) changed[i] = i % 2 ? 1e6 : std::nan("");
        ASSERT_TRUE(FilterProfile({kind, 50}, set, z, clean, progress).Finished);
        ASSERT_TRUE(FilterProfile({kind, 50}, set, changed, wild, progress).Finished);
        EXPECT_EQ(std::memcmp(clean.data(), wild.data(), clean.size() * sizeof(double)), 0) << FilterName(kind);
        for (int i = 0; i < set.Count(); ++i) EXPECT_TRUE(set.IsUsed(i) || wild[i] == -1.0) << i;
    }
}

TEST(AnyAngleFilter, SevenSamplesPerWavelengthAreEnoughAndSixAreNot)
{
    NoProgress progress;
    for (const int perWavelength : {6, 7}) {
        // A full turn at 50 UPR less one sample, so not equal steps over it.
        std::vector<bool> used(static_cast<std::size_t>(50 * perWavelength), true);
        used[100] = false;
        const SampleSet set = SampleSet::EqualSteps(50 * perWavelength, used);
        const std::vector<double> z = ResidualAt(AnglesOf(set), 13);
        for (const FilterKind kind : {FilterKind::Gaussian, FilterKind::Robust}) {
            std::vector<double> out(z.size(), 0.0);
            const FilterOutcome outcome = FilterProfile({kind, 50}, set, z, out, progress);
            EXPECT_TRUE(outcome.Finished);
            EXPECT_EQ(outcome.Unfiltered, perWavelength == 6) << FilterName(kind);
            // With 7 per wavelength the robust filter may not settle: its own warning then.
            const bool warned = std::count(outcome.Warnings.begin(), outcome.Warnings.end(), kTooSparseWarning) == 1;
            EXPECT_EQ(warned, perWavelength == 6) << FilterName(kind);
            EXPECT_TRUE(perWavelength == 7 || outcome.Warnings.size() == 1u);
            EXPECT_EQ(out[50] == z[50], perWavelength == 6);
        }
    }
    // One stretch of a dense scan at 1.2° steps, 6 per 7.2° wavelength, is
    // enough to leave the profile unfiltered; at 1°, 7.2 per wavelength, not.
    for (const double step : {1.2, 1.0}) {
        std::vector<double> angles;
        for (double d = 0; d < 100; d += 0.1) angles.push_back(d * kDegree);
        for (double d = 100; d < 120; d += step) angles.push_back(d * kDegree);
        for (double d = 120; d < 359.95; d += 0.1) angles.push_back(d * kDegree);
        const SampleSet set = SetAt(angles);
        EXPECT_EQ(TooSparseForFilter(set, CoveredAngles(set), 50), step == 1.2);
    }
}

TEST(AnyAngleFilter, RobustFilterIsTheReweightedMeanAndLeavesASpikeOut)
{
    // 400 jittered samples, one of them 20 µm off: the plain iteration agrees
    // pass for pass, and the spike moves its neighbours' filtered values far
    // less than the Gaussian's.
    const SampleSet set = SetAt(JitteredAngles(400, 21), std::vector<bool>(400, true));
    std::vector<double> z = ResidualAt(AnglesOf(set), 22, false), spiked = z;
    spiked[200] += 0.020;
    std::vector<double> robust(z.size()), robustSpiked(z.size()), gaussian(z.size()), gaussianSpiked(z.size());
    RobustFilterOutcome outcome;
    ASSERT_TRUE(RobustGaussianFilterAnyAngles(set, spiked, robustSpiked, 15, outcome));
    EXPECT_TRUE(outcome.Converged);
    EXPECT_LT(LargestDifference(robustSpiked, DirectRobust(set, spiked, 15, outcome.Iterations)), 1e-13);
    EXPECT_LT(outcome.OwnShare[200], 1e-12); // the spike weighs nothing in its own value

    ASSERT_TRUE(RobustGaussianFilterAnyAngles(set, z, robust, 15, outcome));
    ASSERT_TRUE(GaussianFilterAnyAngles(set, z, gaussian, 15));
    ASSERT_TRUE(GaussianFilterAnyAngles(set, spiked, gaussianSpiked, 15));
    double robustShift = 0, gaussianShift = 0;
    for (int i = 195; i <= 205; ++i) {
        robustShift = std::max(robustShift, std::fabs(robustSpiked[i] - robust[i]));
        gaussianShift = std::max(gaussianShift, std::fabs(gaussianSpiked[i] - gaussian[i]));
    }
    // The spike's share of the Gaussian's values about it is 1 µm or so; the
    // robust values move a tenth of that, as the equal-step filter's do on
    // so few samples (the weights of all the others shift with it).
    EXPECT_GT(gaussianShift, 0.001);
    EXPECT_LT(robustShift, 0.15 * gaussianShift);

    ASSERT_TRUE(RobustGaussianFilterAnyAngles(set, spiked, robust, 15, outcome, {1, 0.0}));
    EXPECT_FALSE(outcome.Converged);
    EXPECT_EQ(outcome.Warning, "The robust filter did not converge in 1 iteration.");
}

TEST(AnyAngleFilter, SpikeSearchFindsThePlantedSpikesBySampleIndex)
{
    // A jittered table with a sector excluded: three spikes among the used
    // samples, none found in the plain profile, and on equal steps over a
    // full turn the equal-step search itself.
    std::vector<bool> used(3600, true);
    for (int i = 1000; i < 1100; ++i) used[i] = false;
    const SampleSet set = SetAt(JitteredAngles(3600, 31), used);
    std::vector<double> z = ResidualAt(AnglesOf(set), 32, false);
    SpikeSearch search;
    ASSERT_TRUE(FindSpikes(z, set, 50, kSpikeDeviations, search));
    EXPECT_TRUE(search.Samples.empty());
    EXPECT_NEAR(search.DeviationMm, 0.001, 0.0001);
    z[1050] += 0.5; // excluded: never looked at
    z[999] += 0.012, z[1100] -= 0.012, z[2500] += 0.015;
    ASSERT_TRUE(FindSpikes(z, set, 50, kSpikeDeviations, search));
    EXPECT_EQ(search.Samples, (std::vector<int>{999, 1100, 2500}));

    const std::vector<double> equal = test::LobedResidual(3600, 0.002, 33, true);
    SpikeSearch expected;
    ASSERT_TRUE(FindSpikes(equal, 50, kSpikeDeviations, expected));
    ASSERT_TRUE(FindSpikes(equal, SampleSet::EqualSteps(3600), 50, kSpikeDeviations, search));
    EXPECT_EQ(search.Samples, expected.Samples);
    EXPECT_EQ(search.DeviationMm, expected.DeviationMm);
}

TEST(AnyAngleFilter, SwitchCopiesForNoneAndRefusesTheHarmonicKinds)
{
    const SampleSet set = SetAt(JitteredAngles(360, 41), std::vector<bool>(360, true));
    const std::vector<double> z = ResidualAt(AnglesOf(set), 42);
    NoProgress progress;
    std::vector<double> out(z.size(), 7.0);
    for (const FilterKind kind : {FilterKind::GaussianExact, FilterKind::TwoRC, FilterKind::Band})
        EXPECT_FALSE(FilterProfile({kind, 50, 15, 150}, set, z, out, progress).Finished);
    std::vector<double> shorter(z.size() - 1);
    EXPECT_FALSE(FilterProfile({}, set, z, shorter, progress).Finished);
    EXPECT_EQ(out, std::vector<double>(z.size(), 7.0));
    const FilterOutcome none = FilterProfile({FilterKind::None, 50}, set, z, out, progress);
    EXPECT_TRUE(none.Finished && !none.Unfiltered && none.Warnings.empty());
    EXPECT_EQ(out, z);
}

} // namespace
} // namespace kyklos
