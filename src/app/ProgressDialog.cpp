#include "app/ProgressDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kyklos {

namespace {
// Long enough to take a click (press, release, clicked) in one go, short
// enough not to slow the filter: it pumps about a hundred times per run.
constexpr int kPumpMilliseconds = 5;
}

CProgressDialog::CProgressDialog() : QDialog(nullptr)
{
    setWindowTitle(QStringLiteral("Progress Dialog"));
    // No other window may take input while the computation runs on this thread.
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);

    message_ = new QLabel(QStringLiteral("Progress"), this);
    bar_ = new CPercentBarCtrl(this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &CProgressDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 11);
    layout->setSpacing(6);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedSize(QSize(330, sizeHint().height()));
}

bool CProgressDialog::Show(std::string_view caption, std::string_view message)
{
    if (Active) return false;
    if (QCoreApplication::closingDown()) return false;
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    message_->setText(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    bar_->SetPos(0);
    show();
    if (!isVisible()) return false;
    Active = true;
    // Paint it now: the computation will not return to the event loop before it ends.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void CProgressDialog::SetPos(int position)
{
    bar_->SetPos(position);
}

void CProgressDialog::PumpMessage()
{
    if (!isVisible()) return;
    // The modality above keeps every other window from taking the input
    // delivered here.
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpMilliseconds);
}

void CProgressDialog::Close()
{
    reject();
}

void CProgressDialog::reject()
{
    Active = false;
    QDialog::reject();
}

} // namespace kyklos
