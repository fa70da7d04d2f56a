// Analysis ▸ Filter Options… and Excluded Sectors…: what each dialog opens
// with, what it refuses and in which words, what OK hands the document, and
// the two menu items of the main window.

#include "AppTestSupport.h"

#include "app/CommandIds.h"
#include "app/ExcludedSectorsDialog.h"
#include "app/FilterOptionsDialog.h"
#include "app/MainFrame.h"
#include "app/QtUiPort.h"
#include "document/KyklosDoc.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace kyklos;
using kyklos::test::AnswerNextMessageBox;
using kyklos::test::CountingProgress;
using kyklos::test::WhenModal;

class AnalysisDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CancelModalDrivers(); }

    void filterOptionsOpenWithTheSettings()
    {
        FilterOptionsDialog dialog;
        dialog.show();
        // The default: the sampled Gaussian, no band to edit, spike removal off with k = 5 offered.
        QVERIFY(dialog.KindRadio(FilterKind::Gaussian)->isChecked());
        QCOMPARE(dialog.KindRadio(FilterKind::Gaussian)->text(), QStringLiteral("&Gaussian (50%)"));
        QVERIFY(!dialog.BandLowBox()->isEnabled());
        QVERIFY(!dialog.SpikeBox()->isChecked());
        QVERIFY(!dialog.DeviationsEdit()->isEnabled());
        QCOMPARE(dialog.DeviationsEdit()->text(), QStringLiteral("5"));
        dialog.KindRadio(FilterKind::Band)->click();
        QVERIFY(dialog.BandLowBox()->isEnabled() && dialog.BandHighBox()->isEnabled());
        dialog.SpikeBox()->click();
        QVERIFY(dialog.DeviationsEdit()->isEnabled());
    }

    void filterOptionsRefuseABandOutOfOrderAndABadLimit()
    {
        FilterOptionsDialog dialog;
        dialog.Kind = FilterKind::Band;
        dialog.show();
        dialog.BandLowBox()->setValue(150);
        dialog.BandHighBox()->setValue(150);
        auto answer = AnswerNextMessageBox();
        dialog.OkButton()->click();
        QTRY_VERIFY(answer->seen);
        QCOMPARE(answer->text, QString::fromUtf8(kBandOrderRefusal.data()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.BandLowUpr, 15); // nothing taken from a refused dialog

        dialog.BandHighBox()->setValue(151);
        dialog.SpikeBox()->setChecked(true);
        for (const QString& bad : {QStringLiteral("4,5"), QStringLiteral("0"), QStringLiteral("nan")}) {
            dialog.DeviationsEdit()->setText(bad);
            answer = AnswerNextMessageBox();
            dialog.OkButton()->click();
            QTRY_VERIFY(answer->seen);
            QCOMPARE(answer->text, FilterOptionsDialog::SpikeLimitRefusal());
            QVERIFY(dialog.isVisible());
        }
        dialog.DeviationsEdit()->setText(QStringLiteral(" 3.5 "));
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Kind, FilterKind::Band);
        QCOMPARE(dialog.BandLowUpr, 150);
        QCOMPARE(dialog.BandHighUpr, 151);
        QCOMPARE(dialog.SpikeDeviations, std::optional<double>(3.5));
    }

    void excludedSectorsTakeRowsAndRefuseHalfRows()
    {
        ExcludedSectorsDialog dialog;
        dialog.Sectors = {{350.0, 10.0}};
        dialog.show();
        QCOMPARE(dialog.RowCount(), 1);
        QCOMPARE(dialog.FromEdit(0)->text(), QStringLiteral("350"));
        QCOMPARE(dialog.ToEdit(0)->text(), QStringLiteral("10"));

        dialog.AddButton()->click();
        dialog.AddButton()->click(); // left empty: dropped
        QCOMPARE(dialog.RowCount(), 3);
        dialog.FromEdit(1)->setText(QStringLiteral("90"));
        auto answer = AnswerNextMessageBox();
        dialog.OkButton()->click();
        QTRY_VERIFY(answer->seen);
        QCOMPARE(answer->text, QStringLiteral("Sector 2: give both angles, in degrees."));
        QCOMPARE(dialog.focusWidget(), dialog.ToEdit(1));

        dialog.ToEdit(1)->setText(QStringLiteral("120,5"));
        answer = AnswerNextMessageBox();
        dialog.OkButton()->click();
        QTRY_VERIFY(answer->seen);
        QCOMPARE(answer->text, QStringLiteral("Sector 2: \u201C120,5\u201D is not an angle in degrees; write it with a "
                                              "full stop as the decimal sign."));

        dialog.ToEdit(1)->setText(QStringLiteral("120.5"));
        dialog.RemoveButton(0)->click();
        QCOMPARE(dialog.RowCount(), 2);
        dialog.OkButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.Sectors == (std::vector<ExcludedSector>{{90.0, 120.5}}));
    }

    void menuItemsHandTheDocumentItsNewSettings()
    {
        CountingProgress progress;
        QtUiPort ui;
        CKyklosDoc doc(&ui, &progress);
        CMainFrame frame(doc, ui, &progress);
        QMenu* analysis = nullptr;
        for (QAction* menu : frame.menuBar()->actions())
            if (menu->text() == QStringLiteral("&Analysis")) analysis = menu->menu();
        QVERIFY(analysis);
        QVERIFY(analysis->actions().contains(frame.Action(ID_ANALYSIS_FILTER_OPTIONS)));
        QVERIFY(analysis->actions().contains(frame.Action(ID_ANALYSIS_EXCLUDED_SECTORS)));
        QCOMPARE(frame.Action(ID_ANALYSIS_FILTER_OPTIONS)->text(), QStringLiteral("Filter &Options..."));
        QCOMPARE(frame.Action(ID_ANALYSIS_EXCLUDED_SECTORS)->text(), QStringLiteral("&Excluded Sectors..."));

        // OK without a change analyses nothing again.
        const int analyses = progress.Shown;
        WhenModal<FilterOptionsDialog>([](FilterOptionsDialog* dialog) { dialog->OkButton()->click(); });
        frame.Action(ID_ANALYSIS_FILTER_OPTIONS)->trigger();
        QCOMPARE(progress.Shown, analyses);

        WhenModal<FilterOptionsDialog>([](FilterOptionsDialog* dialog) {
            dialog->KindRadio(FilterKind::Robust)->click();
            dialog->SpikeBox()->click();
            dialog->OkButton()->click();
        });
        frame.Action(ID_ANALYSIS_FILTER_OPTIONS)->trigger();
        QCOMPARE(doc.Settings.FilterKind, FilterKind::Robust);
        QCOMPARE(doc.Settings.SpikeDeviations, std::optional<double>(kDefaultSpikeDeviations));

        WhenModal<ExcludedSectorsDialog>([](ExcludedSectorsDialog* dialog) {
            dialog->AddButton()->click();
            QTest::keyClicks(dialog->FromEdit(0), QStringLiteral("80"));
            // Tab goes on to the row's To field.
            QCOMPARE(dialog->FromEdit(0)->nextInFocusChain(), static_cast<QWidget*>(dialog->ToEdit(0)));
            QTest::keyClicks(dialog->ToEdit(0), QStringLiteral("100"));
            QTest::keyClick(dialog->ToEdit(0), Qt::Key_Return); // Enter presses OK
            if (dialog->isVisible()) dialog->reject();
        });
        frame.Action(ID_ANALYSIS_EXCLUDED_SECTORS)->trigger();
        QVERIFY(doc.Settings.ExcludedSectors == (std::vector<ExcludedSector>{{80.0, 100.0}}));
        QVERIFY(doc.AnalysisValid);
    }
};

QTEST_MAIN(AnalysisDialogsTest)
#include "AnalysisDialogs_test.moc"
