// What proving a result costs beside finding it: each reference fit of a
// measured-like 36000-sample profile, at equal steps and at unequal angles,
// set beside its exact certificate (BM_Certify…, from the contacts the
// check found) and beside the check and the certificate together
// (BM_CheckAndCertify…). The same for the true circles of the same
// samples as points 10 m from the machine's origin.

#include "analysis/MaximumInscribedTrueCircle.h"
#include "analysis/MinimumCircumscribedTrueCircle.h"
#include "analysis/MinimumZoneTrueCircle.h"
#include "analysis/PointProfile.h"
#include "analysis/ReferenceCertificate.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/ReferenceFit.h"
#include "analysis/TrueCircleCertificate.h"
#include "analysis/TrueCircles.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace kyklos;

constexpr int kCount = 36000;
constexpr double kTwoPi = 2.0 * 3.141592653589793;

// Off-centre, lobed and noisy, as a measured part looks (mm).
std::vector<double> PartAt(const SampleSet& set)
{
    std::mt19937 rng(12);
    std::normal_distribution<double> noise(0.0, 0.0002);
    std::vector<double> r(kCount);
    for (int i = 0; i < kCount; ++i) {
        const double t = set.Angle(i);
        r[static_cast<std::size_t>(i)] = 0.02 * std::cos(t) - 0.015 * std::sin(t) + 10 + 0.002 * std::cos(3 * t + 0.4) +
                                         0.001 * std::cos(7 * t + 1.1) + 0.0005 * std::cos(23 * t) + noise(rng);
    }
    return r;
}

struct Case {
    SampleSet Set;
    std::vector<double> Profile;
};

const Case& EqualSteps()
{
    static const Case c = [] {
        Case e{SampleSet::EqualSteps(kCount), {}};
        e.Profile = PartAt(e.Set);
        return e;
    }();
    return c;
}

// A step of 0.01° give or take 40 %, as a scanning instrument's table gives them.
const Case& UnequalAngles()
{
    static const Case c = [] {
        std::mt19937 rng(36);
        std::uniform_real_distribution<double> jitter(-0.4, 0.4);
        std::vector<double> angles(kCount);
        for (int i = 0; i < kCount; ++i)
            angles[static_cast<std::size_t>(i)] = (i + 0.5 + jitter(rng)) * kTwoPi / kCount;
        Case u;
        SampleSet::FromAngles(angles, {}, u.Set);
        u.Profile = PartAt(u.Set);
        return u;
    }();
    return c;
}

const Case& CaseOf(bool equal) { return equal ? EqualSteps() : UnequalAngles(); }

void Fit(benchmark::State& state, ReferenceKind kind, bool equal)
{
    const Case& c = CaseOf(equal);
    for (auto _ : state) {
        LimaconReference reference;
        double w = 0;
        if (!FitReferenceCircle(kind, c.Profile, c.Set, reference, w)) state.SkipWithError("no reference");
        benchmark::DoNotOptimize(reference.c);
    }
}

void Certify(benchmark::State& state, ReferenceKind kind, bool equal, bool withCheck)
{
    const Case& c = CaseOf(equal);
    LimaconReference reference;
    double w = 0;
    FitReferenceCircle(kind, c.Profile, c.Set, reference, w);
    ReferenceCheck check;
    CheckReference(kind, c.Profile, c.Set, reference, w, check);
    Certificate proof;
    for (auto _ : state) {
        if (withCheck) CheckReference(kind, c.Profile, c.Set, reference, w, check);
        proof = CertifyReference(kind, c.Profile, c.Set, reference, w, check.Contacts);
        benchmark::DoNotOptimize(proof.GapMm);
    }
    state.SetLabel(proof.Checked == CertificateLevel::Exact && proof.Optimal ? "optimal" : "NOT PROVED");
}

constexpr ReferenceKind kZone = ReferenceKind::MinimumZone;
constexpr ReferenceKind kInscribed = ReferenceKind::MaximumInscribed;
constexpr ReferenceKind kCircumscribed = ReferenceKind::MinimumCircumscribed;

