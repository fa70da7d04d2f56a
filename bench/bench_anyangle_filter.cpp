// The filter at any angles on 36000 samples of a scanning instrument's table
// (a step of 0.01° give or take 40 %) beside today's equal-step filter on
// 36000 samples, at 5 and 50 UPR: the Gaussian, the robust filter and the
// spike search, each through the analysis's switch. Then the analysis of
// both profiles from the least squares fit to the minimum zone reference, to
// be held within 5× of each other at the default cutoff.
//
//   bench_anyangle_filter --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"
#include "analysis/ProfileFilter.h"
#include "analysis/ReferenceFit.h"
#include "analysis/SampleSet.h"
#include "analysis/SpikeSearch.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kyklos;

constexpr int kCount = 36000;
constexpr double kTwoPi = 6.283185307179586;

const SampleSet& Set(bool jittered)
{
    static const SampleSet equal = SampleSet::EqualSteps(kCount);
    static const SampleSet unequal = [] {
        std::mt19937 rng(36);
        std::uniform_real_distribution<double> jitter(-0.4, 0.4);
        std::vector<double> angles(kCount);
        for (int i = 0; i < kCount; ++i)
            angles[static_cast<std::size_t>(i)] = (i + 0.5 + jitter(rng)) * kTwoPi / kCount;
        SampleSet s;
        SampleSet::FromAngles(angles, {}, s);
        return s;
    }();
    return jittered ? unequal : equal;
}

// The radii of an eccentric lobed part with probe noise (mm).
std::vector<double> Radii(const SampleSet& set)
{
    std::mt19937 rng(12);
    std::normal_distribution<double> noise(0.0, 0.0002);
    std::vector<double> r(static_cast<std::size_t>(set.Count()));
    for (int i = 0; i < set.Count(); ++i) {
        const double t = set.Angle(i);
        r[static_cast<std::size_t>(i)] = 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10 + 0.002 * std::cos(3 * t + 0.4) +
                                         0.001 * std::cos(7 * t + 1.1) + 0.0005 * std::cos(23 * t) + noise(rng);
    }
    return r;
}

std::vector<double> Residual(const SampleSet& set)
{
    std::vector<double> r = Radii(set);
    for (int i = 0; i < set.Count(); ++i) {
        const double t = set.Angle(i);
        r[static_cast<std::size_t>(i)] -= 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10;
    }
    return r;
}

void Label(benchmark::State& state, FilterKind kind, bool jittered)
{
    state.counters["UPR"] = static_cast<double>(state.range(0));
    state.SetLabel(std::string(FilterName(kind)) + (jittered ? " any angles" : " equal steps"));
}

void FilterCase(benchmark::State& state, FilterKind kind, bool jittered)
{
    const SampleSet& set = Set(jittered);
    const std::vector<double> input = Residual(set);
    std::vector<double> output(input.size());
    const FilterSpec filterSpec{kind, static_cast<int>(state.range(0))};
    NoProgress progress;
    for (auto _ : state) {
        if (!FilterProfile(filterSpec, set, input, output, progress).Finished) state.SkipWithError("not filtered");
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    Label(state, kind, jittered);
}

void BM_Gaussian(benchmark::State& state) { FilterCase(state, FilterKind::Gaussian, false); }
void BM_GaussianAnyAngles(benchmark::State& state) { FilterCase(state, FilterKind::Gaussian, true); }
void BM_Robust(benchmark::State& state) { FilterCase(state, FilterKind::Robust, false); }
void BM_RobustAnyAngles(benchmark::State& state) { FilterCase(state, FilterKind::Robust, true); }

void SpikeCase(benchmark::State& state, bool jittered)
{
    const SampleSet& set = Set(jittered);
    std::vector<double> input = Residual(set);
    input[kCount / 3] += 0.02;
    SpikeSearch search;
    for (auto _ : state) {
        if (!FindSpikes(input, set, static_cast<double>(state.range(0)), kSpikeDeviations, search))
            state.SkipWithError("no search");
        benchmark::DoNotOptimize(search.Samples.data());
    }
    state.counters["UPR"] = static_cast<double>(state.range(0));
}

void BM_SpikeSearch(benchmark::State& state) { SpikeCase(state, false); }
void BM_SpikeSearchAnyAngles(benchmark::State& state) { SpikeCase(state, true); }

// The analysis as the document runs it: the least squares limaçon of the
// radii taken out, the residual filtered, the limaçon put back, the runout
// scanned and the reference fitted.
bool Analyse(const SampleSet& set, const std::vector<double>& radii, int cutoff, ReferenceKind kind,
             std::vector<double>& filtered)
{
    LimaconReference fit;
    double halfWidth = 0.0;
    if (!FitReferenceCircle(ReferenceKind::LeastSquares, radii, set, fit, halfWidth)) return false;
    std::vector<double> residual(radii.size());
    for (int i = 0; i < set.Count(); ++i)
        residual[static_cast<std::size_t>(i)] =
            radii[static_cast<std::size_t>(i)] -
            (fit.a * std::cos(set.Angle(i)) + fit.b * std::sin(set.Angle(i)) + fit.c);
    NoProgress progress;
    if (!FilterProfile({FilterKind::Gaussian, cutoff}, set, residual, filtered, progress).Finished) return false;
    for (int i = 0; i < set.Count(); ++i)
        filtered[static_cast<std::size_t>(i)] +=
            fit.a * std::cos(set.Angle(i)) + fit.b * std::sin(set.Angle(i)) + fit.c;
    double peak, peakAngle, valley, valleyAngle;
    FindPeakValley(filtered, set, 0.0, 0.0, fit.c, peak, peakAngle, valley, valleyAngle);
    LimaconReference reference = fit;
    return FitReferenceCircle(kind, filtered, set, reference, halfWidth);
}

void AnalysisCase(benchmark::State& state, bool jittered)
{
    const SampleSet& set = Set(jittered);
    const std::vector<double> radii = Radii(set);
    std::vector<double> filtered(radii.size());
    for (auto _ : state)
        if (!Analyse(set, radii, static_cast<int>(state.range(0)), ReferenceKind::MinimumZone, filtered))
            state.SkipWithError("no analysis");
    state.counters["UPR"] = static_cast<double>(state.range(0));
    state.SetLabel(jittered ? "minimum zone, any angles" : "minimum zone, equal steps");
}

void BM_Analysis(benchmark::State& state) { AnalysisCase(state, false); }
void BM_AnalysisAnyAngles(benchmark::State& state) { AnalysisCase(state, true); }

} // namespace

BENCHMARK(BM_Gaussian)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GaussianAnyAngles)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Robust)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RobustAnyAngles)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpikeSearch)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpikeSearchAnyAngles)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Analysis)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisAnyAngles)->Arg(50)->Unit(benchmark::kMillisecond);
