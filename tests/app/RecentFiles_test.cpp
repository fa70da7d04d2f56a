// The recent files: the list's order, cap and captions, with folders where
// names repeat; the File menu's entries with their prompts, only with the
// option; refused and gone files; a file from the command line; a damaged
// count in the settings file.

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

#include <atomic>
#include <memory>
#include <thread>

using namespace kyklos;

namespace {

using Paths = std::vector<std::string>;

// The visible File menu items from Export to Exit: captions, "-" for a separator.
QStringList FileMenuTail(CMainFrame& frame)
{
    QStringList items;
    for (const QAction* action : frame.menuBar()->actions().front()->menu()->actions())
        if (action->isVisible()) items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return items.mid(items.indexOf(QStringLiteral("&Export...")));
}

Paths Stored()
{
    QSettings store;
    return RecentFiles::Load(store).Paths();
}

} // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase()
    {
        test::UseTemporarySettings();
        QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
        QCoreApplication::setApplicationName(QStringLiteral("Kyklos"));
    }

    void listKeepsTheLatestFourFirst()
    {
        RecentFiles list;
        for (const char* path : {"/a/one.kyk", "/a/two.kyk", "/b/three.kyk", "/b/four.kyk", "/c/five.kyk"})
            list.Add(path);
        QVERIFY(list.Paths() == (Paths{"/c/five.kyk", "/b/four.kyk", "/b/three.kyk", "/a/two.kyk"}));
        list.Add("/b/three.kyk");
        QVERIFY(list.Paths() == (Paths{"/b/three.kyk", "/c/five.kyk", "/b/four.kyk", "/a/two.kyk"}));
        QVERIFY(list.Remove("/c/five.kyk"));
        QVERIFY(!list.Remove("/c/five.kyk"));
        QCOMPARE(list.Caption(2), QStringLiteral("&3 two.kyk"));
        QCOMPARE(list.Prompt(2), QStringLiteral("/a/two.kyk"));
        // A name's '&' shows; Latin-1 bytes read as everywhere else in the program.
        list.Add("/d/R&D caf\xE9.kyk");
        QCOMPARE(list.Caption(0), QString::fromUtf8("&1 R&&D café.kyk"));
        QCOMPARE(list.Prompt(0), QString::fromUtf8("/d/R&D café.kyk"));
    }

    void captionsNameTheFolderWhereNamesRepeat()
    {
        RecentFiles list;
        for (const char* path : {"/a/shaft.kyk", "/b&c/shaft.kyk", "/shaft.kyk", "/a/SHAFT.kyk"}) list.Add(path);
        QCOMPARE(list.Caption(0), QStringLiteral("&1 SHAFT.kyk"));
        QCOMPARE(list.Caption(1), QStringLiteral("&2 shaft.kyk (/)"));
        QCOMPARE(list.Caption(2), QStringLiteral("&3 shaft.kyk (/b&&c)"));
        QCOMPARE(list.Caption(3), QStringLiteral("&4 shaft.kyk (/a)"));
        QVERIFY(list.Remove("/b&c/shaft.kyk"));
        QVERIFY(list.Remove("/shaft.kyk"));
        QCOMPARE(list.Caption(1), QStringLiteral("&2 shaft.kyk"));
    }

    void fileMenuListsNothingWithoutTheOption()
    {
        QSettings().clear();
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        CMainFrame frame(doc, ui, nullptr);
        frame.RestoreSettings(AppSettings{});
        QTemporaryDir dir;
        frame.OpenFile(test::WriteFile(dir, "good.kyk", test::ProfileText(720)));
        QCOMPARE(doc.Profile.PointCount(), 720);
        QVERIFY(frame.Recent().Paths().empty());
        QCOMPARE(FileMenuTail(frame), (QStringList{"&Export...", "-", "E&xit"}));
        QVERIFY(!QSettings().childGroups().contains(QStringLiteral("RecentFiles")));
    }

    void fileMenuListsOpenedFilesAboveExit()
    {
        QSettings().clear();
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        CMainFrame frame(doc, ui, nullptr);
        AppSettings settings;
        settings.Options.RecentFiles = true;
        frame.RestoreSettings(settings);
        const auto entry = [&frame](int index) { return frame.Action(ID_FILE_MRU_FILE1 + index); };
        QTemporaryDir dir;
        const std::string good = test::WriteFile(dir, "good.kyk", test::ProfileText(720));
        const std::string other = test::WriteFile(dir, "other.kyk", test::ProfileText(360));
        const std::string bad = test::WriteFile(dir, "bad.kyk", "hello world\n");
        const std::string missing = dir.filePath(QStringLiteral("missing.kyk")).toStdString();
        QCOMPARE(FileMenuTail(frame), (QStringList{"&Export...", "-", "E&xit"}));

        frame.OpenFile(good);
        frame.OpenFile(other);
        // Refused for its content: not listed, and its message names it.
        auto message = test::AnswerNextMessageBox();
        frame.OpenFile(bad);
        QCOMPARE(message->text, QStringLiteral("Invalid file format."));
        QCOMPARE(message->informativeText, QString::fromStdString(bad));
        // Not a file at all: not listed.
        message = test::AnswerNextMessageBox();
        frame.OpenFile(missing);
        QCOMPARE(message->text, QStringLiteral("Cannot open the file."));
        QCOMPARE(FileMenuTail(frame), (QStringList{"&Export...", "-", "&1 other.kyk", "&2 good.kyk", "-", "E&xit"}));
        QCOMPARE(entry(1)->statusTip(), QString::fromStdString(good));
        QCOMPARE(entry(1)->property(kCommandIdProperty).toInt(), 57617);

        // A recent entry opens its file and moves it to the top; kept as it changes.
        entry(1)->trigger();
        QCOMPARE(doc.Profile.PointCount(), 720);
        QVERIFY(frame.Recent().Paths() == (Paths{good, other}));
        QVERIFY(Stored() == (Paths{good, other}));

        // One refused now shows its message and leaves the list, as does one whose file has gone.
        test::WriteFile(dir, "other.kyk", "KYKLOS_DATA 2.0\n");
        message = test::AnswerNextMessageBox();
        entry(1)->trigger();
        QCOMPARE(message->text, QStringLiteral("Invalid file revision."));
        QVERIFY(Stored() == Paths{good});
        QVERIFY(QFile::remove(QString::fromStdString(good)));
        message = test::AnswerNextMessageBox();
        entry(0)->trigger();
        QCOMPARE(message->text, QStringLiteral("Cannot open the file."));
        QCOMPARE(message->informativeText, QString::fromStdString(good));
        QCOMPARE(FileMenuTail(frame), (QStringList{"&Export...", "-", "E&xit"}));
        QVERIFY(Stored().empty());
        QCOMPARE(doc.Profile.PointCount(), 720);
    }

    void commandLineFileIsListedInFull()
    {
        QSettings().clear();
        QSettings().setValue(QStringLiteral("Options/RecentFiles"), true);
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "ring.kyk", test::ProfileText(360));
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        {
            CKyklosApp app;
            QVERIFY(app.InitInstance({"kyklos", "-Embedding", "ring.kyk"}));
        }
        QDir::setCurrent(started);
        QVERIFY(Stored() == Paths{path});
    }

    void aDamagedCountDoesNotHoldUpTheStart()
    {
        // Four places are read, not two thousand million.
        {
            QFile file(QSettings().fileName());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[Options]\nRecentFiles=true\n[RecentFiles]\nsize=2147483647\n5\\Path=/data/shaft.kyk\n");
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        auto count = std::make_shared<std::size_t>(99);
        // Read in a thread of its own: a start held up fails here instead of hanging the test.
        std::thread([done, count] {
            QSettings store;
            *count = LoadAppSettings(store, {}).Recent.Paths().size();
            *done = true;
        }).detach();
        QTRY_VERIFY_WITH_TIMEOUT(*done, 5000);
        QCOMPARE(*count, std::size_t(0));
    }
};

QTEST_MAIN(RecentFilesTest)
#include "RecentFiles_test.moc"
