#include "app/EvaluationPanel.h"

#include "app/EvaluationText.h"
#include "app/HarmonicChartWidget.h"
#include "app/VerdictBar.h"
#include "document/KyklosDoc.h"
#include "document/ShownCertificate.h"
#include "document/ShownResults.h"
#include "document/ShownVerdict.h"
#include "platform/ProgressPort.h"
#include "platform/Units.h"
#include "view/EvaluationPage.h"
#include "view/KyklosView.h"

#include "platform/TextEncoding.h"
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace kyklos {

namespace {

constexpr HarmonicRange kRanges[] = {HarmonicRange::Upr50, HarmonicRange::Upr150, HarmonicRange::Upr500,
                                     HarmonicRange::All};
const char* const kRangeCaptions[] = {"50 UPR", "150 UPR", "500 UPR", "All"};

// Short enough for a narrow panel; the full names are the cells' tooltips.
const char* const kReferenceNames[] = {"Least Squares", "Minimum Zone", "Max. Inscribed", "Min. Circumscribed"};
const char* const kReferenceFullNames[] = {"Least squares circle", "Minimum zone circles", "Maximum inscribed circle",
                                           "Minimum circumscribed circle"};
const char* const kParameterNames[] = {"RONp:", "RONv:", "RONq:"};
// Selected mark, name, RONt, eccentricity, its angle, and what the exact check proved.
constexpr int kReferenceColumns = 6;
constexpr int kCertificateColumn = 5;
constexpr int kLargestShown = 5;

const QColor kPassColour(0, 128, 0);
const QColor kFailColour(192, 0, 0);
const QColor kNoVerdictColour(128, 128, 128);
const QColor kUndecidedColour(176, 112, 0);

int RangeIndex(HarmonicRange range)
{
    return static_cast<int>(std::find(std::begin(kRanges), std::end(kRanges), range) - std::begin(kRanges));
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// A table exactly as tall as its rows: the panel scrolls as a whole.
QTableWidget* MakeTable(int rows, int columns, QWidget* parent)
{
    auto* table = new QTableWidget(rows, columns, parent);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    // Never narrower than its columns: the dock widens instead.
    table->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

} // namespace

EvaluationPanel::EvaluationPanel(const CKyklosDoc& doc, const CKyklosView& view, const ProgressPort* progress,
                                 QWidget* parent)
    : QDockWidget(QStringLiteral("Evaluation"), parent), doc_(doc), view_(view), progress_(progress)
{
    setObjectName(QStringLiteral("EvaluationPanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    // Where the profile came from: file type, columns and units.
    sourceLabel_ = new QLabel(content);
    sourceLabel_->setWordWrap(true);
    sourceLabel_->setTextFormat(Qt::PlainText);
    layout->addWidget(sourceLabel_);
    layout->addWidget(CreateReferenceGroup());
    layout->addWidget(CreateParameterGroup());
    layout->addWidget(CreateToleranceGroup());
    // The filter, spikes, samples and coverage when they are not the default ones.
    notesLabel_ = new QLabel(content);
    notesLabel_->setWordWrap(true);
    notesLabel_->setTextFormat(Qt::PlainText);
    notesLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(notesLabel_);
    warningsLabel_ = new QLabel(content);
    warningsLabel_->setWordWrap(true);
    warningsLabel_->setTextFormat(Qt::PlainText);
    QPalette warningPalette = warningsLabel_->palette();
    warningPalette.setColor(QPalette::WindowText, QColor(160, 80, 0));
    warningsLabel_->setPalette(warningPalette);
    layout->addWidget(warningsLabel_);
    layout->addWidget(CreateSpectrumGroup(), 1);

    scroll_ = new QScrollArea(this);
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Scrolled up and down only: the dock keeps the width of the tables.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(scroll_);
    content->installEventFilter(this);

    // Keyboard order: the table to read, then the spectrum's two choices, then its list.
    setTabOrder(referenceTable_, rangeBox_);
    setTabOrder(rangeBox_, logarithmicBox_);
    setTabOrder(logarithmicBox_, harmonicTable_);

    OnDocumentChanged();
}

QWidget* EvaluationPanel::CreateReferenceGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Reference circles"));
    referenceTable_ = MakeTable(4, kReferenceColumns, group);
    referenceTable_->setAccessibleName(QStringLiteral("Reference circles"));
    for (int row = 0; row < 4; ++row) {
        referenceTable_->setItem(row, 0, Cell(QString(), Qt::AlignCenter));
        referenceTable_->setItem(row, 1,
                                 Cell(QString::fromLatin1(kReferenceNames[row]), Qt::AlignLeft | Qt::AlignVCenter));
        referenceTable_->item(row, 1)->setToolTip(QString::fromLatin1(kReferenceFullNames[row]));
        for (int column = 2; column < kReferenceColumns - 1; ++column)
            referenceTable_->setItem(row, column, Cell(kNoValueQText));
        referenceTable_->setItem(row, kCertificateColumn, Cell(QString(), Qt::AlignLeft | Qt::AlignVCenter));
    }
    auto* box = new QVBoxLayout(group);
    box->addWidget(referenceTable_);
    return group;
}

QWidget* EvaluationPanel::CreateParameterGroup()
{
    auto* group = new QGroupBox(QStringLiteral("About the least squares circle"));
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(kParameterNames[i]), group), i, 0);
        parameterLabels_[i] = new QLabel(kNoValueQText, group);
        parameterLabels_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        parameterLabels_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(parameterLabels_[i], i, 1);
        parameterUnits_[i] = new QLabel(group);
        grid->addWidget(parameterUnits_[i], i, 2);
    }
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* EvaluationPanel::CreateToleranceGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Tolerance"));
    auto* grid = new QGridLayout(group);
    toleranceLabel_ = new QLabel(group);
    verdictLabel_ = new QLabel(group);
    QFont bold = verdictLabel_->font();
    bold.setBold(true);
    verdictLabel_->setFont(bold);
    marginLabel_ = new QLabel(group);
    const std::pair<const char*, QLabel*> rows[] = {
        {"Tolerance:", toleranceLabel_}, {"Verdict:", verdictLabel_}, {"Margin:", marginLabel_}};
    int row = 0;
    for (const auto& [caption, label] : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), group), row, 0);
        grid->addWidget(label, row++, 1);
    }
    CreateUncertaintyRows(grid, row);
    grid->setColumnStretch(1, 1);
    return group;
}

