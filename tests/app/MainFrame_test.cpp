// The main window: menus, context menu, mnemonics, check marks, toggles,
// accelerators, toolbar, status bar, placement, double-click on the scale
// bar, File Open, Ctrl+Q.

#include "AppTestSupport.h"

#include "app/CommandIds.h"
#include "app/KyklosViewWidget.h"
#include "app/MainFrame.h"
#include "app/QtUiPort.h"
#include "app/ScalingDialog.h"
#include "document/KyklosDoc.h"
#include "view/KyklosView.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

using namespace kyklos;
using kyklos::test::CountingProgress;

namespace {

using Item = QPair<QString, int>; // caption (with tab part) and id; a separator is ("", 0)
const Item kSeparator{QString(), 0};

QList<Item> MenuItems(const QMenu* menu)
{
    QList<Item> items;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible()) continue; // the recent files' places while the list is empty
        if (action->isSeparator())
            items << kSeparator;
        else
            items << Item(action->property(kCaptionProperty).toString(), action->property(kCommandIdProperty).toInt());
    }
    return items;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private:
    CountingProgress progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    void Trigger(int id) { frame_->Action(id)->trigger(); }

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase()
    {
        // The file dialogs keep their history in QSettings too.
        test::UseTemporarySettings();
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        frame_ = std::make_unique<CMainFrame>(*doc_, ui_, nullptr);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        QTRY_VERIFY(frame_->ViewWidget()->PaintCount() > 0);
    }

    void cleanupTestCase()
    {
        frame_.reset();
        doc_.reset();
    }

    void menus_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<Item>>("items");
        QTest::newRow("File") << 0 << "&File"
                              << QList<Item>{{"&New\tCtrl+N", 57600},
                                             {"&Open...\tCtrl+O", 57601},
                                             {"Save Pro&file As...", 32784},
                                             kSeparator,
                                             {"&Print...\tCtrl+P", 57607},
                                             {"Print Pre&view", 57609},
                                             {"P&rint Setup...", 57606},
                                             {"&Export...\tCtrl+E", 32780},
                                             kSeparator,
                                             {"E&xit\tCtrl+Q", 57665}};
        QTest::newRow("Edit") << 1 << "&Edit" << QList<Item>{{"&Copy\tCtrl+C", 57634}};
        QTest::newRow("View") << 2 << "&View"
                              << QList<Item>{{"&Toolbar", 59392},
                                             {"&Status Bar", 59393},
                                             {"&Evaluation", 32781},
                                             kSeparator,
                                             {"&Options...", 32783}};
        QTest::newRow("Display") << 3 << "&Display"
                                 << QList<Item>{{"&Scaling", 32771},          kSeparator,
                                                {"&Centered Profile", 32774}, {"&Reference Circle", 32778},
                                                {"Raw &Data", 32779},         kSeparator,
                                                {"&Web Site", 32772}};
        QTest::newRow("Analysis") << 4 << "&Analysis"
                                  << QList<Item>{{"&Filtering", 32775},           {"Filter &Options...", 32790},
                                                 {"&Excluded Sectors...", 32791}, kSeparator,
                                                 {"&Reference Circle", 32776},    kSeparator,
                                                 {"&Tolerance...", 32782},        {"&Uncertainty...", 32795}};
        QTest::newRow("Help") << 5 << "&Help" << QList<Item>{{"&About Kyklos...", 57664}};
    }

    void menus()
    {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QList<Item>, items);
        const QList<QAction*> menus = frame_->menuBar()->actions();
        QCOMPARE(menus.size(), 6);
        QMenu* menu = menus[index]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), title);
        QCOMPARE(MenuItems(menu), items);
        // Qt shows the shortcut itself: the displayed text is the part before the tab.
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                QCOMPARE(action->text(), action->property(kCaptionProperty).toString().section('\t', 0, 0));
    }

    void contextMenu()
    {
        const QList<Item> expected{{"&Open...\tCtrl+O", 57601},
                                   {"&Print...\tCtrl+P", 57607},
                                   kSeparator,
                                   {"&Copy\tCtrl+C", 57634},
                                   kSeparator,
                                   {"&Scaling", 32771},
                                   {"Show Ce&ntered Profile", 32774},
                                   {"Show &Reference Circle", 32778},
                                   {"Show Raw &Data", 32779},
                                   kSeparator,
                                   {"&Filtering", 32775},
                                   {"R&eference Circle", 32776},
                                   kSeparator,
                                   {"E&xport...\tCtrl+E", 32780}};
        QCOMPARE(MenuItems(frame_->ContextMenu()), expected);

        // Chosen from the context menu, Export runs File Export.
        const auto seen = test::WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        frame_->ContextAction(ID_FILE_EXPORT)->trigger();
        QVERIFY(*seen);
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    }

    void mnemonicsAreUniqueInEachMenu()
    {
        QList<const QMenu*> menus{frame_->ContextMenu()};
        for (const QAction* action : frame_->menuBar()->actions()) menus << action->menu();
        for (const QMenu* menu : menus) {
            QString keys;
            for (const QAction* action : menu->actions()) {
                if (action->isSeparator() || !action->isVisible()) continue;
                const QString text = action->text().section('\t', 0, 0);
                const qsizetype at = QString(text).replace(QStringLiteral("&&"), QStringLiteral("__")).indexOf('&');
                QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
                const QChar key = text[at + 1].toLower();
                QVERIFY2(!keys.contains(key), qPrintable(menu->title() + ": " + text));
                keys += key;
            }
        }
    }

    void promptsAndTooltips_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("Scaling") << 32771 << "Adjusts the profile scaling."
                                 << "Scaling";
        QTest::newRow("Centered") << 32774 << "Toggles the centering the measured data."
                                  << "Centered Profile";
        QTest::newRow("Raw data") << 32779 << "Toggles the display of the raw data."
                                  << "Raw Data Display";
        QTest::newRow("Filtering") << 32775 << "Selects the filter cutoff."
                                   << "Filtering";
        QTest::newRow("Open") << 57601 << "Open an existing document"
                              << "Open";
        QTest::newRow("Export") << 32780 << "Saves the report page as a PDF, PNG or SVG file."
                                << "Export";
        QTest::newRow("Web site") << 32772 << "Opens the web browser at www.varnholt.example."
                                  << "Visit www.varnholt.example";
    }

    void promptsAndTooltips()
    {
        QFETCH(int, id);
        QFETCH(QString, prompt);
        QFETCH(QString, tooltip);
        QCOMPARE(frame_->Action(id)->statusTip(), prompt);
        QCOMPARE(frame_->Action(id)->toolTip(), tooltip);
    }

    void checkMarksAtStart()
    {
        for (auto lookup : {&CMainFrame::Action, &CMainFrame::ContextAction}) {
            QVERIFY(!(frame_.get()->*lookup)(ID_DISPLAY_CENTERED_PROFILE)->isChecked());
            QVERIFY((frame_.get()->*lookup)(ID_DISPLAY_REFERENCE_CIRCLE)->isChecked());
            QVERIFY((frame_.get()->*lookup)(ID_DISPLAY_RAW_DATA)->isChecked());
        }
        QVERIFY(frame_->Action(ID_VIEW_TOOLBAR)->isChecked());
        QVERIFY(frame_->Action(ID_VIEW_STATUS_BAR)->isChecked());
    }

    void togglesFlipFlagsOnly_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("fromContextMenu");
        for (bool context : {false, true}) {
            const char* where = context ? "context" : "main";
            QTest::addRow("centered %s", where) << int(ID_DISPLAY_CENTERED_PROFILE) << context;
            QTest::addRow("reference %s", where) << int(ID_DISPLAY_REFERENCE_CIRCLE) << context;
            QTest::addRow("raw data %s", where) << int(ID_DISPLAY_RAW_DATA) << context;
        }
    }

    void togglesFlipFlagsOnly()
    {
        QFETCH(int, id);
        QFETCH(bool, fromContextMenu);
        CKyklosView& view = frame_->View();
        bool* flag = id == ID_DISPLAY_CENTERED_PROFILE   ? &view.ShowCenteredProfile
                     : id == ID_DISPLAY_REFERENCE_CIRCLE ? &view.ShowReferenceCircle
                                                         : &view.ShowRawData;
        const bool before = *flag;
        const bool others[2] = {view.ShowCenteredProfile == before, view.AutoScale};
        const int analyses = progress_.Shown;
        const double peak = doc_->Result.Peak;
        const int paints = frame_->ViewWidget()->PaintCount();

        QAction* action = fromContextMenu ? frame_->ContextAction(id) : frame_->Action(id);
        action->trigger();
        QCOMPARE(*flag, !before);
        QCOMPARE(frame_->Action(id)->isChecked(), !before);
        QCOMPARE(frame_->ContextAction(id)->isChecked(), !before);
        QTRY_VERIFY(frame_->ViewWidget()->PaintCount() > paints);
        QCOMPARE(progress_.Shown, analyses);
        QCOMPARE(doc_->Result.Peak, peak);
        QCOMPARE(view.AutoScale, others[1]);

        action->trigger();
        QCOMPARE(*flag, before);
        QCOMPARE(frame_->Action(id)->isChecked(), before);
        QCOMPARE(frame_->ContextAction(id)->isChecked(), before);
    }

    void togglesAreIndependent()
    {
        CKyklosView& view = frame_->View();
        Trigger(ID_DISPLAY_RAW_DATA);
        QVERIFY(!view.ShowRawData);
        QVERIFY(view.ShowReferenceCircle);
        QVERIFY(!view.ShowCenteredProfile);
        Trigger(ID_DISPLAY_RAW_DATA);
    }

    void accelerators_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("id");
        QTest::newRow("Ctrl+N") << "Ctrl+N" << 57600;
        QTest::newRow("Ctrl+O") << "Ctrl+O" << 57601;
        QTest::newRow("Ctrl+S") << "Ctrl+S" << 57603;
        QTest::newRow("Ctrl+P") << "Ctrl+P" << 57607;
        QTest::newRow("Ctrl+E") << "Ctrl+E" << 32780;
        QTest::newRow("Ctrl+Z") << "Ctrl+Z" << 57643;
        QTest::newRow("Ctrl+X") << "Ctrl+X" << 57635;
        QTest::newRow("Ctrl+C") << "Ctrl+C" << 57634;
        QTest::newRow("Ctrl+V") << "Ctrl+V" << 57637;
        QTest::newRow("Alt+Backspace") << "Alt+Backspace" << 57643;
        QTest::newRow("Shift+Del") << "Shift+Del" << 57635;
        QTest::newRow("Ctrl+Ins") << "Ctrl+Ins" << 57634;
        QTest::newRow("Shift+Ins") << "Shift+Ins" << 57637;
        QTest::newRow("F6") << "F6" << 57680;
        QTest::newRow("Shift+F6") << "Shift+F6" << 57681;
        QTest::newRow("Ctrl+Q") << "Ctrl+Q" << 57665;
    }

    void accelerators()
    {
        QFETCH(QString, keys);
        QFETCH(int, id);
        const QKeySequence sequence(keys);
        int bound = 0;
        for (const QAction* action : frame_->findChildren<QAction*>()) {
            if (!action->shortcuts().contains(sequence)) continue;
            ++bound;
            QCOMPARE(action->property(kCommandIdProperty).toInt(), id);
        }
        QCOMPARE(bound, 1);
    }

    void deadKeysDoNothing()
    {
        const int analyses = progress_.Shown;
        const double first = doc_->Profile.RawRadius[0];
        for (const char* keys : {"Ctrl+S", "Ctrl+Z", "Ctrl+X", "Ctrl+V", "F6", "Shift+F6", "Shift+Ins"})
            QTest::keySequence(frame_->ViewWidget(), QKeySequence(QString::fromLatin1(keys)));
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(progress_.Shown, analyses);
        QCOMPARE(doc_->Profile.RawRadius[0], first);
    }

    void ctrlNGeneratesANewProfile()
    {
        const int analyses = progress_.Shown;
        const double first = doc_->Profile.RawRadius[0];
        QTest::keySequence(frame_->ViewWidget(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(progress_.Shown, analyses + 1);
        QVERIFY(doc_->Profile.RawRadius[0] != first);
    }

    void toolbar()
    {
        QToolBar* bar = frame_->ToolBar();
        QList<int> ids;
        for (const QAction* action : bar->actions())
            ids << (action->isSeparator() ? 0 : action->property(kCommandIdProperty).toInt());
        QCOMPARE(ids, (QList<int>{57600, 57601, 0, 57634, 0, 57607, 0, 32772, 57664}));
        QCOMPARE(bar->iconSize(), QSize(16, 15));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        for (const QAction* action : bar->actions()) {
            if (action->isSeparator()) continue;
            const QList<QSize> sizes = action->icon().availableSizes();
            QVERIFY2(sizes.contains(QSize(16, 15)) && sizes.contains(QSize(32, 30)), qPrintable(action->text()));
        }
    }

    void viewMenuHidesBars()
    {
        Trigger(ID_VIEW_TOOLBAR);
        QVERIFY(frame_->ToolBar()->isHidden());
        QVERIFY(!frame_->Action(ID_VIEW_TOOLBAR)->isChecked());
        Trigger(ID_VIEW_STATUS_BAR);
        QVERIFY(frame_->statusBar()->isHidden());
        Trigger(ID_VIEW_TOOLBAR);
        Trigger(ID_VIEW_STATUS_BAR);
        QVERIFY(!frame_->ToolBar()->isHidden());
        QVERIFY(!frame_->statusBar()->isHidden());
        QVERIFY(frame_->Action(ID_VIEW_STATUS_BAR)->isChecked());
    }

    void statusBar()
    {
        QCOMPARE(frame_->IdleLabel()->text(), QStringLiteral("Ready"));
        QCOMPARE(frame_->IndicatorLabel(0)->text(), QStringLiteral("CAP"));
        QCOMPARE(frame_->IndicatorLabel(1)->text(), QStringLiteral("NUM"));
        QCOMPARE(frame_->IndicatorLabel(2)->text(), QStringLiteral("SCRL"));
        // A hovered item's prompt replaces the idle text while it is shown.
        frame_->statusBar()->showMessage(frame_->Action(ID_DISPLAY_SCALING)->statusTip());
        QVERIFY(!frame_->IdleLabel()->isVisible());
        frame_->statusBar()->clearMessage();
        QVERIFY(frame_->IdleLabel()->isVisible());
    }

    void lockIndicatorsFollowTheLockKeys()
    {
        // X reports the modifier state before each event: Lock 0x2, Mod2 (Num Lock) 0x10.
        const auto lit = [this](int index) { return frame_->IndicatorLabel(index)->isEnabled(); };
        frame_->UpdateLockIndicators(QEvent::KeyPress, Qt::Key_CapsLock, 0x0);
        QVERIFY(lit(0)); // locked by the press that found it off
        frame_->UpdateLockIndicators(QEvent::KeyRelease, Qt::Key_CapsLock, 0x2);
        QVERIFY(lit(0));
        frame_->UpdateLockIndicators(QEvent::KeyPress, Qt::Key_CapsLock, 0x2);
        QVERIFY(lit(0)); // still locked until that press's release
        frame_->UpdateLockIndicators(QEvent::KeyRelease, Qt::Key_CapsLock, 0x2);
        QVERIFY(!lit(0)); // unlocked by it, though its state still reads locked
        frame_->UpdateLockIndicators(QEvent::KeyPress, Qt::Key_A, 0x10);
        QVERIFY(!lit(0));
        QVERIFY(lit(1));
        frame_->UpdateLockIndicators(QEvent::KeyPress, Qt::Key_NumLock, 0x10);
        frame_->UpdateLockIndicators(QEvent::KeyRelease, Qt::Key_NumLock, 0x10);
        QVERIFY(!lit(1));
    }

    void placement_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("window");
        QTest::newRow("1024x768") << QSize(1024, 768) << QRect(102, 76, 819, 614);
        QTest::newRow("1366x768") << QSize(1366, 768) << QRect(136, 76, 1092, 614);
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QRect(192, 108, 1536, 864);
    }

    void placement()
    {
        QFETCH(QSize, screen);
        QFETCH(QRect, window);
        QCOMPARE(CMainFrame::InitialPlacement(screen), window);
    }

    void titleStaysKyklos()
    {
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "shaft.kyk", test::ProfileText(360));
        doc_->OpenProfile(path);
        QCOMPARE(doc_->Profile.FileTitle, std::string("shaft"));
        QCOMPARE(frame_->windowTitle(), QStringLiteral("Kyklos"));
    }

    void doubleClickOnScaleBarOpensScaling()
    {
        QTRY_VERIFY(frame_->ViewWidget()->ScaleBarRect().Width() > 0);
        const Rect bar = frame_->ViewWidget()->ScaleBarRect();
        const QPoint inside((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
        const auto seen = test::WhenModal<CScalingDialog>([](CScalingDialog* dialog) { dialog->reject(); });
        QTest::mouseDClick(frame_->ViewWidget(), Qt::LeftButton, Qt::NoModifier, inside);
        QTRY_VERIFY(*seen);
    }

    void doubleClickElsewhereDoesNothing()
    {
        const Rect bar = frame_->ViewWidget()->ScaleBarRect();
        const auto seen = test::WhenModal<QDialog>([](QDialog* dialog) { dialog->reject(); }, 300);
        // Just outside the scale bar's left and top edges, and the middle of the graph.
        for (const QPoint at : {QPoint(bar.left - 1, bar.top + 2), QPoint(bar.left + 2, bar.top - 1), QPoint(40, 40)})
            QTest::mouseDClick(frame_->ViewWidget(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(400);
        QVERIFY(!*seen);
    }

    void fileOpenOfAMalformedFileShowsTheMessage()
    {
        QTemporaryDir dir;
        const std::string good = test::WriteFile(dir, "good.kyk", test::ProfileText(720));
        const std::string bad = test::WriteFile(dir, "bad.kyk", "KYKLOS_DATA 2.0\nIDENTIFICATION: x\n");
        doc_->OpenProfile(good);
        QVERIFY(doc_->AnalysisValid);
        const int analyses = progress_.Shown;

        const QString badPath = QString::fromStdString(bad);
        test::WhenModal<QFileDialog>([badPath](QFileDialog* dialog) {
            // Typed, not selected: a selection does not reach the name field while it has the focus.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(badPath);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto message = test::AnswerNextMessageBox();
        Trigger(ID_FILE_OPEN);
        QVERIFY(message->seen);
        QCOMPARE(message->text, QStringLiteral("Invalid file revision."));
        QCOMPARE(message->informativeText, badPath);
        QCOMPARE(message->title, QStringLiteral("Kyklos"));
        // Refused at the revision: the previous profile stays, with its results.
        QVERIFY(doc_->DataLoaded);
        QVERIFY(doc_->AnalysisValid);
        QCOMPARE(doc_->Profile.PointCount(), 720);
        QCOMPARE(progress_.Shown, analyses);
        QCOMPARE(doc_->OpenDialogPath, bad);
    }

    void fileExportWritesTheChosenFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.svg"));
        const auto seen = test::WhenModal<QFileDialog>([path](QFileDialog* dialog) {
            // Typed, not selected: a selection does not reach the name field while it has the focus.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Trigger(ID_FILE_EXPORT);
        QVERIFY(*seen);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<svg"));
    }

    void dropOfAProfileOpensIt()
    {
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "dropped.KYK", test::ProfileText(900));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame_.get(), &drop);
        QTRY_COMPARE(doc_->Profile.PointCount(), 900);
        QCOMPARE(doc_->Profile.FileTitle, std::string("dropped"));
        QCOMPARE(doc_->Profile.PathName, path);

        // A name in Latin-1 bytes arrives percent-encoded; it is opened by those bytes.
        const test::FileNamedBytes latin1(dir, "caf\xE9.kyk", test::ProfileText(720));
        QMimeData named;
        named.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(latin1.path).toPercentEncoding("/"))});
        QDragEnterEvent namedEnter(QPoint(50, 50), Qt::CopyAction, &named, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame_.get(), &namedEnter);
        QDropEvent namedDrop(QPointF(50, 50), Qt::CopyAction, &named, Qt::LeftButton, Qt::NoModifier);
        const auto refusal = test::AnswerNextMessageBox();
        QCoreApplication::sendEvent(frame_.get(), &namedDrop);
        QTRY_COMPARE(doc_->Profile.PointCount(), 720);
        QVERIFY(!refusal->seen);
        QCOMPARE(doc_->Profile.FileTitle, std::string("caf\xE9"));

        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/notes.pdf"))});
        QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QCoreApplication::sendEvent(frame_.get(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    // Last: it closes the window.
    void ctrlQCloses()
    {
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        QTest::keySequence(frame_->ViewWidget(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QVERIFY(!frame_->isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrame_test.moc"
