// View ▸ Options: the three check boxes with their captions, off by default,
// worked from the keyboard alone, and what OK writes.

#include "AppTestSupport.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/OptionsDialog.h"
#include "app/QtUiPort.h"
#include "document/KyklosDoc.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace kyklos;

class OptionsDialogTest : public QObject {
    Q_OBJECT

private:
    // Runs the dialog on `options`, hands it to `keys` once it is up; what RunOptionsCommand says.
    static bool Run(AppOptions& options, const std::function<void(OptionsDialog*)>& keys)
    {
        const auto seen = test::WhenModal<OptionsDialog>([keys](OptionsDialog* dialog) {
            // Keys go to the active window.
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            keys(dialog);
            // A check that failed inside `keys` leaves the dialog up: closed here, the test goes on to fail.
            if (dialog->isVisible()) dialog->reject();
        });
        const bool changed = RunOptionsCommand(nullptr, options);
        return *seen && changed;
    }

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase()
    {
        test::UseTemporarySettings();
        QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
        QCoreApplication::setApplicationName(QStringLiteral("Kyklos"));
    }

    void captionsOffByDefaultAndMnemonicsUnique()
    {
        const OptionsDialog dialog(AppOptions{});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        const QList<QCheckBox*> boxes{dialog.RecentFilesBox(), dialog.RestoreSettingsBox(),
                                      dialog.PrintEvaluationPageBox()};
        QStringList captions;
        for (const QCheckBox* box : boxes) {
            QVERIFY(!box->isChecked());
            captions << QString(box->text()).remove('&');
        }
        QCOMPARE(captions, (QStringList{"List recently opened files in the File menu",
                                        "Restore the last analysis and display settings at start",
                                        "Print the evaluation page with the report"}));
        QString keys;
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            const qsizetype at = button->text().indexOf('&');
            if (at < 0) continue;
            const QChar key = button->text()[at + 1].toLower();
            QVERIFY2(!keys.contains(key), qPrintable(button->text()));
            keys += key;
        }
        QCOMPARE(keys.size(), 3);
        QVERIFY(dialog.OkButton()->isDefault());
    }

    void keyboardAlone()
    {
        AppOptions options;
        // Alt and the mnemonic switch a box (the click shows first); Enter is OK.
        QVERIFY(Run(options, [](OptionsDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_R, Qt::AltModifier);
            QTRY_VERIFY(dialog->RestoreSettingsBox()->isChecked());
            QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
            QTRY_VERIFY(dialog->PrintEvaluationPageBox()->isChecked());
            QCOMPARE(dialog->focusWidget(), dialog->PrintEvaluationPageBox());
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        }));
        QVERIFY(options == (AppOptions{false, true, true}));
        // Escape changes nothing, and neither does OK on the options as they were.
        QVERIFY(!Run(options, [](OptionsDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_F, Qt::AltModifier);
            QTRY_VERIFY(dialog->RecentFilesBox()->isChecked());
            QTest::keyClick(dialog, Qt::Key_Escape);
        }));
        QVERIFY(!Run(options, [](OptionsDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Return); }));
        QVERIFY(options == (AppOptions{false, true, true}));
    }

    void viewOptionsWritesTheOptionsOnly()
    {
        QSettings().clear();
        QtUiPort ui;
        CKyklosDoc doc(&ui);
        CMainFrame frame(doc, ui, nullptr);
        test::WhenModal<OptionsDialog>([](OptionsDialog* dialog) {
            dialog->RecentFilesBox()->setChecked(true);
            dialog->OkButton()->click();
        });
        frame.Action(ID_VIEW_OPTIONS)->trigger();
        QVERIFY(frame.Options() == (AppOptions{true, false, false}));
        QSettings store;
        QStringList keys = store.allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"Options/PrintEvaluationPage", "Options/RecentFiles", "Options/RestoreSettings"}));
        QCOMPARE(store.value(QStringLiteral("Options/RecentFiles")).toString(), QStringLiteral("true"));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialog_test.moc"
