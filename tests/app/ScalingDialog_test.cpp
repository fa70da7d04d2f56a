// The "Roundness Display" dialog alone and through the Scaling command.

#include "ModalDriver.h"

#include "app/ScalingDialog.h"
#include "view/KyklosView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using kyklos::CScalingDialog;
using kyklos::RunScalingCommand;

namespace {

const QString kMicrometres = QStringLiteral("µm / div");
const QString kMicroinches = QStringLiteral("µin / div");

// Everything the dialog shows, read in one go.
struct Shown {
    QString value;
    QString units;
    bool autoScale;
    bool metric;
};

Shown ShownBy(const CScalingDialog& dialog)
{
    return {dialog.ValueEdit()->text(), dialog.UnitsLabel()->text(), dialog.AutoScaleBox()->isChecked(),
            dialog.MetricBox()->isChecked()};
}

} // namespace

class ScalingDialogTest : public QObject {
    Q_OBJECT
private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void opensWithTheMembersAndFocusOnTheValue();
    void unitSwitchUsesFortyAndOneFortieth();
    void unitSwitchConvertsTheLastAcceptedValue();
    void typingClearsAutoScaleButFillingDoesNot();
    void autoScaleClickRewritesTheValue();
    void valueParsing_data();
    void valueParsing();
    void okRefusesWhatIsNotAPositiveNumber_data();
    void okRefusesWhatIsNotAPositiveNumber();
    void okAcceptsTheBounds_data();
    void okAcceptsTheBounds();
    void shownValuesStayWithinTheBounds();

    void commandOpensInMicroinchesFromTheBand();
    void commandAppliesAutoScaleUnitsAndBand();
    void cancelChangesNothing();
};

void ScalingDialogTest::opensWithTheMembersAndFocusOnTheValue()
{
    CScalingDialog dialog;
    dialog.AutoScale = 1;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const Shown shown = ShownBy(dialog);
    QCOMPARE(shown.value, QStringLiteral("2.5"));
    QCOMPARE(shown.units, kMicrometres);
    QVERIFY(shown.autoScale);
    QVERIFY(shown.metric);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Roundness Display"));
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.ValueEdit()));
    QVERIFY(dialog.OkButton()->isDefault());
}

void ScalingDialogTest::unitSwitchUsesFortyAndOneFortieth()
{
    CScalingDialog dialog;
    dialog.AutoScale = 1;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();

    dialog.MetricBox()->click();
    Shown shown = ShownBy(dialog);
    QCOMPARE(shown.value, QStringLiteral("100"));
    QCOMPARE(shown.units, kMicroinches);
    QVERIFY(!shown.metric);
    QVERIFY(shown.autoScale);
    QCOMPARE(dialog.MetricUnits, 0);

    dialog.MetricBox()->click();
    shown = ShownBy(dialog);
    QCOMPARE(shown.value, QStringLiteral("2.5"));
    QCOMPARE(shown.units, kMicrometres);
    QVERIFY(shown.metric);
    QCOMPARE(dialog.MetricUnits, 1);

    // A typed value is read before it is converted.
    dialog.ValueEdit()->selectAll();
    QTest::keyClicks(dialog.ValueEdit(), QStringLiteral("1"));
    dialog.MetricBox()->click();
    QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("40"));
}

void ScalingDialogTest::unitSwitchConvertsTheLastAcceptedValue()
{
    CScalingDialog dialog;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();

    dialog.ValueEdit()->selectAll();
    QTest::keyClicks(dialog.ValueEdit(), QStringLiteral("two"));
    const auto answer = AnswerNextMessageBox();
    dialog.MetricBox()->click();
    QCOMPARE(answer->count, 1);
    QCOMPARE(answer->text, QStringLiteral("Please enter a number."));
    QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("100"));
    QCOMPARE(dialog.UnitsLabel()->text(), kMicroinches);
}

void ScalingDialogTest::typingClearsAutoScaleButFillingDoesNot()
{
    CScalingDialog dialog;
    dialog.AutoScale = 1;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();
    QVERIFY(dialog.AutoScaleBox()->isChecked());
    QCOMPARE(dialog.AutoScale, 1);

    QTest::keyClick(dialog.ValueEdit(), Qt::Key_End);
    QTest::keyClicks(dialog.ValueEdit(), QStringLiteral("5"));
    QVERIFY(!dialog.AutoScaleBox()->isChecked());
    QCOMPARE(dialog.AutoScale, 0);
    QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("2.55"));
}

