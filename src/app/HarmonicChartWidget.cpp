#include "app/HarmonicChartWidget.h"

#include "app/EvaluationText.h"
#include "platform/qt/QtCanvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kyklos {

HarmonicChartWidget::HarmonicChartWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(QStringLiteral("Harmonic spectrum"));
}

void HarmonicChartWidget::SetData(HarmonicChartData data)
{
    chart_.Data = std::move(data);
    stale_ = true;
    update();
}

void HarmonicChartWidget::SetOptions(const HarmonicChartOptions& options)
{
    chart_.Options = options;
    stale_ = true;
    update();
}

QSize HarmonicChartWidget::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {std::max(200, 24 * metrics.averageCharWidth()), std::max(140, 11 * metrics.height())};
}

QSize HarmonicChartWidget::DeviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio))};
}

void HarmonicChartWidget::Render()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size = DeviceSize();
    if (image_.size() != size) image_ = QImage(size, QImage::Format_RGB32);
    // Drawn in device pixels: a painter on an image with a ratio would scale the drawing again.
    image_.setDevicePixelRatio(1.0);
    image_.fill(Qt::white);
    if (!size.isEmpty()) {
        QPainter painter(&image_);
        const int dpiX = static_cast<int>(std::lround(logicalDpiX() * ratio));
        const int dpiY = static_cast<int>(std::lround(logicalDpiY() * ratio));
        QtCanvas canvas(painter, dpiX, dpiY, false);
        // The panel's own font, at the image's pixels: the chart reads as the rest of the panel.
        const QFontInfo info(font());
        chart_.Font =
            FontSpec{info.family().toStdString(), -std::max(1, static_cast<int>(std::lround(info.pixelSize() * ratio))),
                     0, info.bold() ? 700 : 400};
        chart_.Draw(canvas, Rect{0, 0, size.width(), size.height()});
    }
    image_.setDevicePixelRatio(ratio);
    stale_ = false;
    ++renderCount_;
}

void HarmonicChartWidget::paintEvent(QPaintEvent*)
{
    if (stale_ || image_.size() != DeviceSize() || image_.devicePixelRatio() != devicePixelRatioF()) Render();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}

std::optional<int> HarmonicChartWidget::HarmonicAt(const QPoint& pos) const
{
    // The chart's layout is in the image's device pixels.
    const qreal ratio = image_.devicePixelRatio();
    const Point at{static_cast<int>(std::floor(pos.x() * ratio)), static_cast<int>(std::floor(pos.y() * ratio))};
    const auto k = chart_.HarmonicAt(at);
    if (!k || *k < 1 || static_cast<std::size_t>(*k) > chart_.Data.Harmonics.size()) return std::nullopt;
    return k;
}

QString HarmonicChartWidget::ToolTipAt(const QPoint& pos) const
{
    const auto k = HarmonicAt(pos);
    if (!k) return {};
    const HarmonicAmplitude& h = chart_.Data.Harmonics[static_cast<std::size_t>(*k - 1)];
    const bool metric = chart_.Data.MetricUnits;
    const QString unit = LengthUnitText(metric);
    return QStringLiteral("UPR: %1\n\u00BD peak-to-valley, filtered: %2 %4\n\u00BD peak-to-valley, raw: %3 %4\n"
                          "First peak: %5 deg")
        .arg(*k)
        .arg(LengthText(h.FilteredAmplitude, metric), LengthText(h.RawAmplitude, metric), unit,
             DegreesText(h.FirstPeakAngle * 180.0 / std::numbers::pi));
}

bool HarmonicChartWidget::event(QEvent* event)
{
    if (event->type() == QEvent::FontChange) stale_ = true;
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace kyklos
