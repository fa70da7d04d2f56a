#include "analysis/GaussianFilter.h"
#include "analysis/GaussianFilterDetail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using kyklos::ComputeGaussianKernel;
using kyklos::GaussianFilterProfile;
using kyklos::GaussianKernel;
using kyklos::NoProgress;
using kyklos::ProgressPort;
using kyklos::detail::FilterPath;

constexpr double kTwoPi = 6.283185307179586;
constexpr double kAlpha = 0.46971863934982566;
const double kCutoffs[] = {5.0, 15.0, 50.0, 150.0, 500.0};
const FilterPath kPaths[] = {FilterPath::Portable, FilterPath::Avx2, FilterPath::Avx512};

// A progress display that records what the filter asks of it and plays a
// user who presses Cancel before a chosen message pump.
class RecordingProgress final : public ProgressPort {
public:
    bool canShow = true;
    int cancelAtPump = 0; // 0: never
    std::string caption;
    std::string message;
    std::vector<int> positions;
    std::vector<std::string> events;
    int pumps = 0;
    int closes = 0;

    bool Show(std::string_view newCaption, std::string_view newMessage) override
    {
        caption = newCaption;
        message = newMessage;
        events.push_back("show");
        active_ = canShow;
        return canShow;
    }
    void SetPos(int position) override
    {
        positions.push_back(position);
        events.push_back("pos " + std::to_string(position));
    }
    void PumpMessage() override
    {
        ++pumps;
        events.push_back("pump");
        if (pumps == cancelAtPump) active_ = false;
    }
    bool IsActive() const override { return active_; }
    void Close() override
    {
        ++closes;
        events.push_back("close");
        active_ = false;
    }

private:
    bool active_ = false;
};

// The filter as the text describes it, pass by pass with circular indices:
// the reference every code path must reproduce bit for bit.
bool ReferenceFilter(const std::vector<double>& input, std::vector<double>& output, double cutoff,
                     ProgressPort& progress)
{
    const int n = static_cast<int>(input.size());
    const GaussianKernel kernel = ComputeGaussianKernel(n, cutoff);
    const int pairs = kernel.Pairs;
    const double q2 = kernel.Ratio * kernel.Ratio;
    std::vector<double> weights{kernel.Centre};
    double w = kernel.Centre;
    double m = kernel.Ratio;
    for (int k = 1; k <= pairs; ++k) {
        w = m * w;
        m = q2 * m;
        weights.push_back(w);
    }
    double tail = 0.0;
    for (int k = 1; k <= pairs; ++k) tail += weights[k];
    const double gain = kernel.Centre + 2.0 * tail;
    if (std::fabs(gain - 1.0) > 1e-3)
        for (double& x : weights) x /= gain;

    const bool shown =
        progress.Show("ZizeruzeVizava", std::to_string(static_cast<int>(cutoff)) + " UPR Gaussian Filter...");
    output.assign(input.size(), 0.0);
    for (int i = 0; i < n; ++i) output[i] = weights[0] * input[i];
    double last = -1.0;
    bool cancelled = false;
    for (int k = 1; k <= pairs && !cancelled; ++k) {
        for (int i = 0; i < n; ++i) {
            const int up = (i + k) % n;
            const int down = ((i - k) % n + n) % n;
            output[i] += (input[up] + input[down]) * weights[k];
        }
        const double p = k * 100.0 / pairs;
        if (last + 1.0 < p && shown) {
            last = p;
            progress.PumpMessage();
            progress.SetPos(static_cast<int>(p));
            if (!progress.IsActive()) cancelled = true;
        }
    }
    if (progress.IsActive()) progress.Close();
    return !cancelled;
}

std::vector<double> RandomProfile(int count, unsigned seed)
{
    std::mt19937_64 generator(seed);
    std::uniform_real_distribution<double> radius(-0.01, 0.01);
    std::vector<double> profile(static_cast<std::size_t>(count));
    for (double& r : profile) r = 25.0 + radius(generator);
    return profile;
}

std::vector<double> Undulation(int count, double upr)
{
    std::vector<double> profile(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) profile[i] = std::cos(upr * kTwoPi * i / count + 0.3);
    return profile;
}

