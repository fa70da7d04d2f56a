#pragma once
// The screenshot run of kyklos-screenshots: grabs the start-up screen, the
// main window with the demonstration report, the context menu, every dialog
// and the progress display to PNG files, then quits the application.
// scripts/screenshots.sh drives it under a virtual X server.

#include <QObject>
#include <QString>

namespace kyklos {

class CKyklosDoc;
class CMainFrame;
class CProgressDialog;
class QtUiPort;

class ScreenshotTour : public QObject {
    Q_OBJECT
public:
    ScreenshotTour(const QString& directory, CMainFrame& frame, CKyklosDoc& doc, QtUiPort& ui,
                   CProgressDialog& progress, QObject* parent);

    void Start();

private:
    void Run();
    void Save(const QPixmap& picture, const QString& name);
    // Grabs the next modal window once it has been painted, then cancels it.
    void GrabNextModal(const QString& name);
    static void Wait(int milliseconds);

    QString directory_;
    CMainFrame& frame_;
    CKyklosDoc& doc_;
    QtUiPort& ui_;
    CProgressDialog& progress_;
};

} // namespace kyklos
