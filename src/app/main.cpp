// Kyklos: evaluates roundness profiles and shows the one-page report.
//
// Environment (for the screenshot script and start-up measurements):
//   KYKLOS_SCREENSHOT_DIR=dir   grab the main window, every dialog and the
//                               progress display to PNG files in dir, then quit;
//   KYKLOS_STARTUP_TIMING=1     print the time from start to the first painted report.

#include "app/KyklosApp.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    kyklos::CKyklosApp::StartupClock().start();
    QApplication application(argc, argv);
    // What QApplication left of argv: its own options are gone, file names keep their bytes.
    const std::vector<std::string> arguments(argv, argv + argc);
    kyklos::CKyklosApp app;
    if (!app.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
