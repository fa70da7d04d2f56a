#include "app/OptionsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kyklos {

OptionsDialog::OptionsDialog(const AppOptions& options, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Options"));
    // Mnemonics F, R and P: none is taken by another control of the dialog.
    recentFiles_ = new QCheckBox(QStringLiteral("List recently opened &files in the File menu"), this);
    restoreSettings_ = new QCheckBox(QStringLiteral("&Restore the last analysis and display settings at start"), this);
    printEvaluationPage_ = new QCheckBox(QStringLiteral("&Print the evaluation page with the report"), this);
    recentFiles_->setChecked(options.RecentFiles);
    restoreSettings_->setChecked(options.RestoreSettings);
    printEvaluationPage_->setChecked(options.PrintEvaluationPage);

    // Enter presses OK from any check box, Escape cancels.
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok_, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recentFiles_);
    layout->addWidget(restoreSettings_);
    layout->addWidget(printEvaluationPage_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    recentFiles_->setFocus();
}

AppOptions OptionsDialog::Options() const
{
    return {recentFiles_->isChecked(), restoreSettings_->isChecked(), printEvaluationPage_->isChecked()};
}

bool RunOptionsCommand(QWidget* parent, AppOptions& options)
{
    OptionsDialog dialog(options, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.Options() == options) return false;
    options = dialog.Options();
    return true;
}

} // namespace kyklos
