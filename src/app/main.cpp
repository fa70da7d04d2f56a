// Kyklos: evaluates roundness profiles and shows the one-page report.
//
// Environment (for start-up measurements):
//   KYKLOS_STARTUP_TIMING=1     print the time from start to the first painted report.

#include "app/KyklosApp.h"

#include "platform/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kNoDisplay =
    "kyklos: cannot open a window: no display (set DISPLAY or WAYLAND_DISPLAY, or use kyklos-report without one)\n";

// True when the window system can be tried: a platform was chosen (the
// environment or -platform), or an X or Wayland display is named. Without
// one Qt would abort the program.
bool DisplayNamed(int argc, char* argv[])
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
    return false;
}

// While the application object starts, a fatal message is Qt giving up on
// the window system (a display that does not answer, a platform plugin that
// cannot load): end with a message and status 1 instead of aborting.
QtMessageHandler qtHandler = nullptr;

void StartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (qtHandler) qtHandler(type, context, message);
        return;
    }
    std::fputs(message.toLocal8Bit().constData(), stderr);
    std::fputs("\n", stderr);
    std::fputs(kNoDisplay, stderr);
    std::_Exit(1);
}

constexpr const char* kHelp = "Usage: kyklos [OPTION]... [FILE]\n"
                              "Evaluates roundness profiles and shows the one-page report with its polar graph.\n"
                              "Opens FILE, a .kyk profile or a table (.csv, .tsv, .txt, .dat), or else shows the\n"
                              "demonstration profile.\n"
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
    if (!DisplayNamed(argc, argv)) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    kyklos::CKyklosApp::StartupClock().start();
    qtHandler = qInstallMessageHandler(StartupMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    // What QApplication left of argv: its own options are gone, file names keep their bytes.
    const std::vector<std::string> arguments(argv, argv + argc);
    kyklos::CKyklosApp app;
    if (!app.InitInstance(arguments)) return 1;
    return QApplication::exec();
}
