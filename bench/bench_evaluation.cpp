// The evaluation beside the report (three more reference fits, the raw and
// filtered spectra, the filter's transmission, the parameters) against the
// analysis it is part of, at 50 UPR with the minimum zone reference selected.
// Times are this thread's processor time, so that other work on the machine
// does not count; the counters give both in milliseconds (analysis_ms is the
// whole analysis, its one evaluation included) and the evaluation's share.
//
//   Evaluate/N        one more evaluation of a profile size already seen
//                     (plans and angle tables kept, as when only the
//                     reference or the cutoff changes)
//   FirstEvaluation/N the first evaluation of a profile size: the Fourier
//                     plans (twiddle factors, chirps) made afresh; the
//                     angle table is the analysis's and stays

#include "analysis/FourierTransform.h"
#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <memory>
#include <random>

namespace {

using namespace kyklos;

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

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
    doc->Settings.FilterCutoffUpr = 50;
    doc->Settings.ReferenceKind = ReferenceKind::MinimumZone;
    doc->Settings.Tolerance = RoundnessTolerance{5.0, true};
    doc->AnalyzeProfile();
    return doc;
}

// Mean processor time of `runs` calls of f, in milliseconds.
template <typename F>
double MeanMilliseconds(int runs, F&& f)
{
    const double start = ThreadSeconds();
    for (int i = 0; i < runs; ++i) f();
    return 1e3 * (ThreadSeconds() - start) / runs;
}

void Evaluate(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto doc = MakeDocument(n);
    // The analysis evaluates its result once; the evaluation alone is timed apart.
    const double analysis = MeanMilliseconds(20, [&] { benchmark::DoNotOptimize(doc->AnalyzeProfile()); });

    const double start = ThreadSeconds();
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateRoundness(doc->Profile, doc->Result, doc->Settings));
    const double evaluation = 1e3 * (ThreadSeconds() - start) / static_cast<double>(state.iterations());

    state.counters["analysis_ms"] = analysis;
    state.counters["evaluation_ms"] = evaluation;
    state.counters["share"] = evaluation / analysis;
}

void FirstEvaluation(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto doc = MakeDocument(n);
    const double analysis = MeanMilliseconds(20, [&] { benchmark::DoNotOptimize(doc->AnalyzeProfile()); });

    double evaluation = 0.0;
    for (auto _ : state) {
        ReleaseFourierPlans();
        const double start = ThreadSeconds();
        benchmark::DoNotOptimize(EvaluateRoundness(doc->Profile, doc->Result, doc->Settings));
        evaluation += ThreadSeconds() - start;
    }
    evaluation *= 1e3 / static_cast<double>(state.iterations());

    state.counters["analysis_ms"] = analysis;
    state.counters["evaluation_ms"] = evaluation;
    state.counters["share"] = evaluation / analysis;
}

BENCHMARK(Evaluate)->Arg(36000)->Arg(35999)->Arg(3600)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstEvaluation)->Arg(36000)->Arg(35999)->Arg(3600)->Unit(benchmark::kMillisecond);

} // namespace
