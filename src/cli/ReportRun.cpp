#include "cli/ReportRun.h"

#include "cli/BatchRunner.h"
#include "cli/ExitStatus.h"
#include "cli/Interruption.h"
#include "cli/ProfileEvaluator.h"
#include "cli/RecordStream.h"
#include "document/GaussianNoiseSource.h"
#include "view/KyklosView.h"
#include "view/qt/MetafilePreview.h"
#include "view/qt/PageExport.h"

#include <QGuiApplication>

#include <iostream>
#include <memory>

namespace kyklos {

namespace {

// A batch tool prints its results and its one-line errors, not Qt's
// diagnostics about the desktop session it does not have.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

// Qt's painting needs a GUI application object even without a screen.
std::unique_ptr<QGuiApplication> StartQt(int& argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    return std::make_unique<QGuiApplication>(argc, argv);
}

int DrawMetafile(const RunPlan& plan, int& argc, char** argv)
{
    const auto app = StartQt(argc, argv);
    std::string error;
    if (RenderMetafile(plan.Metafile, plan.Pages.Path, plan.Pages.Export.ImageWidth, plan.Pages.Export.ImageHeight,
                       error))
        return kExitSuccess;
    WriteRunFailure(plan.Format, error);
    return kExitFileFailed;
}

std::unique_ptr<CKyklosView> PageView(const RunPlan& plan)
{
    auto view = std::make_unique<CKyklosView>();
    view->Graph.MetricUnits = plan.Metric;
    view->ShowCenteredProfile = plan.Pages.ShowCenteredProfile;
    view->ShowRawData = plan.Pages.ShowRawData;
    view->ShowReferenceCircle = plan.Pages.ShowReferenceCircle;
    if (plan.Pages.FixedBandRange) {
        view->AutoScale = false;
        view->Graph.BandRange = *plan.Pages.FixedBandRange;
    }
    return view;
}

// The demonstration profile first, made by the process-wide generator as in
// the window, so that it is the same in every run; then the files.
void EvaluateAll(const RunPlan& plan, bool keepDocuments, RecordStream& stream)
{
    if (plan.Demo) {
        const ProfileEvaluator demo(plan.Analysis, &ProcessNoise(), plan.Uncertainty);
        const ProfileRecord record = demo.DemonstrationRecord();
        const CKyklosDoc* doc = record.Ok ? &demo.Document() : nullptr;
        if (!stream.Take(0, record, stream.Format(record, doc), doc)) return;
    }
    BatchSettings settings;
    settings.Workers = plan.Workers;
    settings.Analysis = plan.Analysis;
    settings.KeepDocuments = keepDocuments;
    settings.Uncertainty = plan.Uncertainty;
    settings.TableReading = plan.Tables.Reading;
    const std::size_t offset = plan.Demo ? 1 : 0;
    RunBatch(
        plan.Files, settings,
        [&stream](const ProfileRecord& record, const CKyklosDoc* doc) { return stream.Format(record, doc); },
        [&](std::size_t index, const EvaluatedProfile& result) {
            return stream.Take(index + offset, result.Record, result.Output, result.Document);
        });
}

} // namespace

int RunReport(const RunPlan& plan, int& argc, char** argv)
{
    if (!plan.Metafile.empty()) return DrawMetafile(plan, argc, argv);
    // Pages, when asked for, are drawn one at a time as the records come.
    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<CKyklosView> view;
    std::unique_ptr<ReportPageWriter> pages;
    if (!plan.Pages.Path.empty()) {
        app = StartQt(argc, argv);
        view = PageView(plan);
        pages = std::make_unique<ReportPageWriter>(*view, plan.Pages.Path, plan.Pages.Export, plan.RecordCount());
        std::string error;
        if (!pages->Open(error)) {
            WriteRunFailure(plan.Format, error);
            return kExitFileFailed;
        }
    }
    Interruption interruption;
    RecordStream stream(plan, pages.get());
    // The pages and the saved profiles are made from each analysed document.
    if (stream.Begin()) EvaluateAll(plan, pages != nullptr || !plan.Tables.SaveProfilePath.empty(), stream);
    const int status = stream.Finish();
    interruption.RaiseAgain();
    return status;
}

} // namespace kyklos
