#pragma once
// The splash picture shown while the application starts: frameless, centred
// on the screen, closed after two seconds or by the first key press or mouse
// click anywhere in the application, which it swallows.

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QEvent;

namespace kyklos {

class CSplashWindow : public QWidget {
    Q_OBJECT
public:
    // Whether a splash may be shown at all; set from the command line.
    static bool ShowSplash;

    // Shows the splash owned by `owner` unless ShowSplash is false or one is
    // already up; paints it before returning.
    static void OpenSplash(QWidget* owner);
    // The splash on screen, or null.
    static CSplashWindow* Instance();
    // Given every event of the application before its receiver: while a
    // splash is up, a key press or mouse button press closes it and is
    // consumed (true). A dialog that appears (a message about the file named
    // on the command line, the progress display) closes it too, so that it is
    // never hidden behind the splash and its first click is its own.
    // Everything else passes (false).
    static bool FilterSplashInput(QObject* watched, QEvent* event);
    // Closes the splash and repaints its owner at once.
    static void CloseSplash();

    static constexpr int kLifetimeMilliseconds = 2000;

    ~CSplashWindow() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit CSplashWindow(QWidget* owner);

    QPixmap picture_;
    QTimer timer_;
    static CSplashWindow* instance_;
};

} // namespace kyklos
