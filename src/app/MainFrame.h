#pragma once
// The main window: menus, accelerators, toolbar and status bar around the
// report view. It owns the view and routes every command to the object that
// handles it: the document (New, Filtering, Reference Circle, and Open once
// the window has chosen the file), the view (display toggles, Scaling, Copy,
// printing, export) or the application (About, Web Site, Print Setup, Exit).
// It keeps the recent files and, once the application has restored them, the
// settings remembered between runs.

#include "app/RecentFiles.h"

#include <QEvent>
#include <QHash>
#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>

class QKeyEvent;
class QLabel;
class QMenu;

namespace kyklos {

struct AppSettings;
class CKyklosDoc;
class CKyklosView;
class EvaluationPanel;
class KyklosViewWidget;
class ProgressPort;
class QtUiPort;
class ReportPrinter;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Creates the view (which loads the logos from the current directory), the
    // menus, the toolbar and the status bar, and connects `ui` to this window.
    CMainFrame(CKyklosDoc& doc, QtUiPort& ui, const ProgressPort* progress, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The window's rectangle for a screen of the given size: the middle 80 % in
    // each direction, with integer division (1024 × 768 gives (102, 76, 819, 614)).
    static QRect InitialPlacement(const QSize& screenSize);

    CKyklosView& View() { return *view_; }
    KyklosViewWidget* ViewWidget() const { return viewWidget_; }
    EvaluationPanel* EvaluationDock() const { return evaluationPanel_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* ContextMenu() const { return contextMenu_; }
    // The action of a main-menu, toolbar or accelerator command; null when none.
    QAction* Action(int commandId) const { return actions_.value(commandId); }
    // The action of a context-menu item; null when none.
    QAction* ContextAction(int commandId) const { return contextActions_.value(commandId); }
    // The status bar's message pane when no prompt is shown, and the lock indicators.
    QLabel* IdleLabel() const { return idleLabel_; }
    QLabel* IndicatorLabel(int index) const { return indicators_[index]; }

    // Check marks of the display toggles from the view's flags, in every menu.
    void SyncCheckMarks();
    // Caps and Num Lock as a key event reports them, where the platform tells.
    void UpdateLockIndicators(const QKeyEvent& event);
    // The same from a key event's type, key and X11 modifier state (the
    // state before the event: Lock 0x2, Mod2 0x10 for Num Lock).
    void UpdateLockIndicators(QEvent::Type type, int key, quint32 nativeModifiers);

    // Opens a profile as File Open does after its dialog, for the dialog, a
    // drop, the command line and a recent entry alike: messages about it name
    // it, and it goes to the top of the recent files. A file that cannot be
    // opened at all leaves the list; one refused for its content stays, as
    // the user did open it.
    void OpenFile(const std::string& path);
    const RecentFiles& Recent() const { return recent_; }

    // Applies what the last run remembered (the analysis settings went to the
    // document when it was created) and from then on keeps the settings
    // store up to date: the recent files as they change, the rest when the
    // window closes. A window never restored writes nothing but the
    // tolerance and the spectrum choices, which are written as they change.
    void RestoreSettings(const AppSettings& settings);
    // The settings as they stand now.
    AppSettings CurrentSettings() const;

    // Commands handled here or passed on.
    void OnFileOpen();
    void OnDisplayScaling();
    void OnDisplayWebSite();
    void OnAppAbout();
    void OnAnalysisTolerance();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(int commandId, const QString& caption, const QString& prompt);
    QAction* MakeContextAction(int commandId, const QString& caption, const QString& prompt);
    void CreateActions();
    // The evaluation panel, View ▸ Evaluation and Analysis ▸ Tolerance.
    void CreateEvaluationPanel(QtUiPort& ui, const ProgressPort* progress);
    void CreateMenus();
    void CreateContextMenu();
    void CreateToolBar();
    void CreateStatusBar();
    void ConnectCommands();
    void ToggleDisplay(bool CKyklosView::*flag);
    void ShowContextMenu(const QPoint& globalPos);
    void SetIndicator(int index, bool on);
    void CreateRecentFileItems(QMenu* file);
    void UpdateRecentFileItems();
    void SaveRecentFiles() const;

    CKyklosDoc& doc_;
    QtUiPort& ui_;
    std::unique_ptr<CKyklosView> view_;
    std::unique_ptr<ReportPrinter> printer_;
    KyklosViewWidget* viewWidget_ = nullptr;
    EvaluationPanel* evaluationPanel_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QLabel* idleLabel_ = nullptr;
    QLabel* indicators_[3] = {nullptr, nullptr, nullptr};
    QHash<int, QAction*> actions_;
    QHash<int, QAction*> contextActions_;
    // Per lock key (Caps, Num): whether its last press found it locked.
    std::optional<bool> lockPressFoundLocked_[2];
    RecentFiles recent_;
    QAction* recentSeparator_ = nullptr;
    std::string openFolder_;        // of the last file opened, as bytes
    bool rememberSettings_ = false;
};

} // namespace kyklos
