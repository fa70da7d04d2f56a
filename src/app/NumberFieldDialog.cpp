#include "app/NumberFieldDialog.h"

#include "app/EvaluationText.h"
#include "platform/NumberText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>
#include <optional>

namespace kyklos {

NumberFieldDialog::NumberFieldDialog(const QString& caption, const QString& groupTitle, int valueColumns,
                                     const QString& widestUnit, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);

    auto* group = new QGroupBox(groupTitle, this);
    valueEdit_ = new QLineEdit(group);
    unitsLabel_ = new QLabel(group);
    unitsLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Room for the widest unit whichever label is shown first.
    unitsLabel_->setMinimumWidth(unitsLabel_->fontMetrics().horizontalAdvance(widestUnit) + 4);

    grid_ = new QGridLayout(group);
    grid_->addWidget(valueEdit_, 0, 0, 1, valueColumns);
    grid_->addWidget(unitsLabel_, 0, valueColumns);
    for (int column = 0; column < valueColumns; ++column) grid_->setColumnStretch(column, 1);

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
    connect(buttons, &QDialogButtonBox::accepted, this, &NumberFieldDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NumberFieldDialog::reject);
}

QString NumberFieldDialog::FormatValue(double value) { return SignificantText(value, 15); }

bool NumberFieldDialog::ParseValue(const QString& text, double& value)
{
    // QString trims every Unicode blank (a no-break space pasted along with
    // the number); ParseNumber trims only ASCII ones.
    const std::optional<double> number = ParseNumber(text.trimmed().toStdString());
    if (!number || std::isnan(*number)) return false;
    value = *number;
    return true;
}

void NumberFieldDialog::showEvent(QShowEvent* event)
{
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
        SelectValue();
    }
    QDialog::showEvent(event);
}

void NumberFieldDialog::SelectValue()
{
    valueEdit_->setFocus(Qt::OtherFocusReason);
    valueEdit_->selectAll();
}

bool NumberFieldDialog::Refuse(const QString& message)
{
    QMessageBox::warning(this, QStringLiteral("Kyklos"), message);
    SelectValue();
    return false;
}

void NumberFieldDialog::accept()
{
    if (!ReadControls()) return;
    QDialog::accept();
}

} // namespace kyklos
