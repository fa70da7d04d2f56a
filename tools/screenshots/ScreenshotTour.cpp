#include "ScreenshotTour.h"

#include "app/KyklosViewWidget.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/QtUiPort.h"
#include "app/SplashWindow.h"
#include "app/TableImportDialog.h"
#include "document/KyklosDoc.h"
#include "io/TableReader.h"
#include "view/KyklosView.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <cstdio>

namespace kyklos {

ScreenshotTour::ScreenshotTour(const QString& directory, CMainFrame& frame, CKyklosDoc& doc, QtUiPort& ui,
                               CProgressDialog& progress, QObject* parent)
    : QObject(parent), directory_(directory), frame_(frame), doc_(doc), ui_(ui), progress_(progress)
{}

void ScreenshotTour::Start()
{
    QDir().mkpath(directory_);
    QTimer::singleShot(0, this, &ScreenshotTour::Run);
}

void ScreenshotTour::Wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void ScreenshotTour::Save(const QPixmap& picture, const QString& name)
{
    const QString path = QDir(directory_).filePath(name);
    if (!picture.save(path)) std::fprintf(stderr, "Kyklos: cannot write %s\n", qPrintable(path));
}

void ScreenshotTour::GrabNextModal(const QString& name)
{
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer, name] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        // One more turn of the loop so that the dialog has painted itself.
        QTimer::singleShot(150, dialog, [this, dialog, name] {
            Save(dialog->grab(), name);
            dialog->reject();
        });
    });
    timer->start(20);
}

void ScreenshotTour::Run()
{
    Wait(400);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        Save(screen->grabWindow(0), QStringLiteral("startup-screen.png"));
    CSplashWindow::CloseSplash();
    Wait(300);
    Save(frame_.grab(), QStringLiteral("main-window.png"));
    // The toolbar enlarged, to judge the 16 × 15 images.
    const QPixmap toolbar = frame_.ToolBar()->grab(QRect(0, 0, 190, frame_.ToolBar()->height()));
    Save(toolbar.scaled(toolbar.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation),
         QStringLiteral("toolbar-4x.png"));

    QMenu* context = frame_.ContextMenu();
    frame_.SyncCheckMarks();
    context->popup(frame_.ViewWidget()->mapToGlobal(QPoint(120, 120)));
    Wait(200);
    Save(context->grab(), QStringLiteral("context-menu.png"));
    context->hide();

    GrabNextModal(QStringLiteral("reference-selection.png"));
    ui_.ChooseReference(ReferenceIndex(doc_.Settings.ReferenceKind));
    GrabNextModal(QStringLiteral("filter-selection.png"));
    ui_.ChooseFilterIndex(FilterIndexFromCutoff(doc_.Settings.FilterCutoffUpr));
    GrabNextModal(QStringLiteral("filter-options.png"));
    frame_.OnAnalysisFilterOptions();
    // A keyway and a cross hole left out, in the dialog and then on the page.
    AnalysisSettings sectors = doc_.Settings;
    sectors.ExcludedSectors = {{80.0, 110.0}, {200.0, 215.0}};
    doc_.ChangeSettings(sectors);
    GrabNextModal(QStringLiteral("excluded-sectors.png"));
    frame_.OnAnalysisExcludedSectors();
    Wait(300);
    Save(frame_.grab(), QStringLiteral("main-window-excluded-sectors.png"));
    sectors.ExcludedSectors.clear();
    doc_.ChangeSettings(sectors);
    GrabNextModal(QStringLiteral("about.png"));
    frame_.OnAppAbout();
    GrabNextModal(QStringLiteral("scaling.png"));
    frame_.OnDisplayScaling();
    // The Import dialog as a German spreadsheet export brings it up.
    std::string table = "Pr\xFC"
                        "fbericht Welle DS-40;;\r\nWinkel [\xB0];Radius [\xB5m]\r\n";
    for (int i = 0; i < 24; ++i) table += std::to_string(i) + ",5;12505," + std::to_string(400 + 7 * i) + "\r\n";
    GrabNextModal(QStringLiteral("table-import.png"));
    frame_.TableImport().ChooseTableReading("Welle.csv", ReadTableText(table, {}).Preview, {});

    // The bar as the filter leaves it part-way through a run.
    if (progress_.Show("ZizeruzeVizava", "50 UPR Gaussian Filter...")) {
        progress_.SetPos(37);
        Wait(200);
        Save(progress_.grab(), QStringLiteral("progress.png"));
        progress_.Close();
    }

    frame_.View().ShowCenteredProfile = true;
    frame_.SyncCheckMarks();
    frame_.ViewWidget()->update();
    Wait(300);
    Save(frame_.grab(), QStringLiteral("main-window-centered.png"));

    QApplication::quit();
}

} // namespace kyklos
