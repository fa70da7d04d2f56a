// The whole analysis of one 36000-sample profile (AnalyseProfile: least
// squares, filter, the selected reference checked, the evaluation) with the
// default filter and the minimum zone: at equal steps, at unequal angles
// (the same form at jittered angles), and as a point set 10 m from the
// origin with its four true circles; and an equal-step profile with and
// without the true circles of its samples.

#include "analysis/GeometricCircle.h"
#include "analysis/PointProfile.h"
#include "document/ProfileAnalysis.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace kyklos;

constexpr int kCount = 36000;
constexpr double kTwoPi = 2.0 * 3.141592653589793;

double Form(double t)
{
    return 10.0 + 0.02 * std::cos(t) - 0.015 * std::sin(t) + 0.002 * std::cos(3 * t + 0.4) +
           0.001 * std::cos(7 * t + 1.1) + 0.0005 * std::cos(23 * t);
}

Profile AtAngles(bool jittered)
{
    std::mt19937 rng(12);
    std::normal_distribution<double> noise(0.0, 0.0002);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    std::vector<double> angles(kCount), radii(kCount);
    for (int i = 0; i < kCount; ++i) {
        const double t = jittered ? (i + 0.5 + jitter(rng)) * (kTwoPi / kCount) : i * (kTwoPi / kCount);
        angles[static_cast<std::size_t>(i)] = t;
        radii[static_cast<std::size_t>(i)] = Form(t) + noise(rng);
    }
    if (!jittered) return EqualStepProfile(std::move(radii));
    Profile p;
    p.EqualSteps = false;
    p.SampleAngle = std::move(angles);
    p.RawRadius = std::move(radii);
    return p;
}

// The jittered samples as points about a centre far from the origin, read as a point set is.
Profile PointSet()
{
    const Profile radial = AtAngles(true);
    Profile p;
    p.Kind = ProfileKind::Points;
    for (int i = 0; i < kCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        p.PointX.push_back(7071.0 + radial.RawRadius[k] * std::cos(radial.SampleAngle[k]));
        p.PointY.push_back(-7071.0 + radial.RawRadius[k] * std::sin(radial.SampleAngle[k]));
    }
    TrueCircle circle;
    CircleConvergence convergence;
    PointProfile about;
    FitGeometricCircle(p.PointX, p.PointY, circle, convergence);
    MakePointProfile(p.PointX, p.PointY, circle.CentreX, circle.CentreY, about);
    p.EqualSteps = false;
    p.CentreX = circle.CentreX;
    p.CentreY = circle.CentreY;
    p.SampleAngle = about.Angle;
    p.RawRadius = about.Radius;
    p.PointIndex = about.Index;
    return p;
}

void Run(benchmark::State& state, const Profile& profile, bool withCircles)
{
    AnalysisSettings settings;
    settings.ReferenceKind = ReferenceKind::MinimumZone;
    settings.WithCircles = withCircles;
    NoProgress progress;
    AnalysisResult result;
    std::string refusal;
    AnalysisStatus status = AnalysisStatus::NoProfile;
    for (auto _ : state) {
        status = AnalyseProfile(profile, settings, progress, result, refusal);
        benchmark::DoNotOptimize(result.Peak);
    }
    const bool circles = !result.Circles || (result.Circles->MinimumZone.Valid && result.Circles->MaximumInscribed &&
                                             result.Circles->MinimumCircumscribed);
    state.SetLabel(std::string(status == AnalysisStatus::Done ? "done" : "NOT DONE") +
                   (result.FitValid ? "" : ", MZ not shown") + (circles ? "" : ", a true circle missing") +
                   ", filter " + std::string(FilterName(result.FilterApplied.Kind)));
}

void BM_AnalyseEqualSteps(benchmark::State& state) { Run(state, AtAngles(false), false); }
void BM_AnalyseUnequalAngles(benchmark::State& state) { Run(state, AtAngles(true), false); }
void BM_AnalysePointSet(benchmark::State& state) { Run(state, PointSet(), false); }
void BM_AnalyseEqualStepsWithCircles(benchmark::State& state) { Run(state, AtAngles(false), true); }

BENCHMARK(BM_AnalyseEqualSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyseUnequalAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysePointSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyseEqualStepsWithCircles)->Unit(benchmark::kMillisecond);

} // namespace
