// Analysis ▸ Uncertainty… in the window: the dialog in µm and µin with its
// refusals, the draws behind the progress display and their Cancel, the
// decision, U and the guard band on the verdict bar in the evaluation panel,
// dropped with a new analysis, and the request restored at start only with
// the option.

#include "AppTestSupport.h"

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EvaluationPanel.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/QtUiPort.h"
#include "app/UncertaintyDialog.h"
#include "app/VerdictBar.h"
#include "document/KyklosDoc.h"
#include "view/KyklosView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace kyklos;
using kyklos::test::AnswerNextMessageBox;
using kyklos::test::WhenModal;

class UncertaintyWindowTest : public QObject {
    Q_OBJECT

private:
    CProgressDialog progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    EvaluationPanel* Panel() const { return frame_->EvaluationDock(); }

    // Runs Analysis ▸ Uncertainty… with probe noise `noiseUm` and `draws`, and OK.
    void Simulate(const QString& noise, const QString& draws)
    {
        const auto seen = WhenModal<UncertaintyDialog>([=](UncertaintyDialog* dialog) {
            dialog->FieldEdit(UncertaintyDialog::Noise)->setText(noise);
            dialog->FieldEdit(UncertaintyDialog::Draws)->setText(draws);
            dialog->OkButton()->click();
        });
        frame_->Action(ID_ANALYSIS_UNCERTAINTY)->trigger();
        QVERIFY(*seen);
    }

    double SelectedRontUm() const { return *doc_->Result.Evaluation.Selected().RONt * 1000.0; }

private slots:
    void initTestCase()
    {
        kyklos::test::UseTemporarySettings();
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        frame_ = std::make_unique<CMainFrame>(*doc_, ui_, &progress_);
        Panel()->show();
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }

    void cleanupTestCase()
    {
        frame_.reset();
        doc_.reset();
    }

    void cleanup() { CancelModalDrivers(); }

    void dialogTakesTheDisplayUnitAndRefusesWhatItCannotUse()
    {
        UncertaintyRequest request;
        request.Model.ProbeNoiseUm = 0.0254;
        request.Model.ResolutionUm = 0.5;
        UncertaintyDialog inch(request, false);
        QCOMPARE(inch.UnitLabel(UncertaintyDialog::Noise)->text(), QStringLiteral("\u00B5in"));
        QCOMPARE(inch.UnitLabel(UncertaintyDialog::Angle)->text(), QStringLiteral("deg"));
        QCOMPARE(inch.FieldEdit(UncertaintyDialog::Noise)->text(), QStringLiteral("1"));
        QCOMPARE(inch.FieldEdit(UncertaintyDialog::Draws)->text(), QStringLiteral("10000"));
        QCOMPARE(inch.FieldEdit(UncertaintyDialog::Seed)->text(), QStringLiteral("1"));
        inch.FieldEdit(UncertaintyDialog::Calibration)->setText(QStringLiteral("2"));
        inch.FieldEdit(UncertaintyDialog::Seed)->setText(QStringLiteral("18446744073709551615"));
        inch.accept();
        QCOMPARE(inch.result(), int(QDialog::Accepted));
        // Unchanged fields keep their micrometres exactly; typed microinches become micrometres.
        QCOMPARE(inch.Request().Model.ProbeNoiseUm, 0.0254);
        QCOMPARE(inch.Request().Model.ResolutionUm, 0.5);
        QCOMPARE(inch.Request().Model.CalibrationUm, 2 * 0.0254);
        QCOMPARE(inch.Request().Seed, std::uint64_t{18446744073709551615u});

        const std::pair<UncertaintyDialog::Field, QString> refused[] = {
            {UncertaintyDialog::Noise, QStringLiteral("-0.1")},
            {UncertaintyDialog::Angle, QStringLiteral("0,01")},
            {UncertaintyDialog::Draws, QStringLiteral("9")},
            {UncertaintyDialog::Draws, QStringLiteral("10000001")},
            {UncertaintyDialog::Seed, QStringLiteral("-1")}};
        for (const auto& [field, text] : refused) {
            UncertaintyDialog metric(request, true);
            metric.FieldEdit(field)->setText(text);
            const auto answer = AnswerNextMessageBox();
            metric.show();
            metric.accept();
            QVERIFY2(answer->seen, qPrintable(text));
            QVERIFY2(metric.isVisible(), qPrintable(text));
            QCOMPARE(metric.Request(), request);
            if (field == UncertaintyDialog::Angle)
                QCOMPARE(answer->text, QStringLiteral("The angular noise must be a number of 0 or more. Use a full "
                                                      "stop as the decimal sign."));
        }
    }

