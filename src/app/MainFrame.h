#pragma once
// The main window: menus, accelerators, toolbar and status bar around the
// report view. It owns the view and routes every command to the object that
// handles it: the document (New, Filtering, Reference Circle, and Open once
// the window has chosen the file), the view (display toggles, Scaling, Copy,
// printing, export) or the application (About, Web Site, Print Setup, Exit).
// It keeps the options of View ▸ Options, and with them the recent files and
// the settings remembered between runs.

#include "app/AppSettings.h"
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

class CKyklosDoc;
class CKyklosView;
class EvaluationPanel;
class KyklosViewWidget;
class ProgressPort;
class QtTableImport;
class QtUiPort;
class ReportPrinter;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Creates the view (which loads the logos from the current directory), the
    // menus, the toolbar and the status bar, and connects `ui` to this window.
    CMainFrame(CKyklosDoc& doc, QtUiPort& ui, const ProgressPort* progress, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The window's rectangle, its frame included, for a screen of the given
    // size: the middle 80 % in each direction, with integer division
    // (1024 × 768 gives (102, 76, 819, 614)). The window takes it on the
    // available area of its screen (without panels), once its frame is known.
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
    // it, and while the recent files are listed it goes to the top of them.
    // A file refused, for any reason, leaves the list.
    void OpenFile(const std::string& path);
    const RecentFiles& Recent() const { return recent_; }

    // Applies what the last run remembered (the analysis settings went to the
    // document when it was created). The settings store is kept up to date
    // as things change: the options, the tolerance, the evaluation panel and
    // its choices, and the recent files while they are listed; the values
    // restored at start are written when the window closes, while that
    // option is on. Nothing else is written.
    void RestoreSettings(const AppSettings& settings);
    // The settings as they stand now.
    AppSettings CurrentSettings() const;
    const AppOptions& Options() const { return options_; }
    // Takes new options, writes them and what follows from them: the recent
    // files shown or forgotten, the restored values forgotten when their
    // option goes off.
    void SetOptions(const AppOptions& options);

    // Commands handled here or passed on.
    void OnFileOpen();
    // File ▸ Save Profile As…: the save dialog, then SaveProfileTo.
    void OnFileSaveProfileAs();
    // Saves the profile to `path` (.kyk or a CSV table), messages naming the
    // file; the message shown, or "" when written.
    std::string SaveProfileTo(const std::string& path);
    QtTableImport& TableImport() { return *tableImport_; }
    void OnDisplayScaling();
    void OnDisplayWebSite();
    void OnAppAbout();
    void OnAnalysisTolerance();
    void OnAnalysisFilterOptions();
    void OnAnalysisExcludedSectors();
    void OnAnalysisUncertainty();
    void OnViewOptions();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
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
    void RememberEvaluationPanel();
    void RememberTableImports();
    // Sizes and places the window so that its frame covers `frame`.
    void FitFrame(const QRect& frame);

    CKyklosDoc& doc_;
    QtUiPort& ui_;
    std::unique_ptr<CKyklosView> view_;
    std::unique_ptr<ReportPrinter> printer_;
    std::unique_ptr<QtTableImport> tableImport_;
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
    std::string openFolder_; // of the last file opened, as bytes
    AppOptions options_;
    bool panelShownRemembered_ = false;
    // The first placement's frame, until the window manager has told the frame's size.
    std::optional<QRect> initialFrame_;
};

} // namespace kyklos
