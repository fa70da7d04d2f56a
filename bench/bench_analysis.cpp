// The whole analysis of one profile (least squares, filter, reference fit) at
// the largest profile size, for every cutoff and reference kind.

#include "document/KyklosDoc.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

using namespace kyklos;

std::unique_ptr<CKyklosDoc> MakeDocument(int n)
{
    auto doc = std::make_unique<CKyklosDoc>();
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0.0, 0.0005);
    std::vector<double> radii(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = i * 2.0 * 3.141592653589793 / n;
        radii[static_cast<std::size_t>(i)] = 20.0 + 0.004 * std::cos(t) - 0.003 * std::sin(t) +
                                             0.002 * std::cos(3 * t) + 0.001 * std::sin(17 * t) + noise(random);
    }
    doc->Profile = EqualStepProfile(std::move(radii));
    doc->DataLoaded = true;
    return doc;
}

void AnalyzeProfile(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto doc = MakeDocument(n);
    doc->Settings.FilterCutoffUpr = static_cast<int>(state.range(1));
    doc->Settings.ReferenceKind = ReferenceKindFromIndex(static_cast<int>(state.range(2)));
    for (auto _ : state) benchmark::DoNotOptimize(doc->AnalyzeProfile());
    const char* kinds[] = {"LS", "MZ", "MI", "MC"};
    state.SetLabel(std::string("N=") + std::to_string(n) + " cutoff=" + std::to_string(state.range(1)) + " UPR " +
                   kinds[state.range(2)] + (doc->Result.FitValid ? "" : " (fit failed)"));
}

BENCHMARK(AnalyzeProfile)
    ->ArgsProduct({{36000}, {5, 50}, {0, 1, 2, 3}})
    ->Args({3600, 50, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

} // namespace