void ScalingDialogTest::autoScaleClickRewritesTheValue()
{
    CScalingDialog dialog;
    dialog.AutoScale = 1;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();

    dialog.ValueEdit()->selectAll();
    QTest::keyClicks(dialog.ValueEdit(), QStringLiteral("7"));
    QVERIFY(!dialog.AutoScaleBox()->isChecked());
    dialog.AutoScaleBox()->click();
    QVERIFY(dialog.AutoScaleBox()->isChecked());
    QCOMPARE(dialog.AutoScale, 1);
    QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("2.5"));

    dialog.AutoScaleBox()->click();
    QCOMPARE(dialog.AutoScale, 0);
    QVERIFY(!dialog.AutoScaleBox()->isChecked());
}

void ScalingDialogTest::valueParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "2.5" << true << 2.5;
    QTest::newRow("blanks around") << "  12 " << true << 12.0;
    QTest::newRow("no-break spaces around") << "\u00A03\u00A0" << true << 3.0;
    QTest::newRow("exponent") << "1e-3" << true << 0.001;
    QTest::newRow("decimal comma") << "2,5" << false << 0.0;
    QTest::newRow("trailing letters") << "2.5x" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void ScalingDialogTest::valueParsing()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    double parsed = -1.0;
    QCOMPARE(CScalingDialog::ParseValue(text, parsed), accepted);
    if (accepted) {
        QCOMPARE(parsed, value);
        // What the dialog writes, it reads back.
        double again = 0.0;
        QVERIFY(CScalingDialog::ParseValue(CScalingDialog::FormatValue(parsed), again));
        QCOMPARE(again, parsed);
    }
}

void ScalingDialogTest::okRefusesWhatIsNotAPositiveNumber_data()
{
    QTest::addColumn<bool>("metric");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString notANumber = QStringLiteral("Please enter a number.");
    const QString notPositive = QStringLiteral("Please enter a positive number.");
    const QString micrometres = QStringLiteral("Please enter a value between 0.000001 and 1000000.");
    // The microinch bounds are the micrometre bounds × 39.37007874015748, in
    // the fewest digits that read back as the same numbers.
    const QString microinches = QStringLiteral("Please enter a value between 0.00004 and 39370078.");
    QTest::newRow("letters") << true << "abc" << notANumber;
    QTest::newRow("empty") << true << "" << notANumber;
    QTest::newRow("not a number") << true << "nan" << notANumber;
    QTest::newRow("zero") << true << "0" << notPositive;
    QTest::newRow("negative") << true << "-2.5" << notPositive;
    QTest::newRow("negative infinity") << true << "-inf" << notPositive;
    QTest::newRow("infinite") << true << "inf" << micrometres;
    QTest::newRow("1e308") << true << "1e308" << micrometres;
    QTest::newRow("just above") << true << "1000000.001" << micrometres;
    QTest::newRow("just below") << true << "0.00000099" << micrometres;
    QTest::newRow("1e-9") << true << "1e-9" << micrometres;
    QTest::newRow("zero µin") << false << "0" << notPositive;
    QTest::newRow("above µin") << false << "39370079" << microinches;
    QTest::newRow("below µin") << false << "0.0000393" << microinches;
    QTest::newRow("metric bound in µin") << false << "0.000001" << microinches;
}

void ScalingDialogTest::okRefusesWhatIsNotAPositiveNumber()
{
    QFETCH(bool, metric);
    QFETCH(QString, text);
    QFETCH(QString, message);
    CScalingDialog dialog;
    dialog.AutoScale = 0;
    dialog.MetricUnits = metric ? 1 : 0;
    dialog.ScalePerDivision = 2.5;
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);

    dialog.ValueEdit()->setText(text);
    auto answer = AnswerNextMessageBox();
    dialog.OkButton()->click();
    QCOMPARE(answer->count, 1);
    QCOMPARE(answer->text, message);
    QVERIFY(dialog.isVisible());
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(dialog.ScalePerDivision, 2.5);

    // A good value then goes through.
    dialog.ValueEdit()->setText(QStringLiteral("4"));
    dialog.OkButton()->click();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.ScalePerDivision, 4.0);
}

void ScalingDialogTest::okAcceptsTheBounds_data()
{
    QTest::addColumn<bool>("metric");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("lowest µm") << true << "0.000001" << 1e-6;
    QTest::newRow("highest µm") << true << "1000000" << 1e6;
    QTest::newRow("lowest µin") << false << "0.00004" << 0.00004;
    QTest::newRow("highest µin") << false << "39370078" << 39370078.0;
}

void ScalingDialogTest::okAcceptsTheBounds()
{
    QFETCH(bool, metric);
    QFETCH(QString, text);
    QFETCH(double, value);
    CScalingDialog dialog;
    dialog.MetricUnits = metric ? 1 : 0;
    dialog.ScalePerDivision = 2.5;
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.ValueEdit()->setText(text);
    dialog.OkButton()->click();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.ScalePerDivision, value);
}

