#include "app/ToleranceDialog.h"

#include "app/EvaluationText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

ToleranceDialog::ToleranceDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Roundness Tolerance"));

    auto* group = new QGroupBox(QStringLiteral("&Tolerance"), this);
    valueEdit_ = new QLineEdit(group);
    valueEdit_->setPlaceholderText(QStringLiteral("none"));
    unitsLabel_ = new QLabel(group);
    unitsLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    unitsLabel_->setMinimumWidth(unitsLabel_->fontMetrics().horizontalAdvance(QStringLiteral("\u00B5in")) + 4);
    auto* hint = new QLabel(QStringLiteral("Leave the field empty for no tolerance."), group);

    auto* grid = new QGridLayout(group);
    grid->addWidget(valueEdit_, 0, 0);
    grid->addWidget(unitsLabel_, 0, 1);
    grid->addWidget(hint, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(QDialogButtonBox::Ok);
    cancelButton_ = buttons->addButton(QDialogButtonBox::Cancel);
    okButton_->setDefault(true);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(valueEdit_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    connect(buttons, &QDialogButtonBox::accepted, this, &ToleranceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ToleranceDialog::reject);
}

QString ToleranceDialog::FormatValue(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

void ToleranceDialog::showEvent(QShowEvent* event)
{
    // The members are set between construction and the run.
    if (!initialised_) {
        initialised_ = true;
        unitsLabel_->setText(MetricUnits ? QStringLiteral("\u00B5m") : QStringLiteral("\u00B5in"));
        valueEdit_->setText(Tolerance ? FormatValue(*Tolerance) : QString());
        valueEdit_->setFocus(Qt::OtherFocusReason);
        valueEdit_->selectAll();
    }
    QDialog::showEvent(event);
}

bool ToleranceDialog::ReadControls()
{
    const QString text = valueEdit_->text().trimmed();
    // The value as shown keeps all its digits (a tolerance converted to microinches).
    if (Tolerance && text == FormatValue(*Tolerance)) return true;
    if (text.isEmpty()) {
        Tolerance.reset();
        return true;
    }
    // The same rule and the same words as kyklos-report's --tolerance.
    const std::optional<double> value = kyklos::ParseTolerance(text.toStdString());
    if (!value) {
        QMessageBox::warning(this, QStringLiteral("Kyklos"), kyklos::ToQString(kyklos::kToleranceRefusal));
        valueEdit_->setFocus(Qt::OtherFocusReason);
        valueEdit_->selectAll();
        return false;
    }
    Tolerance = *value;
    return true;
}

void ToleranceDialog::accept()
{
    if (!ReadControls()) return;
    QDialog::accept();
}

bool RunToleranceCommand(QWidget* parent, bool metricUnits, std::optional<kyklos::RoundnessTolerance>& tolerance)
{
    ToleranceDialog dialog(parent);
    dialog.MetricUnits = metricUnits;
    if (tolerance) dialog.Tolerance = tolerance->Shown(metricUnits);
    const std::optional<double> shown = dialog.Tolerance;
    if (dialog.exec() != QDialog::Accepted) return false;
    // Unchanged: the tolerance stays as it was typed, in its own unit.
    if (dialog.Tolerance == shown) return true;
    if (!dialog.Tolerance)
        tolerance.reset();
    else
        tolerance = kyklos::RoundnessTolerance{*dialog.Tolerance, metricUnits};
    return true;
}