void EvaluationPanel::CreateUncertaintyRows(QGridLayout* grid, int row)
{
    QWidget* group = grid->parentWidget();
    decisionCaption_ = new QLabel(QStringLiteral("Decision:"), group);
    decisionLabel_ = new QLabel(group);
    decisionLabel_->setFont(verdictLabel_->font());
    decisionLabel_->setToolTip(QStringLiteral("ISO 14253-1: conforms when RONt + U \u2264 t, does not conform when "
                                              "RONt \u2212 U > t"));
    expandedCaption_ = new QLabel(QStringLiteral("U (k = 2):"), group);
    expandedLabel_ = new QLabel(group);
    verdictBar_ = new VerdictBar(group);
    grid->addWidget(decisionCaption_, row, 0);
    grid->addWidget(decisionLabel_, row, 1);
    grid->addWidget(expandedCaption_, row + 1, 0);
    grid->addWidget(expandedLabel_, row + 1, 1);
    grid->addWidget(verdictBar_, row + 2, 0, 1, 2);
    for (QWidget* widget : {static_cast<QWidget*>(decisionCaption_), static_cast<QWidget*>(decisionLabel_),
                            static_cast<QWidget*>(expandedCaption_), static_cast<QWidget*>(expandedLabel_),
                            static_cast<QWidget*>(verdictBar_)})
        widget->hide();
}

