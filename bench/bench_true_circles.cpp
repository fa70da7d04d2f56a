// The four true circles of a 36000-point scan 10 m from the machine's
// origin: lobed, noisy and off-centre, as a measured part looks. Set the
// whole (BM_TrueCircles) beside the limaçon analysis of the same profile
// (BM_LimaconAnalysis: least squares, filter and a reference fit, as the
// document runs it on the radii about the measurement axis).

#include "analysis/GeometricCircle.h"
#include "analysis/MaximumInscribedTrueCircle.h"
#include "analysis/MinimumCircumscribedTrueCircle.h"
#include "analysis/MinimumZoneTrueCircle.h"
#include "analysis/PointProfile.h"
#include "analysis/TrueCircles.h"
#include "document/KyklosDoc.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace kyklos;

constexpr int kCount = 36000;
constexpr double kCentreX = 7071.0;
constexpr double kCentreY = -7071.0;

// The radii about the measurement axis, sample i at i·2π/N.
const std::vector<double>& Radii()
{
    static const std::vector<double> radii = [] {
        std::mt19937 rng(12);
        std::normal_distribution<double> noise(0.0, 0.0002);
        std::vector<double> r(kCount);
        for (int i = 0; i < kCount; ++i) {
            const double t = i * (2.0 * 3.141592653589793 / kCount);
            r[static_cast<std::size_t>(i)] = 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10 +
                                             0.002 * std::cos(3 * t + 0.4) + 0.001 * std::cos(7 * t + 1.1) +
                                             0.0005 * std::cos(23 * t) + noise(rng);
        }
        return r;
    }();
    return radii;
}

struct Points {
    std::vector<double> X, Y;
};

// The same samples as points in a machine's coordinates.
const Points& Scan()
{
    static const Points points = [] {
        Points p;
        const auto& r = Radii();
        for (int i = 0; i < kCount; ++i) {
            const double t = i * (2.0 * 3.141592653589793 / kCount);
            p.X.push_back(kCentreX + r[static_cast<std::size_t>(i)] * std::cos(t));
            p.Y.push_back(kCentreY + r[static_cast<std::size_t>(i)] * std::sin(t));
        }
        return p;
    }();
    return points;
}

const PointProfile& Start()
{
    static const PointProfile profile = [] {
        TrueCircle circle;
        CircleConvergence convergence;
        FitGeometricCircle(Scan().X, Scan().Y, circle, convergence);
        PointProfile p;
        MakePointProfile(Scan().X, Scan().Y, circle.CentreX, circle.CentreY, p);
        return p;
    }();
    return profile;
}

void BM_TrueCircles(benchmark::State& state)
{
    TrueCircles circles;
    for (auto _ : state) {
        FitTrueCircles(Scan().X, Scan().Y, circles);
        benchmark::DoNotOptimize(circles.MinimumZone.RONt);
    }
    const bool valid = circles.MinimumZone.Valid && circles.MaximumInscribed && circles.MaximumInscribed->Valid &&
                       circles.MinimumCircumscribed && circles.MinimumCircumscribed->Valid;
    state.SetLabel(valid ? "all verified" : "NOT ALL VERIFIED");
}
BENCHMARK(BM_TrueCircles)->Unit(benchmark::kMillisecond);

void BM_GeometricCircle(benchmark::State& state)
{
    for (auto _ : state) {
        TrueCircle circle;
        CircleConvergence convergence;
        FitGeometricCircle(Scan().X, Scan().Y, circle, convergence);
        benchmark::DoNotOptimize(circle.Radius);
    }
}
BENCHMARK(BM_GeometricCircle)->Unit(benchmark::kMillisecond);

void BM_PointProfile(benchmark::State& state)
{
    for (auto _ : state) {
        PointProfile profile;
        MakePointProfile(Scan().X, Scan().Y, Start().CentreX, Start().CentreY, profile);
        benchmark::DoNotOptimize(profile.LargestGap);
    }
}
BENCHMARK(BM_PointProfile)->Unit(benchmark::kMillisecond);

template <bool (*Fit)(std::span<const double>, std::span<const double>, const PointProfile&, TrueCircle&)>
void BM_Circle(benchmark::State& state)
{
    TrueCircle circle;
    for (auto _ : state) {
        Fit(Scan().X, Scan().Y, Start(), circle);
        benchmark::DoNotOptimize(circle.RONt);
    }
    state.SetLabel(circle.Valid ? "verified" : "NOT VERIFIED");
}
BENCHMARK(BM_Circle<FitMinimumZoneTrueCircle>)->Name("BM_MinimumZoneTrueCircle")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circle<FitMaximumInscribedTrueCircle>)
    ->Name("BM_MaximumInscribedTrueCircle")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circle<FitMinimumCircumscribedTrueCircle>)
    ->Name("BM_MinimumCircumscribedTrueCircle")
    ->Unit(benchmark::kMillisecond);

// The limaçon analysis of the same radii as an equal-step profile, with the
// default filter and each reference.
void BM_LimaconAnalysis(benchmark::State& state)
{
    CKyklosDoc doc;
    doc.Profile = EqualStepProfile(Radii());
    doc.DataLoaded = true;
    doc.Settings.ReferenceKind = ReferenceKindFromIndex(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(doc.AnalyzeProfile());
    const char* kinds[] = {"LS", "MZ", "MI", "MC"};
    state.SetLabel(kinds[state.range(0)]);
}
BENCHMARK(BM_LimaconAnalysis)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
