// Start-up: its order, the command line, the settings names and the splash
// window with the application-wide input filter.

#include "AppTestSupport.h"

#include "app/KyklosApp.h"
#include "app/KyklosViewWidget.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/SplashWindow.h"
#include "document/KyklosDoc.h"

#include <QAction>
#include <QMessageBox>
#include <QTest>

#include <string>
#include <vector>

using namespace kyklos;

namespace {

std::vector<std::string> Args(const QStringList& arguments)
{
    std::vector<std::string> bytes;
    for (const QString& argument : arguments) bytes.push_back(argument.toStdString());
    return bytes;
}

// Notes, when the progress display first appears, whether a main window exists yet.
class StartupWatcher : public QObject {
public:
    bool progressShown = false;
    bool frameExistedAtProgress = false;
    bool docAnalysedAtFrameShow = false;
    CKyklosApp* app = nullptr;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show) return false;
        if (qobject_cast<CProgressDialog*>(watched) && !progressShown) {
            progressShown = true;
            for (QWidget* widget : QApplication::topLevelWidgets())
                frameExistedAtProgress = frameExistedAtProgress || qobject_cast<CMainFrame*>(widget);
        }
        if (qobject_cast<CMainFrame*>(watched) && app && app->Document())
            docAnalysedAtFrameShow = app->Document()->AnalysisValid;
        return false;
    }
};

class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : type_(type) {}
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type_) ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

} // namespace

class KyklosAppTest : public QObject {
    Q_OBJECT

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase() { test::UseTemporarySettings(); }