void ScalingDialogTest::shownValuesStayWithinTheBounds()
{
    // 1000000 µm/div switched with the dialog's factor 40 would be 40000000
    // µin/div, past the highest microinch scale: the switch stops at the bound.
    CScalingDialog dialog;
    dialog.MetricUnits = 1;
    dialog.ScalePerDivision = 2.5;
    dialog.show();
    dialog.ValueEdit()->setText(QStringLiteral("1000000"));
    dialog.MetricBox()->click();
    QCOMPARE(dialog.ValueEdit()->text(), QStringLiteral("39370078"));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    dialog.OkButton()->click();
    QCOMPARE(accepted.count(), 1);

    // A band out of range (an infinite one, as 1e308 µm/div doubled gave)
    // reopens at the highest scale instead of "inf".
    kyklos::CKyklosView view;
    view.Graph.BandRange = 1e308 * 2.0;
    view.Graph.MetricUnits = true;
    view.AutoScale = false;
    QString shown;
    WhenModal<CScalingDialog>([&shown](CScalingDialog* dialog) {
        shown = dialog->ValueEdit()->text();
        dialog->OkButton()->click();
    });
    QVERIFY(RunScalingCommand(nullptr, view));
    QCOMPARE(shown, QStringLiteral("1000000"));
    QCOMPARE(view.Graph.BandRange, 2e6);
}

void ScalingDialogTest::commandOpensInMicroinchesFromTheBand()
{
    kyklos::CKyklosView view;
    view.Graph.BandRange = 5.0;
    view.Graph.MetricUnits = false;
    view.AutoScale = false;

    Shown shown{};
    WhenModal<CScalingDialog>([&shown](CScalingDialog* dialog) {
        shown = ShownBy(*dialog);
        dialog->CancelButton()->click();
    });
    RunScalingCommand(nullptr, view);
    // Half the band converted with 0.0254, not the dialog's factor 40.
    QCOMPARE(shown.value, CScalingDialog::FormatValue(5.0 * 19.68503937007874));
    QVERIFY(shown.value.startsWith(QStringLiteral("98.425196850393")));
    QCOMPARE(shown.units, kMicroinches);
    QVERIFY(!shown.autoScale);
    QVERIFY(!shown.metric);
}

void ScalingDialogTest::commandAppliesAutoScaleUnitsAndBand()
{
    kyklos::CKyklosView view;
    view.Graph.BandRange = 5.0;
    view.Graph.MetricUnits = true;
    view.AutoScale = true;

    Shown opened{};
    WhenModal<CScalingDialog>([&opened](CScalingDialog* dialog) {
        opened = ShownBy(*dialog);
        dialog->AutoScaleBox()->click();
        dialog->MetricBox()->click();
        dialog->OkButton()->click();
    });
    QVERIFY(RunScalingCommand(nullptr, view));
    QCOMPARE(opened.value, QStringLiteral("2.5"));
    QCOMPARE(opened.units, kMicrometres);
    QVERIFY(opened.autoScale);
    QVERIFY(opened.metric);
    QVERIFY(!view.AutoScale);
    QVERIFY(!view.Graph.MetricUnits);
    // 100 µin/div × 0.0508, not the 5.0 it started from.
    QCOMPARE(view.Graph.BandRange, 100.0 * 0.0508);

    Shown reopened{};
    WhenModal<CScalingDialog>([&reopened](CScalingDialog* dialog) {
        reopened = ShownBy(*dialog);
        dialog->CancelButton()->click();
    });
    RunScalingCommand(nullptr, view);
    QCOMPARE(reopened.value, QStringLiteral("100"));
    QCOMPARE(reopened.units, kMicroinches);
    QVERIFY(!reopened.autoScale);

    // Back to metric: 2.5 µm/div is a 5 µm band again.
    WhenModal<CScalingDialog>([](CScalingDialog* dialog) {
        dialog->MetricBox()->click();
        dialog->OkButton()->click();
    });
    QVERIFY(RunScalingCommand(nullptr, view));
    QVERIFY(view.Graph.MetricUnits);
    QCOMPARE(view.Graph.BandRange, 5.0);
}

void ScalingDialogTest::cancelChangesNothing()
{
    kyklos::CKyklosView view;
    view.Graph.BandRange = 7.0;
    view.Graph.MetricUnits = true;
    view.AutoScale = true;

    WhenModal<CScalingDialog>([](CScalingDialog* dialog) {
        dialog->ValueEdit()->selectAll();
        QTest::keyClicks(dialog->ValueEdit(), QStringLiteral("12"));
        dialog->MetricBox()->click();
        dialog->CancelButton()->click();
    });
    QVERIFY(!RunScalingCommand(nullptr, view));
    QVERIFY(view.AutoScale);
    QVERIFY(view.Graph.MetricUnits);
    QCOMPARE(view.Graph.BandRange, 7.0);
}

QTEST_MAIN(ScalingDialogTest)
#include "ScalingDialog_test.moc"