// Amplitude of the `upr` component by projection (exact for a whole number of undulations).
double Amplitude(const std::vector<double>& profile, double upr)
{
    const int n = static_cast<int>(profile.size());
    double c = 0.0;
    double s = 0.0;
    for (int i = 0; i < n; ++i) {
        c += profile[i] * std::cos(upr * kTwoPi * i / n);
        s += profile[i] * std::sin(upr * kTwoPi * i / n);
    }
    return 2.0 * std::hypot(c, s) / n;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::vector<double> Filter(FilterPath path, const std::vector<double>& input, double cutoff, ProgressPort& progress,
                           bool* finished = nullptr)
{
    std::vector<double> output(input.size(), -1.0);
    const bool done =
        kyklos::detail::GaussianFilterProfileOn(path, input, output, static_cast<int>(input.size()), cutoff, progress);
    if (finished) *finished = done;
    return output;
}

TEST(GaussianKernel, PairsOfTheListedProfiles)
{
    const int pairs3600[] = {521, 187, 61, 22, 8};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(ComputeGaussianKernel(3600, kCutoffs[c]).Pairs, pairs3600[c]) << kCutoffs[c];
    EXPECT_EQ(ComputeGaussianKernel(36000, 50.0).Pairs, 596);
}

TEST(GaussianKernel, UsualProfilesHaveUnitGainAndShortOnesDoNot)
{
    for (const int n : {3600, 36000})
        for (const double cutoff : kCutoffs)
            EXPECT_NEAR(ComputeGaussianKernel(n, cutoff).WeightSum, 1.0, 2e-4) << n << " samples, " << cutoff << " UPR";
    // Fewer than about five samples per cutoff wavelength: the sampled
    // weighting function sums to far more than 1.
    EXPECT_NEAR(ComputeGaussianKernel(100, 500.0).WeightSum, 10.64, 0.01);
    EXPECT_NEAR(ComputeGaussianKernel(360, 500.0).WeightSum, 2.96, 0.01);
}

TEST(GaussianFilter, KeepsAConstantProfile)
{
    for (const double cutoff : kCutoffs)
        for (const double c : {25.4, -3.0}) {
            const std::vector<double> input(3600, c);
            NoProgress progress;
            const std::vector<double> output = Filter(kyklos::detail::BestFilterPath(), input, cutoff, progress);
            for (const double r : output) ASSERT_NEAR(r, c, 2e-4 * std::fabs(c)) << cutoff << " UPR";
        }
    // Too few samples under the weighting function: the weights are scaled to
    // unit gain instead of multiplying the profile by 10.64 or 2.96.
    for (const int n : {100, 360}) {
        const std::vector<double> input(static_cast<std::size_t>(n), 12.5);
        NoProgress progress;
        for (const FilterPath path : kPaths) {
            if (!kyklos::detail::FilterPathSupported(path)) continue;
            for (const double r : Filter(path, input, 500.0, progress)) ASSERT_NEAR(r, 12.5, 1e-12) << n;
        }
    }
}

TEST(GaussianFilter, TransmitsUndulationsAsTheWeightingFunction)
{
    // 50 % at the cutoff; exp(−π·(α·f/fc)²) around it.
    for (const double cutoff : kCutoffs)
        for (const double upr : {std::floor(cutoff / 2.0), cutoff, 2.0 * cutoff}) {
            const double ratio = upr / cutoff;
            const std::vector<double> input = Undulation(3600, upr);
            NoProgress progress;
            const std::vector<double> output = Filter(kyklos::detail::BestFilterPath(), input, cutoff, progress);
            const double expected = std::exp(-std::numbers::pi * (kAlpha * ratio) * (kAlpha * ratio));
            EXPECT_NEAR(Amplitude(output, upr) / Amplitude(input, upr), expected, 2e-4)
                << upr << " UPR through " << cutoff << " UPR";
        }
}

TEST(GaussianFilterPaths, EveryPathMatchesTheReferenceBitForBit)
{
    struct Case {
        int count;
        double cutoff;
    };
    std::vector<Case> cases;
    for (const int n : {1, 2, 3, 5, 17, 100, 257, 1000, 3600})
        for (const double cutoff : kCutoffs) cases.push_back({n, cutoff});
    // Fractional cutoffs give kernels many times longer than the profile.
    for (const int n : {1, 2, 3, 10, 64, 65, 300})
        for (const double cutoff : {0.05, 0.7}) cases.push_back({n, cutoff});
    cases.push_back({36000, 50.0});

    int wrapping = 0;
    for (const Case& c : cases) {
        if (ComputeGaussianKernel(c.count, c.cutoff).Pairs > 2 * c.count) ++wrapping;
        const std::vector<double> input = RandomProfile(c.count, static_cast<unsigned>(c.count * 1000 + c.cutoff * 10));
        std::vector<double> expected;
        NoProgress quiet;
        ReferenceFilter(input, expected, c.cutoff, quiet);
        for (const FilterPath path : kPaths) {
            if (!kyklos::detail::FilterPathSupported(path)) continue;
            EXPECT_TRUE(SameBits(Filter(path, input, c.cutoff, quiet), expected))
                << kyklos::detail::FilterPathName(path) << ", " << c.count << " samples, " << c.cutoff << " UPR";
        }
    }
    EXPECT_GE(wrapping, 5); // the wrap-around more than once was exercised
}

TEST(GaussianFilterPaths, BestPathIsSupportedAndUsedByDefault)
{
    EXPECT_TRUE(kyklos::detail::FilterPathSupported(FilterPath::Portable));
    EXPECT_TRUE(kyklos::detail::FilterPathSupported(kyklos::detail::BestFilterPath()));
    const std::vector<double> input = RandomProfile(777, 5);
    std::vector<double> output(input.size());
    NoProgress progress;
    EXPECT_TRUE(GaussianFilterProfile(input, output, 777, 15.0, progress));
    std::vector<double> expected;
    ReferenceFilter(input, expected, 15.0, progress);
    EXPECT_TRUE(SameBits(output, expected));
}

TEST(GaussianFilterProgress, EightPairsUpdateAfterEveryPass)
{
    const std::vector<double> input = RandomProfile(3600, 1);
    RecordingProgress progress;
    bool finished = false;
    Filter(FilterPath::Portable, input, 500.0, progress, &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(progress.caption, "ZizeruzeVizava");
    EXPECT_EQ(progress.message, "500 UPR Gaussian Filter...");
    EXPECT_EQ(progress.positions, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100}));
    EXPECT_EQ(progress.pumps, 8);
    EXPECT_EQ(progress.closes, 1);
    EXPECT_EQ(progress.events.back(), "close");

    RecordingProgress fractional;
    Filter(FilterPath::Portable, RandomProfile(100, 2), 49.9, fractional);
    EXPECT_EQ(fractional.message, "49 UPR Gaussian Filter...");
}

