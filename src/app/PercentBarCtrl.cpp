#include "app/PercentBarCtrl.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace kyklos {

CPercentBarCtrl::CPercentBarCtrl(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Every pixel inside the frame is painted here: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    ReadColours();
}

void CPercentBarCtrl::ReadColours()
{
    const QPalette& pal = palette();
    barColour_ = pal.color(QPalette::Active, QPalette::Highlight);
    backgroundColour_ = pal.color(QPalette::Active, QPalette::Base);
    textOnBackgroundColour_ = barColour_;
    textOnBarColour_ = backgroundColour_;
}

QSize CPercentBarCtrl::sizeHint() const { return QSize(300, fontMetrics().height() + 2 * frameWidth() + 6); }

double CPercentBarCtrl::Fraction() const
{
    const double f = static_cast<double>(position_ - kLower) / (kUpper - kLower);
    // A position outside the range must not paint outside the control.
    return std::clamp(f, 0.0, 1.0);
}

int CPercentBarCtrl::FilledWidth() const { return static_cast<int>(Fraction() * contentsRect().width()); }

QString CPercentBarCtrl::DisplayText() const
{
    if (!text_.isEmpty()) return text_;
    return QString::asprintf("%d%%", static_cast<int>(Fraction() * 100.0));
}

int CPercentBarCtrl::SetPos(int position)
{
    const int old = position_;
    position_ = position;
    const int width = FilledWidth();
    if (width != lastWidth_) {
        lastWidth_ = width;
        repaint();
    }
    return old;
}

void CPercentBarCtrl::SetText(const QString& text)
{
    if (text == text_) return;
    text_ = text;
    update();
}

void CPercentBarCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client = contentsRect();
    const int filled = FilledWidth();
    const QRect bar(client.left(), client.top(), filled, client.height());
    const QRect rest(client.left() + filled, client.top(), client.width() - filled, client.height());
    // The frame's style may leave pixels untouched; nothing here may show stale content.
    if (frameWidth() > 0) painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.fillRect(bar, barColour_);
    painter.fillRect(rest, backgroundColour_);

    const QString text = DisplayText();
    painter.setFont(font());
    painter.setClipRect(bar);
    painter.setPen(textOnBarColour_);
    painter.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.setClipRect(rest);
    painter.setPen(textOnBackgroundColour_);
    painter.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.setClipping(false);
    drawFrame(&painter);
}

void CPercentBarCtrl::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    lastWidth_ = -1;
}

void CPercentBarCtrl::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ReadColours();
        update();
    }
}

} // namespace kyklos
