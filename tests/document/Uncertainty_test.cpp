#include "document/CounterRandom.h"
#include "document/FakeUi.h"
#include "document/ProfileAnalysis.h"
#include "document/Uncertainty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace kyklos {
namespace {

// A 10 mm part with three lobes of 2 µm and a centre 5 µm off the axis, at equal steps.
Profile LobedProfile(int n)
{
    std::vector<double> radii(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = 2.0 * std::numbers::pi * i / n;
        radii[static_cast<std::size_t>(i)] = 10.0 + 0.001 * std::cos(3.0 * t) + 0.005 * std::cos(t);
    }
    return EqualStepProfile(std::move(radii));
}

struct Simulation {
    Profile profile;
    AnalysisSettings settings;
    AnalysisResult measured;
    UncertaintyResult result;
    UncertaintyStatus status = UncertaintyStatus::NotAnalysed;
};

Simulation Simulate(int n, const UncertaintyRequest& request)
{
    Simulation s;
    s.profile = LobedProfile(n);
    NoProgress quiet;
    std::string refusal;
    EXPECT_EQ(AnalyseProfile(s.profile, s.settings, quiet, s.measured, refusal), AnalysisStatus::Done);
    s.status = SimulateUncertainty(s.profile, s.settings, s.measured, request, quiet, s.result);
    return s;
}

// Probe noise σ alone on N equal steps: the least squares limaçon is linear
// in the radii, a = (2/N)Σr·cos θ, c = (1/N)Σr, so u(a) = u(b) = σ·√(2/N) and
// u(c) = σ/√N; the filter passes the limaçon untouched. A sample standard
// deviation of M draws has a relative standard error of 1/√(2(M − 1)).
TEST(Uncertainty, ProbeNoiseGivesTheLeastSquaresCentreAndRadiusTheirClosedForm)
{
    constexpr int kN = 360, kDraws = 2000;
    constexpr double kSigmaMm = 0.001;
    UncertaintyRequest request;
    request.Model.ProbeNoiseUm = 1.0;
    request.Draws = kDraws;
    const Simulation s = Simulate(kN, request);
    ASSERT_EQ(s.status, UncertaintyStatus::Done);
    const ReferenceUncertainty& ls = s.result.Reference(ReferenceKind::LeastSquares);
    ASSERT_TRUE(ls.Valid);
    EXPECT_EQ(ls.FailedDraws, 0);
    const double relativeError = 1.0 / std::sqrt(2.0 * (kDraws - 1));
    const auto expectNear = [&](UncertainQuantity quantity, double expected) {
        SCOPED_TRACE(std::string(UncertainQuantityName(quantity)));
        EXPECT_NEAR(ls[quantity].StandardUncertainty, expected, 4.0 * relativeError * expected);
    };
    expectNear(UncertainQuantity::ReferenceA, kSigmaMm * std::sqrt(2.0 / kN));
    expectNear(UncertainQuantity::ReferenceB, kSigmaMm * std::sqrt(2.0 / kN));
    expectNear(UncertainQuantity::ReferenceC, kSigmaMm / std::sqrt(kN));

    // The estimates are the measured values, the simulated centre is unbiased,
    // and the 95 % interval of a normal quantity spans ±1.96 u about its mean.
    const QuantityUncertainty& a = ls[UncertainQuantity::ReferenceA];
    EXPECT_EQ(a.Estimate, s.measured.Evaluation.Reference(ReferenceKind::LeastSquares).ReferenceA);
    EXPECT_LT(std::fabs(a.Bias), 4.0 * a.StandardUncertainty / std::sqrt(kDraws));
    EXPECT_NEAR(a.IntervalHigh - a.IntervalLow, 2.0 * 1.96 * a.StandardUncertainty, 0.1 * a.StandardUncertainty);
    EXPECT_GT(a.IntervalError, 0.0);
    EXPECT_LT(a.IntervalError, 0.2 * a.StandardUncertainty);
    // Noise on a form of 2 µm peak to valley widens it: RONt is biased upward.
    EXPECT_GT(ls[UncertainQuantity::RONt].Bias, 0.0);
    ASSERT_TRUE(s.result.ExpandedUncertainty);
    EXPECT_EQ(*s.result.ExpandedUncertainty, 2.0 * ls[UncertainQuantity::RONt].StandardUncertainty);
}

// Probe and angular noise together: the radius c is the mean of the radii,
// so u(c)² = (N·σ² + σθ²·Σ r′ᵢ²)/N², the slopes those of the filtered profile.
TEST(Uncertainty, ProbeAndAngularNoiseAddInVarianceThroughTheSlope)
{
    constexpr int kN = 360, kDraws = 2000;
    UncertaintyRequest request;
    request.Model.ProbeNoiseUm = 0.05;
    request.Model.AngularNoiseDeg = 1.0;
    request.Draws = kDraws;
    const Simulation s = Simulate(kN, request);
    ASSERT_EQ(s.status, UncertaintyStatus::Done);
    const std::vector<double> slope = ProfileSlopes(s.measured.FilteredRadius, EqualStepAngles(kN), true);
    double slopeSquares = 0.0;
    for (const double r : slope) slopeSquares += r * r;
    const double sigmaMm = 0.05e-3, angleRad = std::numbers::pi / 180.0;
    const double expected = std::sqrt(kN * sigmaMm * sigmaMm + angleRad * angleRad * slopeSquares) / kN;
    ASSERT_GT(angleRad * angleRad * slopeSquares, kN * sigmaMm * sigmaMm); // the angular term matters
    const double u = s.result.Reference(ReferenceKind::LeastSquares)[UncertainQuantity::ReferenceC].StandardUncertainty;
    EXPECT_NEAR(u, expected, 4.0 / std::sqrt(2.0 * (kDraws - 1)) * expected);
}

TEST(Uncertainty, ZeroModelGivesZeroUncertaintyExactly)
{
    UncertaintyRequest request;
    request.Draws = 20;
    const Simulation s = Simulate(360, request);
    ASSERT_EQ(s.status, UncertaintyStatus::Done);
    for (const ReferenceKind kind : kReferenceKinds) {
        const ReferenceUncertainty& reference = s.result.Reference(kind);
        ASSERT_TRUE(reference.Valid);
        for (const QuantityUncertainty& q : reference.Quantities) {
            EXPECT_EQ(q.StandardUncertainty, 0.0);
            EXPECT_EQ(q.Bias, 0.0);
            EXPECT_EQ(q.IntervalError, 0.0);
            EXPECT_EQ(q.IntervalLow, q.Estimate);
            EXPECT_EQ(q.IntervalHigh, q.Estimate);
        }
    }
    EXPECT_EQ(s.result.ExpandedUncertainty, 0.0);
    // No tolerance, no decision.
    EXPECT_EQ(s.result.Decision, ConformityDecision::None);
}

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// Every term of the model on, including the angular term through the slope.
TEST(Uncertainty, SameResultsForOneAndTwoWorkersAndCancelStops)
{
    UncertaintyRequest request;
    request.Model = {0.05, 0.5, 0.02, 0.01};
    request.Draws = 60;
    request.Seed = 7;
    request.Workers = 1;
    const Simulation one = Simulate(720, request);
    request.Workers = 2;
    const Simulation two = Simulate(720, request);
    ASSERT_EQ(one.status, UncertaintyStatus::Done);
    ASSERT_EQ(two.status, UncertaintyStatus::Done);
    for (const ReferenceKind kind : kReferenceKinds) {
        for (std::size_t q = 0; q < kUncertainQuantityCount; ++q) {
            const QuantityUncertainty& x = one.result.Reference(kind).Quantities[q];
            const QuantityUncertainty& y = two.result.Reference(kind).Quantities[q];
            EXPECT_TRUE(SameBits(x.StandardUncertainty, y.StandardUncertainty) && SameBits(x.Bias, y.Bias) &&
                        SameBits(x.IntervalLow, y.IntervalLow) && SameBits(x.IntervalHigh, y.IntervalHigh) &&
                        SameBits(x.IntervalError, y.IntervalError));
            EXPECT_GT(x.StandardUncertainty, 0.0);
        }
    }

    FakeProgress progress;
    progress.cancelAtUpdate = 1;
    UncertaintyResult cancelled;
    request.Draws = 100000;
    EXPECT_EQ(SimulateUncertainty(one.profile, one.settings, one.measured, request, progress, cancelled),
              UncertaintyStatus::Cancelled);
    EXPECT_EQ(cancelled.Draws, 0);
}

// The angular term is r′(θ)·δθ: on a pure three-lobe form its slope is
// −3A·sin 3θ, exact central differences of a sampled cosine give
// −A·sin 3θ·sin(3h)/h.
TEST(Uncertainty, SlopesAreCentralDifferencesThatWrapOnlyOnAClosedProfile)
{
    constexpr int kN = 90;
    constexpr double kAmplitude = 0.002, kStep = 2.0 * std::numbers::pi / kN;
    std::vector<double> radius, angles = EqualStepAngles(kN);
    for (const double t : angles) radius.push_back(kAmplitude * std::cos(3.0 * t));
    const std::vector<double> slope = ProfileSlopes(radius, angles, true);
    for (int i = 0; i < kN; ++i)
        EXPECT_NEAR(slope[i], -kAmplitude * std::sin(3.0 * angles[i]) * std::sin(3.0 * kStep) / kStep, 1e-15);

    const std::vector<double> arc = ProfileSlopes(radius, angles, false);
    EXPECT_NEAR(arc.front(), (radius[1] - radius[0]) / kStep, 1e-15);
    EXPECT_NEAR(arc.back(), (radius[kN - 1] - radius[kN - 2]) / kStep, 1e-15);
}

// The narrowest window of q draws by brute force over every pair of ends.
double NarrowestWidth(std::vector<double> draws, std::size_t q)
{
    double best = INFINITY;
    for (const double low : draws)
        for (const double high : draws) {
            const auto inside =
                std::count_if(draws.begin(), draws.end(), [&](double y) { return y >= low && y <= high; });
            if (high >= low && static_cast<std::size_t>(inside) >= q) best = std::min(best, high - low);
        }
    return best;
}

TEST(Uncertainty, ShortestCoverageIntervalIsTheNarrowestWindowOfRoundedPM)
{
    // p·M = 3 is whole: windows of three, [1, 2] the narrowest.
    const std::vector<double> small{0.0, 1.0, 1.5, 2.0, 10.0};
    EXPECT_EQ(ShortestCoverageInterval(small, 0.6), (std::pair{1.0, 2.0}));
    // p·M = 4.75 rounds to 5: the whole sample.
    EXPECT_EQ(ShortestCoverageInterval(small, 0.95), (std::pair{0.0, 10.0}));
    // A tie keeps the lower window.
    EXPECT_EQ(ShortestCoverageInterval(std::vector<double>{0.0, 1.0, 2.0}, 0.5), (std::pair{0.0, 1.0}));

    std::mt19937 random(3);
    std::lognormal_distribution<double> skewed(0.0, 0.8);
    for (const std::size_t m : {20u, 37u, 61u}) {
        std::vector<double> draws(m);
        for (double& y : draws) y = std::round(skewed(random) * 8.0) / 8.0; // ties on purpose
        std::sort(draws.begin(), draws.end());
        for (const double p : {0.5, 0.9, 0.95}) {
            const double pm = p * static_cast<double>(m);
            const auto q = static_cast<std::size_t>(std::floor(pm + 0.5));
            const auto [low, high] = ShortestCoverageInterval(draws, p);
            EXPECT_EQ(high - low, NarrowestWidth(draws, q)) << "M " << m << " p " << p;
            EXPECT_GE(std::count_if(draws.begin(), draws.end(), [&](double y) { return y >= low && y <= high; }),
                      static_cast<std::ptrdiff_t>(q));
        }
    }
}

// The quantile against the distribution function from the C library's erfc:
// Φ(x) = ½·erfc(−x/√2), each tail compared as a probability of its own.
TEST(Uncertainty, InverseNormalInvertsTheDistributionFunctionIntoBothTails)
{
    for (const double p : {1e-300, 1e-100, 1e-20, 3e-7, 0.01, 0.0749, 0.0751, 0.3, 0.5, 0.6, 0.92, 0.999}) {
        const double x = InverseNormal(p);
        EXPECT_NEAR(0.5 * std::erfc(-x / std::sqrt(2.0)) / p, 1.0, 1e-12) << p;
        // The upper tail: the complement of p, with the same quantile but its sign.
        const double upper = InverseNormal(1.0 - p);
        if (1.0 - (1.0 - p) == p) {
            EXPECT_NEAR(upper, -x, 1e-12 * (1.0 + std::fabs(x))) << p;
        }
    }
    EXPECT_EQ(InverseNormal(0.5), 0.0);
    // The uniforms stay inside (0, 1) at both ends of a word, symmetrically.
    EXPECT_GT(OpenUnitInterval(0), 0.0);
    EXPECT_LT(OpenUnitInterval(~std::uint64_t{0}), 1.0);
    EXPECT_EQ(OpenUnitInterval(~std::uint64_t{0}), 1.0 - OpenUnitInterval(0));
    EXPECT_TRUE(std::isfinite(InverseNormal(OpenUnitInterval(~std::uint64_t{0}))));
}

// All four words of a call serve their own samples: each is standard normal
// and uncorrelated with its neighbour in the call and with the next call.
TEST(Uncertainty, EveryWordOfACallIsAnIndependentStandardNormal)
{
    constexpr int kCalls = 20000;
    const CounterRandom random(11);
    std::vector<double> z;
    for (int b = 0; b < kCalls; ++b)
        for (const double x : random.Normals(3, static_cast<std::uint64_t>(b), 0)) z.push_back(x);
    const double n = static_cast<double>(z.size()), tolerance = 5.0 / std::sqrt(n);
    double sum = 0.0, squares = 0.0, lag = 0.0, tail = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
        sum += z[i];
        squares += z[i] * z[i];
        lag += z[i] * z[(i + 1) % z.size()];
        tail += std::fabs(z[i]) > 1.959963984540054 ? 1.0 : 0.0;
    }
    EXPECT_NEAR(sum / n, 0.0, tolerance);
    EXPECT_NEAR(squares / n, 1.0, std::sqrt(2.0) * tolerance);
    EXPECT_NEAR(lag / n, 0.0, tolerance);
    EXPECT_NEAR(tail / n, 0.05, 5.0 * std::sqrt(0.05 * 0.95 / n));
    // The four lanes at once give the bits of the quantile one at a time.
    for (std::uint64_t b = 0; b < 64; ++b) {
        const std::array<double, 4> u = random.Uniforms(5, b, 1), z = random.Normals(5, b, 1);
        for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(z[k], InverseNormal(u[k]));
    }
    // Another stream at the same address gives other numbers.
    EXPECT_NE(random.Normals(3, 0, 0), random.Normals(3, 0, 2));
}

