// Drawing the report page with the Qt canvas into a 1600 × 1000 image: the
// demonstration profile (3600 samples) and a full-size profile of 36000.
// Goals: under 15 ms and under 30 ms per page. The evaluation page beside
// it, drawn from an evaluation made beforehand, for the same profiles.

#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "platform/ClassicRandom.h"
#include "platform/qt/QtCanvas.h"
#include "view/EvaluationPage.h"
#include "view/KyklosView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {

using namespace kyklos;

void EnsureApplication()
{
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_page_qt";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

// The largest profile a .kyk file holds.
constexpr int kLargestProfile = 36000;

std::unique_ptr<CKyklosDoc> MakeDocument(int points)
{
    static ClassicRandom random;
    static GaussianNoiseSource noise(random);
    auto doc = std::make_unique<CKyklosDoc>(nullptr, nullptr, &noise);
    if (points != doc->Profile.PointCount()) {
        // The demonstration shape sampled more finely, analysed like a file.
        const double step = 2.0 * doc->Pi / points;
        std::vector<double> radii(static_cast<std::size_t>(points));
        for (int i = 0; i < points; ++i) {
            const double t = i * step;
            radii[static_cast<std::size_t>(i)] = 10.0 + 0.004 * std::cos(t) + 0.002 * std::sin(t) +
                                                 0.002 * std::sin(3.0 * t) + 0.003 * std::cos(14.0 * t) +
                                                 0.002 * std::sin(47.0 * t) + 0.001 * std::cos(119.0 * t) +
                                                 noise.GaussianNoise(0.0, 0.002);
        }
        doc->Profile = EqualStepProfile(std::move(radii));
        doc->AnalyzeProfile();
    }
    return doc;
}

void DrawPage(benchmark::State& state, int points, bool centred)
{
    EnsureApplication();
    const auto doc = MakeDocument(points);
    CKyklosView view("/nonexistent-logo-directory");
    view.ShowCenteredProfile = centred;
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        {
            QtCanvas canvas(painter, 96, 96, false);
            view.OnDraw(canvas, *doc, {0, 0, 1600, 1000});
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void DrawEvaluation(benchmark::State& state, int points, std::optional<HarmonicRange> range)
{
    EnsureApplication();
    const auto doc = MakeDocument(points);
    doc->SetTolerance(RoundnessTolerance{10.0, true});
    const RoundnessEvaluation& evaluation = doc->Result.Evaluation;
    EvaluationPageOptions options;
    options.Spectrum.Range = range.value_or(HarmonicRangeForCutoff(doc->Settings.FilterCutoffUpr));
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        {
            QtCanvas canvas(painter, 96, 96, false);
            DrawEvaluationPage(canvas, *doc, evaluation, options, {0, 0, 1600, 1000});
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DemonstrationPage(benchmark::State& state) { DrawPage(state, 3600, false); }
void BM_FullSizeProfilePage(benchmark::State& state) { DrawPage(state, kLargestProfile, false); }
// The centred presentation keeps every sample as a vertex: the heaviest page.
void BM_FullSizeProfileCentredPage(benchmark::State& state) { DrawPage(state, kLargestProfile, true); }

void BM_DemonstrationEvaluationPage(benchmark::State& state) { DrawEvaluation(state, 3600, std::nullopt); }
void BM_FullSizeProfileEvaluationPage(benchmark::State& state) { DrawEvaluation(state, kLargestProfile, std::nullopt); }
// Every one of the 18000 harmonics on the axis, gathered into pixel columns.
void BM_FullSizeProfileEvaluationPageAllHarmonics(benchmark::State& state)
{
    DrawEvaluation(state, kLargestProfile, HarmonicRange::All);
}

BENCHMARK(BM_DemonstrationPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullSizeProfilePage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullSizeProfileCentredPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DemonstrationEvaluationPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullSizeProfileEvaluationPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullSizeProfileEvaluationPageAllHarmonics)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