QWidget* EvaluationPanel::CreateSpectrumGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Harmonic spectrum"));
    rangeBox_ = new QComboBox(group);
    for (const char* caption : kRangeCaptions) rangeBox_->addItem(QString::fromLatin1(caption));
    rangeBox_->setCurrentIndex(RangeIndex(choices_.Range));
    auto* rangeLabel = new QLabel(QStringLiteral("&Range:"), group);
    rangeLabel->setBuddy(rangeBox_);
    logarithmicBox_ = new QCheckBox(QStringLiteral("&Logarithmic"), group);
    logarithmicBox_->setChecked(choices_.Logarithmic);

    chart_ = new HarmonicChartWidget(group);
    chart_->setMinimumHeight(200);
    chart_->SetOptions({choices_.Range, choices_.Logarithmic});

    harmonicTable_ = MakeTable(kLargestShown, 4, group);
    harmonicTable_->setAccessibleName(QStringLiteral("Largest harmonics"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(rangeLabel);
    controls->addWidget(rangeBox_);
    controls->addSpacing(12);
    controls->addWidget(logarithmicBox_);
    controls->addStretch(1);
    auto* box = new QVBoxLayout(group);
    box->addLayout(controls);
    box->addWidget(chart_, 1);
    box->addWidget(new QLabel(QStringLiteral("Largest harmonics (\u00BD peak-to-valley):"), group));
    box->addWidget(harmonicTable_);

    connect(rangeBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < 4) SetRange(kRanges[index]);
    });
    connect(logarithmicBox_, &QCheckBox::toggled, this, &EvaluationPanel::SetLogarithmic);
    return group;
}

void EvaluationPanel::OnDocumentChanged()
{
    // While the filter runs the profile is half filtered: evaluate once it is done.
    if (progress_ && progress_->IsActive()) {
        if (!evaluationPending_) {
            evaluationPending_ = true;
            QTimer::singleShot(100, this, [this] {
                evaluationPending_ = false;
                OnDocumentChanged();
            });
        }
        return;
    }
    // The document evaluated its analysis once; the panel only shows it.
    evaluation_ = doc_.AnalysisValid ? &doc_.Result.Evaluation : &noEvaluation_;
    const std::string& source = doc_.Profile.SourceDescription;
    sourceLabel_->setText(QString::fromStdString(DisplayText(source)));
    sourceLabel_->setVisible(!source.empty());
    ShowChart();
    ShowEvaluation();
}

void EvaluationPanel::OnUnitsChanged()
{
    ShowChart();
    ShowEvaluation();
}

void EvaluationPanel::SetChoices(const EvaluationChoices& choices)
{
    // Taken first: the boxes' signals then find nothing changed to report.
    choices_ = choices;
    rangeBox_->setCurrentIndex(RangeIndex(choices_.Range));
    logarithmicBox_->setChecked(choices_.Logarithmic);
    chart_->SetOptions({choices_.Range, choices_.Logarithmic});
}

void EvaluationPanel::SetRange(HarmonicRange range)
{
    if (rangeBox_->currentIndex() != RangeIndex(range)) rangeBox_->setCurrentIndex(RangeIndex(range));
    if (choices_.Range == range) return;
    choices_.Range = range;
    chart_->SetOptions({choices_.Range, choices_.Logarithmic});
    emit ChoicesChanged(choices_);
}

void EvaluationPanel::SetLogarithmic(bool logarithmic)
{
    if (logarithmicBox_->isChecked() != logarithmic) logarithmicBox_->setChecked(logarithmic);
    if (choices_.Logarithmic == logarithmic) return;
    choices_.Logarithmic = logarithmic;
    chart_->SetOptions({choices_.Range, choices_.Logarithmic});
    emit ChoicesChanged(choices_);
}

void EvaluationPanel::ShowChart()
{
    const bool metric = view_.Graph.MetricUnits;
    chart_->SetData(evaluation_->Valid ? HarmonicChartDataOf(*evaluation_, metric) : HarmonicChartData{{}, {}, metric});
}