// Binary fractions of a millimetre are exact in micrometres, so each
// boundary is met with equality.
TEST(Uncertainty, DecisionAtItsThreeBoundaries)
{
    constexpr double kRontMm = 0.0078125, kExpandedMm = 0.0009765625;
    const auto decide = [=](double toleranceUm) {
        return DecideConformity(kRontMm, kExpandedMm, RoundnessTolerance{toleranceUm, true});
    };
    EXPECT_EQ(decide(8.7890625), ConformityDecision::Conforms);  // RONt + U = t
    EXPECT_EQ(decide(8.78), ConformityDecision::Undecided);      // just inside the upper guard band
    EXPECT_EQ(decide(7.8125), ConformityDecision::Undecided);    // RONt = t: the plain verdict passes
    EXPECT_EQ(decide(6.8359375), ConformityDecision::Undecided); // RONt − U = t
    EXPECT_EQ(decide(6.83), ConformityDecision::DoesNotConform);
    // In microinches the guard band is compared in microinches too.
    EXPECT_EQ(DecideConformity(kRontMm, kExpandedMm, RoundnessTolerance{346.1, false}), ConformityDecision::Conforms);
    EXPECT_EQ(DecideConformity(kRontMm, kExpandedMm, RoundnessTolerance{346.0, false}), ConformityDecision::Undecided);
    EXPECT_EQ(DecideConformity(kRontMm, kExpandedMm, std::nullopt), ConformityDecision::None);
    EXPECT_EQ(DecideConformity(std::nullopt, kExpandedMm, RoundnessTolerance{10.0, true}), ConformityDecision::None);
}

} // namespace
} // namespace kyklos
