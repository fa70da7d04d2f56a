// Kyklos: evaluates roundness profiles and shows the one-page report.
//
// Environment (for the screenshot script and start-up measurements):
//   KYKLOS_SCREENSHOT_DIR=dir   grab the main window, every dialog and the
//                               progress display to PNG files in dir, then quit;
//   KYKLOS_STARTUP_TIMING=1     print the time from start to the first painted report.

#include "app/KyklosApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    kyklos::CKyklosApp::StartupClock().start();
    QApplication application(argc, argv);
    kyklos::CKyklosApp app;
    if (!app.InitInstance(QCoreApplication::arguments())) return 1;
    return QApplication::exec();
}
