// kyklos-screenshots FOLDER: starts the desktop application as kyklos does,
// grabs its windows and dialogs to PNG files in FOLDER and quits. It is not
// installed; scripts/screenshots.sh runs it under a virtual X server.
//
// KYKLOS_STARTUP_TIMING=1 prints the time from start to the first painted report.

#include "ScreenshotTour.h"

#include "app/KyklosApp.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    kyklos::CKyklosApp::StartupClock().start();
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("Usage: kyklos-screenshots FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);

    // The pictures show a first start, and the run leaves the user's settings alone.
    QTemporaryDir settings;
    if (!settings.isValid()) {
        std::fputs("kyklos-screenshots: cannot create a temporary settings folder\n", stderr);
        return 1;
    }
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, settings.filePath(QStringLiteral("user")));
        QSettings::setPath(format, QSettings::SystemScope, settings.filePath(QStringLiteral("system")));
    }

    // No file argument: the demonstration profile is on display.
    kyklos::CKyklosApp app;
    if (!app.InitInstance(std::vector<std::string>{argv[0]})) return 1;
    kyklos::ScreenshotTour tour(folder, *app.MainFrame(), *app.Document(), *app.Ui(), *app.Progress(), nullptr);
    tour.Start();
    return QApplication::exec();
}
