// The uncertainty simulation against what it cannot avoid: M draws on every
// core beside M single evaluations of the same profile on one thread. The
// target: the draws take at most 1.5 × the single evaluations' time divided
// by the workers (the counter "ratio"). N = 3600 samples, M = 10000. On a
// machine whose cores are busy with other work the wall-clock ratio mostly
// measures that work; "cpu_ratio", the processor time of the draws over that
// of the single evaluations, is what the simulation itself adds.

#include "document/ProfileAnalysis.h"
#include "document/Uncertainty.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace kyklos;

constexpr int kSamples = 3600;
constexpr int kDraws = 10000;

Profile MeasuredProfile()
{
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0.0, 0.0005);
    std::vector<double> radii(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        const double t = i * 2.0 * 3.141592653589793 / kSamples;
        radii[static_cast<std::size_t>(i)] = 20.0 + 0.004 * std::cos(t) - 0.003 * std::sin(t) +
                                             0.002 * std::cos(3 * t) + 0.001 * std::sin(17 * t) + noise(random);
    }
    return EqualStepProfile(std::move(radii));
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void UncertaintyDraws(benchmark::State& state)
{
    const Profile profile = MeasuredProfile();
    AnalysisSettings settings;
    AnalysisResult measured;
    NoProgress quiet;
    std::string refusal;
    AnalyseProfile(profile, settings, quiet, measured, refusal);
    const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

    // M single evaluations as each draw runs them (no spectra), one thread.
    AnalysisSettings single = settings;
    single.WithHarmonics = false;
    AnalysisResult result;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t startCpu = std::clock();
    for (int i = 0; i < kDraws; ++i) AnalyseProfile(profile, single, quiet, result, refusal);
    const double singles = Seconds(start);
    const double singlesCpu = static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC;

    UncertaintyRequest request;
    request.Model = {0.05, 0.01, 0.02, 0.001};
    request.Draws = kDraws;
    double draws = 0.0, drawsCpu = 0.0;
    for (auto _ : state) {
        UncertaintyResult u;
        const auto begin = std::chrono::steady_clock::now();
        const std::clock_t beginCpu = std::clock();
        SimulateUncertainty(profile, settings, measured, request, quiet, u);
        draws = Seconds(begin);
        drawsCpu = static_cast<double>(std::clock() - beginCpu) / CLOCKS_PER_SEC;
        benchmark::DoNotOptimize(u);
    }
    state.counters["singles_s"] = singles;
    state.counters["draws_s"] = draws;
    state.counters["workers"] = workers;
    state.counters["ratio"] = draws / (singles / workers);
    state.counters["cpu_ratio"] = drawsCpu / singlesCpu;
    state.SetLabel("N=" + std::to_string(kSamples) + " M=" + std::to_string(kDraws));
}

BENCHMARK(UncertaintyDraws)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