    void parseCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("showSplash");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("none") << QStringList{"kyklos"} << true << QString();
        QTest::newRow("/Embedding") << QStringList{"kyklos", "/Embedding"} << false << QString();
        QTest::newRow("-Embedding") << QStringList{"kyklos", "-Embedding"} << false << QString();
        QTest::newRow("/Automation") << QStringList{"kyklos", "/Automation"} << false << QString();
        QTest::newRow("-automation") << QStringList{"kyklos", "-automation"} << false << QString();
        QTest::newRow("absolute path") << QStringList{"kyklos", "/data/shaft.kyk"} << true << "/data/shaft.kyk";
        QTest::newRow("switch and file") << QStringList{"kyklos", "-Embedding", "a.kyk", "b.kyk"} << false << "a.kyk";
        QTest::newRow("unknown switch") << QStringList{"kyklos", "-x", "c.kyk"} << true << "c.kyk";
    }

    void parseCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, showSplash);
        QFETCH(QString, fileName);
        const CKyklosApp::CommandLine line = CKyklosApp::ParseCommandLine(Args(arguments));
        QCOMPARE(line.ShowSplash, showSplash);
        QCOMPARE(QString::fromStdString(line.FileName), fileName);
    }

    void startUpOrder()
    {
        StartupWatcher watcher;
        CKyklosApp app;
        watcher.app = &app;
        qApp->installEventFilter(&watcher);
        QVERIFY(app.InitInstance({"kyklos", "-Embedding"}));
        qApp->removeEventFilter(&watcher);

        QVERIFY(watcher.progressShown);
        QVERIFY(!watcher.frameExistedAtProgress);
        QVERIFY(watcher.docAnalysedAtFrameShow);
        QVERIFY(app.MainFrame()->isVisible());
        QCOMPARE(app.MainFrame()->windowTitle(), QStringLiteral("Kyklos"));
        QCOMPARE(CSplashWindow::Instance(), nullptr);
        QVERIFY(!app.Progress()->IsActive());
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Local AppWizard-Generated Applications"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Kyklos"));
        QTRY_VERIFY(app.MainFrame()->ViewWidget()->PaintCount() > 0);
    }

    void commandLineProfileIsRead()
    {
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "ring.kyk", test::ProfileText(1800));
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding", path}));
        QCOMPARE(app.Document()->Profile.PointCount(), 1800);
        QCOMPARE(app.Document()->Profile.FileTitle, std::string("ring"));
        QCOMPARE(app.Document()->Profile.Identification, std::string("Test shaft"));
        QVERIFY(app.Document()->AnalysisValid);
    }

    void commandLineNamesTheFileByItsBytes()
    {
        QTemporaryDir dir;
        const test::FileNamedBytes file(dir, "caf\xE9.kyk", test::ProfileText(900));
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding", file.path}));
        QCOMPARE(app.Document()->Profile.PointCount(), 900);
        QCOMPARE(app.Document()->Profile.FileTitle, std::string("caf\xE9"));
    }

    void messageIsNotHiddenBehindTheSplash()
    {
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "junk.kyk", "hello world\n");
        bool splashUp = true;
        bool clickClosedTheBox = false;
        const auto seen = test::WhenModal<QMessageBox>([&](QMessageBox* box) {
            splashUp = CSplashWindow::Instance() != nullptr;
            // A real click on OK: it belongs to the box, not to the splash.
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            clickClosedTheBox = !box->isVisible();
            if (box->isVisible()) box->done(QMessageBox::Ok);
        });
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", path}));
        QVERIFY(*seen);
        QVERIFY(!splashUp);
        QVERIFY(clickClosedTheBox);
    }

    void commandLineMalformedProfileKeepsTheDemonstration()
    {
        QTemporaryDir dir;
        const std::string path = test::WriteFile(dir, "junk.kyk", "hello world\n");
        const auto message = test::AnswerNextMessageBox();
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos", "-Embedding", path}));
        QVERIFY(message->seen);
        QCOMPARE(message->text, QStringLiteral("Invalid file format."));
        QCOMPARE(app.Document()->Profile.Identification, std::string("Kyklos generated data"));
        QVERIFY(app.Document()->AnalysisValid);
    }

    void splashSwallowsTheFirstKeyPress()
    {
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos"}));
        CSplashWindow* splash = CSplashWindow::Instance();
        QVERIFY(splash);
        QCOMPARE(splash->size(), QSize(520, 317));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        QWidget* view = app.MainFrame()->ViewWidget();

        // Moving the mouse and releasing a button leave it up.
        QTest::mouseMove(view, QPoint(30, 30));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        QCOMPARE(CSplashWindow::Instance(), splash);

        // The first key press closes the splash and goes nowhere else, not even
        // to a shortcut; the next one is handled as usual.
        QAction probe(app.MainFrame());
        probe.setShortcut(QKeySequence(Qt::Key_F2));
        app.MainFrame()->addAction(&probe);
        int triggered = 0;
        connect(&probe, &QAction::triggered, [&triggered] { ++triggered; });
        QTest::keyClick(view, Qt::Key_F2);
        QCOMPARE(CSplashWindow::Instance(), nullptr);
        QCOMPARE(triggered, 0);
        QTest::keyClick(view, Qt::Key_F2);
        QCOMPARE(triggered, 1);
    }

    void splashSwallowsAKeyBeforeItsWidget()
    {
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos"}));
        QVERIFY(CSplashWindow::Instance());
        EventCounter counter(QEvent::KeyPress);
        QWidget* view = app.MainFrame()->ViewWidget();
        view->installEventFilter(&counter);
        QTest::keyClick(view, Qt::Key_A);
        QCOMPARE(CSplashWindow::Instance(), nullptr);
        QCOMPARE(counter.count, 0);
        QTest::keyClick(view, Qt::Key_A);
        QCOMPARE(counter.count, 1);
    }

    void splashSwallowsTheFirstMousePress()
    {
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos"}));
        QVERIFY(CSplashWindow::Instance());
        EventCounter counter(QEvent::MouseButtonPress);
        QWidget* view = app.MainFrame()->ViewWidget();
        view->installEventFilter(&counter);
        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(CSplashWindow::Instance(), nullptr);
        QCOMPARE(counter.count, 0);
        QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(counter.count, 1);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    }

    void splashClosesByItself()
    {
        CKyklosApp app;
        QVERIFY(app.InitInstance({"kyklos"}));
        QPointer<CSplashWindow> splash = CSplashWindow::Instance();
        QVERIFY(splash);
        QTRY_VERIFY_WITH_TIMEOUT(CSplashWindow::Instance() == nullptr, CSplashWindow::kLifetimeMilliseconds + 3000);
        QTRY_VERIFY(splash.isNull());
    }
};

QTEST_MAIN(KyklosAppTest)
#include "KyklosApp_test.moc"
