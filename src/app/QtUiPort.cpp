#include "app/QtUiPort.h"

#include "app/FilterSelectionDialog.h"
#include "app/ReferenceSelectionDialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kyklos {

namespace {
QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

void QtUiPort::ShowMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kyklos"), FromUtf8(text), QMessageBox::Ok, parent_);
    box.exec();
}

QString QtUiPort::OpenFileFilter()
{
    return QStringLiteral("Kyklos Files (*.kyk);;All Files (*.*)");
}

std::optional<std::string> QtUiPort::ChooseFileToOpen(std::string_view initialPath)
{
    const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), FromUtf8(initialPath),
                                                      OpenFileFilter());
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<int> QtUiPort::ChooseReference(int current)
{
    CReferenceSelectionDialog dialog(parent_);
    dialog.SelectedIndex = current;
    // OK with no button chosen is no choice: the document keeps its reference.
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedIndex < 0) return std::nullopt;
    return dialog.SelectedIndex;
}

std::optional<int> QtUiPort::ChooseFilterIndex(int current)
{
    CFilterSelectionDialog dialog(parent_);
    dialog.SelectedIndex = current;
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedIndex < 0) return std::nullopt;
    return dialog.SelectedIndex;
}

void QtUiPort::UpdateAllViews()
{
    if (view_) view_->update();
}

} // namespace kyklos