    void decisionAndGuardBandBesideTheVerdict()
    {
        QVERIFY(!Panel()->DecisionLabel()->isVisibleTo(Panel()));
        Simulate(QStringLiteral("0.5"), QStringLiteral("40"));
        QVERIFY(doc_->Uncertainty);
        QCOMPARE(doc_->Uncertainty->Draws, 40);
        QCOMPARE(doc_->UncertaintyRequested.Model.ProbeNoiseUm, 0.5);
        QVERIFY(!progress_.isVisible());
        QVERIFY(Panel()->DecisionLabel()->isVisibleTo(Panel()));
        QCOMPARE(Panel()->DecisionLabel()->text(), QStringLiteral("\u2014")); // no tolerance
        QVERIFY(!Panel()->GuardBandBar()->isVisibleTo(Panel()));
        const double expandedUm = *doc_->Uncertainty->ExpandedUncertainty * 1000.0;
        QCOMPARE(Panel()->ExpandedLabel()->text(), QStringLiteral("%1 \u00B5m").arg(expandedUm, 0, 'f', 3));

        // The tolerance at RONt: the plain verdict passes, the guard band cannot tell.
        const double toleranceUm = SelectedRontUm();
        doc_->SetTolerance(RoundnessTolerance{toleranceUm, true});
        QCOMPARE(Panel()->DecisionLabel()->text(), QStringLiteral("Undecided"));
        VerdictBar* bar = Panel()->GuardBandBar();
        QVERIFY(bar->isVisibleTo(Panel()));
        const QImage image = bar->grab().toImage();
        const auto colourAt = [&](double mm) { return image.pixelColor(bar->Position(mm), 4).rgb(); };
        const double t = toleranceUm / 1000.0, u = expandedUm / 1000.0;
        QCOMPARE(colourAt(0.5 * (t - u)), VerdictBar::kConformsColour.rgb());
        QCOMPARE(colourAt(t - 0.5 * u), VerdictBar::kGuardBandColour.rgb());
        QCOMPARE(colourAt(t + 0.5 * u), VerdictBar::kGuardBandColour.rgb());
        QCOMPARE(colourAt(t + 1.5 * u), VerdictBar::kNotConformsColour.rgb());
        QCOMPARE(QColor(colourAt(t)), QColor(Qt::black));

        doc_->SetTolerance(RoundnessTolerance{SelectedRontUm() + 2.0 * expandedUm, true});
        QCOMPARE(Panel()->DecisionLabel()->text(), QStringLiteral("Conforms"));
        QCOMPARE(Panel()->DecisionLabel()->palette().color(QPalette::WindowText), QColor(0, 128, 0));

        // A new analysis leaves nothing of the simulation on show.
        doc_->Settings.ReferenceKind = ReferenceKind::MinimumZone;
        doc_->AnalyzeProfile();
        ui_.UpdateAllViews();
        QVERIFY(!doc_->Uncertainty);
        QVERIFY(!Panel()->DecisionLabel()->isVisibleTo(Panel()));
        QVERIFY(!Panel()->GuardBandBar()->isVisibleTo(Panel()));
        doc_->Settings.ReferenceKind = ReferenceKind::LeastSquares;
        doc_->SetTolerance(std::nullopt);
        doc_->AnalyzeProfile();
    }

    void cancelOnTheProgressDisplayKeepsWhatWasShown()
    {
        QVERIFY(!doc_->Uncertainty);
        bool clicked = false;
        QTimer clicker;
        connect(&clicker, &QTimer::timeout, &progress_, [&] {
            if (!progress_.IsActive() || progress_.Bar()->Pos() == 0) return;
            clicker.stop();
            clicked = true;
            QTest::mouseClick(progress_.CancelButton(), Qt::LeftButton);
        });
        clicker.start(0);
        Simulate(QStringLiteral("0.5"), QStringLiteral("1000000"));
        QVERIFY(clicked);
        QVERIFY(!doc_->Uncertainty);
        QVERIFY(!progress_.isVisible());
        QVERIFY(!Panel()->DecisionLabel()->isVisibleTo(Panel()));
        // The request is remembered as asked.
        QCOMPARE(doc_->UncertaintyRequested.Draws, 1000000);
    }

    void requestRestoredOnlyWithTheOption()
    {
        UncertaintyRequest request;
        request.Model = {0.05, 0.01, 0.02, 0.001};
        request.Draws = 2500;
        request.Seed = 7;
        doc_->UncertaintyRequested = request;
        const auto reload = [] {
            QSettings store;
            return LoadAppSettings(store, AvailableScreenRects()).Uncertainty;
        };
        AppSettings settings = frame_->CurrentSettings();
        QCOMPARE(settings.Uncertainty, request);
        {
            QSettings store;
            SaveAppSettings(store, settings); // the option is off: nothing written
        }
        QCOMPARE(reload(), UncertaintyRequest{});
        settings.Options.RestoreSettings = true;
        {
            QSettings store;
            SaveAppSettings(store, settings);
            SaveOptions(store, settings.Options);
        }
        QCOMPARE(reload(), request);
        // Turned off: forgotten with the other restored values.
        {
            QSettings store;
            ForgetRestoredSettings(store);
        }
        QCOMPARE(reload(), UncertaintyRequest{});
        settings.Options.RestoreSettings = false;
        QSettings store;
        SaveOptions(store, settings.Options);
    }
};

QTEST_MAIN(UncertaintyWindowTest)
#include "UncertaintyWindow_test.moc"