void EvaluationPanel::ShowEvaluation()
{
    const bool metric = view_.Graph.MetricUnits;
    const QString unit = LengthUnitText(metric);
    const RoundnessEvaluation& e = *evaluation_;

    referenceTable_->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Reference"), QStringLiteral("RONt (%1)").arg(unit),
         QStringLiteral("Ecc. (%1)").arg(unit), QStringLiteral("Angle (deg)"), QStringLiteral("Optimality")});
    for (int row = 0; row < 4; ++row) {
        const ReferenceEvaluation& r = e.References[static_cast<std::size_t>(row)];
        const bool shown = e.Valid && r.FitValid && r.RONt.has_value();
        const bool selected = e.Valid && row == ReferenceIndex(e.SelectedReference);
        referenceTable_->item(row, 0)->setText(selected ? QStringLiteral("\u25CF") : QString());
        referenceTable_->item(row, 0)->setToolTip(selected ? QStringLiteral("The report's reference") : QString());
        // With at least the tolerance's decimals: no shown RONt contradicts the verdict.
        const ReferenceKind kind = kReferenceKinds[static_cast<std::size_t>(row)];
        // A centre that is not unique: the RONt marked, its range in the tooltip (and in the warnings).
        const std::string note = shown ? CentreNote(e, kind, metric) : std::string();
        referenceTable_->item(row, 2)->setText(shown ? ToQString(RoundnessText(e, kind, metric)) +
                                                           (note.empty() ? QString() : QStringLiteral(" *"))
                                                     : kNoValueQText);
        referenceTable_->item(row, 2)->setToolTip(note.empty() ? QString()
                                                               : QStringLiteral("RONt ") +
                                                                     referenceTable_->item(row, 2)->text().chopped(2) +
                                                                     QStringLiteral(" ") + unit + ToQString(note));
        referenceTable_->item(row, 3)->setText(shown ? LengthText(r.Eccentricity, metric) : kNoValueQText);
        referenceTable_->item(row, 4)->setText(
            shown && EccentricityAngleShown(r.Eccentricity) ? DegreesText(r.EccentricityAngle) : kNoValueQText);
        referenceTable_->item(row, kCertificateColumn)
            ->setText(shown ? ToQString(CertificateText(r.Certificate, metric)) : QString());
        for (int column = 0; column < kReferenceColumns; ++column) {
            QFont font = referenceTable_->font();
            font.setBold(selected);
            referenceTable_->item(row, column)->setFont(font);
        }
    }

    const bool parameters = e.Valid && e.Reference(ReferenceKind::LeastSquares).FitValid;
    const double values[3] = {e.RONp, e.RONv, e.RONq};
    for (int i = 0; i < 3; ++i) {
        parameterLabels_[i]->setText(parameters ? LengthText(values[i], metric) : kNoValueQText);
        parameterUnits_[i]->setText(unit);
    }

    QStringList notes;
    for (const std::string& note : EvaluationNotes(e)) notes << ToQString(note);
    notesLabel_->setText(notes.join(QLatin1Char('\n')));
    notesLabel_->setVisible(!notes.isEmpty());

    QStringList warnings;
    if (e.Valid)
        for (const std::string& warning : e.Warnings) warnings << QString::fromStdString(warning);
    warningsLabel_->setText(warnings.join(QLatin1Char('\n')));
    warningsLabel_->setVisible(!warnings.isEmpty());

    const int half = e.Valid ? static_cast<int>(e.Harmonics.size()) : 0;
    rangeBox_->setItemText(3, half > 0 ? QStringLiteral("All (%1 UPR)").arg(half) : QStringLiteral("All"));

    // The filtered profile's largest undulations, the raw amplitude beside it, and where each peaks first.
    harmonicTable_->setHorizontalHeaderLabels({QStringLiteral("UPR"), QStringLiteral("Filtered (%1)").arg(unit),
                                               QStringLiteral("Raw (%1)").arg(unit),
                                               QStringLiteral("First peak (deg)")});
    const std::vector<HarmonicComponent> largest =
        e.Valid ? LargestHarmonics(e, kLargestShown) : std::vector<HarmonicComponent>{};
    for (int row = 0; row < kLargestShown; ++row) {
        QString texts[4];
        if (static_cast<std::size_t>(row) < largest.size()) {
            const HarmonicComponent& h = largest[static_cast<std::size_t>(row)];
            texts[0] = QString::number(h.Upr);
            texts[1] = LengthText(h.FilteredAmplitude, metric);
            texts[2] = LengthText(h.Amplitude, metric);
            texts[3] = DegreesText(h.FirstPeakAngle * 180.0 / std::numbers::pi);
        }
        for (int column = 0; column < 4; ++column) harmonicTable_->setItem(row, column, Cell(texts[column]));
    }
    ShowVerdict();
}

