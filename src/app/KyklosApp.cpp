#include "app/KyklosApp.h"

#include "app/AppSettings.h"
#include "app/KyklosViewWidget.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/QtUiPort.h"
#include "app/SplashWindow.h"
#include "document/KyklosDoc.h"
#include "platform/TextCompare.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>

#include <cstdio>

namespace kyklos {

CKyklosApp::CKyklosApp() = default;

CKyklosApp::~CKyklosApp()
{
    if (qApp) qApp->removeEventFilter(this);
    // The progress display is the window's child only while both live; it is ours to delete.
    if (progress_) progress_->SetOwner(nullptr);
    // The window and its view go before the document they show.
    frame_.reset();
    doc_.reset();
}

QElapsedTimer& CKyklosApp::StartupClock()
{
    static QElapsedTimer clock;
    return clock;
}

CKyklosApp::CommandLine CKyklosApp::ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool invisible = false;
        for (const char* invocation : {"/Embedding", "-Embedding", "/Automation", "-Automation"})
            invisible = invisible || EqualsIgnoreCase(argument, invocation);
        if (invisible) {
            line.ShowSplash = false;
            continue;
        }
        if (argument.starts_with('-')) continue;
        if (line.FileName.empty()) line.FileName = argument;
    }
    return line;
}

bool CKyklosApp::InitInstance(const std::vector<std::string>& arguments)
{
    const CommandLine line = ParseCommandLine(arguments);
    CSplashWindow::ShowSplash = line.ShowSplash;

    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Kyklos"));
    qApp->installEventFilter(this);

    AppSettings settings;
    {
        QSettings store;
        settings = LoadAppSettings(store, AvailableScreenRects());
    }

    progress_ = std::make_unique<CProgressDialog>();
    ui_ = std::make_unique<QtUiPort>();
    // The demonstration profile is analysed once, with the remembered cutoff, reference and tolerance.
    doc_ = std::make_unique<CKyklosDoc>(ui_.get(), progress_.get(), nullptr, settings.Analysis);
    frame_ = std::make_unique<CMainFrame>(*doc_, *ui_, progress_.get());
    progress_->SetOwner(frame_.get());
    frame_->RestoreSettings(settings);

    if (qEnvironmentVariable("KYKLOS_STARTUP_TIMING") == QLatin1String("1")) {
        connect(frame_->ViewWidget(), &KyklosViewWidget::FirstPainted, this, [] {
            std::fprintf(stderr, "Kyklos: first report painted %lld ms after start\n",
                         static_cast<long long>(StartupClock().elapsed()));
        });
    }

    frame_->show();
    if (CSplashWindow* splash = CSplashWindow::Instance()) splash->raise();

    if (!line.FileName.empty()) frame_->OpenFile(line.FileName);
    return true;
}

bool CKyklosApp::eventFilter(QObject* watched, QEvent* event)
{
    if (frame_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        frame_->UpdateLockIndicators(*static_cast<QKeyEvent*>(event));
    if (CSplashWindow::FilterSplashInput(watched, event)) return true;
    return QObject::eventFilter(watched, event);
}

} // namespace kyklos
