#include "app/ProgressDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

namespace kyklos {

namespace {
// Long enough to take a click (press, release, clicked) in one go, short
// enough not to slow the filter: it pumps about a hundred times per run.
constexpr int kPumpMilliseconds = 5;

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return true;
    default: return false;
    }
}
} // namespace

CProgressDialog::CProgressDialog() : QDialog(nullptr)
{
    setWindowTitle(QStringLiteral("Progress Dialog"));
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

void CProgressDialog::SetOwner(QWidget* owner)
{
    // As the owner's child window it is centred over it and the window
    // manager keeps it above it.
    setParent(owner, windowFlags());
}

bool CProgressDialog::Show(std::string_view caption, std::string_view message)
{
    if (Active) return false;
    if (QCoreApplication::closingDown()) return false;
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    message_->setText(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    bar_->SetPos(0);
    // Not Qt's window modality: it throws away a close request to a blocked
    // window, and the user's close of the main window must wait, not vanish.
    qApp->installEventFilter(this);
    show();
    if (!isVisible()) {
        qApp->removeEventFilter(this);
        return false;
    }
    Active = true;
    // Paint it now: the computation will not return to the event loop before it ends.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void CProgressDialog::SetPos(int position) { bar_->SetPos(position); }

void CProgressDialog::PumpMessage()
{
    if (!isVisible()) return;
    // The event filter keeps every other window from taking the input delivered here.
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpMilliseconds);
}

void CProgressDialog::Close() { reject(); }

void CProgressDialog::reject()
{
    Active = false;
    const bool wasShown = isVisible();
    // Whether the keyboard is ours (this display's or the owner's): the window
    // manager need not give it back to the owner when the display goes.
    const bool hadKeyboard = QGuiApplication::applicationState() == Qt::ApplicationActive;
    QDialog::reject();
    qApp->removeEventFilter(this);
    if (!wasShown) return;

    QWidget* owner = parentWidget();
    if (owner && hadKeyboard && owner->isVisible() && !owner->isMinimized()) owner->activateWindow();
    // Queued: the computation that showed the display has yet to return.
    for (const QPointer<QWidget>& window : std::exchange(closeRequests_, {}))
        if (window) QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
}

bool CProgressDialog::IsOwnWindow(QObject* object) const
{
    if (object->isWidgetType()) return static_cast<QWidget*>(object)->window() == this;
    if (object->isWindowType()) return object == windowHandle();
    return false;
}

bool CProgressDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (!Active || IsOwnWindow(watched)) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed, so that no shortcut of another window fires; the key press that follows is dropped.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Close && watched->isWindowType()) {
        // The window system's close (close box, Alt+F4) arrives at the native window first.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() == watched && !closeRequests_.contains(widget)) closeRequests_.append(widget);
        }
        event->ignore();
        return true;
    }
    return IsUserInput(event->type());
}

} // namespace kyklos