void EvaluationPanel::ShowVerdict()
{
    const bool metric = view_.Graph.MetricUnits;
    const QString unit = LengthUnitText(metric);
    const RoundnessEvaluation& e = *evaluation_;
    const std::optional<RoundnessTolerance>& t = doc_.Settings.Tolerance;
    toleranceLabel_->setText(t ? ToQString(ToleranceText(*t, metric)) + " " + unit : QStringLiteral("not set"));

    // What was judged, against the tolerance as typed: "RONt LSCI ≤ 12.000 µm: Pass".
    verdictLabel_->setText(ToQString(VerdictLine(e)));
    QPalette palette = verdictLabel_->palette();
    palette.setColor(QPalette::WindowText, e.Verdict == ToleranceVerdict::Pass   ? kPassColour
                                           : e.Verdict == ToleranceVerdict::Fail ? kFailColour
                                                                                 : kNoVerdictColour);
    verdictLabel_->setPalette(palette);
    marginLabel_->setText(e.MarginUm ? ToQString(MarginText(e, metric)) + " " + unit : kNoValueQText);
    ShowUncertainty();
}

void EvaluationPanel::ShowUncertainty()
{
    const RoundnessEvaluation& e = *evaluation_;
    const UncertaintyResult* u =
        doc_.Uncertainty && evaluation_ == &doc_.Result.Evaluation ? &*doc_.Uncertainty : nullptr;
    for (QWidget* widget : {static_cast<QWidget*>(decisionCaption_), static_cast<QWidget*>(decisionLabel_),
                            static_cast<QWidget*>(expandedCaption_), static_cast<QWidget*>(expandedLabel_)})
        widget->setVisible(u != nullptr);
    const std::optional<RoundnessTolerance>& t = doc_.Settings.Tolerance;
    // The bar needs all three: RONt, U and the tolerance.
    std::optional<VerdictBar::Values> bar;
    if (u && u->ExpandedUncertainty && t && e.Valid && e.Selected().RONt)
        bar = VerdictBar::Values{*e.Selected().RONt, *u->ExpandedUncertainty,
                                 ShownToMicrometres(t->Value, t->Metric) * kMillimetresPerMicrometre};
    verdictBar_->SetValues(bar);
    verdictBar_->setVisible(bar.has_value());
    if (!u) return;

    const bool metric = view_.Graph.MetricUnits;
    expandedLabel_->setText(u->ExpandedUncertainty
                                ? LengthText(*u->ExpandedUncertainty, metric) + " " + LengthUnitText(metric)
                                : kNoValueQText);
    decisionLabel_->setText(ToQString(DecisionText(u->Decision)));
    QPalette palette = decisionLabel_->palette();
    palette.setColor(QPalette::WindowText, u->Decision == ConformityDecision::Conforms         ? kPassColour
                                           : u->Decision == ConformityDecision::DoesNotConform ? kFailColour
                                           : u->Decision == ConformityDecision::Undecided      ? kUndecidedColour
                                                                                               : kNoVerdictColour);
    decisionLabel_->setPalette(palette);
}

void EvaluationPanel::setVisible(bool visible)
{
    QDockWidget::setVisible(visible);
    toggleViewAction()->setChecked(visible);
}

bool EvaluationPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Numbers and units in microinches are wider, and fonts and style are the
    // window's only once it is shown: the dock follows the tables' width.
    if (watched == scroll_->widget() && event->type() == QEvent::LayoutRequest)
        scroll_->setMinimumWidth(scroll_->widget()->minimumSizeHint().width() +
                                 scroll_->verticalScrollBar()->sizeHint().width());
    return QDockWidget::eventFilter(watched, event);
}

} // namespace kyklos
