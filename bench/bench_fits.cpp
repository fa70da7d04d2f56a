// The reference fits on a full-size profile (36000 points): lobed, noisy
// and off-centre, as a measured part looks.

#include "analysis/LeastSquaresCircle.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "analysis/OptimalCentres.h"
#include "analysis/PeakValley.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"
#include "support/analysis/UntabledPeakValley.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kCount = 36000;

std::vector<double> MeasuredLikeProfile(unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.0002);
    std::vector<double> r(kCount);
    const double step = 2.0 * 3.141592653589793 / kCount;
    for (int i = 0; i < kCount; ++i) {
        const double t = i * step;
        r[static_cast<std::size_t>(i)] = 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10 + 0.002 * std::cos(3 * t + 0.4) +
                                         0.001 * std::cos(7 * t + 1.1) + 0.0005 * std::cos(23 * t) + noise(rng);
    }
    return r;
}

const std::vector<double>& Profile()
{
    static const std::vector<double> profile = MeasuredLikeProfile(12);
    return profile;
}

void BM_MinimumZone(benchmark::State& state)
{
    const auto& r = Profile();
    for (auto _ : state) {
        double a = 0, b = 0, c = 0, w = 0;
        kyklos::FitMinimumZoneCircle(r, kCount, a, b, c, w);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_MinimumZone)->Unit(benchmark::kMillisecond);

void BM_MaximumInscribed(benchmark::State& state)
{
    const auto& r = Profile();
    for (auto _ : state) {
        double a = 0, b = 0, c = 0;
        kyklos::FitMaximumInscribedCircle(r, kCount, a, b, c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_MaximumInscribed)->Unit(benchmark::kMillisecond);

void BM_MinimumCircumscribed(benchmark::State& state)
{
    const auto& r = Profile();
    for (auto _ : state) {
        double a = 0, b = 0, c = 0;
        kyklos::FitMinimumCircumscribedCircle(r, kCount, a, b, c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_MinimumCircumscribed)->Unit(benchmark::kMillisecond);

// The optimal centres of a fit, to set beside the fit's own time: on the
// measured-like profile the set is a single centre; two opposite flats
// leave a segment, every sample of which matters.
void OptimalCentresOf(benchmark::State& state, const std::vector<double>& r, kyklos::ReferenceKind kind)
{
    const kyklos::SampleAngles& angles = kyklos::SampleAngles::ForCount(kCount);
    kyklos::LimaconReference fit;
    double halfWidth = 0;
    kyklos::FitReferenceCircle(kind, r, angles, fit, halfWidth);
    kyklos::OptimalCentres found;
    if (!kyklos::FindOptimalCentres(r, angles, kind, fit, found)) state.SkipWithError("no optimal centres");
    for (auto _ : state) {
        kyklos::OptimalCentres centres;
        kyklos::FindOptimalCentres(r, angles, kind, fit, centres);
        benchmark::DoNotOptimize(centres.RONtMin);
    }
}

void BM_OptimalCentresInscribed(benchmark::State& state)
{
    OptimalCentresOf(state, Profile(), kyklos::ReferenceKind::MaximumInscribed);
}
BENCHMARK(BM_OptimalCentresInscribed)->Unit(benchmark::kMillisecond);

void BM_OptimalCentresCircumscribed(benchmark::State& state)
{
    OptimalCentresOf(state, Profile(), kyklos::ReferenceKind::MinimumCircumscribed);
}
BENCHMARK(BM_OptimalCentresCircumscribed)->Unit(benchmark::kMillisecond);

// A 10 mm circle with two flats 5 µm deep, at 0.3 rad and half a turn on.
const std::vector<double>& TwoFlats()
{
    static const std::vector<double> profile = [] {
        std::vector<double> r(kCount, 10.0);
        for (int i = 0; i < kCount; ++i) {
            const double t = i * (2.0 * 3.141592653589793 / kCount);
            for (const double flat : {0.3, 0.3 + 3.141592653589793}) {
                const double k = std::cos(t - flat);
                if (k > 0) r[static_cast<std::size_t>(i)] = std::min(r[static_cast<std::size_t>(i)], 9.995 / k);
            }
        }
        return r;
    }();
    return profile;
}

void BM_MaximumInscribedTwoFlats(benchmark::State& state)
{
    const auto& r = TwoFlats();
    for (auto _ : state) {
        double a = 0, b = 0, c = 0;
        kyklos::FitMaximumInscribedCircle(r, kCount, a, b, c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_MaximumInscribedTwoFlats)->Unit(benchmark::kMillisecond);

void BM_OptimalCentresInscribedTwoFlats(benchmark::State& state)
{
    OptimalCentresOf(state, TwoFlats(), kyklos::ReferenceKind::MaximumInscribed);
}
BENCHMARK(BM_OptimalCentresInscribedTwoFlats)->Unit(benchmark::kMillisecond);

// One pass of an exchange: the peak and valley scan, with a cosine and a
// sine per point, and over the tabled sample angles.
void BM_PeakValleyScan(benchmark::State& state)
{
    const auto& r = Profile();
    for (auto _ : state) {
        double p, pa, v, va;
        kyklos::test::FindPeakValley(r, kCount, 0.02, -0.015, 10, p, pa, v, va);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_PeakValleyScan)->Unit(benchmark::kMicrosecond);

void BM_PeakValleyScanTabled(benchmark::State& state)
{
    const auto& r = Profile();
    const kyklos::SampleAngles angles(kCount);
    for (auto _ : state) {
        double p, pa, v, va;
        kyklos::FindPeakValley(r, angles, 0.02, -0.015, 10, p, pa, v, va);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_PeakValleyScanTabled)->Unit(benchmark::kMicrosecond);

void BM_SampleAngleTable(benchmark::State& state)
{
    for (auto _ : state) {
        const kyklos::SampleAngles angles(kCount);
        benchmark::DoNotOptimize(angles.Cosine(kCount - 1));
    }
}
BENCHMARK(BM_SampleAngleTable)->Unit(benchmark::kMicrosecond);

// The same part measured at unequal angles (a step of 0.01° give or take
// 40 %, as a scanning instrument's table gives them): every fit at any
// angles, beside its equal-step counterpart above (BM_LeastSquares,
// BM_MinimumZone, …) for the ratio.
const kyklos::SampleSet& UnequalSet()
{
    static const kyklos::SampleSet set = [] {
        std::mt19937 rng(36);
        std::uniform_real_distribution<double> jitter(-0.4, 0.4);
        const double step = 2.0 * 3.141592653589793 / kCount;
        std::vector<double> angles(kCount);
        for (int i = 0; i < kCount; ++i) angles[static_cast<std::size_t>(i)] = (i + 0.5 + jitter(rng)) * step;
        kyklos::SampleSet s;
        kyklos::SampleSet::FromAngles(angles, {}, s);
        return s;
    }();
    return set;
}

const std::vector<double>& UnequalProfile()
{
    static const std::vector<double> profile = [] {
        const kyklos::SampleSet& set = UnequalSet();
        std::mt19937 rng(12);
        std::normal_distribution<double> noise(0.0, 0.0002);
        std::vector<double> r(kCount);
        for (int i = 0; i < kCount; ++i) {
            const double t = set.Angle(i);
            r[static_cast<std::size_t>(i)] = 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10 +
                                             0.002 * std::cos(3 * t + 0.4) + 0.001 * std::cos(7 * t + 1.1) +
                                             0.0005 * std::cos(23 * t) + noise(rng);
        }
        return r;
    }();
    return profile;
}

void FitAnyAngles(benchmark::State& state, kyklos::ReferenceKind kind, const kyklos::SampleSet& set,
                  const std::vector<double>& r)
{
    for (auto _ : state) {
        kyklos::LimaconReference reference;
        double w = 0;
        if (!kyklos::FitReferenceCircle(kind, r, set, reference, w)) state.SkipWithError("no reference");
        benchmark::DoNotOptimize(reference.c);
    }
}

void BM_LeastSquares(benchmark::State& state)
{
    const auto& r = Profile();
    const kyklos::SampleAngles& angles = kyklos::SampleAngles::ForCount(kCount);
    for (auto _ : state) {
        double a = 0, b = 0, c = 0;
        kyklos::FitLeastSquaresCircle(r, angles, a, b, c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_LeastSquares)->Unit(benchmark::kMicrosecond);

void BM_LeastSquaresAnyAngles(benchmark::State& state)
{
    FitAnyAngles(state, kyklos::ReferenceKind::LeastSquares, UnequalSet(), UnequalProfile());
}
BENCHMARK(BM_LeastSquaresAnyAngles)->Unit(benchmark::kMicrosecond);

void BM_MinimumZoneAnyAngles(benchmark::State& state)
{
    FitAnyAngles(state, kyklos::ReferenceKind::MinimumZone, UnequalSet(), UnequalProfile());
}
BENCHMARK(BM_MinimumZoneAnyAngles)->Unit(benchmark::kMillisecond);

void BM_MaximumInscribedAnyAngles(benchmark::State& state)
{
    FitAnyAngles(state, kyklos::ReferenceKind::MaximumInscribed, UnequalSet(), UnequalProfile());
}
BENCHMARK(BM_MaximumInscribedAnyAngles)->Unit(benchmark::kMillisecond);

void BM_MinimumCircumscribedAnyAngles(benchmark::State& state)
{
    FitAnyAngles(state, kyklos::ReferenceKind::MinimumCircumscribed, UnequalSet(), UnequalProfile());
}
BENCHMARK(BM_MinimumCircumscribedAnyAngles)->Unit(benchmark::kMillisecond);

void BM_PeakValleyScanAnyAngles(benchmark::State& state)
{
    const auto& r = UnequalProfile();
    for (auto _ : state) {
        double p, pa, v, va;
        kyklos::FindPeakValley(r, UnequalSet(), 0.02, -0.015, 10, p, pa, v, va);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_PeakValleyScanAnyAngles)->Unit(benchmark::kMicrosecond);

// The contacts and the check of a minimum zone result: one more scan.
void BM_CheckMinimumZoneAnyAngles(benchmark::State& state)
{
    const auto& r = UnequalProfile();
    kyklos::LimaconReference reference;
    double w = 0;
    kyklos::FitReferenceCircle(kyklos::ReferenceKind::MinimumZone, r, UnequalSet(), reference, w);
    for (auto _ : state) {
        kyklos::ReferenceCheck check;
        if (!kyklos::CheckReference(kyklos::ReferenceKind::MinimumZone, r, UnequalSet(), reference, w, check))
            state.SkipWithError("not verified");
        benchmark::DoNotOptimize(check.Contacts.size());
    }
}
BENCHMARK(BM_CheckMinimumZoneAnyAngles)->Unit(benchmark::kMicrosecond);

// The cosines and sines of a set at any angles, once per profile.
void BM_SampleSetAnyAngles(benchmark::State& state)
{
    std::vector<double> angles(kCount);
    for (int i = 0; i < kCount; ++i) angles[static_cast<std::size_t>(i)] = UnequalSet().Angle(i);
    for (auto _ : state) {
        kyklos::SampleSet set;
        kyklos::SampleSet::FromAngles(angles, {}, set);
        benchmark::DoNotOptimize(set.UsedCount());
    }
}
BENCHMARK(BM_SampleSetAnyAngles)->Unit(benchmark::kMicrosecond);

} // namespace
