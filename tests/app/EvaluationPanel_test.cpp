// The evaluation panel and its menu items: the references with the report's
// one marked, numbers in µm and µin under any locale, the Tolerance dialog,
// the verdict's words and colour, View ▸ Evaluation, hovering the spectrum,
// evaluating only when the analysis changes, and the evaluation page in
// Print Preview (with the option) and File Export.

#include "AppTestSupport.h"

#include "app/AppSettings.h"
#include "app/CommandIds.h"
#include "app/EvaluationPanel.h"
#include "app/HarmonicChartWidget.h"
#include "app/MainFrame.h"
#include "app/QtUiPort.h"
#include "app/ToleranceDialog.h"
#include "document/KyklosDoc.h"
#include "document/ShownCertificate.h"
#include "view/KyklosView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <clocale>

using namespace kyklos;
using kyklos::test::AnswerNextMessageBox;
using kyklos::test::CountingProgress;
using kyklos::test::WhenModal;

namespace {

QString Cell(const QTableWidget* table, int row, int column) { return table->item(row, column)->text(); }

QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}

// A progress display that can be held up, as while the filter runs.
class HeldProgress final : public ProgressPort {
public:
    bool Show(std::string_view, std::string_view) override { return false; }
    void SetPos(int) override {}
    void PumpMessage() override {}
    bool IsActive() const override { return active; }
    void Close() override {}
    bool active = false;
};

} // namespace

class EvaluationPanelTest : public QObject {
    Q_OBJECT

private:
    CountingProgress progress_;
    QtUiPort ui_;
    std::unique_ptr<CKyklosDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    EvaluationPanel* Panel() const { return frame_->EvaluationDock(); }

    void SetMetric(bool metric)
    {
        frame_->View().Graph.MetricUnits = metric;
        Panel()->OnUnitsChanged();
    }

    // Runs Analysis ▸ Tolerance, types `text` and presses OK.
    void EnterTolerance(const QString& text, QString* shown = nullptr, QString* unit = nullptr)
    {
        const auto seen = WhenModal<ToleranceDialog>([=](ToleranceDialog* dialog) {
            if (shown) *shown = dialog->ValueEdit()->text();
            if (unit) *unit = dialog->UnitsLabel()->text();
            dialog->ValueEdit()->setText(text);
            dialog->OkButton()->click();
        });
        frame_->Action(ID_ANALYSIS_TOLERANCE)->trigger();
        QVERIFY(*seen);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().remove(QStringLiteral("Evaluation"));
        doc_ = std::make_unique<CKyklosDoc>(&ui_, &progress_);
        frame_ = std::make_unique<CMainFrame>(*doc_, ui_, nullptr);
        // Hidden until the user shows it.
        QVERIFY(Panel()->isHidden());
        Panel()->show();
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }

    void cleanupTestCase()
    {
        frame_.reset();
        doc_.reset();
        QSettings().remove(QStringLiteral("Evaluation"));
    }

    // Each test leaves the panel as it found it, also when it fails.
    void cleanup()
    {
        CancelModalDrivers();
        SetMetric(true);
        Panel()->SetRange(HarmonicRange::Upr50);
        Panel()->SetLogarithmic(false);
        doc_->SetTolerance(std::nullopt);
        Panel()->show();
        ui_.SetOtherViews([panel = Panel()] { panel->OnDocumentChanged(); });
    }

    void panelBesideThePage()
    {
        QCOMPARE(Panel()->objectName(), QStringLiteral("EvaluationPanel"));
        QCOMPARE(Panel()->windowTitle(), QStringLiteral("Evaluation"));
        QCOMPARE(frame_->dockWidgetArea(Panel()), Qt::RightDockWidgetArea);
        QVERIFY(Panel()->isVisible());
        QAction* view = frame_->Action(ID_VIEW_EVALUATION);
        QAction* tolerance = frame_->Action(ID_ANALYSIS_TOLERANCE);
        QVERIFY(view->isCheckable() && view->isChecked());
        QCOMPARE(view->statusTip(), QStringLiteral("Shows or hides the evaluation panel."));
        QCOMPARE(view->toolTip(), QStringLiteral("Evaluation"));
        QCOMPARE(tolerance->statusTip(), QStringLiteral("Sets or clears the roundness tolerance."));
        QCOMPARE(tolerance->toolTip(), QStringLiteral("Tolerance"));
    }

