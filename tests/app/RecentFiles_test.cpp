// The recent files: the list's order, cap and captions; the File menu's
// entries with their prompts; a gone file; files from the command line; the
// list kept in the settings store.

#include "AppTestSupport.h"

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/KyklosApp.h"
#include "app/MainFrame.h"
#include "app/QtUiPort.h"
#include "app/RecentFiles.h"
#include "document/KyklosDoc.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

using namespace kyklos;

namespace {

using Paths = std::vector<std::string>;

// The visible File menu items from the last command before the recent files
// to Exit: captions, "-" for a separator.
QStringList FileMenuTail(CMainFrame& frame)
{
    QStringList items;
    for (const QAction* action : frame.menuBar()->actions().front()->menu()->actions())
        if (action->isVisible()) items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items.mid(items.indexOf(QStringLiteral("&Export...")));
}

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private:
    test::CountingProgress progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    QAction* Entry(int index) { return frame_->Action(ID_FILE_MRU_FILE1 + index); }

private slots:
    void initTestCase() { test::UseTemporarySettings(); }

    void init()
    {
        QSettings().clear();
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        frame_ = std::make_unique<CMainFrame>(*doc_, ui_, nullptr);
        frame_->RestoreSettings(AppSettings{});
    }

    void cleanup()
    {
        frame_.reset();
        doc_.reset();
    }

    void listKeepsTheLatestFourFirst()
    {
        RecentFiles list;
        for (const char* path : {"/a/one.kyk", "/a/two.kyk", "/b/three.kyk", "/b/four.kyk", "/c/five.kyk"}) list.Add(path);
        QVERIFY(list.Paths() == (Paths{"/c/five.kyk", "/b/four.kyk", "/b/three.kyk", "/a/two.kyk"}));
        list.Add("/b/three.kyk");
        QVERIFY(list.Paths() == (Paths{"/b/three.kyk", "/c/five.kyk", "/b/four.kyk", "/a/two.kyk"}));
        QVERIFY(list.Remove("/c/five.kyk"));
        QVERIFY(!list.Remove("/c/five.kyk"));
        QCOMPARE(list.Caption(0), QStringLiteral("&1 three.kyk"));
        QCOMPARE(list.Caption(2), QStringLiteral("&3 two.kyk"));
        QCOMPARE(list.Prompt(2), QStringLiteral("/a/two.kyk"));
        // A name's '&' shows; Latin-1 bytes read as the rest of the program reads them.
        list.Add("/d/R&D caf\xE9.kyk");
        QCOMPARE(list.Caption(0), QString::fromUtf8("&1 R&&D café.kyk"));
        QCOMPARE(list.Prompt(0), QString::fromUtf8("/d/R&D café.kyk"));
        QCOMPARE(list.Paths().size(), std::size_t(4));
    }

    void fileMenuListsOpenedFilesAboveExit()
    {
        QTemporaryDir dir;
        const std::string good = test::WriteFile(dir, "good.kyk", test::ProfileText(720));
        const std::string bad = test::WriteFile(dir, "bad.kyk", "hello world\n");
        const std::string missing = dir.filePath(QStringLiteral("missing.kyk")).toStdString();
        QCOMPARE(FileMenuTail(*frame_), (QStringList{"&Export...", "-", "E&xit"}));

        frame_->OpenFile(good);
        // Refused for its content, yet a file the user opened: listed, and its message names it.
        auto message = test::AnswerNextMessageBox();
        frame_->OpenFile(bad);
        QCOMPARE(message->text, QStringLiteral("Invalid file format."));
        QCOMPARE(message->informativeText, QString::fromStdString(bad));
        // Not a file at all: not listed.
        message = test::AnswerNextMessageBox();
        frame_->OpenFile(missing);
        QCOMPARE(message->text, QStringLiteral("Cannot open the file."));
        QCOMPARE(message->informativeText, QString::fromStdString(missing));

        QCOMPARE(FileMenuTail(*frame_), (QStringList{"&Export...", "-", "&1 bad.kyk", "&2 good.kyk", "-", "E&xit"}));
        QCOMPARE(Entry(0)->statusTip(), QString::fromStdString(bad));
        QCOMPARE(Entry(1)->statusTip(), QString::fromStdString(good));
        QCOMPARE(Entry(1)->property(kCommandIdProperty).toInt(), 57617);

        // A recent entry opens its file and moves it to the top.
        Entry(1)->trigger();
        QCOMPARE(doc_->PointCount, 720);
        QVERIFY(doc_->AnalysisValid);
        QVERIFY(frame_->Recent().Paths() == (Paths{good, bad}));
        QCOMPARE(Entry(0)->text(), QStringLiteral("&1 good.kyk"));
        QSettings store;
        QVERIFY(RecentFiles::Load(store) == frame_->Recent());
    }

    void goneFileShowsTheMessageAndLeavesTheList()
    {
        QTemporaryDir dir;
        const std::string kept = test::WriteFile(dir, "kept.kyk", test::ProfileText(360));
        const std::string gone = test::WriteFile(dir, "gone.kyk", test::ProfileText(900));
        frame_->OpenFile(kept);
        frame_->OpenFile(gone);
        frame_->OpenFile(kept);
        QVERIFY(QFile::remove(QString::fromStdString(gone)));

        const auto message = test::AnswerNextMessageBox();
        Entry(1)->trigger();
        QVERIFY(message->seen);
        QCOMPARE(message->text, QStringLiteral("Cannot open the file."));
        QCOMPARE(message->informativeText, QString::fromStdString(gone));
        QVERIFY(frame_->Recent().Paths() == Paths{kept});
        QCOMPARE(FileMenuTail(*frame_), (QStringList{"&Export...", "-", "&1 kept.kyk", "-", "E&xit"}));
        QCOMPARE(doc_->PointCount, 360);
        // Kept between runs as it now stands.
        QSettings store;
        QVERIFY(RecentFiles::Load(store).Paths() == Paths{kept});
    }

    void commandLineFileIsListedInFull()
    {
        cleanup();   // the application makes its own window
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "junk.kyk", "hello world\n");
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const auto message = test::AnswerNextMessageBox();
        {
            CKyklosApp app;
            QVERIFY(app.InitInstance({"kyklos", "-Embedding", "junk.kyk"}));
            QVERIFY(app.MainFrame()->Recent().Paths() == Paths{path});
        }
        QDir::setCurrent(started);
        QCOMPARE(message->text, QStringLiteral("Invalid file format."));
        QCOMPARE(message->informativeText, QString::fromStdString(path));
        QSettings store;
        QVERIFY(RecentFiles::Load(store).Paths() == Paths{path});
    }
};

QTEST_MAIN(RecentFilesTest)
#include "RecentFiles_test.moc"
