// The settings remembered between runs: nothing written until the user
// changes what the report page does not show, and then only that; the
// options and what they let through; every value's round trip through the
// store and back into a window; a damaged store and values out of range
// falling back to the defaults one by one and silently; the first run's
// placement and panel; and one analysis at start-up with a remembered cutoff.

#include "AppTestSupport.h"

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EvaluationPanel.h"
#include "app/KyklosApp.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/QtUiPort.h"
#include "document/KyklosDoc.h"
#include "view/KyklosView.h"

#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QtEndian>

#include <memory>

using namespace kyklos;

namespace {

// The names of the fields in which a and b differ.
QStringList Differences(const AppSettings& a, const AppSettings& b)
{
    QStringList names;
    const auto check = [&names](bool same, const char* name) {
        if (!same) names << QString::fromLatin1(name);
    };
    check(a.Options == b.Options, "Options");
    check(a.EvaluationPanelShown == b.EvaluationPanelShown, "EvaluationPanelShown");
    check(a.WindowGeometry == b.WindowGeometry, "WindowGeometry");
    check(a.WindowState == b.WindowState, "WindowState");
    check(a.StatusBarVisible == b.StatusBarVisible, "StatusBarVisible");
    check(a.ShowRawData == b.ShowRawData, "ShowRawData");
    check(a.ShowReferenceCircle == b.ShowReferenceCircle, "ShowReferenceCircle");
    check(a.ShowCenteredProfile == b.ShowCenteredProfile, "ShowCenteredProfile");
    check(a.MetricUnits == b.MetricUnits, "MetricUnits");
    check(a.AutoScale == b.AutoScale, "AutoScale");
    check(a.BandRange == b.BandRange, "BandRange");
    check(a.Analysis.FilterCutoffUpr == b.Analysis.FilterCutoffUpr, "FilterCutoffUpr");
    check(a.Analysis.ReferenceKind == b.Analysis.ReferenceKind, "ReferenceKind");
    check(a.Analysis.Tolerance == b.Analysis.Tolerance, "Tolerance");
    check(a.Analysis.FilterKind == b.Analysis.FilterKind, "FilterKind");
    check(a.Analysis.BandLowUpr == b.Analysis.BandLowUpr && a.Analysis.BandHighUpr == b.Analysis.BandHighUpr, "Band");
    check(a.Analysis.SpikeDeviations == b.Analysis.SpikeDeviations, "SpikeDeviations");
    check(a.Analysis.ExcludedSectors == b.Analysis.ExcludedSectors, "ExcludedSectors");
    check(a.Evaluation.Range == b.Evaluation.Range, "SpectrumRange");
    check(a.Evaluation.Logarithmic == b.Evaluation.Logarithmic, "SpectrumLogarithmic");
    check(a.OpenFolder == b.OpenFolder, "OpenFolder");
    check(a.Recent == b.Recent, "Recent");
    return names;
}

// Everything, as the program writes it bit by bit.
void Save(const AppSettings& settings)
{
    QSettings store;
    SaveOptions(store, settings.Options);
    SaveAppSettings(store, settings);
    SaveTolerance(store, settings.Analysis.Tolerance);
    SaveEvaluationChoices(store, settings.Evaluation);
    SaveEvaluationPanelShown(store, settings.EvaluationPanelShown);
    settings.Recent.Save(store);
}

QStringList StoredKeys()
{
    QSettings store;
    QStringList keys = store.allKeys();
    keys.sort();
    return keys;
}

bool SettingsFileExists() { return QFile::exists(QSettings().fileName()); }

AppSettings Load()
{
    QSettings store;
    return LoadAppSettings(store, AvailableScreenRects());
}

void WriteSettingsFile(const QByteArray& bytes)
{
    const QString name = QSettings().fileName();
    QVERIFY(QDir().mkpath(QFileInfo(name).path()));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Counts the progress display's appearances: one per analysis.
class ProgressCounter : public QObject {
public:
    int shown = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<CProgressDialog*>(watched)) ++shown;
        return false;
    }
};

} // namespace

class AppSettingsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    AppSettings good_; // every value off its default, all valid

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase()
    {
        test::UseTemporarySettings();
        QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
        QCoreApplication::setApplicationName(QStringLiteral("Kyklos"));
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        CMainFrame frame(doc, ui, nullptr);
        frame.move(30, 40);
        good_.Options = {true, true, true};
        good_.EvaluationPanelShown = true;
        good_.WindowGeometry = frame.saveGeometry();
        frame.ToolBar()->hide();
        frame.EvaluationDock()->show(); // as EvaluationPanelShown says
        good_.WindowState = frame.saveState();
        good_.StatusBarVisible = false;
        good_.ShowRawData = false;
        good_.ShowReferenceCircle = false;
        good_.ShowCenteredProfile = true;
        good_.MetricUnits = false;
        good_.AutoScale = false;
        good_.BandRange = 0.1 * 3.0; // 0.30000000000000004: every digit must come back
        good_.Analysis.FilterCutoffUpr = 150;
        good_.Analysis.ReferenceKind = ReferenceKind::MinimumCircumscribed;
        good_.Analysis.Tolerance = RoundnessTolerance{0.1 * 7.0, false}; // 0.7000000000000001 µin, every digit
        good_.Analysis.FilterKind = FilterKind::Robust;                  // a band would be refused beside the sectors
        good_.Analysis.BandLowUpr = 10;
        good_.Analysis.BandHighUpr = 100;
        good_.Analysis.SpikeDeviations = 0.1 * 45.0; // 4.5 and a rounding: every digit
        good_.Analysis.ExcludedSectors = {{350.0, 10.0}, {0.1 * 3.0, 120.25}};
        good_.Evaluation = {HarmonicRange::Upr500, true};
        good_.OpenFolder = QFile::encodeName(folder_.path()).toStdString() + "/";
        good_.Recent.Add("/data/caf\xE9.kyk");
        good_.Recent.Add("/data/shaft.kyk");
    }

    void init() { QSettings().clear(); }

    void everyValueComesBack()
    {
        Save(good_);
        QCOMPARE(Differences(Load(), good_), QStringList());

        // Into a window and out again at its closing.
        QtUiPort ui;
        CKyklosDoc doc(&ui, nullptr, nullptr, good_.Analysis);
        CMainFrame frame(doc, ui, nullptr);
        frame.RestoreSettings(Load());
        QCOMPARE(frame.pos(), QPoint(30, 40));
        QVERIFY(frame.ToolBar()->isHidden());
        QVERIFY(frame.statusBar()->isHidden());
        QCOMPARE(doc.OpenDialogPath, good_.OpenFolder); // where the Open dialog starts
        QVERIFY(frame.Recent() == good_.Recent);
        QVERIFY(frame.EvaluationDock()->isVisibleTo(&frame));
        // The restored values are written at closing, everything else as it changes.
        QSettings().clear();
        QSettings().setValue(QStringLiteral("Options/RestoreSettings"), true);
        frame.close();
        QCOMPARE(Differences(Load(), good_), (QStringList{"Options", "EvaluationPanelShown", "Tolerance",
                                                          "SpectrumRange", "SpectrumLogarithmic", "Recent"}));
    }

    void theOptionsDecideWhatIsRead()
    {
        Save(good_);
        QSettings store;
        SaveOptions(store, {});
        // Without the options only what the report page does not show comes back.
        AppSettings expected;
        expected.Analysis.Tolerance = good_.Analysis.Tolerance;
        expected.Evaluation = good_.Evaluation;
        expected.EvaluationPanelShown = true;
        QCOMPARE(Differences(Load(), expected), QStringList());
        SaveOptions(store, {.RecentFiles = true});
        expected.Options.RecentFiles = true;
        expected.Recent = good_.Recent;
        QCOMPARE(Differences(Load(), expected), QStringList());

        // A start without the restore option analyses with the default cutoff and shows the default page.
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
        QCOMPARE(app.Document()->Settings.FilterCutoffUpr, 50);
        QVERIFY(app.Document()->Settings.ReferenceKind == ReferenceKind::LeastSquares);
        QVERIFY(app.Document()->Settings.Tolerance == good_.Analysis.Tolerance);
        QVERIFY(app.MainFrame()->View().ShowRawData);
        QVERIFY(app.MainFrame()->View().Graph.MetricUnits);
        QVERIFY(!app.MainFrame()->ToolBar()->isHidden());
    }

    void nothingIsWrittenUntilTheUserChangesSomethingOfItsOwn()
    {
        QFile::remove(QSettings().fileName());
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "ring.kyk", test::ProfileText(360));
        {
            CKyklosApp app;
            QVERIFY(app.InitInstance({"kyklos", "-Embedding", path}));
            CMainFrame& frame = *app.MainFrame();
            QVERIFY(frame.EvaluationDock()->isHidden()); // a first start shows the page alone
            QVERIFY(!frame.Action(ID_VIEW_EVALUATION)->isChecked());
            frame.Action(ID_DISPLAY_RAW_DATA)->trigger();
            frame.Action(ID_VIEW_TOOLBAR)->trigger();
            frame.close();
        }
        QVERIFY(!SettingsFileExists());

        {
            CKyklosApp app;
            QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
            CMainFrame& frame = *app.MainFrame();
            // OK on an unchanged tolerance changes nothing.
            const auto unchanged = test::WhenModal<QDialog>([](QDialog* dialog) { dialog->accept(); });
            frame.Action(ID_ANALYSIS_TOLERANCE)->trigger();
            QVERIFY(*unchanged);
            QVERIFY(!SettingsFileExists());
            // The tolerance, then the panel: each written as it changes, nothing else.
            const auto typed = test::WhenModal<QDialog>([](QDialog* dialog) {
                dialog->findChild<QLineEdit*>()->setText(QStringLiteral("7"));
                dialog->accept();
            });
            frame.Action(ID_ANALYSIS_TOLERANCE)->trigger();
            QVERIFY(*typed);
            QCOMPARE(StoredKeys(), (QStringList{"Analysis/Tolerance", "Analysis/ToleranceUnit"}));
            frame.Action(ID_VIEW_EVALUATION)->trigger();
            frame.Action(ID_DISPLAY_CENTERED_PROFILE)->trigger();
            frame.close();
            QCOMPARE(StoredKeys(), (QStringList{"Analysis/Tolerance", "Analysis/ToleranceUnit", "Evaluation/Visible"}));
        }
        // The panel's own visibility comes back, also when its title bar closed it.
        {
            CKyklosApp app;
            QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
            QVERIFY(app.MainFrame()->EvaluationDock()->isVisible());
            QVERIFY(!app.MainFrame()->View().ShowCenteredProfile);
            app.MainFrame()->EvaluationDock()->close();
        }
        QVERIFY(!Load().EvaluationPanelShown);
    }

    void turningTheRestoreOptionOffForgetsWhatItKept()
    {
        Save(good_);
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        CMainFrame frame(doc, ui, nullptr);
        frame.RestoreSettings(Load());
        AppOptions options = good_.Options;
        options.RestoreSettings = false;
        frame.SetOptions(options);
        options.RecentFiles = false;
        frame.SetOptions(options);
        QVERIFY(frame.Recent().Paths().empty());
        QCOMPARE(StoredKeys(), (QStringList{"Analysis/Tolerance", "Analysis/ToleranceUnit", "Evaluation/Logarithmic",
                                            "Evaluation/Range", "Evaluation/Visible", "Options/PrintEvaluationPage",
                                            "Options/RecentFiles", "Options/RestoreSettings"}));
        frame.close();
        QCOMPARE(StoredKeys().size(), 8);
    }

    void badValuesFallBackOneByOne_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("cutoff not offered") << "Analysis/FilterCutoff" << QVariant(49) << "FilterCutoffUpr";
        QTest::newRow("cutoff not a number") << "Analysis/FilterCutoff" << QVariant("fifty") << "FilterCutoffUpr";
        QTest::newRow("reference above 3") << "Analysis/Reference" << QVariant(4) << "ReferenceKind";
        QTest::newRow("reference below 0") << "Analysis/Reference" << QVariant(-1) << "ReferenceKind";
        QTest::newRow("band zero") << "Display/BandRange" << QVariant(0.0) << "BandRange";
        QTest::newRow("band below the finest scale") << "Display/BandRange" << QVariant(1.9e-6) << "BandRange";
        QTest::newRow("band beyond the coarsest scale") << "Display/BandRange" << QVariant(2.1e6) << "BandRange";
        QTest::newRow("band not finite") << "Display/BandRange" << QVariant("inf") << "BandRange";
        QTest::newRow("band not a number") << "Display/BandRange" << QVariant("wide") << "BandRange";
        QTest::newRow("toggle not a boolean")
            << "Display/CenteredProfile" << QVariant("maybe") << "ShowCenteredProfile";
        QTest::newRow("units not a boolean") << "Display/MetricUnits" << QVariant(2) << "MetricUnits";
        QTest::newRow("filter kind unknown") << "Analysis/FilterKind" << QVariant("gauss") << "FilterKind";
        QTest::newRow("band in the wrong order") << "Analysis/BandLow" << QVariant(100) << "Band";
        QTest::newRow("band below 1 UPR") << "Analysis/BandLow" << QVariant(0) << "Band";
        QTest::newRow("spike limit negative") << "Analysis/SpikeDeviations" << QVariant("-5") << "SpikeDeviations";
        QTest::newRow("sector not an angle")
            << "Analysis/ExcludedSectors" << QVariant(QStringList{"350:10", "0.3:east"}) << "ExcludedSectors";
        QStringList tooMany;
        for (int i = 0; i <= kMaxRememberedSectors; ++i) tooMany << QStringLiteral("%1:%2").arg(i).arg(i + 1);
        QTest::newRow("more sectors than the dialog takes")
            << "Analysis/ExcludedSectors" << QVariant(tooMany) << "ExcludedSectors";
        QByteArray state = good_.WindowState;
        qToBigEndian<qint32>(0x7FFFFFFF, state.data() + 10); // a count that crashes QMainWindow::restoreState
        QTest::newRow("state damaged") << "Window/State" << QVariant(state) << "WindowState";
        QTest::newRow("geometry not a record")
            << "Window/Geometry" << QVariant(QByteArray("\x01\xD9\xD0\xCB", 4)) << "WindowGeometry";
        QTest::newRow("folder gone") << "Files/OpenFolder" << QVariant(QByteArray("/no/such/folder/")) << "OpenFolder";
        QTest::newRow("tolerance zero") << "Analysis/Tolerance" << QVariant("0") << "Tolerance";
        QTest::newRow("tolerance negative") << "Analysis/Tolerance" << QVariant("-3") << "Tolerance";
        QTest::newRow("tolerance not a number") << "Analysis/Tolerance" << QVariant("tight") << "Tolerance";
        QTest::newRow("spectrum range not offered") << "Evaluation/Range" << QVariant("75") << "SpectrumRange";
        QTest::newRow("spectrum scale not a boolean")
            << "Evaluation/Logarithmic" << QVariant(3) << "SpectrumLogarithmic";
        QTest::newRow("panel not a boolean") << "Evaluation/Visible" << QVariant("shown") << "EvaluationPanelShown";
    }

    void badValuesFallBackOneByOne()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, field);
        Save(good_);
        QSettings store;
        store.setValue(key, value);
        store.sync();
        const AppSettings loaded = Load();
        QCOMPARE(Differences(loaded, good_), QStringList{field});
        QCOMPARE(Differences(loaded, AppSettings{}).contains(field), false);
        QVERIFY(loaded.Options == good_.Options);
    }

    void geometryOffEveryScreenIsDropped()
    {
        Save(good_);
        QSettings store;
        const QRect frame = *SavedFrameGeometry(good_.WindowGeometry);
        QCOMPARE(frame.topLeft(), QPoint(30, 40));
        // The same record with its screen to the right of it, then without it.
        const QRect beside(frame.right() - 10, 0, 800, 600);
        QCOMPARE(LoadAppSettings(store, {beside}).WindowGeometry, good_.WindowGeometry);
        QVERIFY(LoadAppSettings(store, {beside.translated(11, 0)}).WindowGeometry.isEmpty());
    }

    void firstRunKeepsTodaysPlacementAndDefaults_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no settings") << QByteArray();
        static const char kGarbage[] = "\x00\xFF[Display\nBandRange=@ByteArray(\x01\nRawData\x00=\n[[]]=x=y\n"
                                       "[Window]\nGeometry=@Rect(1 2)\n\xC3\x28 garbage\r\nReference=\xFF\xFE\n";
        QTest::newRow("damaged file") << QByteArray(kGarbage, sizeof kGarbage - 1);
    }

    void firstRunKeepsTodaysPlacementAndDefaults()
    {
        QFETCH(QByteArray, file);
        if (!file.isEmpty()) WriteSettingsFile(file);
        QVERIFY(Load() == AppSettings{});
        const auto message = test::WhenModal<QWidget>([](QWidget* window) { window->close(); }, 300);
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
        // The frame, title bar and borders included, on the screen without its panels.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placement = CMainFrame::InitialPlacement(available.size()).translated(available.topLeft());
        QCOMPARE(app.MainFrame()->frameGeometry(), placement);
        QVERIFY(app.MainFrame()->EvaluationDock()->isHidden());
        // Everything else as a window and a document that never heard of settings.
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        const CMainFrame fresh(doc, ui, nullptr);
        QStringList changed = Differences(app.MainFrame()->CurrentSettings(), fresh.CurrentSettings());
        changed.removeAll(QStringLiteral("BandRange")); // the automatic scale may have set it already
        QCOMPARE(changed, (QStringList{"WindowGeometry", "WindowState"}));
        QTest::qWait(400);
        QVERIFY(!*message); // silently
    }

    void rememberedAnalysisSettingsCostOneAnalysis()
    {
        AppSettings settings;
        settings.Options.RestoreSettings = true;
        settings.Analysis.FilterCutoffUpr = 500;
        settings.Analysis.ReferenceKind = ReferenceKind::MinimumZone;
        Save(settings);
        ProgressCounter counter;
        qApp->installEventFilter(&counter);
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
        qApp->removeEventFilter(&counter);
        QCOMPARE(counter.shown, 1);
        QCOMPARE(app.Document()->Settings.FilterCutoffUpr, 500);
        QVERIFY(app.Document()->Settings.ReferenceKind == ReferenceKind::MinimumZone);
        QVERIFY(app.Document()->AnalysisValid);
    }
};

QTEST_MAIN(AppSettingsTest)
#include "AppSettings_test.moc"
