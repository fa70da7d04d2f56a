// Kyklos: evaluates roundness profiles and shows the one-page report.
//
// Environment (for start-up measurements):
//   KYKLOS_STARTUP_TIMING=1     print the time from start to the first painted report.

#include "app/KyklosApp.h"

#include "platform/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelp =
    "Usage: kyklos [OPTION]... [FILE]\n"
    "Evaluates roundness profiles and shows the one-page report with its polar graph.\n"
    "Opens FILE, a .kyk profile, or else shows the demonstration profile.\n"
    "\n"
    "Options:\n"
    "  -Embedding, -Automation  start without the splash window (any letter case;\n"
    "                           also written with a leading /)\n"
    "  --help                   print this help and exit\n"
    "  --version                print the version and exit\n"
    "\n"
    "Qt's own options, such as -platform NAME or -style NAME, are accepted as well.\n";

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any window system is touched, so that they work
    // without a display (scripts, package builds).
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("kyklos " KYKLOS_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    kyklos::CKyklosApp::StartupClock().start();
    QApplication application(argc, argv);
    // What QApplication left of argv: its own options are gone, file names keep their bytes.
    const std::vector<std::string> arguments(argv, argv + argc);
    kyklos::CKyklosApp app;
    if (!app.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
