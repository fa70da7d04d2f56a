#include "app/SplashWindow.h"

#include "app/Artwork.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace kyklos {

bool CSplashWindow::ShowSplash = false;
CSplashWindow* CSplashWindow::instance_ = nullptr;

CSplashWindow::CSplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(kSplashWidth, kSplashHeight);

    // Centred on the screen: at start-up the owner is not yet shown.
    QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
    }
    picture_ = SplashPicture(screen ? screen->devicePixelRatio() : 1.0);

    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [] { CloseSplash(); });
    timer_.start(kLifetimeMilliseconds);
}

CSplashWindow::~CSplashWindow()
{
    if (instance_ == this) instance_ = nullptr;
}

CSplashWindow* CSplashWindow::Instance() { return instance_; }

void CSplashWindow::OpenSplash(QWidget* owner)
{
    if (!ShowSplash || instance_) return;
    instance_ = new CSplashWindow(owner);
    instance_->show();
    if (!instance_->isVisible()) {
        delete instance_;
        return;
    }
    // Painted before start-up goes on; input waits until the loop runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSplashWindow::CloseSplash()
{
    CSplashWindow* splash = instance_;
    if (!splash) return;
    instance_ = nullptr;
    splash->timer_.stop();
    QWidget* owner = splash->parentWidget();
    // Deferred: the event that closes the splash may be on its way to it.
    splash->hide();
    splash->deleteLater();
    if (owner && owner->isVisible()) owner->repaint();
}

bool CSplashWindow::FilterSplashInput(QObject* watched, QEvent* event)
{
    if (!instance_) return false;
    switch (event->type()) {
    case QEvent::Show:
        if (const auto* dialog = qobject_cast<const QDialog*>(watched); dialog && dialog->isWindow()) CloseSplash();
        return false;
    case QEvent::ShortcutOverride:
        // Claim the key so that no shortcut fires; the key press that follows closes the splash.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: CloseSplash(); return true;
    default: return false;
    }
}

void CSplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

} // namespace kyklos
