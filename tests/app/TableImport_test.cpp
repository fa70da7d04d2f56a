// Tables in the window: the Import dialog and its remembered choices, a
// refused table's message, Save Profile As and the panel's source line.

#include "AppTestSupport.h"

#include "app/CommandIds.h"
#include "app/EvaluationPanel.h"
#include "app/MainFrame.h"
#include "app/QtUiPort.h"
#include "app/TableImportDialog.h"
#include "document/KyklosDoc.h"
#include "io/KykFile.h"
#include "io/ProfileWriter.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

using namespace kyklos;

namespace {

// Two unnamed columns under a German header, decimal comma.
const std::string kUnnamed = "Winkel;Radius\n0;10,5\n90;10,25\n180;10,5\n270;10,75\n";

} // namespace

class TableImportTest : public QObject {
    Q_OBJECT

private:
    test::CountingProgress progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    QTemporaryDir dir_;

private slots:
    void cleanup() { CancelModalDrivers(); }
    void initTestCase()
    {
        test::UseTemporarySettings();
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        frame_ = std::make_unique<CMainFrame>(*doc_, ui_, nullptr);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void cleanupTestCase()
    {
        frame_.reset();
        doc_.reset();
    }

    // Enter takes the choices, and they come back for a table of the same
    // shape; Escape leaves the profile as it was.
    void importDialogChoosesAndRemembers()
    {
        const std::string path = test::WriteFile(dir_, "unnamed.csv", kUnnamed);
        const auto seen = test::WhenModal<TableImportDialog>([](TableImportDialog* dialog) {
            QCOMPARE(dialog->Preview()->rowCount(), 4);
            QCOMPARE(dialog->Preview()->item(1, 1)->text(), QStringLiteral("10,25"));
            QCOMPARE(dialog->Preview()->horizontalHeaderItem(0)->text(), QStringLiteral("Winkel"));
            QCOMPARE(dialog->DelimiterBox()->currentText(), QStringLiteral("semicolon"));
            dialog->ColumnBox(0)->setCurrentText(QStringLiteral("angle"));
            dialog->ColumnBox(1)->setCurrentText(QStringLiteral("radius"));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        frame_->OpenFile(path);
        QVERIFY(*seen);
        QCOMPARE(doc_->Profile.RawRadius, (std::vector<double>{10.5, 10.25, 10.5, 10.75}));
        QVERIFY(doc_->AnalysisValid);
        QCOMPARE(frame_->TableImport().Remembered.size(), std::size_t(1));
        // Remembered for the session only: settings are not restored at start.
        QVERIFY(!QSettings().contains(QStringLiteral("TableImports/size")));

        const std::string other = test::WriteFile(dir_, "other.csv", "Winkel;Radius\n0;11\n180;12\n");
        const auto again = test::WhenModal<TableImportDialog>([](TableImportDialog* dialog) {
            QCOMPARE(dialog->ColumnBox(0)->currentText(), QStringLiteral("angle"));
            QCOMPARE(dialog->ColumnBox(1)->currentText(), QStringLiteral("radius"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        const auto message = test::AnswerNextMessageBox();
        frame_->OpenFile(other);
        QVERIFY(*again);
        QVERIFY(!message->seen);
        QCOMPARE(doc_->Profile.RawRadius, (std::vector<double>{10.5, 10.25, 10.5, 10.75}));
        QCOMPARE(doc_->Profile.FileTitle, std::string("unnamed"));
    }

    void choicesAreWrittenOnlyWhileSettingsAreRestored()
    {
        AppOptions options = frame_->Options();
        options.RestoreSettings = true;
        frame_->SetOptions(options);
        const std::string path = test::WriteFile(dir_, "points.txt", "1 0\n0 1\n-1 0\n0 -1\n");
        test::WhenModal<TableImportDialog>([](TableImportDialog* dialog) {
            dialog->ColumnBox(0)->setCurrentText(QStringLiteral("x"));
            dialog->ColumnBox(1)->setCurrentText(QStringLiteral("y"));
            dialog->LengthUnitBox()->setCurrentText(QStringLiteral("in"));
            QTest::keyClick(dialog, Qt::Key_Enter);
        });
        frame_->OpenFile(path);
        QCOMPARE(doc_->Profile.Kind, ProfileKind::Points);
        QCOMPARE(doc_->Profile.PointX, (std::vector<double>{25.4, 0, -25.4, 0}));
        QSettings store;
        const AppSettings loaded = LoadAppSettings(store, AvailableScreenRects());
        QCOMPARE(loaded.TableImports, frame_->TableImport().Remembered);
        QCOMPARE(loaded.TableImports.at("space|2"),
                 std::string("columns=x,y;delimiter=space;angle-direction=ccw;length-unit=in"));
        options.RestoreSettings = false;
        frame_->SetOptions(options);
        QVERIFY(!QSettings().contains(QStringLiteral("TableImports/size")));
    }

    void aRefusedTableNamesItsFileAndKeepsTheProfile()
    {
        doc_->OpenProfile(test::WriteFile(dir_, "good.kyk", test::ProfileText(360)));
        const std::string bad = test::WriteFile(dir_, "bad.csv", "angle,radius\n0,1\n10,1x\n");
        const auto message = test::AnswerNextMessageBox();
        frame_->OpenFile(bad);
        QVERIFY(message->seen);
        QCOMPARE(message->text, QStringLiteral("Line 3, column 2: \"1x\" is not a number."));
        QCOMPARE(message->informativeText, QString::fromStdString(bad));
        QCOMPARE(doc_->Profile.PointCount(), 360);
        QVERIFY(doc_->AnalysisValid);
    }

    void saveProfileAsWritesTheChosenType()
    {
        doc_->OpenProfile(test::WriteFile(dir_, "shaft.kyk", test::ProfileText(720)));
        const std::vector<double> radii = doc_->Profile.RawRadius;
        const QString path = dir_.filePath(QStringLiteral("saved"));
        const auto seen = test::WhenModal<QFileDialog>([path](QFileDialog* dialog) {
            QCOMPARE(dialog->nameFilters(),
                     (QStringList{QStringLiteral("Kyklos Files (*.kyk)"), QStringLiteral("CSV Tables (*.csv)")}));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        frame_->Action(ID_FILE_SAVE_PROFILE_AS)->trigger();
        QVERIFY(*seen);
        const KykReadResult read = ReadKykFile(path.toStdString() + ".kyk");
        QVERIFY(read.Read.has_value());
        QCOMPARE(read.Read->RawRadius, radii);

        // A profile at any angles cannot be a .kyk: the message names the file.
        doc_->OpenProfile(test::WriteFile(dir_, "arc.csv", "angle,radius\n0,10\n45,10.5\n90,10.25\n"));
        const std::string target = dir_.filePath(QStringLiteral("arc.kyk")).toStdString();
        const auto message = test::AnswerNextMessageBox();
        QCOMPARE(frame_->SaveProfileTo(target), std::string(kOnlyEqualStepsAsKyk));
        QVERIFY(message->seen);
        QCOMPARE(message->informativeText, QString::fromStdString(target));
    }

    void thePanelSaysWhereTheProfileCameFrom()
    {
        doc_->OpenProfile(test::WriteFile(dir_, "bore.dat", "angle [deg]\tr [um]\n0\t10000\n180\t10002\n"));
        frame_->EvaluationDock()->OnDocumentChanged();
        QCOMPARE(frame_->EvaluationDock()->SourceLabel()->text(),
                 QStringLiteral("Data table: angle (deg), radius (\u00B5m)"));
        doc_->OnFileNew();
        QVERIFY(frame_->EvaluationDock()->SourceLabel()->isHidden());
    }
};

QTEST_MAIN(TableImportTest)
#include "TableImport_test.moc"
