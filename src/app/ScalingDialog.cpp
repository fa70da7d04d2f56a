#include "app/ScalingDialog.h"

#include "view/DisplayScale.h"
#include "view/KyklosView.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

namespace {

const QString kMicrometresPerDivision = QStringLiteral("µm / div");
const QString kMicroinchesPerDivision = QStringLiteral("µin / div");

// Inside the dialog a unit switch keeps simple scale values: 1 µm/div becomes
// 40 µin/div and back, not 39.37.
constexpr double kMetricToInchInDialog = 40.0;
constexpr double kInchToMetricInDialog = 0.025;

// Half the band (two divisions) in micrometres, as microinches per division.
constexpr double kBandToMicroinchesPerDivision = 0.5 / kyklos::kMicrometresPerMicroinch;

using kyklos::HighestScale;
using kyklos::LowestScale;

// A plain decimal with the fewest digits that read back as the same number:
// a bound in the message is itself accepted when typed.
QString ExactText(double value) {
    return QString::fromStdString(kyklos::ScaleBoundText(value));
}

} // namespace

CScalingDialog::CScalingDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Roundness Display"));

    auto* group = new QGroupBox(QStringLiteral("&Scaling"), this);
    valueEdit_ = new QLineEdit(group);
    unitsLabel_ = new QLabel(group);
    unitsLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Room for "µin / div" whichever label is shown first.
    unitsLabel_->setMinimumWidth(unitsLabel_->fontMetrics().horizontalAdvance(kMicroinchesPerDivision) + 4);
    autoScaleBox_ = new QCheckBox(QStringLiteral("&Auto Scale"), group);
    metricBox_ = new QCheckBox(QStringLiteral("&Metric"), group);

    auto* grid = new QGridLayout(group);
    grid->addWidget(valueEdit_, 0, 0, 1, 2);
    grid->addWidget(unitsLabel_, 0, 2);
    grid->addWidget(autoScaleBox_, 1, 0);
    grid->addWidget(metricBox_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(QDialogButtonBox::Ok);
    cancelButton_ = buttons->addButton(QDialogButtonBox::Cancel);
    okButton_->setDefault(true);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(valueEdit_, autoScaleBox_);
    setTabOrder(autoScaleBox_, metricBox_);
    setTabOrder(metricBox_, okButton_);
    setTabOrder(okButton_, cancelButton_);

    connect(buttons, &QDialogButtonBox::accepted, this, &CScalingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScalingDialog::reject);
    // clicked and textEdited come from the user only, so filling the
    // controls from the members never counts as an edit.
    connect(metricBox_, &QCheckBox::clicked, this, &CScalingDialog::OnMetricClicked);
    connect(autoScaleBox_, &QCheckBox::clicked, this, &CScalingDialog::OnAutoScaleClicked);
    connect(valueEdit_, &QLineEdit::textEdited, this, &CScalingDialog::OnValueEdited);
}

QString CScalingDialog::FormatValue(double value) {
    return QString::asprintf("%.15g", value);
}

bool CScalingDialog::ParseValue(const QString& text, double& value) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double parsed = c.toDouble(text.trimmed(), &ok);
    if (!ok)
        return false;
    value = parsed;
    return true;
}

void CScalingDialog::showEvent(QShowEvent* event) {
    // The members are set between construction and the run, so the controls
    // are filled when the dialog first appears.
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CScalingDialog::OnInitDialog() {
    WriteControls();
    valueEdit_->setFocus(Qt::OtherFocusReason);
    valueEdit_->selectAll();
}

void CScalingDialog::SetUnitsLabel() {
    unitsLabel_->setText(MetricUnits != 0 ? kMicrometresPerDivision : kMicroinchesPerDivision);
}

void CScalingDialog::WriteControls() {
    // The dialog never shows a value of its own that it would refuse: the
    // unit switch's factors 40 and 0.025 carry a bound 1.6 % past the other
    // unit's bound, and a band from elsewhere may lie outside the range.
    const double lowest = LowestScale(MetricUnits != 0), highest = HighestScale(MetricUnits != 0);
    if (!(ScalePerDivision >= lowest))
        ScalePerDivision = lowest;
    else if (ScalePerDivision > highest)
        ScalePerDivision = highest;
    // Fifteen digits can round a bound past itself (39370078.740157485 µin
    // becomes 39370078.7401575); such a value is written in full.
    QString text = FormatValue(ScalePerDivision);
    double shown = 0.0;
    if (ParseValue(text, shown) && (shown < lowest || shown > highest))
        text = ExactText(ScalePerDivision);
    autoScaleBox_->setChecked(AutoScale != 0);
    metricBox_->setChecked(MetricUnits != 0);
    valueEdit_->setText(text);
    SetUnitsLabel();
}

bool CScalingDialog::ReadControls() {
    // The value is in the unit the label shows; when Metric was just clicked
    // the box has changed already.
    const bool metric = MetricUnits != 0;
    AutoScale = autoScaleBox_->isChecked() ? 1 : 0;
    MetricUnits = metricBox_->isChecked() ? 1 : 0;

    double value = 0.0;
    QString refusal;
    if (!ParseValue(valueEdit_->text(), value) || std::isnan(value))
        refusal = QStringLiteral("Please enter a number.");
    else
        refusal = QString::fromStdString(kyklos::ScaleRefusal(value, metric));
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Kyklos"), refusal);
        valueEdit_->setFocus(Qt::OtherFocusReason);
        valueEdit_->selectAll();
        return false;
    }
    ScalePerDivision = value;
    return true;
}

void CScalingDialog::OnMetricClicked() {
    const bool wasMetric = MetricUnits != 0;
    // A refused value text keeps the last accepted value, which is converted.
    ReadControls();
    if (wasMetric) {
        ScalePerDivision *= kMetricToInchInDialog;
        MetricUnits = 0;
    } else {
        ScalePerDivision *= kInchToMetricInDialog;
        MetricUnits = 1;
    }
    WriteControls();
}

void CScalingDialog::OnAutoScaleClicked() {
    AutoScale = AutoScale != 0 ? 0 : 1;
    WriteControls();
}

void CScalingDialog::OnValueEdited() {
    // Typing a scale switches automatic scaling off.
    if (AutoScale != 0) {
        AutoScale = 0;
        autoScaleBox_->setChecked(false);
    }
}

void CScalingDialog::accept() {
    if (!ReadControls())
        return;
    QDialog::accept();
}

bool RunScalingCommand(QWidget* parent, kyklos::CKyklosView& view) {
    CScalingDialog dialog(parent);
    dialog.AutoScale = view.AutoScale ? 1 : 0;
    dialog.MetricUnits = view.Graph.MetricUnits ? 1 : 0;
    dialog.ScalePerDivision = view.Graph.MetricUnits ? view.Graph.BandRange * 0.5
                                                     : view.Graph.BandRange * kBandToMicroinchesPerDivision;
    if (dialog.exec() != QDialog::Accepted)
        return false;

    view.AutoScale = dialog.AutoScale != 0;
    view.Graph.MetricUnits = dialog.MetricUnits != 0;
    view.Graph.BandRange = kyklos::BandRangeOfScale(dialog.ScalePerDivision, view.Graph.MetricUnits);
    return true;
}
