#include "app/ScalingDialog.h"

#include "view/DisplayScale.h"
#include "view/KyklosView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kyklos {

namespace {

const QString kMicrometresPerDivision = QStringLiteral("µm / div");
const QString kMicroinchesPerDivision = QStringLiteral("µin / div");

// Inside the dialog a unit switch keeps simple scale values: 1 µm/div becomes
// 40 µin/div and back, not the exact conversion's long decimals.
constexpr double kMetricToInchInDialog = 40.0;
constexpr double kInchToMetricInDialog = 0.025;

// Half the band (two divisions) in micrometres, as microinches per division.
constexpr double kBandToMicroinchesPerDivision = 0.5 / kMicrometresPerMicroinch;

} // namespace

CScalingDialog::CScalingDialog(QWidget* parent)
    : NumberFieldDialog(QStringLiteral("Roundness Display"), QStringLiteral("&Scaling"), 2, kMicroinchesPerDivision,
                        parent)
{
    QGridLayout* grid = FieldGrid();
    autoScaleBox_ = new QCheckBox(QStringLiteral("&Auto Scale"), grid->parentWidget());
    metricBox_ = new QCheckBox(QStringLiteral("&Metric"), grid->parentWidget());
    grid->addWidget(autoScaleBox_, 1, 0);
    grid->addWidget(metricBox_, 1, 1);

    setTabOrder(ValueEdit(), autoScaleBox_);
    setTabOrder(autoScaleBox_, metricBox_);
    setTabOrder(metricBox_, OkButton());
    setTabOrder(OkButton(), CancelButton());

    // clicked and textEdited come from the user only, so filling the
    // controls from the members never counts as an edit.
    connect(metricBox_, &QCheckBox::clicked, this, &CScalingDialog::OnMetricClicked);
    connect(autoScaleBox_, &QCheckBox::clicked, this, &CScalingDialog::OnAutoScaleClicked);
    connect(ValueEdit(), &QLineEdit::textEdited, this, &CScalingDialog::OnValueEdited);
}

void CScalingDialog::OnInitDialog() { WriteControls(); }

void CScalingDialog::SetUnitsLabel()
{
    UnitsLabel()->setText(MetricUnits != 0 ? kMicrometresPerDivision : kMicroinchesPerDivision);
}

void CScalingDialog::WriteControls()
{
    // The dialog never shows a value of its own that it would refuse: the
    // unit switch's factors 40 and 0.025 carry a bound 1.6 % past the other
    // unit's bound, and a band from elsewhere may lie outside the range.
    const double lowest = LowestScale(MetricUnits != 0), highest = HighestScale(MetricUnits != 0);
    if (!(ScalePerDivision >= lowest))
        ScalePerDivision = lowest;
    else if (ScalePerDivision > highest)
        ScalePerDivision = highest;
    // Fifteen digits can round a bound past itself (39370078.740157485 µin
    // becomes 39370078.7401575); such a value is written in full, with the
    // fewest digits that read back as the same number.
    QString text = FormatValue(ScalePerDivision);
    double shown = 0.0;
    if (ParseValue(text, shown) && (shown < lowest || shown > highest))
        text = QString::fromStdString(ScaleBoundText(ScalePerDivision));
    autoScaleBox_->setChecked(AutoScale != 0);
    metricBox_->setChecked(MetricUnits != 0);
    ValueEdit()->setText(text);
    SetUnitsLabel();
}

bool CScalingDialog::ReadControls()
{
    // The value is in the unit the label shows; when Metric was just clicked
    // the box has changed already.
    const bool metric = MetricUnits != 0;
    AutoScale = autoScaleBox_->isChecked() ? 1 : 0;
    MetricUnits = metricBox_->isChecked() ? 1 : 0;

    double value = 0.0;
    if (!ParseValue(ValueEdit()->text(), value)) return Refuse(QStringLiteral("Please enter a number."));
    const std::string refusal = ScaleRefusal(value, metric);
    if (!refusal.empty()) return Refuse(QString::fromStdString(refusal));
    ScalePerDivision = value;
    return true;
}

void CScalingDialog::OnMetricClicked()
{
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

void CScalingDialog::OnAutoScaleClicked()
{
    AutoScale = AutoScale != 0 ? 0 : 1;
    WriteControls();
}

void CScalingDialog::OnValueEdited()
{
    // Typing a scale switches automatic scaling off.
    if (AutoScale != 0) {
        AutoScale = 0;
        autoScaleBox_->setChecked(false);
    }
}

bool RunScalingCommand(QWidget* parent, CKyklosView& view)
{
    CScalingDialog dialog(parent);
    dialog.AutoScale = view.AutoScale ? 1 : 0;
    dialog.MetricUnits = view.Graph.MetricUnits ? 1 : 0;
    dialog.ScalePerDivision =
        view.Graph.MetricUnits ? view.Graph.BandRange * 0.5 : view.Graph.BandRange * kBandToMicroinchesPerDivision;
    if (dialog.exec() != QDialog::Accepted) return false;

    view.AutoScale = dialog.AutoScale != 0;
    view.Graph.MetricUnits = dialog.MetricUnits != 0;
    view.Graph.BandRange = BandRangeOfScale(dialog.ScalePerDivision, view.Graph.MetricUnits);
    return true;
}

} // namespace kyklos
