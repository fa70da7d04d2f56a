// The Reference Selection and Filter Selection dialogs, alone and driven
// through the Qt UI port by the document's commands; the port's message box.

#include "AppTestSupport.h"

#include "app/FilterSelectionDialog.h"
#include "app/QtUiPort.h"
#include "app/ReferenceSelectionDialog.h"
#include "document/KyklosDoc.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kyklos;
using kyklos::test::CountingProgress;
using kyklos::test::WhenModal;

namespace {

int CheckedIndex(const RadioSelectionDialog& dialog)
{
    int checked = -1;
    for (int i = 0; i < dialog.OptionCount(); ++i)
        if (dialog.Radio(i)->isChecked()) {
            if (checked != -1) return -2; // two at once: never right
            checked = i;
        }
    return checked;
}

// Picks radio `index` (or leaves the choice alone when −1), records the
// choice the dialog opened with, and presses OK or Cancel.
std::shared_ptr<int> Answer(int index, bool ok)
{
    auto opened = std::make_shared<int>(-3);
    WhenModal<RadioSelectionDialog>([opened, index, ok](RadioSelectionDialog* dialog) {
        *opened = CheckedIndex(*dialog);
        if (index >= 0) dialog->Radio(index)->click();
        const QString caption = ok ? QStringLiteral("OK") : QStringLiteral("Cancel");
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == caption) button->click();
    });
    return opened;
}

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class SelectionDialogsTest : public QObject {
    Q_OBJECT

private:
    CountingProgress progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;

private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void init()
    {
        progress_.Shown = 0;
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        QCOMPARE(progress_.Shown, 1);
    }

    void texts_data()
    {
        QTest::addColumn<bool>("reference");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("reference") << true << "Reference Selection"
                                   << "&Reference Circle"
                                   << QStringList{"Least &Squares Center", "Minimum &Zone Center",
                                                  "Maximum &Inscribed Circle Center",
                                                  "Minimum &Circumscribed Circle Center"};
        QTest::newRow("filter") << false << "Filter Selection"
                                << "&Cutoff (undulations per revolution)"
                                << QStringList{"5 UPR", "15 UPR", "50 UPR", "150 UPR", "500 UPR"};
    }

    void texts()
    {
        QFETCH(bool, reference);
        QFETCH(QString, caption);
        QFETCH(QString, group);
        QFETCH(QStringList, options);
        std::unique_ptr<RadioSelectionDialog> dialog;
        if (reference)
            dialog = std::make_unique<CReferenceSelectionDialog>();
        else
            dialog = std::make_unique<CFilterSelectionDialog>();
        QCOMPARE(dialog->SelectedIndex, -1);
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->findChild<QGroupBox*>()->title(), group);
        QCOMPARE(dialog->OptionCount(), options.size());
        for (int i = 0; i < options.size(); ++i) QCOMPARE(dialog->Radio(i)->text(), options[i]);

        // −1 opens with no button set; OK then reports −1 again.
        dialog->show();
        QCOMPARE(CheckedIndex(*dialog), -1);
        dialog->accept();
        QCOMPARE(dialog->SelectedIndex, -1);

        dialog->SelectedIndex = 1;
        dialog->show();
        QCOMPARE(CheckedIndex(*dialog), 1);
        dialog->Radio(0)->setChecked(true);
        dialog->reject();
        QCOMPARE(dialog->SelectedIndex, 1);
        dialog->show();
        dialog->Radio(0)->setChecked(true);
        dialog->accept();
        QCOMPARE(dialog->SelectedIndex, 0);
    }

    void referenceOkWithoutChangeDoesNotRerun()
    {
        const auto opened = Answer(-1, true);
        doc_->OnAnalysisReferenceCircle();
        QCOMPARE(*opened, 0); // "Least &Squares Center"
        QCOMPARE(ReferenceIndex(doc_->Settings.ReferenceKind), 0);
        QCOMPARE(progress_.Shown, 1);
    }

    void referenceChoiceReruns()
    {
        Answer(3, true);
        doc_->OnAnalysisReferenceCircle();
        QCOMPARE(ReferenceIndex(doc_->Settings.ReferenceKind), 3);
        QCOMPARE(progress_.Shown, 2);

        const auto opened = Answer(1, false);
        doc_->OnAnalysisReferenceCircle();
        QCOMPARE(*opened, 3);
        QCOMPARE(ReferenceIndex(doc_->Settings.ReferenceKind), 3);
        QCOMPARE(progress_.Shown, 2);
    }

    void filterOkAlwaysReruns()
    {
        const auto opened = Answer(-1, true);
        doc_->OnAnalysisFiltering();
        QCOMPARE(*opened, 2); // "50 UPR"
        QCOMPARE(doc_->Settings.FilterCutoffUpr, 50);
        QCOMPARE(progress_.Shown, 2);

        Answer(4, true);
        doc_->OnAnalysisFiltering();
        QCOMPARE(doc_->Settings.FilterCutoffUpr, 500);
        QCOMPARE(progress_.Shown, 3);

        const auto reopened = Answer(0, false);
        doc_->OnAnalysisFiltering();
        QCOMPARE(*reopened, 4);
        QCOMPARE(doc_->Settings.FilterCutoffUpr, 500);
        QCOMPARE(progress_.Shown, 3);
    }

    void analysisRepaintsTheView()
    {
        PaintCounter view;
        view.resize(100, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(view.paints > 0);
        const int before = view.paints;
        ui_.SetViewWidget(&view);
        Answer(1, true);
        doc_->OnAnalysisFiltering();
        QTRY_VERIFY(view.paints > before);
        ui_.SetViewWidget(nullptr);
    }

    void messageBox()
    {
        const auto message = test::AnswerNextMessageBox();
        ui_.ShowMessage("Invalid 'DATE:' designator.");
        QVERIFY(message->seen);
        QCOMPARE(message->title, QStringLiteral("Kyklos"));
        QCOMPARE(message->text, QStringLiteral("Invalid 'DATE:' designator."));
    }

    void openFileFilter()
    {
        QCOMPARE(QtUiPort::OpenFileFilter(),
                 QStringLiteral("Kyklos Files (*.kyk);;Tables (*.csv *.tsv *.txt *.dat);;All Files (*.*)"));
    }
};

QTEST_MAIN(SelectionDialogsTest)
#include "SelectionDialogs_test.moc"
