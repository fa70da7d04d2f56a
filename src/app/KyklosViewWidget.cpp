#include "app/KyklosViewWidget.h"

#include "document/KyklosDoc.h"
#include "platform/ProgressPort.h"
#include "platform/qt/QtCanvas.h"
#include "view/KyklosView.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kyklos {

KyklosViewWidget::KyklosViewWidget(CKyklosView& view, const CKyklosDoc& doc, const ProgressPort* progress,
                                   QWidget* parent)
    : QWidget(parent), view_(view), doc_(doc), progress_(progress)
{
    // The page covers the whole window; Qt's backing store already buffers it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
}

void KyklosViewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (progress_ && progress_->IsActive()) {
        // The filter is rewriting the profile in place: keep what is on screen.
        if (paintCount_ == 0) painter.fillRect(rect(), Qt::white);
        return;
    }
    // Logical resolution: the page is laid out in widget pixels, and Qt maps
    // them to device pixels, so pens and fonts keep their proportions at any
    // scale factor.
    QtCanvas canvas(painter, logicalDpiX(), logicalDpiY(), false);
    view_.OnDraw(canvas, doc_, Rect{0, 0, width(), height()});
    scaleBarRect_ = view_.Graph.ScaleBarRect;
    if (++paintCount_ == 1) emit FirstPainted();
}

void KyklosViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && scaleBarRect_.Contains(Point{at.x(), at.y()}))
        emit ScaleBarDoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

void KyklosViewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    // From the Menu key the menu opens over the middle of the page.
    const QPoint globalPos =
        event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().center()) : event->globalPos();
    emit ContextMenuRequested(globalPos);
    event->accept();
}

} // namespace kyklos
