#include "app/MainFrame.h"

#include "app/AboutDialog.h"
#include "app/AppSettings.h"
#include "app/Artwork.h"
#include "app/CommandIds.h"
#include "app/EvaluationPanel.h"
#include "app/ExcludedSectorsDialog.h"
#include "app/FilterOptionsDialog.h"
#include "app/KyklosViewWidget.h"
#include "app/OptionsDialog.h"
#include "app/QtUiPort.h"
#include "app/ReportClipboard.h"
#include "app/ReportPrinter.h"
#include "app/ScalingDialog.h"
#include "app/SplashWindow.h"
#include "app/TableImportDialog.h"
#include "app/ToleranceDialog.h"
#include "app/UncertaintyDialog.h"
#include "document/KyklosDoc.h"
#include "io/TableReader.h"
#include "platform/PathParts.h"
#include "view/Footer.h"
#include "view/KyklosView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

namespace kyklos {

namespace {

const QString kWebAddress = QString::fromUtf8(kMakerWebAddress.data(), static_cast<qsizetype>(kMakerWebAddress.size()));

// The local .kyk file or table a drag carries as the file system names it, or an empty string.
std::string DroppedProfile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return {};
    const QUrl& url = urls.front();
    const QString local = url.toLocalFile();
    if (QFileInfo(local).suffix().compare(QStringLiteral("kyk"), Qt::CaseInsensitive) != 0 &&
        !IsTableFileName(local.toStdString()))
        return {};
#ifdef Q_OS_UNIX
    // The URL keeps a name's bytes that are not UTF-8 percent-encoded;
    // toLocalFile() would turn them into U+FFFD and name another file.
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
#else
    return QFile::encodeName(url.toLocalFile()).toStdString();
#endif
}

} // namespace

CMainFrame::CMainFrame(CKyklosDoc& doc, QtUiPort& ui, const ProgressPort* progress, QWidget* parent)
    : QMainWindow(parent), doc_(doc), ui_(ui)
{
    setWindowTitle(QStringLiteral("Kyklos"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);

    view_ = std::make_unique<CKyklosView>();
    printer_ = std::make_unique<ReportPrinter>(*view_, doc_);
    viewWidget_ = new KyklosViewWidget(*view_, doc_, progress, this);
    setCentralWidget(viewWidget_);
    viewWidget_->setFocus();

    CreateActions();
    CreateEvaluationPanel(ui, progress);
    CreateMenus();
    CreateContextMenu();
    CreateToolBar();
    CreateStatusBar();
    ConnectCommands();
    SyncCheckMarks();

    ui.SetDialogParent(this);
    ui.SetViewWidget(viewWidget_);
    tableImport_ = std::make_unique<QtTableImport>();
    tableImport_->SetDialogParent(this);
    tableImport_->SetRemembered([this] { RememberTableImports(); });
    doc_.SetTableImportPort(tableImport_.get());

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        initialFrame_ = InitialPlacement(available.size()).translated(available.topLeft());
        // The frame's size is known only once the window manager has framed
        // the window: fitted again then (eventFilter).
        FitFrame(*initialFrame_);
    }
    CSplashWindow::OpenSplash(this);
}

CMainFrame::~CMainFrame() { doc_.SetTableImportPort(nullptr); }

QRect CMainFrame::InitialPlacement(const QSize& screenSize)
{
    const int sw = screenSize.width();
    const int sh = screenSize.height();
    return QRect(sw / 10, sh / 10, 4 * sw / 5, 4 * sh / 5);
}

QAction* CMainFrame::MakeAction(int commandId, const QString& caption, const QString& prompt)
{
    auto* action = new QAction(caption.section(QLatin1Char('\t'), 0, 0), this);
    action->setProperty(kCommandIdProperty, commandId);
    action->setProperty(kCaptionProperty, caption);
    if (!prompt.isEmpty()) {
        action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        action->setToolTip(prompt.section(QLatin1Char('\n'), 1));
    }
    const QString keys = caption.section(QLatin1Char('\t'), 1);
    if (!keys.isEmpty()) action->setShortcut(QKeySequence(keys, QKeySequence::PortableText));
    actions_.insert(commandId, action);
    return action;
}

QAction* CMainFrame::MakeContextAction(int commandId, const QString& caption, const QString& prompt)
{
    auto* action = new QAction(caption, this);
    action->setProperty(kCommandIdProperty, commandId);
    action->setProperty(kCaptionProperty, caption);
    action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    action->setToolTip(prompt.section(QLatin1Char('\n'), 1));
    contextActions_.insert(commandId, action);
    return action;
}

