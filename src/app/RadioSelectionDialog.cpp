#include "app/RadioSelectionDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kyklos {

RadioSelectionDialog::RadioSelectionDialog(const QString& caption, const QString& groupTitle,
                                           const QStringList& options, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption);

    auto* box = new QGroupBox(groupTitle, this);
    auto* radios = new QVBoxLayout(box);
    radios->setContentsMargins(24, 10, 24, 10);
    group_ = new QButtonGroup(this);
    for (int i = 0; i < options.size(); ++i) {
        auto* radio = new QRadioButton(options[i], box);
        group_->addButton(radio, i);
        radios->addWidget(radio);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &RadioSelectionDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &RadioSelectionDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton* RadioSelectionDialog::Radio(int index) const
{
    return qobject_cast<QRadioButton*>(group_->button(index));
}

int RadioSelectionDialog::OptionCount() const { return static_cast<int>(group_->buttons().size()); }

void RadioSelectionDialog::showEvent(QShowEvent* event)
{
    // An index outside the options leaves every button clear, as −1 does.
    if (QAbstractButton* chosen = group_->button(SelectedIndex)) {
        chosen->setChecked(true);
        chosen->setFocus();
    } else {
        group_->setExclusive(false);
        for (QAbstractButton* button : group_->buttons()) button->setChecked(false);
        group_->setExclusive(true);
        if (QAbstractButton* first = group_->button(0)) first->setFocus();
    }
    QDialog::showEvent(event);
}

void RadioSelectionDialog::accept()
{
    SelectedIndex = group_->checkedId();
    QDialog::accept();
}

} // namespace kyklos
