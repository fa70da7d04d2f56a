#pragma once
// Fonts and painting need a QGuiApplication. The Qt tests share one, created
// on first use (QT_QPA_PLATFORM=offscreen is set by CTest).

#include <QGuiApplication>

namespace kyklos::test {

inline void EnsureGuiApplication()
{
    if (QGuiApplication::instance()) return;
    // Run straight from a shell, the tests still need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_platform_qt";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

} // namespace kyklos::test