void CMainFrame::CreateActions()
{
    MakeAction(ID_FILE_NEW, QStringLiteral("&New\tCtrl+N"), QStringLiteral("Create a new document\nNew"));
    MakeAction(ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("Open an existing document\nOpen"));
    MakeAction(ID_FILE_SAVE_PROFILE_AS, QStringLiteral("Save Pro&file As..."),
               QStringLiteral("Saves the profile as a .kyk file or a CSV table.\nSave Profile As"));
    MakeAction(ID_FILE_PRINT, QStringLiteral("&Print...\tCtrl+P"), QStringLiteral("Print the active document\nPrint"));
    MakeAction(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"),
               QStringLiteral("Display full pages\nPrint Preview"));
    MakeAction(ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup..."),
               QStringLiteral("Change the printer and printing options\nPrint Setup"));
    MakeAction(ID_FILE_EXPORT, QStringLiteral("&Export...\tCtrl+E"),
               QStringLiteral("Saves the report page as a PDF, PNG or SVG file.\nExport"));
    // Ctrl+Q as desktops expect, beside Alt+F4 and the menu.
    MakeAction(ID_APP_EXIT, QStringLiteral("E&xit\tCtrl+Q"),
               QStringLiteral("Quit the application; prompts to save documents\nExit"));
    MakeAction(ID_EDIT_COPY, QStringLiteral("&Copy\tCtrl+C"),
               QStringLiteral("Copy the selection and put it on the Clipboard\nCopy"));
    MakeAction(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"), QStringLiteral("Show or hide the toolbar\nToggle ToolBar"));
    MakeAction(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"),
               QStringLiteral("Show or hide the status bar\nToggle StatusBar"));
    MakeAction(
        ID_VIEW_OPTIONS, QStringLiteral("&Options..."),
        QStringLiteral(
            "Sets the options: recent files, settings restored at start, the evaluation page in print.\nOptions"));
    MakeAction(ID_DISPLAY_SCALING, QStringLiteral("&Scaling"), QStringLiteral("Adjusts the profile scaling.\nScaling"));
    MakeAction(ID_DISPLAY_CENTERED_PROFILE, QStringLiteral("&Centered Profile"),
               QStringLiteral("Toggles the centering the measured data.\nCentered Profile"));
    MakeAction(ID_DISPLAY_REFERENCE_CIRCLE, QStringLiteral("&Reference Circle"),
               QStringLiteral("Toggles the display of the reference geometry.\nReference Circle"));
    MakeAction(ID_DISPLAY_RAW_DATA, QStringLiteral("Raw &Data"),
               QStringLiteral("Toggles the display of the raw data.\nRaw Data Display"));
    MakeAction(ID_DISPLAY_WEB_SITE, QStringLiteral("&Web Site"),
               QStringLiteral("Opens the web browser at %1.\nVisit %1").arg(kWebAddress));
    MakeAction(ID_ANALYSIS_FILTERING, QStringLiteral("&Filtering"),
               QStringLiteral("Selects the filter cutoff.\nFiltering"));
    // O and E: free in the Analysis menu (Filtering, Reference Circle, Tolerance).
    MakeAction(ID_ANALYSIS_FILTER_OPTIONS, QStringLiteral("Filter &Options..."),
               QStringLiteral("Selects the filter kind, the band and spike removal.\nFilter Options"));
    MakeAction(ID_ANALYSIS_EXCLUDED_SECTORS, QStringLiteral("&Excluded Sectors..."),
               QStringLiteral("Leaves sectors of the profile out of the analysis.\nExcluded Sectors"));
    MakeAction(ID_ANALYSIS_REFERENCE_CIRCLE, QStringLiteral("&Reference Circle"),
               QStringLiteral("Selects the reference circle.\nReference Circle"));
    MakeAction(ID_APP_ABOUT, QStringLiteral("&About Kyklos..."),
               QStringLiteral("Display program information, version number and copyright\nAbout"));

    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_DISPLAY_CENTERED_PROFILE, ID_DISPLAY_REFERENCE_CIRCLE,
                   ID_DISPLAY_RAW_DATA})
        Action(id)->setCheckable(true);
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);
    // Copy also answers the classic Ctrl+Insert.
    Action(ID_EDIT_COPY)
        ->setShortcuts({QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Insert"))});

    // Keys bound to commands nothing handles: consumed here, so they do nothing.
    struct DeadKey {
        int Id;
        const char* Keys;
    };
    static constexpr DeadKey kDeadKeys[] = {
        {ID_FILE_SAVE, "Ctrl+S"},        {ID_EDIT_UNDO, "Ctrl+Z"},
        {ID_EDIT_CUT, "Ctrl+X"},         {ID_EDIT_PASTE, "Ctrl+V"},
        {ID_EDIT_UNDO, "Alt+Backspace"}, {ID_EDIT_CUT, "Shift+Del"},
        {ID_EDIT_PASTE, "Shift+Ins"},    {ID_NEXT_PANE, "F6"},
        {ID_PREV_PANE, "Shift+F6"},
    };
    for (const DeadKey& dead : kDeadKeys) {
        auto* action = new QAction(this);
        action->setProperty(kCommandIdProperty, dead.Id);
        action->setShortcut(QKeySequence(QString::fromLatin1(dead.Keys), QKeySequence::PortableText));
        addAction(action);
        // Undo, Cut and Paste each have two keys: keep the first action under the id.
        if (!actions_.contains(dead.Id)) actions_.insert(dead.Id, action);
    }
}

void CMainFrame::CreateMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->addAction(Action(ID_FILE_NEW));
    file->addAction(Action(ID_FILE_OPEN));
    file->addAction(Action(ID_FILE_SAVE_PROFILE_AS));
    file->addSeparator();
    file->addAction(Action(ID_FILE_PRINT));
    file->addAction(Action(ID_FILE_PRINT_PREVIEW));
    file->addAction(Action(ID_FILE_PRINT_SETUP));
    file->addAction(Action(ID_FILE_EXPORT));
    file->addSeparator();
    CreateRecentFileItems(file);
    file->addAction(Action(ID_APP_EXIT));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Action(ID_EDIT_COPY));

    QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
    viewMenu->addAction(Action(ID_VIEW_TOOLBAR));
    viewMenu->addAction(Action(ID_VIEW_STATUS_BAR));
    viewMenu->addAction(Action(ID_VIEW_EVALUATION));
    viewMenu->addSeparator();
    viewMenu->addAction(Action(ID_VIEW_OPTIONS));
    connect(viewMenu, &QMenu::aboutToShow, this, [this] {
        Action(ID_VIEW_TOOLBAR)->setChecked(!toolBar_->isHidden());
        Action(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    });

    QMenu* display = bar->addMenu(QStringLiteral("&Display"));
    display->addAction(Action(ID_DISPLAY_SCALING));
    display->addSeparator();
    display->addAction(Action(ID_DISPLAY_CENTERED_PROFILE));
    display->addAction(Action(ID_DISPLAY_REFERENCE_CIRCLE));
    display->addAction(Action(ID_DISPLAY_RAW_DATA));
    display->addSeparator();
    display->addAction(Action(ID_DISPLAY_WEB_SITE));
    connect(display, &QMenu::aboutToShow, this, &CMainFrame::SyncCheckMarks);

    QMenu* analysis = bar->addMenu(QStringLiteral("&Analysis"));
    analysis->addAction(Action(ID_ANALYSIS_FILTERING));
    analysis->addAction(Action(ID_ANALYSIS_FILTER_OPTIONS));
    analysis->addAction(Action(ID_ANALYSIS_EXCLUDED_SECTORS));
    analysis->addSeparator();
    analysis->addAction(Action(ID_ANALYSIS_REFERENCE_CIRCLE));
    analysis->addSeparator();
    analysis->addAction(Action(ID_ANALYSIS_TOLERANCE));
    analysis->addAction(Action(ID_ANALYSIS_UNCERTAINTY));

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::CreateContextMenu()
{
    // Items with the main menu's caption are the main menu's actions; the
    // others trigger the same commands and show the same check marks.
    contextMenu_ = new QMenu(QStringLiteral("Context"), this);
    const auto shared = [this](int id) {
        contextMenu_->addAction(Action(id));
        contextActions_.insert(id, Action(id));
    };
    shared(ID_FILE_OPEN);
    shared(ID_FILE_PRINT);
    contextMenu_->addSeparator();
    shared(ID_EDIT_COPY);
    contextMenu_->addSeparator();
    shared(ID_DISPLAY_SCALING);
    contextMenu_->addAction(
        MakeContextAction(ID_DISPLAY_CENTERED_PROFILE, QStringLiteral("Show Ce&ntered Profile"),
                          QStringLiteral("Toggles the centering the measured data.\nCentered Profile")));
    contextMenu_->addAction(
        MakeContextAction(ID_DISPLAY_REFERENCE_CIRCLE, QStringLiteral("Show &Reference Circle"),
                          QStringLiteral("Toggles the display of the reference geometry.\nReference Circle")));
    contextMenu_->addAction(
        MakeContextAction(ID_DISPLAY_RAW_DATA, QStringLiteral("Show Raw &Data"),
                          QStringLiteral("Toggles the display of the raw data.\nRaw Data Display")));
    contextMenu_->addSeparator();
    shared(ID_ANALYSIS_FILTERING);
    contextMenu_->addAction(MakeContextAction(ID_ANALYSIS_REFERENCE_CIRCLE, QStringLiteral("R&eference Circle"),
                                              QStringLiteral("Selects the reference circle.\nReference Circle")));
    // Last, and with a key of its own: E belongs to Reference Circle, P to Print.
    contextMenu_->addSeparator();
    contextMenu_->addAction(
        MakeContextAction(ID_FILE_EXPORT, QStringLiteral("E&xport...\tCtrl+E"),
                          Action(ID_FILE_EXPORT)->statusTip() + "\n" + Action(ID_FILE_EXPORT)->toolTip()));
    for (int id : {ID_DISPLAY_CENTERED_PROFILE, ID_DISPLAY_REFERENCE_CIRCLE, ID_DISPLAY_RAW_DATA})
        ContextAction(id)->setCheckable(true);
    connect(contextMenu_, &QMenu::aboutToShow, this, &CMainFrame::SyncCheckMarks);
}

void CMainFrame::CreateToolBar()
{
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("Toolbar128"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    const auto button = [this](int id, ToolbarImage image) {
        QAction* action = Action(id);
        action->setIcon(ToolbarIcon(image));
        action->setIconVisibleInMenu(false);
        toolBar_->addAction(action);
    };
    button(ID_FILE_NEW, ToolbarImage::New);
    button(ID_FILE_OPEN, ToolbarImage::Open);
    toolBar_->addSeparator();
    button(ID_EDIT_COPY, ToolbarImage::Copy);
    toolBar_->addSeparator();
    button(ID_FILE_PRINT, ToolbarImage::Print);
    toolBar_->addSeparator();
    button(ID_DISPLAY_WEB_SITE, ToolbarImage::WebSite);
    button(ID_APP_ABOUT, ToolbarImage::About);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The frame's own toolbar menu would bypass View ▸ Toolbar and its check mark.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    // A prompt is a temporary message: it hides the idle text while it is shown.
    idleLabel_ = new QLabel(QStringLiteral("Ready"), bar);
    bar->addWidget(idleLabel_, 1);
    const QString texts[3] = {QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL")};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(texts[i], bar);
        indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicators_[i]->setAlignment(Qt::AlignCenter);
        indicators_[i]->setMinimumWidth(indicators_[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(indicators_[i]);
        SetIndicator(i, false);
    }
}

void CMainFrame::ConnectCommands()
{
    const auto on = [this](int id, auto handler) { connect(Action(id), &QAction::triggered, this, handler); };
    on(ID_FILE_NEW, [this] { doc_.OnFileNew(); });
    on(ID_FILE_OPEN, [this] { OnFileOpen(); });
    on(ID_FILE_SAVE_PROFILE_AS, [this] { OnFileSaveProfileAs(); });
    on(ID_FILE_PRINT, [this] { printer_->Print(this); });
    on(ID_FILE_PRINT_PREVIEW, [this] { printer_->PrintPreview(this); });
    on(ID_FILE_PRINT_SETUP, [this] { printer_->PrintSetup(this); });
    on(ID_FILE_EXPORT, [this] { printer_->Export(this); });
    on(ID_APP_EXIT, [this] { close(); });
    on(ID_EDIT_COPY, [this] { CopyReportToClipboard(*view_, doc_, viewWidget_); });
    on(ID_VIEW_TOOLBAR, [this](bool visible) { toolBar_->setVisible(visible); });
    on(ID_VIEW_STATUS_BAR, [this](bool visible) { statusBar()->setVisible(visible); });
    on(ID_DISPLAY_SCALING, [this] { OnDisplayScaling(); });
    on(ID_DISPLAY_WEB_SITE, [this] { OnDisplayWebSite(); });
    on(ID_ANALYSIS_FILTERING, [this] { doc_.OnAnalysisFiltering(); });
    on(ID_ANALYSIS_REFERENCE_CIRCLE, [this] { doc_.OnAnalysisReferenceCircle(); });
    on(ID_ANALYSIS_FILTER_OPTIONS, [this] { OnAnalysisFilterOptions(); });
    on(ID_ANALYSIS_EXCLUDED_SECTORS, [this] { OnAnalysisExcludedSectors(); });
    on(ID_APP_ABOUT, [this] { OnAppAbout(); });
    on(ID_VIEW_OPTIONS, [this] { OnViewOptions(); });

    for (QHash<int, QAction*>* table : {&actions_, &contextActions_}) {
        const auto toggle = [this, table](int id, bool CKyklosView::*flag) {
            QAction* action = table->value(id);
            // Shared actions are connected once, through the main-menu table.
            if (table == &contextActions_ && action == Action(id)) return;
            connect(action, &QAction::triggered, this, [this, flag] { ToggleDisplay(flag); });
        };
        toggle(ID_DISPLAY_CENTERED_PROFILE, &CKyklosView::ShowCenteredProfile);
        toggle(ID_DISPLAY_REFERENCE_CIRCLE, &CKyklosView::ShowReferenceCircle);
        toggle(ID_DISPLAY_RAW_DATA, &CKyklosView::ShowRawData);
    }
    connect(ContextAction(ID_ANALYSIS_REFERENCE_CIRCLE), &QAction::triggered, this,
            [this] { doc_.OnAnalysisReferenceCircle(); });
    connect(ContextAction(ID_FILE_EXPORT), &QAction::triggered, this, [this] { printer_->Export(this); });

    connect(viewWidget_, &KyklosViewWidget::ScaleBarDoubleClicked, this, &CMainFrame::OnDisplayScaling);
    connect(viewWidget_, &KyklosViewWidget::ContextMenuRequested, this, &CMainFrame::ShowContextMenu);
}

void CMainFrame::ToggleDisplay(bool CKyklosView::*flag)
{
    // A display setting only: the document and its results stay as they are.
    (*view_).*flag = !((*view_).*flag);
    SyncCheckMarks();
    viewWidget_->update();
}

void CMainFrame::SyncCheckMarks()
{
    const std::pair<int, bool> states[] = {
        {ID_DISPLAY_CENTERED_PROFILE, view_->ShowCenteredProfile},
        {ID_DISPLAY_REFERENCE_CIRCLE, view_->ShowReferenceCircle},
        {ID_DISPLAY_RAW_DATA, view_->ShowRawData},
    };
    for (const auto& [id, on] : states) {
        Action(id)->setChecked(on);
        ContextAction(id)->setChecked(on);
    }
}

void CMainFrame::ShowContextMenu(const QPoint& globalPos) { contextMenu_->exec(globalPos); }

void CMainFrame::OnDisplayScaling()
{
    if (!RunScalingCommand(this, *view_)) return;
    viewWidget_->update();
    evaluationPanel_->OnUnitsChanged();
}

void CMainFrame::OnDisplayWebSite()
{
    // Nothing is reported when no browser opens.
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + kWebAddress));
}

void CMainFrame::OnAppAbout()
{
    CAboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::CreateEvaluationPanel(QtUiPort& ui, const ProgressPort* progress)
{
    evaluationPanel_ = new EvaluationPanel(doc_, *view_, progress, this);
    addDockWidget(Qt::RightDockWidgetArea, evaluationPanel_);
    // Hidden until the user shows it: the report page has the window to itself.
    evaluationPanel_->hide();
    // The dock's own action keeps its check mark with the dock, also when its title bar closes it.
    QAction* toggle = evaluationPanel_->toggleViewAction();
    toggle->setText(QStringLiteral("&Evaluation"));
    toggle->setProperty(kCommandIdProperty, ID_VIEW_EVALUATION);
    toggle->setProperty(kCaptionProperty, QStringLiteral("&Evaluation"));
    toggle->setStatusTip(QStringLiteral("Shows or hides the evaluation panel."));
    toggle->setToolTip(QStringLiteral("Evaluation"));
    actions_.insert(ID_VIEW_EVALUATION, toggle);
    connect(evaluationPanel_, &QDockWidget::visibilityChanged, this, &CMainFrame::RememberEvaluationPanel);

    MakeAction(ID_ANALYSIS_TOLERANCE, QStringLiteral("&Tolerance..."),
               QStringLiteral("Sets or clears the roundness tolerance.\nTolerance"));
    connect(Action(ID_ANALYSIS_TOLERANCE), &QAction::triggered, this, &CMainFrame::OnAnalysisTolerance);
    MakeAction(ID_ANALYSIS_UNCERTAINTY, QStringLiteral("&Uncertainty..."),
               QStringLiteral("Simulates the uncertainty of the results and judges conformity with it.\nUncertainty"));
    connect(Action(ID_ANALYSIS_UNCERTAINTY), &QAction::triggered, this, &CMainFrame::OnAnalysisUncertainty);

    // Always remembered, as the panel's choices change: no other setting of the window depends on them.
    connect(evaluationPanel_, &EvaluationPanel::ChoicesChanged, this, [](const EvaluationChoices& choices) {
        QSettings store;
        SaveEvaluationChoices(store, choices);
    });
    ui.SetOtherViews([panel = QPointer<EvaluationPanel>(evaluationPanel_)] {
        if (panel) panel->OnDocumentChanged();
    });
    // The evaluation page as the panel shows it: printed with the option,
    // offered by Export while the panel is shown.
    printer_->SetEvaluationPageSource([this] {
        const EvaluationChoices& choices = evaluationPanel_->Choices();
        return EvaluationPageSource{.Evaluation = &evaluationPanel_->Evaluation(),
                                    .PanelShown = evaluationPanel_->isVisibleTo(this),
                                    .Spectrum = {choices.Range, choices.Logarithmic},
                                    .Printed = options_.PrintEvaluationPage};
    });
}

void CMainFrame::OnAnalysisTolerance()
{
    std::optional<RoundnessTolerance> tolerance = doc_.Settings.Tolerance;
    if (!RunToleranceCommand(this, view_->Graph.MetricUnits, tolerance) || tolerance == doc_.Settings.Tolerance) return;
    doc_.SetTolerance(tolerance);
    // Always remembered, as it changes: no other setting of the window depends on it.
    QSettings store;
    SaveTolerance(store, tolerance);
}

void CMainFrame::OnAnalysisFilterOptions()
{
    // A filter the profile cannot take is refused by the document with its
    // message; the settings and the results then stay as they were.
    AnalysisSettings settings = doc_.Settings;
    if (RunFilterOptionsCommand(this, settings)) doc_.ChangeSettings(settings);
}

void CMainFrame::OnAnalysisExcludedSectors()
{
    AnalysisSettings settings = doc_.Settings;
    if (RunExcludedSectorsCommand(this, settings)) doc_.ChangeSettings(settings);
}

void CMainFrame::OnAnalysisUncertainty()
{
    UncertaintyRequest request = doc_.UncertaintyRequested;
    if (!RunUncertaintyDialog(this, view_->Graph.MetricUnits, request)) return;
    // Remembered as asked, also when the draws are then cancelled.
    doc_.UncertaintyRequested = request;
    doc_.ComputeUncertainty(request);
}

void CMainFrame::OnViewOptions()
{
    AppOptions options = options_;
    if (RunOptionsCommand(this, options)) SetOptions(options);
}

void CMainFrame::SetOptions(const AppOptions& options)
{
    const AppOptions before = options_;
    options_ = options;
    QSettings store;
    SaveOptions(store, options_);
    if (before.RestoreSettings && !options_.RestoreSettings) ForgetRestoredSettings(store);
    if (before.RecentFiles != options_.RecentFiles) {
        // Turned on: the list a later start would show; off: forgotten.
        recent_ = options_.RecentFiles ? RecentFiles::Load(store) : RecentFiles();
        if (!options_.RecentFiles) recent_.Save(store);
        UpdateRecentFileItems();
    }
}

void CMainFrame::RememberEvaluationPanel()
{
    // Written only when the user shows or hides it, not as the window opens or closes.
    const bool shown = !evaluationPanel_->isHidden();
    if (shown == panelShownRemembered_) return;
    panelShownRemembered_ = shown;
    QSettings store;
    SaveEvaluationPanelShown(store, shown);
}

void CMainFrame::SetIndicator(int index, bool on)
{
    // Greyed while the lock is off or its state is not known.
    indicators_[index]->setEnabled(on);
}

void CMainFrame::UpdateLockIndicators(const QKeyEvent& event)
{
    // Only X11 hands over the modifier state with its locks (Lock and Mod2 masks).
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    UpdateLockIndicators(event.type(), event.key(), event.nativeModifiers());
}

void CMainFrame::UpdateLockIndicators(QEvent::Type type, int key, quint32 nativeModifiers)
{
    constexpr quint32 kLockMasks[2] = {1u << 1, 1u << 4}; // Lock, Mod2
    constexpr int kLockKeys[2] = {Qt::Key_CapsLock, Qt::Key_NumLock};
    for (int i = 0; i < 2; ++i) {
        const bool lockedBefore = (nativeModifiers & kLockMasks[i]) != 0;
        bool locked = lockedBefore;
        // X reports the state before the event: a lock key locks on the press
        // that finds it off and unlocks on the release of the press that
        // found it on, whose state still reads locked.
        if (key == kLockKeys[i] && type == QEvent::KeyPress) {
            lockPressFoundLocked_[i] = lockedBefore;
            locked = true;
        } else if (key == kLockKeys[i] && type == QEvent::KeyRelease && lockPressFoundLocked_[i]) {
            locked = !*lockPressFoundLocked_[i];
        }
        SetIndicator(i, locked);
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedProfile(event->mimeData()).empty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const std::string path = DroppedProfile(event->mimeData());
    if (path.empty()) return;
    event->acceptProposedAction();
    // Read after the drop has completed: the reader may show a message box.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void CMainFrame::OnFileOpen()
{
    const auto chosen = ui_.ChooseFileToOpen(doc_.OpenDialogPath);
    if (chosen) OpenFile(*chosen);
}

void CMainFrame::OnFileSaveProfileAs()
{
    const QString kyk = QStringLiteral("Kyklos Files (*.kyk)");
    const QString csv = QStringLiteral("CSV Tables (*.csv)");
    QString filter = doc_.Profile.EqualSteps && doc_.Profile.Kind == ProfileKind::Radial ? kyk : csv;
    const QString start = QFile::decodeName(QByteArray::fromStdString(openFolder_));
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Profile As"), start, kyk + ";;" + csv, &filter);
    if (path.isEmpty()) return;
    // A name without an extension takes the chosen type's.
    if (QFileInfo(path).suffix().isEmpty()) path += filter == kyk ? QStringLiteral(".kyk") : QStringLiteral(".csv");
    SaveProfileTo(QFile::encodeName(path).toStdString());
}

std::string CMainFrame::SaveProfileTo(const std::string& path)
{
    const MessageFileScope named(ui_, AbsoluteFilePath(path));
    return doc_.SaveProfileAs(path);
}

void CMainFrame::RememberTableImports()
{
    // Kept between runs only while the options let settings be restored at start.
    if (!options_.RestoreSettings) return;
    QSettings store;
    SaveTableImports(store, tableImport_->Remembered);
}

void CMainFrame::OpenFile(const std::string& path)
{
    // Named in full, also when the command line named it from where Kyklos started.
    const std::string fullPath = AbsoluteFilePath(path);
    const bool openable = CanOpenProfileFile(path);
    const int messages = ui_.MessagesShown();
    {
        const MessageFileScope named(ui_, fullPath);
        doc_.OpenProfile(path);
    }
    // The reader and the analysis refuse a file with a message.
    const bool refused = ui_.MessagesShown() != messages;
    if (openable) {
        const PathParts parts = SplitPath(fullPath);
        openFolder_ = parts.drive + parts.directory;
    }
    if (!options_.RecentFiles) return;
    if (!refused)
        recent_.Add(fullPath);
    else if (!recent_.Remove(fullPath))
        return;
    UpdateRecentFileItems();
    SaveRecentFiles();
}

// ---------------------------------------------------------------------------
// Recent files and remembered settings

void CMainFrame::CreateRecentFileItems(QMenu* file)
{
    // Numbered entries between the last command and Exit, hidden while empty.
    for (int i = 0; i < RecentFiles::kCapacity; ++i) {
        QAction* action = MakeAction(ID_FILE_MRU_FILE1 + i, QString(), QString());
        action->setVisible(false);
        file->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] {
            // A copy: opening changes the list.
            if (static_cast<std::size_t>(i) < recent_.Paths().size()) OpenFile(std::string(recent_.Paths()[i]));
        });
    }
    recentSeparator_ = file->addSeparator();
    recentSeparator_->setVisible(false);
}

void CMainFrame::UpdateRecentFileItems()
{
    const std::size_t count = recent_.Paths().size();
    for (std::size_t i = 0; i < static_cast<std::size_t>(RecentFiles::kCapacity); ++i) {
        QAction* action = Action(ID_FILE_MRU_FILE1 + static_cast<int>(i));
        const bool used = i < count;
        action->setVisible(used);
        action->setText(used ? recent_.Caption(i) : QString());
        action->setProperty(kCaptionProperty, action->text());
        action->setStatusTip(used ? recent_.Prompt(i) : QString());
    }
    recentSeparator_->setVisible(count > 0);
}

void CMainFrame::SaveRecentFiles() const
{
    if (!options_.RecentFiles) return;
    QSettings store;
    recent_.Save(store);
}

void CMainFrame::RestoreSettings(const AppSettings& settings)
{
    options_ = settings.Options;
    // Saved with its frame: nothing left to fit.
    if (!settings.WindowGeometry.isEmpty() && restoreGeometry(settings.WindowGeometry)) initialFrame_.reset();
    if (!settings.WindowState.isEmpty()) restoreState(settings.WindowState);
    // The panel's own remembered visibility, whatever the window state says.
    panelShownRemembered_ = settings.EvaluationPanelShown;
    evaluationPanel_->setVisible(settings.EvaluationPanelShown);
    if (!settings.StatusBarVisible) statusBar()->hide();
    Action(ID_VIEW_TOOLBAR)->setChecked(!toolBar_->isHidden());
    Action(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());

    view_->ShowRawData = settings.ShowRawData;
    view_->ShowReferenceCircle = settings.ShowReferenceCircle;
    view_->ShowCenteredProfile = settings.ShowCenteredProfile;
    view_->AutoScale = settings.AutoScale;
    view_->Graph.MetricUnits = settings.MetricUnits;
    view_->Graph.BandRange = settings.BandRange;
    SyncCheckMarks();
    evaluationPanel_->SetChoices(settings.Evaluation);
    doc_.UncertaintyRequested = settings.Uncertainty;

    if (!settings.OpenFolder.empty()) {
        openFolder_ = settings.OpenFolder;
        doc_.OpenDialogPath = settings.OpenFolder;
    }
    recent_ = settings.Recent;
    UpdateRecentFileItems();
    tableImport_->Remembered = settings.TableImports;
    viewWidget_->update();
}

AppSettings CMainFrame::CurrentSettings() const
{
    AppSettings settings;
    settings.Options = options_;
    settings.EvaluationPanelShown = !evaluationPanel_->isHidden();
    settings.WindowGeometry = saveGeometry();
    settings.WindowState = saveState();
    settings.StatusBarVisible = !statusBar()->isHidden();
    settings.ShowRawData = view_->ShowRawData;
    settings.ShowReferenceCircle = view_->ShowReferenceCircle;
    settings.ShowCenteredProfile = view_->ShowCenteredProfile;
    settings.AutoScale = view_->AutoScale;
    settings.MetricUnits = view_->Graph.MetricUnits;
    settings.BandRange = view_->Graph.BandRange;
    settings.Analysis = doc_.Settings;
    settings.Evaluation = evaluationPanel_->Choices();
    settings.Uncertainty = doc_.UncertaintyRequested;
    settings.OpenFolder = openFolder_;
    settings.Recent = recent_;
    settings.TableImports = tableImport_->Remembered;
    return settings;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (options_.RestoreSettings) {
        QSettings store;
        SaveAppSettings(store, CurrentSettings());
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::FitFrame(const QRect& frame)
{
    // The frame's widths as the window system reports them now (none before
    // the window manager has framed the window).
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins margins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                           outer.bottom() - inner.bottom());
    resize(frame.size().shrunkBy(margins));
    // A window's position is its frame's.
    move(frame.topLeft());
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (initialFrame_ && windowHandle()) windowHandle()->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Once the window system has framed the window (when it is shown, or
    // first exposed under a window manager), its frame takes the first
    // placement, and the window is left to the user from then on.
    const bool shown = event->type() == QEvent::Show || event->type() == QEvent::Expose;
    if (initialFrame_ && watched == windowHandle() && shown) {
        if (frameGeometry() != geometry()) {
            FitFrame(*initialFrame_);
            initialFrame_.reset();
            watched->removeEventFilter(this);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kyklos
