#include "app/VerdictBar.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kyklos {

namespace {
constexpr int kInset = 4; // px at either end, so that a mark at 0 or the end shows whole
constexpr double kRoomGuardBands = 2.0;
constexpr double kLeastRoomOfTolerance = 0.05;
} // namespace

const QColor VerdictBar::kConformsColour(190, 230, 190);
const QColor VerdictBar::kGuardBandColour(250, 215, 120);
const QColor VerdictBar::kNotConformsColour(240, 185, 185);

VerdictBar::VerdictBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Verdict bar"));
}

void VerdictBar::SetValues(const std::optional<Values>& values)
{
    values_ = values;
    update();
}

double VerdictBar::RoomMm() const
{
    return kRoomGuardBands * std::max(values_->ExpandedMm, kLeastRoomOfTolerance * values_->ToleranceMm);
}

double VerdictBar::ScaleStartMm() const
{
    if (!values_) return 0.0;
    const double low = std::min(values_->ToleranceMm, values_->RontMm) - values_->ExpandedMm;
    return std::max(0.0, low - RoomMm());
}

double VerdictBar::ScaleEndMm() const
{
    if (!values_) return 1.0;
    const double end = std::max(values_->ToleranceMm, values_->RontMm) + values_->ExpandedMm + RoomMm();
    return end > ScaleStartMm() ? end : ScaleStartMm() + 1.0;
}

int VerdictBar::Position(double mm) const
{
    const double start = ScaleStartMm();
    const double fraction = std::clamp((mm - start) / (ScaleEndMm() - start), 0.0, 1.0);
    return kInset + static_cast<int>(std::lround(fraction * (width() - 2 * kInset)));
}

void VerdictBar::paintEvent(QPaintEvent*)
{
    if (!values_) return;
    QPainter painter(this);
    const Values& v = *values_;
    const int top = 3, bottom = height() - 3, middle = height() / 2;
    const int guardLow = Position(v.ToleranceMm - v.ExpandedMm), guardHigh = Position(v.ToleranceMm + v.ExpandedMm);
    const int end = Position(ScaleEndMm());
    painter.fillRect(QRect(QPoint(Position(ScaleStartMm()), top), QPoint(guardLow - 1, bottom)), kConformsColour);
    painter.fillRect(QRect(QPoint(guardLow, top), QPoint(guardHigh - 1, bottom)), kGuardBandColour);
    painter.fillRect(QRect(QPoint(guardHigh, top), QPoint(end, bottom)), kNotConformsColour);

    // The tolerance, across the bar; RONt and its ±U in the middle.
    painter.setPen(QPen(Qt::black, 2));
    const int t = Position(v.ToleranceMm);
    painter.drawLine(t, 0, t, height());
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    const int low = Position(v.RontMm - v.ExpandedMm), high = Position(v.RontMm + v.ExpandedMm);
    painter.drawLine(low, middle, high, middle);
    painter.drawLine(low, middle - 3, low, middle + 3);
    painter.drawLine(high, middle - 3, high, middle + 3);
    painter.setBrush(QColor(0, 0, 128));
    const int r = Position(v.RontMm);
    painter.drawEllipse(QPoint(r, middle), 3, 3);
}

} // namespace kyklos