    void numbersInTheDisplayUnit_data()
    {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("ront"); // least squares, the report's reference
        QTest::addColumn<QString>("eccentricity");
        QTest::addColumn<QString>("ronq");
        // The report page of the demonstration profile: Roundness 11.899 µm, Eccentricity 4.519 µm.
        QTest::newRow("µm") << true << QStringLiteral("µm") << "11.899"
                            << "4.519"
                            << "2.576";
        QTest::newRow("µin") << false << QStringLiteral("µin") << "468.45"
                             << "177.92"
                             << "101.40";
    }

    void numbersInTheDisplayUnit()
    {
        QFETCH(bool, metric);
        QFETCH(QString, unit);
        QFETCH(QString, ront);
        QFETCH(QString, eccentricity);
        QFETCH(QString, ronq);
        // A comma-decimal locale in Qt and in the C library must not reach the numbers.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::string cLocale = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        SetMetric(metric);
        std::setlocale(LC_NUMERIC, cLocale.c_str());
        QLocale::setDefault(before);

        const QTableWidget* table = Panel()->ReferenceTable();
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("RONt (%1)").arg(unit));
        QCOMPARE(Cell(table, 0, 0), QStringLiteral("\u25CF"));
        for (int row = 1; row < 4; ++row) QCOMPARE(Cell(table, row, 0), QString());
        QCOMPARE(Cell(table, 0, 2), ront);
        QCOMPARE(Cell(table, 0, 3), eccentricity);
        QCOMPARE(Cell(table, 0, 4), QStringLiteral("25.96"));
        QCOMPARE(Panel()->ParameterLabel(2)->text(), ronq);
        // RONp + RONv is the least squares RONt.
        const double sum =
            Panel()->ParameterLabel(0)->text().toDouble() + Panel()->ParameterLabel(1)->text().toDouble();
        QVERIFY(std::abs(sum - ront.toDouble()) <= (metric ? 0.0015 : 0.015));
    }

    // What the exact check proved, per reference row; nothing for least squares.
    void certificatesInTheReferenceRows()
    {
        SetMetric(true);
        const QTableWidget* table = Panel()->ReferenceTable();
        QCOMPARE(table->horizontalHeaderItem(5)->text(), QStringLiteral("Optimality"));
        QCOMPARE(Cell(table, 0, 5), QString());
        const RoundnessEvaluation& e = doc_->Result.Evaluation;
        for (int row = 1; row < 4; ++row) {
            const Certificate& c = e.References[static_cast<std::size_t>(row)].Certificate;
            QCOMPARE(c.Checked, CertificateLevel::Exact);
            QVERIFY(c.Optimal);
            QCOMPARE(Cell(table, row, 5), c.GapMm == 0.0 ? QStringLiteral("optimal (proved)")
                                                         : QString::fromStdString(CertificateText(c, true)));
            QVERIFY(Cell(table, row, 5).startsWith(QStringLiteral("optimal ")));
        }
    }

    void largestHarmonicsOfTheFilteredProfile()
    {
        const QTableWidget* table = Panel()->HarmonicTable();
        QCOMPARE(table->columnCount(), 4);
        const QStringList headers{QStringLiteral("UPR"), QStringLiteral("Filtered (µm)"), QStringLiteral("Raw (µm)"),
                                  QStringLiteral("First peak (deg)")};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(table->horizontalHeaderItem(column)->text(), headers[column]);
        // The demonstration at 50 UPR: 14 UPR leads, filtered beside raw.
        const std::vector<HarmonicComponent>& spectrum = doc_->Result.Evaluation.Harmonics;
        const HarmonicComponent& fourteen = spectrum[13];
        QCOMPARE(Cell(table, 0, 0), QStringLiteral("14"));
        QCOMPARE(Cell(table, 0, 1), QString::number(fourteen.FilteredAmplitude * 1000.0, 'f', 3));
        QCOMPARE(Cell(table, 0, 2), QString::number(fourteen.Amplitude * 1000.0, 'f', 3));
        QCOMPARE(Cell(table, 0, 3), QStringLiteral("0.04")); // φ = 0.52°: the first of 14 peaks at φ/14
        // The 3-lobe form's first peak lies at a third of its phase, 90.61°.
        QCOMPARE(Cell(table, 1, 0), QStringLiteral("3"));
        QCOMPARE(Cell(table, 1, 3), QStringLiteral("30.20"));
    }

    void markFollowsTheReportsReference()
    {
        const std::uint64_t evaluations = RoundnessEvaluationCount();
        doc_->Settings.ReferenceKind = ReferenceKind::MinimumZone;
        doc_->AnalyzeProfile();
        ui_.UpdateAllViews();
        // The panel shows the document's evaluation: none of its own.
        QCOMPARE(RoundnessEvaluationCount(), evaluations + 1);
        const QTableWidget* table = Panel()->ReferenceTable();
        QCOMPARE(Cell(table, 0, 0), QString());
        QCOMPARE(Cell(table, 1, 0), QStringLiteral("\u25CF"));
        QVERIFY(table->item(1, 2)->font().bold() && !table->item(0, 2)->font().bold());
        // The marked row is the page's Roundness.
        QCOMPARE(Cell(table, 1, 2), QString::number((doc_->Result.Peak - doc_->Result.Valley) * 1000.0, 'f', 3));
        doc_->Settings.ReferenceKind = ReferenceKind::LeastSquares;
        doc_->AnalyzeProfile();
        ui_.UpdateAllViews();
    }

    void warningsForAThinlySampledProfile()
    {
        QVERIFY(Panel()->WarningsLabel()->isHidden());
        QTemporaryDir dir;
        CKyklosDoc thin;
        thin.Settings.FilterCutoffUpr = 500;
        thin.OpenProfile(test::WriteFile(dir, "thin.kyk", test::ProfileText(720)));
        QVERIFY(thin.AnalysisValid);
        EvaluationPanel panel(thin, frame_->View(), nullptr);
        QVERIFY(!panel.WarningsLabel()->isHidden());
        QVERIFY2(panel.WarningsLabel()->text().contains(QStringLiteral("720 points")),
                 qPrintable(panel.WarningsLabel()->text()));
        QCOMPARE(panel.RangeBox()->itemText(3), QStringLiteral("All (360 UPR)"));
    }

    void notesOnlyBeyondTheDefault()
    {
        // The default analysis notes nothing; samples left out are noted, a line each.
        QVERIFY(Panel()->NotesLabel()->isHidden());
        const RoundnessEvaluation kept = doc_->Result.Evaluation;
        doc_->Result.Evaluation.SamplesExcluded = 301;
        doc_->Result.Evaluation.SamplesUsed = 3299;
        Panel()->OnDocumentChanged();
        const bool shown = !Panel()->NotesLabel()->isHidden();
        const QString text = Panel()->NotesLabel()->text();
        doc_->Result.Evaluation = kept;
        Panel()->OnDocumentChanged();
        QVERIFY(shown);
        QCOMPARE(text, QStringLiteral("Samples used: 3299 of 3600, 301 excluded"));
        QVERIFY(Panel()->NotesLabel()->isHidden());
    }

    void toleranceSetsJudgesAndClears()
    {
        const std::uint64_t evaluations = RoundnessEvaluationCount();
        const QColor pass(0, 128, 0), fail(192, 0, 0), none(128, 128, 128);
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("\u2014"));
        QCOMPARE(TextColour(Panel()->VerdictLabel()), none);
        const auto remembered = [] {
            QSettings store;
            return LoadAppSettings(store, AvailableScreenRects()).Analysis.Tolerance;
        };

        // RONt 11.899 µm against 12 and 11.5 µm: the verdict names what it judged.
        EnterTolerance(QStringLiteral(" 12 "));
        QVERIFY(doc_->Settings.Tolerance == (RoundnessTolerance{12.0, true}));
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("RONt LSCI ≤ 12.000 µm: Pass"));
        QCOMPARE(TextColour(Panel()->VerdictLabel()), pass);
        QCOMPARE(Panel()->MarginLabel()->text(), QStringLiteral("0.101 µm"));
        EnterTolerance(QStringLiteral("11.5"));
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("RONt LSCI > 11.500 µm: Fail"));
        QCOMPARE(TextColour(Panel()->VerdictLabel()), fail);
        QCOMPARE(Panel()->MarginLabel()->text(), QStringLiteral("-0.399 µm"));
        // A tolerance a hair under RONt, typed to the fourth decimal: RONt is
        // shown with as many, and above it.
        const double ront = (doc_->Result.Peak - doc_->Result.Valley) * 1000.0;
        const QString hair = QString::number(std::floor(ront * 10000.0) / 10000.0, 'f', 4);
        EnterTolerance(hair);
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("RONt LSCI > %1 µm: Fail").arg(hair));
        const QString shownRont = Cell(Panel()->ReferenceTable(), 0, 2);
        QVERIFY2(shownRont.size() >= hair.size() && shownRont.toDouble() > hair.toDouble(), qPrintable(shownRont));
        QCOMPARE(Cell(Panel()->ReferenceTable(), 1, 2).section(QLatin1Char('.'), 1).size(), 4);
        EnterTolerance(QStringLiteral("11.5"));
        // Remembered in the one settings store, as typed.
        QVERIFY(remembered() == (RoundnessTolerance{11.5, true}));

        // In microinches the dialog shows and takes microinches.
        SetMetric(false);
        QString shown, unit;
        QCOMPARE(Panel()->ToleranceLabel()->text(), QStringLiteral("452.76 µin"));
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("RONt LSCI > 11.500 µm: Fail"));
        EnterTolerance(QStringLiteral("500"), &shown, &unit);
        QCOMPARE(shown, QStringLiteral("452.755905511811"));
        QCOMPARE(Panel()->ToleranceLabel()->text(), QStringLiteral("500.00 µin"));
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("RONt LSCI ≤ 500.00 µin: Pass"));
        QCOMPARE(unit, QStringLiteral("µin"));
        QVERIFY(doc_->Settings.Tolerance == (RoundnessTolerance{500.0, false}));
        QCOMPARE(Panel()->MarginLabel()->text(), QStringLiteral("31.55 µin"));
        // OK on the value as shown keeps it as typed.
        EnterTolerance(QStringLiteral("500"));
        QVERIFY(doc_->Settings.Tolerance == (RoundnessTolerance{500.0, false}));
        SetMetric(true);

        // Refused texts keep the dialog open with the one message of the
        // tolerance rule; an empty field clears.
        QStringList messages;
        const auto seen = WhenModal<ToleranceDialog>([&messages](ToleranceDialog* dialog) {
            for (const char* text : {"abc", "1,5", "-3", "0"}) {
                const auto answer = AnswerNextMessageBox();
                dialog->ValueEdit()->setText(QString::fromLatin1(text));
                dialog->OkButton()->click();
                messages << answer->text;
                if (!dialog->isVisible()) return;
            }
            dialog->ValueEdit()->clear();
            dialog->OkButton()->click();
        });
        frame_->Action(ID_ANALYSIS_TOLERANCE)->trigger();
        QVERIFY(*seen);
        // A decimal comma is told apart.
        const QString rule = QStringLiteral("The tolerance must be a positive number.");
        QCOMPARE(messages,
                 (QStringList{rule, "The tolerance must be a positive number, with a full stop as the decimal sign.",
                              rule, rule}));
        QVERIFY(!doc_->Settings.Tolerance);
        QCOMPARE(Panel()->VerdictLabel()->text(), QStringLiteral("\u2014"));
        QCOMPARE(TextColour(Panel()->VerdictLabel()), none);
        QCOMPARE(Panel()->MarginLabel()->text(), QStringLiteral("\u2014"));
        QVERIFY(!remembered());
        // A tolerance judges the document's evaluation; it never evaluates again.
        QCOMPARE(RoundnessEvaluationCount(), evaluations);
    }

    void choicesReportedAndRemembered()
    {
        const auto remembered = [] {
            QSettings store;
            return LoadAppSettings(store, AvailableScreenRects()).Evaluation;
        };
        int reported = 0;
        const QMetaObject::Connection counting =
            connect(Panel(), &EvaluationPanel::ChoicesChanged, this, [&reported] { ++reported; });
        Panel()->SetRange(HarmonicRange::Upr500);
        Panel()->SetLogarithmic(true);
        Panel()->SetLogarithmic(true);
        QCOMPARE(reported, 2);
        QCOMPARE(remembered(), (EvaluationChoices{HarmonicRange::Upr500, true}));
        // Choices handed over, as a restored window does: shown, not reported.
        Panel()->SetChoices({HarmonicRange::Upr150, false});
        disconnect(counting);
        QCOMPARE(reported, 2);
        QCOMPARE(Panel()->RangeBox()->currentIndex(), 1);
        QVERIFY(!Panel()->LogarithmicBox()->isChecked());
        QCOMPARE(Panel()->Chart()->Options().Range, HarmonicRange::Upr150);
        QCOMPARE(remembered(), (EvaluationChoices{HarmonicRange::Upr500, true}));
    }

    void viewMenuTogglesTheDock()
    {
        QAction* action = frame_->Action(ID_VIEW_EVALUATION);
        action->trigger();
        QVERIFY(Panel()->isHidden());
        QVERIFY(!action->isChecked());
        action->trigger();
        QVERIFY(Panel()->isVisible());
        QVERIFY(action->isChecked());
        // Closed from its own title bar: the check mark follows.
        Panel()->close();
        QVERIFY(!action->isChecked());

        // The window state keeps it closed.
        const QByteArray state = frame_->saveState();
        CMainFrame other(*doc_, ui_, nullptr);
        QVERIFY(other.restoreState(state));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(other.EvaluationDock()->isHidden());
        QVERIFY(!other.Action(ID_VIEW_EVALUATION)->isChecked());
        // cleanup() gives the document's redraws back to this window's panel.
    }

    void keyboardReachesTheSpectrumChoices()
    {
        QComboBox* range = Panel()->RangeBox();
        QCOMPARE(range->nextInFocusChain(), static_cast<QWidget*>(Panel()->LogarithmicBox()));
        range->setFocus();
        QTest::keyClick(range, Qt::Key_Down);
        QCOMPARE(Panel()->Choices().Range, HarmonicRange::Upr150);
        QTest::keyClick(Panel()->LogarithmicBox(), Qt::Key_Space);
        QVERIFY(Panel()->Choices().Logarithmic);
        QTest::keyClick(range, Qt::Key_End);
        QCOMPARE(Panel()->Choices().Range, HarmonicRange::All);
        QCOMPARE(range->currentText(), QStringLiteral("All (1800 UPR)"));
    }

    void hoverNamesTheHarmonic()
    {
        HarmonicChartWidget* chart = Panel()->Chart();
        chart->Render();
        // Bar 14 of 50, in widget pixels from the image's device pixels.
        const HarmonicBar bar = chart->Layout().Bars.at(13);
        QCOMPARE(bar.Harmonic, 14);
        const qreal ratio = chart->Image().devicePixelRatio();
        const QPoint at(static_cast<int>((bar.Left + bar.Right) / 2 / ratio),
                        static_cast<int>((chart->Layout().Plot.bottom - 2) / ratio));
        const QString text = chart->ToolTipAt(at);
        // The raw 3-lobe at φ = 0.52° has its first peak at 0.52°/14.
        QVERIFY2(text.startsWith(QStringLiteral("UPR: 14\n½ peak-to-valley, filtered: ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\n½ peak-to-valley, raw: 3.050 µm\n")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\nFirst peak: 0.04 deg")), qPrintable(text));
        QHelpEvent help(QEvent::ToolTip, at, chart->mapToGlobal(at));
        QApplication::sendEvent(chart, &help);
        QCOMPARE(QToolTip::text(), text);
        // Above the plot no bar.
        QCOMPARE(chart->ToolTipAt(QPoint(at.x(), 0)), QString());
    }

    void chartTextIsAsLargeAsThePanels()
    {
        HarmonicChartWidget* chart = Panel()->Chart();
        chart->Render();
        const qreal ratio = chart->Image().devicePixelRatio();
        const int panelText = static_cast<int>(QFontMetricsF(Panel()->VerdictLabel()->font()).height() * ratio);
        QVERIFY2(chart->Layout().FontHeight >= panelText,
                 qPrintable(QStringLiteral("%1 < %2").arg(chart->Layout().FontHeight).arg(panelText)));
        QCOMPARE(QString::fromStdString(chart->Layout().Font.face), chart->fontInfo().family());
        // The plot keeps room at the chart's smallest.
        chart->resize(chart->minimumSizeHint());
        chart->Render();
        QVERIFY(chart->Layout().Plot.Height() >= 2 * chart->Layout().FontHeight);
    }

    void showsTheDocumentOnlyOnceTheFilterIsDone()
    {
        HeldProgress held;
        EvaluationPanel panel(*doc_, frame_->View(), &held);
        QCOMPARE(Cell(panel.ReferenceTable(), 0, 0), QStringLiteral("\u25CF"));
        held.active = true;
        doc_->Settings.ReferenceKind = ReferenceKind::MinimumZone;
        doc_->AnalyzeProfile();
        panel.OnDocumentChanged();
        QTest::qWait(250);
        QCOMPARE(Cell(panel.ReferenceTable(), 0, 0), QStringLiteral("\u25CF"));
        held.active = false;
        QTRY_COMPARE(Cell(panel.ReferenceTable(), 1, 0), QStringLiteral("\u25CF"));
        doc_->Settings.ReferenceKind = ReferenceKind::LeastSquares;
        doc_->AnalyzeProfile();
        ui_.UpdateAllViews();
    }

    void printPreviewAddsTheEvaluationPageWithTheOption()
    {
        const auto previewPages = [this] {
            int pages = -1;
            WhenModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* dialog) {
                if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
                    preview->updatePreview();
                    pages = preview->pageCount();
                }
                dialog->reject();
            });
            frame_->Action(ID_FILE_PRINT_PREVIEW)->trigger();
            return pages;
        };
        // One page, also while the panel is shown, unless the option asks for the evaluation page.
        QCOMPARE(previewPages(), 1);
        frame_->SetOptions({.PrintEvaluationPage = true});
        // The evaluation page draws the document's evaluation: printing evaluates nothing again.
        const std::uint64_t evaluations = RoundnessEvaluationCount();
        QCOMPARE(previewPages(), 2);
        QCOMPARE(RoundnessEvaluationCount(), evaluations);
        frame_->Action(ID_VIEW_EVALUATION)->trigger();
        QCOMPARE(previewPages(), 2);
        frame_->SetOptions({});
        QCOMPARE(previewPages(), 1);
    }

    void exportOffersTheEvaluationPage()
    {
        QTemporaryDir dir;
        const auto exportAs = [this](const QString& path, std::optional<bool> include) {
            bool offered = false;
            WhenModal<QFileDialog>([&](QFileDialog* dialog) {
                auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("includeEvaluationPage"));
                QVERIFY(box);
                QCOMPARE(box->text(), QStringLiteral("Include the evaluation page"));
                offered = box->isChecked();
                if (include) box->setChecked(*include);
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
                QMetaObject::invokeMethod(dialog, "accept");
            });
            frame_->Action(ID_FILE_EXPORT)->trigger();
            return offered;
        };
        // Checked while the panel is shown.
        QVERIFY(exportAs(dir.filePath("both.pdf"), std::nullopt));
        QCOMPARE(PdfPageCount(dir.filePath("both.pdf")), 2);
        QVERIFY(exportAs(dir.filePath("report.png"), false));
        QVERIFY(QFile::exists(dir.filePath("report.png")));
        QVERIFY(!QFile::exists(dir.filePath("report-evaluation.png")));
        frame_->Action(ID_VIEW_EVALUATION)->trigger();
        QVERIFY(!exportAs(dir.filePath("one.pdf"), std::nullopt));
        QCOMPARE(PdfPageCount(dir.filePath("one.pdf")), 1);
    }
};

QTEST_MAIN(EvaluationPanelTest)
#include "EvaluationPanel_test.moc"
