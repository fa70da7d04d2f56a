#include "app/UncertaintyDialog.h"

#include "app/NumberFieldDialog.h"
#include "platform/Units.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace kyklos {

namespace {

// The draws kyklos-report takes with --draws.
constexpr int kMostDraws = 10000000;

QString DecimalHint(const QString& text)
{
    return text.contains(QLatin1Char(',')) ? QStringLiteral(" Use a full stop as the decimal sign.") : QString();
}

} // namespace

UncertaintyDialog::UncertaintyDialog(const UncertaintyRequest& request, bool metricUnits, QWidget* parent)
    : QDialog(parent), request_(request), metric_(metricUnits)
{
    setWindowTitle(QStringLiteral("Uncertainty"));
    const QString length = metricUnits ? QStringLiteral("\u00B5m") : QStringLiteral("\u00B5in");

    auto* model = new QGroupBox(QStringLiteral("Model (each 0 when not known)"), this);
    auto* modelGrid = new QGridLayout(model);
    AddRow(modelGrid, 0, Noise, QStringLiteral("&Probe noise (1 s.d.):"), length);
    AddRow(modelGrid, 1, Angle, QStringLiteral("&Angular noise (1 s.d.):"), QStringLiteral("deg"));
    AddRow(modelGrid, 2, Calibration, QStringLiteral("&Calibration (1 s.d.):"), length);
    AddRow(modelGrid, 3, Resolution, QStringLiteral("&Resolution step:"), length);

    auto* simulation = new QGroupBox(QStringLiteral("Simulation"), this);
    auto* simulationGrid = new QGridLayout(simulation);
    AddRow(simulationGrid, 0, Draws, QStringLiteral("&Draws:"), QString());
    AddRow(simulationGrid, 1, Seed, QStringLiteral("&Seed:"), QString());

    const double scale = MicrometresToShown(1.0, metricUnits);
    shown_[Noise] = NumberFieldDialog::FormatValue(request.Model.ProbeNoiseUm * scale);
    shown_[Angle] = NumberFieldDialog::FormatValue(request.Model.AngularNoiseDeg);
    shown_[Calibration] = NumberFieldDialog::FormatValue(request.Model.CalibrationUm * scale);
    shown_[Resolution] = NumberFieldDialog::FormatValue(request.Model.ResolutionUm * scale);
    shown_[Draws] = QString::number(request.Draws);
    shown_[Seed] = QString::number(request.Seed);
    for (int f = 0; f < FieldCount; ++f) edits_[f]->setText(shown_[f]);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    okButton_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &UncertaintyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &UncertaintyDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(model);
    layout->addWidget(simulation);
    layout->addWidget(
        new QLabel(QStringLiteral("The draws run on every core; the same seed gives the same results."), this));
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edits_[Noise]->setFocus(Qt::OtherFocusReason);
    edits_[Noise]->selectAll();
}

void UncertaintyDialog::AddRow(QGridLayout* grid, int row, Field field, const QString& caption, const QString& unit)
{
    QWidget* group = grid->parentWidget();
    edits_[field] = new QLineEdit(group);
    auto* label = new QLabel(caption, group);
    label->setBuddy(edits_[field]);
    units_[field] = new QLabel(unit, group);
    grid->addWidget(label, row, 0);
    grid->addWidget(edits_[field], row, 1);
    grid->addWidget(units_[field], row, 2);
}

bool UncertaintyDialog::Refuse(Field field, const QString& message)
{
    QMessageBox::warning(this, QStringLiteral("Kyklos"), message);
    edits_[field]->setFocus(Qt::OtherFocusReason);
    edits_[field]->selectAll();
    return false;
}

bool UncertaintyDialog::ReadNonNegative(Field field, const QString& name, double scale, double& value)
{
    const QString text = edits_[field]->text().trimmed();
    // The value as shown keeps all its digits (one converted to microinches).
    if (text == shown_[field]) return true;
    double number = 0.0;
    if (text.isEmpty())
        number = 0.0;
    else if (!NumberFieldDialog::ParseValue(text, number) || !std::isfinite(number) || number < 0.0)
        return Refuse(field, name + QStringLiteral(" must be a number of 0 or more.") + DecimalHint(text));
    value = number * scale;
    return true;
}

void UncertaintyDialog::accept()
{
    UncertaintyRequest read = request_;
    const double toMicrometres = ShownToMicrometres(1.0, metric_);
    if (!ReadNonNegative(Noise, QStringLiteral("The probe noise"), toMicrometres, read.Model.ProbeNoiseUm) ||
        !ReadNonNegative(Angle, QStringLiteral("The angular noise"), 1.0, read.Model.AngularNoiseDeg) ||
        !ReadNonNegative(Calibration, QStringLiteral("The calibration uncertainty"), toMicrometres,
                         read.Model.CalibrationUm) ||
        !ReadNonNegative(Resolution, QStringLiteral("The resolution"), toMicrometres, read.Model.ResolutionUm))
        return;
    bool ok = false;
    const int draws = edits_[Draws]->text().trimmed().toInt(&ok);
    if (!ok || draws < kFewestDraws || draws > kMostDraws)
        return static_cast<void>(Refuse(
            Draws,
            QStringLiteral("The draws must be a whole number from %1 to %2.").arg(kFewestDraws).arg(kMostDraws)));
    const qulonglong seed = edits_[Seed]->text().trimmed().toULongLong(&ok);
    if (!ok) return static_cast<void>(Refuse(Seed, QStringLiteral("The seed must be a whole number of 0 or more.")));
    read.Draws = draws;
    read.Seed = seed;
    request_ = read;
    QDialog::accept();
}

bool RunUncertaintyDialog(QWidget* parent, bool metricUnits, UncertaintyRequest& request)
{
    UncertaintyDialog dialog(request, metricUnits, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    request = dialog.Request();
    return true;
}

} // namespace kyklos
