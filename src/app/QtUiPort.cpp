#include "app/QtUiPort.h"

#include "app/FilterSelectionDialog.h"
#include "app/ReferenceSelectionDialog.h"
#include "platform/TextEncoding.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace kyklos {

void QtUiPort::ShowMessage(std::string_view text)
{
    ++messagesShown_;
    // A message may carry a file's bytes (a name, an identification).
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kyklos"), QString::fromStdString(DisplayText(text)),
                    QMessageBox::Ok, parent_);
    // A file's name may hold '<' or '&': never read it as markup.
    box.setTextFormat(Qt::PlainText);
    if (!messageFile_.empty()) {
        box.setInformativeText(QString::fromStdString(DisplayText(messageFile_)));
        // The informative label does not follow the box's text format.
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    box.exec();
}

QString QtUiPort::OpenFileFilter()
{
    return QStringLiteral("Kyklos Files (*.kyk);;Tables (*.csv *.tsv *.txt *.dat);;All Files (*.*)");
}

std::optional<std::string> QtUiPort::ChooseFileToOpen(std::string_view initialPath)
{
    // Paths travel as the file system's bytes.
    const QString start = QFile::decodeName(QByteArray(initialPath.data(), static_cast<qsizetype>(initialPath.size())));
    const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), start, OpenFileFilter());
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
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
    if (otherViews_) otherViews_();
}

} // namespace kyklos
