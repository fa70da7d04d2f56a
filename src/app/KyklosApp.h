#pragma once
// The application object: start-up in its fixed order, the objects that live
// for the whole run (progress display, UI port, document, main window), and
// the application-wide input filter that gives every key and mouse press to
// the splash first.
//
// Start-up order: parse the command line (the embedding and automation
// switches suppress the splash); name the settings and read what the last run
// remembered (AppSettings: little unless the options ask for more); create the
// progress display, then the document, which generates and analyses the
// demonstration profile with the remembered analysis settings before any
// window exists; then the main window with its view, toolbar, status bar and
// splash, given the remembered options, panel and window and display
// settings; show it. A profile named on the command line is read last, once
// the main window is on screen, so that a refused file's message has the
// window as its parent and the demonstration profile stays on display behind it.

#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <string>
#include <vector>

namespace kyklos {

class CKyklosDoc;
class CMainFrame;
class CProgressDialog;
class QtUiPort;

class CKyklosApp : public QObject {
    Q_OBJECT
public:
    CKyklosApp();
    ~CKyklosApp() override;

    struct CommandLine {
        bool ShowSplash = true;
        std::string FileName; // the first argument that is not a switch, as its bytes
    };
    // The arguments as main received them (program first), left by
    // QApplication: bytes, so that a file name in any encoding reaches the
    // file system unchanged. "/Embedding", "-Embedding", "/Automation",
    // "-Automation" (any case) suppress the splash; other arguments starting
    // with '-' are ignored. A leading '/' starts a path here, not a switch.
    static CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

    // Runs the start-up on the existing QApplication. False to quit at once.
    bool InitInstance(const std::vector<std::string>& arguments);

    CKyklosDoc* Document() const { return doc_.get(); }
    CMainFrame* MainFrame() const { return frame_.get(); }
    CProgressDialog* Progress() const { return progress_.get(); }
    QtUiPort* Ui() const { return ui_.get(); }

    // Started by main before anything else; read at the first painted report.
    static QElapsedTimer& StartupClock();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<CProgressDialog> progress_;
    std::unique_ptr<QtUiPort> ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace kyklos
