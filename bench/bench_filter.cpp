// The Gaussian filter: the straightforward pass-by-pass loop against the
// blocked filter on each vector unit, headless (no progress display). Then
// every filter kind on the longest kernel (36000 samples, 5 UPR), to be
// held against the Gaussian's time there: within 2× for each kind, 10× for
// the robust one; and the spike search beside them.
//
//   bench_filter --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//   bench_filter --benchmark_filter='Kind|Spike'

#include "analysis/GaussianFilter.h"
#include "analysis/GaussianFilterDetail.h"
#include "analysis/ProfileFilter.h"
#include "analysis/SpikeSearch.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace {

using kyklos::detail::FilterPath;

// The filter as first written: one pass over the profile per neighbour pair,
// circular indices by remainder. The baseline the blocked filter is measured against.
void StraightforwardFilter(const std::vector<double>& input, std::vector<double>& output, int count, double cutoff)
{
    const kyklos::GaussianKernel kernel = kyklos::ComputeGaussianKernel(count, cutoff);
    const double q2 = kernel.Ratio * kernel.Ratio;
    for (int i = 0; i < count; ++i) output[i] = kernel.Centre * input[i];
    double w = kernel.Centre;
    double m = kernel.Ratio;
    for (int k = 1; k <= kernel.Pairs; ++k) {
        w = m * w;
        m = q2 * m;
        for (int i = 0; i < count; ++i) {
            int up = (i + k) % count;
            int down = (i - k) % count;
            if (down < 0) down += count;
            output[i] += (input[up] + input[down]) * w;
        }
    }
}

std::vector<double> Profile(int count)
{
    std::mt19937_64 generator(20240611);
    std::normal_distribution<double> noise(0.0, 0.001);
    std::vector<double> profile(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        profile[i] = 0.002 * std::cos(7.0 * 6.283185307179586 * i / count) + noise(generator);
    return profile;
}

void Describe(benchmark::State& state, int count, double cutoff, std::string label)
{
    state.counters["N"] = count;
    state.counters["UPR"] = cutoff;
    state.counters["K"] = kyklos::ComputeGaussianKernel(count, cutoff).Pairs;
    state.SetLabel(label);
}

void BM_Straightforward(benchmark::State& state)
{
    const auto count = static_cast<int>(state.range(0));
    const auto cutoff = static_cast<double>(state.range(1));
    const std::vector<double> input = Profile(count);
    std::vector<double> output(input.size());
    for (auto _ : state) {
        StraightforwardFilter(input, output, count, cutoff);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    Describe(state, count, cutoff, "straightforward");
}

void BM_Filter(benchmark::State& state)
{
    const auto path = static_cast<FilterPath>(state.range(0));
    const auto count = static_cast<int>(state.range(1));
    const auto cutoff = static_cast<double>(state.range(2));
    if (!kyklos::detail::FilterPathSupported(path)) {
        state.SkipWithError("this processor lacks the vector unit");
        return;
    }
    const std::vector<double> input = Profile(count);
    std::vector<double> output(input.size());
    kyklos::NoProgress progress;
    for (auto _ : state) {
        kyklos::detail::GaussianFilterProfileOn(path, input, output, count, cutoff, progress);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    Describe(state, count, cutoff, std::string(kyklos::detail::FilterPathName(path)));
}

// Profile lengths and cutoffs: the longest kernel (36000 samples, 5 UPR),
// the default cutoff, and a short profile.
const std::vector<std::vector<int64_t>> kCases = {{36000, 5}, {36000, 50}, {3600, 5}, {3600, 500}};

void StraightforwardCases(benchmark::internal::Benchmark* bench)
{
    for (const auto& c : kCases) bench->Args(c);
}

void FilterCases(benchmark::internal::Benchmark* bench)
{
    for (const auto& c : kCases)
        for (const FilterPath path : {FilterPath::Portable, FilterPath::Avx2, FilterPath::Avx512})
            bench->Args({static_cast<int64_t>(path), c[0], c[1]});
}

// One kind through the analysis's switch, on the residual it filters.
void BM_FilterKind(benchmark::State& state)
{
    // A band from 1 UPR up to the cutoff: a transform costs the same whatever the cutoffs.
    const auto cutoff = static_cast<int>(state.range(2));
    const kyklos::FilterSpec filterSpec{static_cast<kyklos::FilterKind>(state.range(0)), cutoff, 1, cutoff};
    const auto count = static_cast<int>(state.range(1));
    const std::vector<double> input = Profile(count);
    std::vector<double> output(input.size());
    kyklos::NoProgress progress;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kyklos::FilterProfile(filterSpec, input, output, progress).Finished);
        benchmark::ClobberMemory();
    }
    Describe(state, count, filterSpec.CutoffUpr, std::string(kyklos::FilterName(filterSpec.Kind)));
}

void BM_SpikeSearch(benchmark::State& state)
{
    const auto count = static_cast<int>(state.range(0));
    const auto cutoff = static_cast<double>(state.range(1));
    std::vector<double> input = Profile(count);
    input[static_cast<std::size_t>(count / 3)] += 0.02;
    kyklos::SpikeSearch search;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kyklos::FindSpikes(input, cutoff, kyklos::kSpikeDeviations, search));
        benchmark::ClobberMemory();
    }
    Describe(state, count, cutoff, "spikes");
}

void KindCases(benchmark::internal::Benchmark* bench)
{
    for (const kyklos::FilterKind kind : kyklos::kFilterKinds)
        for (const int64_t cutoff : {5, 50}) bench->Args({static_cast<int64_t>(kind), 36000, cutoff});
}

} // namespace

BENCHMARK(BM_Straightforward)->Apply(StraightforwardCases)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter)->Apply(FilterCases)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKind)->Apply(KindCases)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpikeSearch)->Args({36000, 5})->Args({3600, 50})->Unit(benchmark::kMillisecond);
