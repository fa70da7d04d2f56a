// Repainting the evaluation panel of the desktop program, offscreen, for a
// full-size profile of 36000 samples with the spectrum at "All" (18000
// harmonics gathered into pixel columns). Goal: under 10 ms per repaint.
// For a high-density screen run it with QT_SCALE_FACTOR=2: the chart is
// then drawn at twice the pixels.

#include "app/EvaluationPanel.h"
#include "app/HarmonicChartWidget.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "platform/ClassicRandom.h"
#include "view/KyklosView.h"

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

using namespace kyklos;

void EnsureApplication()
{
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_panel_qt";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

// The demonstration shape sampled 36000 times, analysed like a file.
std::unique_ptr<CKyklosDoc> FullSizeDocument()
{
    static ClassicRandom random;
    static GaussianNoiseSource noise(random);
    auto doc = std::make_unique<CKyklosDoc>(nullptr, nullptr, &noise);
    constexpr int kPoints = 36000;
    const double step = 2.0 * doc->Pi / kPoints;
    std::vector<double> radii(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        const double t = i * step;
        radii[static_cast<std::size_t>(i)] =
            10.0 + 0.004 * std::cos(t) + 0.002 * std::sin(t) + 0.002 * std::sin(3.0 * t) + 0.003 * std::cos(14.0 * t) +
            0.002 * std::sin(47.0 * t) + 0.001 * std::cos(119.0 * t) + noise.GaussianNoise(0.0, 0.002);
    }
    doc->Profile = EqualStepProfile(std::move(radii));
    doc->AnalyzeProfile();
    return doc;
}

struct Fixture {
    Fixture(HarmonicRange range, bool logarithmic)
    {
        EnsureApplication();
        doc = FullSizeDocument();
        panel = std::make_unique<EvaluationPanel>(*doc, view, nullptr);
        // The panel as it stands beside the page in a window on a 1920 × 1080 screen.
        panel->resize(450, 860);
        panel->show();
        QApplication::processEvents();
        doc->SetTolerance(RoundnessTolerance{12.0, true});
        panel->OnDocumentChanged();
        chart = panel->Chart();
        chartOptions = {range, logarithmic};
    }
    // What a change of the spectrum's choices costs before the next paint.
    void Invalidate()
    {
        chart->SetOptions({HarmonicRange::Upr50, false});
        chart->SetOptions(chartOptions);
    }
    CKyklosView view{"/nonexistent-logo-directory"};
    std::unique_ptr<CKyklosDoc> doc;
    std::unique_ptr<EvaluationPanel> panel;
    HarmonicChartWidget* chart = nullptr;
    HarmonicChartOptions chartOptions;
};

// The chart alone, drawn again into its image.
void ChartRender(benchmark::State& state, HarmonicRange range, bool logarithmic)
{
    Fixture f(range, logarithmic);
    for (auto _ : state) {
        f.Invalidate();
        f.chart->Render();
        benchmark::DoNotOptimize(f.chart->Image().constBits());
    }
    state.counters["chart_px"] = f.chart->Image().width() * f.chart->Image().height();
}

// The whole panel painted (tables, labels, the chart drawn again), as a
// repaint after a change of range or scale.
void PanelRepaint(benchmark::State& state, HarmonicRange range, bool logarithmic)
{
    Fixture f(range, logarithmic);
    const int rendersBefore = f.chart->RenderCount();
    for (auto _ : state) {
        f.Invalidate();
        const QPixmap picture = f.panel->grab();
        benchmark::DoNotOptimize(picture.cacheKey());
    }
    // 1 when every repaint drew the chart again, as it must to be measured.
    state.counters["chart_renders_per_repaint"] =
        static_cast<double>(f.chart->RenderCount() - rendersBefore) / static_cast<double>(state.iterations());
}

// A new analysis: the evaluation and every number of the panel.
void BM_PanelEvaluateFullSizeProfile(benchmark::State& state)
{
    Fixture f(HarmonicRange::All, false);
    for (auto _ : state) f.panel->OnDocumentChanged();
}

void BM_ChartRenderAllHarmonics(benchmark::State& state) { ChartRender(state, HarmonicRange::All, false); }
void BM_ChartRenderAllHarmonicsLogarithmic(benchmark::State& state) { ChartRender(state, HarmonicRange::All, true); }
void BM_PanelRepaintAllHarmonics(benchmark::State& state) { PanelRepaint(state, HarmonicRange::All, false); }
void BM_PanelRepaintAllHarmonicsLogarithmic(benchmark::State& state) { PanelRepaint(state, HarmonicRange::All, true); }
void BM_PanelRepaint500Upr(benchmark::State& state) { PanelRepaint(state, HarmonicRange::Upr500, false); }

BENCHMARK(BM_ChartRenderAllHarmonics)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ChartRenderAllHarmonicsLogarithmic)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelRepaintAllHarmonics)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelRepaintAllHarmonicsLogarithmic)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelRepaint500Upr)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PanelEvaluateFullSizeProfile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