TEST(GaussianFilterProgress, LongKernelUpdatesAboutEverySixthPass)
{
    const std::vector<double> input = RandomProfile(3600, 3);
    for (const FilterPath path : kPaths) {
        if (!kyklos::detail::FilterPathSupported(path)) continue;
        RecordingProgress progress;
        Filter(path, input, 5.0, progress);
        RecordingProgress reference;
        std::vector<double> expected;
        ReferenceFilter(input, expected, 5.0, reference);
        ASSERT_FALSE(progress.positions.empty());
        EXPECT_EQ(progress.positions.front(), 0); // the first of 521 passes is 0.19 %
        EXPECT_GE(progress.positions.size(), 521u / 7);
        EXPECT_LE(progress.positions.size(), 521u / 5);
        for (std::size_t i = 1; i < progress.positions.size(); ++i)
            EXPECT_GE(progress.positions[i] - progress.positions[i - 1], 1);
        EXPECT_EQ(progress.events, reference.events) << kyklos::detail::FilterPathName(path);
    }
}

TEST(GaussianFilterProgress, CancelLeavesThePartialSumOfTheFinishedPasses)
{
    struct Case {
        int count;
        double cutoff;
        int cancelAtPump;
    };
    for (const Case c : {Case{3600, 500.0, 3}, Case{3600, 5.0, 10}, Case{3600, 5.0, 1}, Case{36000, 50.0, 40}}) {
        const std::vector<double> input = RandomProfile(c.count, 4);
        RecordingProgress reference;
        reference.cancelAtPump = c.cancelAtPump;
        std::vector<double> expected;
        ASSERT_FALSE(ReferenceFilter(input, expected, c.cutoff, reference));
        std::vector<double> complete;
        NoProgress quiet;
        ReferenceFilter(input, complete, c.cutoff, quiet);
        ASSERT_FALSE(SameBits(expected, complete));

        for (const FilterPath path : kPaths) {
            if (!kyklos::detail::FilterPathSupported(path)) continue;
            RecordingProgress progress;
            progress.cancelAtPump = c.cancelAtPump;
            bool finished = true;
            const std::vector<double> output = Filter(path, input, c.cutoff, progress, &finished);
            const std::string where = std::string(kyklos::detail::FilterPathName(path)) + ", " +
                                      std::to_string(c.cutoff) + " UPR, cancel at pump " +
                                      std::to_string(c.cancelAtPump);
            EXPECT_FALSE(finished) << where;
            EXPECT_EQ(progress.pumps, c.cancelAtPump) << where;
            EXPECT_EQ(progress.closes, 0) << where; // Cancel already ended the display
            EXPECT_TRUE(SameBits(output, expected)) << where;
        }
    }
}

TEST(GaussianFilterProgress, WithoutADisplayRunsToTheEnd)
{
    const std::vector<double> input = RandomProfile(3600, 6);
    RecordingProgress progress;
    progress.canShow = false;
    progress.cancelAtPump = 1;
    bool finished = false;
    const std::vector<double> output = Filter(kyklos::detail::BestFilterPath(), input, 50.0, progress, &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(progress.events, std::vector<std::string>{"show"});
    std::vector<double> expected;
    NoProgress quiet;
    ReferenceFilter(input, expected, 50.0, quiet);
    EXPECT_TRUE(SameBits(output, expected));
}

TEST(GaussianFilter, ShortSpansAreRefusedAndOneArrayMayServeBoth)
{
    const std::vector<double> input = RandomProfile(50, 7);
    std::vector<double> output(49, 7.0);
    RecordingProgress progress;
    EXPECT_FALSE(GaussianFilterProfile(input, output, 50, 50.0, progress));
    EXPECT_EQ(output, std::vector<double>(49, 7.0));
    EXPECT_TRUE(progress.events.empty());

    std::vector<double> inPlace = RandomProfile(500, 8);
    std::vector<double> expected;
    NoProgress quiet;
    ReferenceFilter(inPlace, expected, 50.0, quiet);
    EXPECT_TRUE(GaussianFilterProfile(inPlace, inPlace, 500, 50.0, quiet));
    EXPECT_TRUE(SameBits(inPlace, expected));
}

} // namespace