BENCHMARK_CAPTURE(Fit, MinimumZone, kZone, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MinimumZone, kZone, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMinimumZone, kZone, true, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fit, MaximumInscribed, kInscribed, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MaximumInscribed, kInscribed, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMaximumInscribed, kInscribed, true, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fit, MinimumCircumscribed, kCircumscribed, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MinimumCircumscribed, kCircumscribed, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMinimumCircumscribed, kCircumscribed, true, true)->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(Fit, MinimumZoneAnyAngles, kZone, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MinimumZoneAnyAngles, kZone, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMinimumZoneAnyAngles, kZone, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fit, MaximumInscribedAnyAngles, kInscribed, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MaximumInscribedAnyAngles, kInscribed, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMaximumInscribedAnyAngles, kInscribed, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Fit, MinimumCircumscribedAnyAngles, kCircumscribed, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, MinimumCircumscribedAnyAngles, kCircumscribed, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Certify, CheckMinimumCircumscribedAnyAngles, kCircumscribed, false, true)
    ->Unit(benchmark::kMicrosecond);

// Every sample on the circle itself: each is a contact within the rounding
// of its deviation, and each is evaluated exactly (the certificate's worst
// case, beside the fit of the same profile).
void OneCircle(benchmark::State& state, bool certify)
{
    const Case& c = EqualSteps();
    const std::vector<double> round(kCount, 10.0);
    const LimaconReference reference{0.0, 0.0, 10.0};
    ReferenceCheck check;
    CheckReference(kCircumscribed, round, c.Set, reference, 0.0, check);
    for (auto _ : state) {
        if (certify) {
            const Certificate proof = CertifyReference(kCircumscribed, round, c.Set, reference, 0.0, check.Contacts);
            benchmark::DoNotOptimize(proof.GapMm);
        } else {
            LimaconReference fit;
            double w = 0;
            FitReferenceCircle(kCircumscribed, round, c.Set, fit, w);
            benchmark::DoNotOptimize(fit.c);
        }
    }
}
BENCHMARK_CAPTURE(OneCircle, Fit, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OneCircle, Certify, true)->Unit(benchmark::kMicrosecond);

// The same samples as points in a machine's coordinates, 10 m out.
struct Points {
    std::vector<double> X, Y;
    PointProfile Start;
};

const Points& Scan()
{
    static const Points points = [] {
        Points p;
        const Case& c = EqualSteps();
        for (int i = 0; i < kCount; ++i) {
            const double r = c.Profile[static_cast<std::size_t>(i)], t = c.Set.Angle(i);
            p.X.push_back(7071.0 + r * std::cos(t));
            p.Y.push_back(-7071.0 + r * std::sin(t));
        }
        TrueCircles circles;
        FitTrueCircles(p.X, p.Y, circles);
        p.Start = circles.Profile;
        return p;
    }();
    return points;
}

using TrueCircleFit = bool (*)(std::span<const double>, std::span<const double>, const PointProfile&, TrueCircle&);

void FitTrue(benchmark::State& state, TrueCircleFit fit)
{
    TrueCircle circle;
    for (auto _ : state) {
        fit(Scan().X, Scan().Y, Scan().Start, circle);
        benchmark::DoNotOptimize(circle.RONt);
    }
}

void CertifyTrue(benchmark::State& state, TrueCircleFit fit, ReferenceKind kind)
{
    TrueCircle circle;
    fit(Scan().X, Scan().Y, Scan().Start, circle);
    Certificate proof;
    for (auto _ : state) {
        proof = CertifyTrueCircle(kind, Scan().X, Scan().Y, circle);
        benchmark::DoNotOptimize(proof.GapMm);
    }
    state.SetLabel(proof.Optimal ? (proof.Checked == CertificateLevel::Exact ? "optimal" : "locally optimal")
                                 : "NOT PROVED");
}

BENCHMARK_CAPTURE(FitTrue, MinimumZone, FitMinimumZoneTrueCircle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CertifyTrue, MinimumZone, FitMinimumZoneTrueCircle, kZone)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FitTrue, MaximumInscribed, FitMaximumInscribedTrueCircle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CertifyTrue, MaximumInscribed, FitMaximumInscribedTrueCircle, kInscribed)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FitTrue, MinimumCircumscribed, FitMinimumCircumscribedTrueCircle)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CertifyTrue, MinimumCircumscribed, FitMinimumCircumscribedTrueCircle, kCircumscribed)
    ->Unit(benchmark::kMicrosecond);

} // namespace
