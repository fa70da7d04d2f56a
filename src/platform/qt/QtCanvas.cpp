#include "platform/qt/QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPagedPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <tuple>

namespace kyklos {

namespace {

QColor ToQColor(Colour c) { return QColor(c.r, c.g, c.b); }

// The report asks for the Windows core fonts by name; where they are not
// installed the metric-compatible Liberation faces take their place, so text
// extents and line breaks come out as with the Windows fonts themselves.
void InstallFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const std::pair<const char*, const char*> substitutes[] = {
            {"Arial", "Liberation Sans"},
            {"Helvetica", "Liberation Sans"},
            {"Times New Roman", "Liberation Serif"},
            {"Courier New", "Liberation Mono"},
        };
        for (const auto& [face, substitute] : substitutes)
            if (!QFontDatabase::hasFamily(QString::fromLatin1(face)))
                QFont::insertSubstitution(QString::fromLatin1(face), QString::fromLatin1(substitute));
    });
}

// Text arrives as UTF-8 (texts from files were converted before drawing); a
// sequence that is not UTF-8 is shown as U+FFFD.
QString Decode(std::string_view text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

QFont MakeQFont(const FontSpec& request, int pixelSize)
{
    QFont font(QString::fromStdString(request.face.empty() ? std::string("Arial") : request.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, pixelSize));
    const int weight = request.weight <= 0 ? 400 : std::clamp(request.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(request.italic);
    font.setUnderline(request.underline);
    font.setStrikeOut(request.strikeOut);
    return font;
}

int CellHeight(const QFont& font, QPaintDevice* device)
{
    const QFontMetrics metrics(font, device);
    return metrics.ascent() + metrics.descent();
}

// GDI's dash patterns for one-pixel pens, in pixels.
QList<qreal> DashPattern(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

// Windows GDI draws a one-pixel line from its first pixel up to, but not
// including, its last, in every direction. Qt's raster engine leaves out the
// end with the larger coordinate along the line's major axis instead, which
// is the first pixel of a line drawn leftward or upward. Such a line is handed
// over shifted one step along itself, so that it covers GDI's pixels.
QLineF OnePixelSegment(QPoint from, QPoint to)
{
    // In doubles: the polar graph may hand over saturated coordinates at both ends of the int range.
    const double dx = static_cast<double>(to.x()) - from.x(), dy = static_cast<double>(to.y()) - from.y();
    const double major = std::abs(dx) >= std::abs(dy) ? dx : dy; // Qt takes a diagonal as x-major
    if (major >= 0) return QLineF(from, to);
    const QPointF step(dx / major, dy / major);
    return QLineF(QPointF(from) + step, QPointF(to) + step);
}

Qt::BrushStyle HatchPattern(HatchStyle hatch)
{
    switch (hatch) {
    case HatchStyle::Horizontal: return Qt::HorPattern;
    case HatchStyle::Vertical: return Qt::VerPattern;
    case HatchStyle::ForwardDiagonal: return Qt::FDiagPattern;
    case HatchStyle::BackwardDiagonal: return Qt::BDiagPattern;
    case HatchStyle::Cross: return Qt::CrossPattern;
    case HatchStyle::DiagonalCross: return Qt::DiagCrossPattern;
    }
    return Qt::HorPattern;
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, int dpiX, int dpiY, bool printing)
    : painter_(painter), dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96), printing_(printing)
{
    Init();
}

QtCanvas::QtCanvas(QPainter& painter)
    : painter_(painter), dpiX_(painter.device() ? painter.device()->logicalDpiX() : 96),
      dpiY_(painter.device() ? painter.device()->logicalDpiY() : 96),
      printing_(dynamic_cast<QPagedPaintDevice*>(painter.device()) != nullptr)
{
    if (dpiX_ <= 0) dpiX_ = 96;
    if (dpiY_ <= 0) dpiY_ = 96;
    Init();
}

QtCanvas::~QtCanvas()
{
    Flush();
    // Unbalanced saves, then the painter's own state from before the canvas.
    for (std::size_t i = 0; i < stack_.size(); ++i) painter_.restore();
    painter_.restore();
}

void QtCanvas::Init()
{
    InstallFontSubstitutions();
    painter_.save();
    // Grid dots and traces are single device pixels; only text is smoothed.
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setBackground(ToQColor(state_.background));
    painter_.setBackgroundMode(state_.opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    state_.qfont = ResolveFont(state_.font);
    const QFontMetrics metrics(state_.qfont, painter_.device());
    state_.ascent = metrics.ascent();
    state_.descent = metrics.descent();
    painter_.setFont(state_.qfont);
    ApplyPen();
    ApplyBrush();
}

QFont QtCanvas::ResolveFont(const FontSpec& request, int* cellHeight) const
{
    QPaintDevice* device = painter_.device();
    int pixelSize;
    if (request.height < 0) {
        // A negative request is the character height (em size) itself.
        pixelSize = -request.height;
    } else {
        // The cell height Qt gives is about 1.15 pixel sizes for Arial, but
        // hinting rounds ascent and descent separately: try the neighbours
        // of the estimate and keep the closest cell, the smaller on a tie.
        const int wanted = request.height > 0 ? request.height : std::max(1, dpiY_ / 6); // 0: the default 12 pt
        static std::mutex mutex;
        static std::map<std::tuple<std::string, int, bool>, double> cellPerPixel;
        double ratio;
        {
            std::lock_guard lock(mutex);
            const auto key = std::make_tuple(request.face, request.weight, request.italic);
            auto it = cellPerPixel.find(key);
            if (it == cellPerPixel.end())
                it = cellPerPixel.emplace(key, CellHeight(MakeQFont(request, 1000), device) / 1000.0).first;
            ratio = it->second > 0.0 ? it->second : 1.0;
        }
        const int estimate = std::max(1, static_cast<int>(std::lround(wanted / ratio)));
        int best = estimate;
        int bestCell = CellHeight(MakeQFont(request, estimate), device);
        for (int candidate = std::max(1, estimate - 2); candidate <= estimate + 2; ++candidate) {
            if (candidate == estimate) continue;
            const int cell = CellHeight(MakeQFont(request, candidate), device);
            const int error = std::abs(cell - wanted), bestError = std::abs(bestCell - wanted);
            if (error < bestError || (error == bestError && cell < bestCell)) {
                best = candidate;
                bestCell = cell;
            }
        }
        pixelSize = best;
    }
    QFont font = MakeQFont(request, pixelSize);
    if (cellHeight) *cellHeight = std::max(1, CellHeight(font, device));
    return font;
}

void QtCanvas::Flush()
{
    if (pending_.empty()) return;
    for (const QPolygon& stroke : pending_) Stroke(stroke);
    pending_.clear();
}

void QtCanvas::Stroke(const QPolygon& points)
{
    if (points.size() < 2 || state_.pen.style == PenStyle::Null) return;
    if (state_.pen.width > 1) {
        painter_.drawPolyline(points);
        return;
    }
    std::vector<QLineF> lines;
    lines.reserve(static_cast<std::size_t>(points.size()));
    for (qsizetype i = 1; i < points.size(); ++i)
        if (points[i] != points[i - 1]) lines.push_back(OnePixelSegment(points[i - 1], points[i]));
    if (state_.pen.style == PenStyle::Solid) {
        // Qt gives a line the same pixels in either direction, but within one
        // call it widens a line that runs opposite to the one before it by a
        // pixel; solid lines are therefore all handed over in one direction.
        for (QLineF& line : lines) {
            const double dx = line.dx(), dy = line.dy();
            if ((std::abs(dx) >= std::abs(dy) ? dx : dy) < 0) line = QLineF(line.p2(), line.p1());
        }
        painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
        return;
    }
    // One call a segment, each in its own direction; the dash pattern runs on
    // from one segment to the next, as along one line.
    const QPen pen = painter_.pen();
    QPen segmentPen = pen;
    double travelled = 0.0;
    for (const QLineF& line : lines) {
        segmentPen.setDashOffset(travelled);
        painter_.setPen(segmentPen);
        painter_.drawLine(line);
        travelled += line.length();
    }
    painter_.setPen(pen);
}

void QtCanvas::Save()
{
    Flush();
    stack_.push_back(state_);
    painter_.save();
}

void QtCanvas::Restore()
{
    Flush();
    if (stack_.empty()) return;
    state_ = stack_.back();
    stack_.pop_back();
    painter_.restore();
}

void QtCanvas::ApplyPen()
{
    const Pen& pen = state_.pen;
    if (pen.style == PenStyle::Null) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen qpen(ToQColor(pen.colour));
    qpen.setWidth(std::max(1, pen.width));
    if (pen.width <= 1) {
        // One-pixel lines are drawn segment by segment (Stroke) so that each
        // leaves out its last pixel, as in Windows GDI.
        qpen.setCapStyle(Qt::FlatCap);
        qpen.setJoinStyle(Qt::MiterJoin);
        if (pen.style != PenStyle::Solid) qpen.setDashPattern(DashPattern(pen.style));
    } else {
        // Wide pens are always solid, with round ends and joins.
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    painter_.setPen(qpen);
}

void QtCanvas::ApplyBrush()
{
    const Brush& brush = state_.brush;
    switch (brush.style) {
    case BrushStyle::Null: painter_.setBrush(Qt::NoBrush); break;
    case BrushStyle::Solid: painter_.setBrush(ToQColor(brush.colour)); break;
    case BrushStyle::Hatched: painter_.setBrush(QBrush(ToQColor(brush.colour), HatchPattern(brush.hatch))); break;
    }
}

void QtCanvas::SetPen(const Pen& pen)
{
    Flush();
    state_.pen = pen;
    ApplyPen();
}

void QtCanvas::SetBrush(const Brush& brush)
{
    Flush();
    state_.brush = brush;
    ApplyBrush();
}

int QtCanvas::SetFont(const FontSpec& font)
{
    Flush();
    int cell = 1;
    state_.font = font;
    state_.qfont = ResolveFont(font, &cell);
    const QFontMetrics metrics(state_.qfont, painter_.device());
    state_.ascent = metrics.ascent();
    state_.descent = metrics.descent();
    state_.stretch = WidthStretch(font, state_.qfont);
    painter_.setFont(state_.qfont);
    return cell;
}

double QtCanvas::WidthStretch(const FontSpec& request, const QFont& font) const
{
    if (request.width == 0) return 1.0;
    const double natural = QFontMetricsF(font, painter_.device()).averageCharWidth();
    if (!(natural > 0.0)) return 1.0;
    // Beyond these the glyphs are lines or bars; a hostile request stops there.
    constexpr double kMinStretch = 1.0 / 64, kMaxStretch = 64.0;
    return std::clamp(std::abs(request.width) / natural, kMinStretch, kMaxStretch);
}

int QtCanvas::Advance(const QString& text) const
{
    if (state_.stretch == 1.0) return QFontMetrics(state_.qfont, painter_.device()).horizontalAdvance(text);
    const double natural = QFontMetricsF(state_.qfont, painter_.device()).horizontalAdvance(text);
    return static_cast<int>(
        std::min(std::round(natural * state_.stretch), static_cast<double>(std::numeric_limits<int>::max())));
}

void QtCanvas::SetTextColour(Colour colour) { state_.textColour = colour; }

void QtCanvas::SetTextAlign(TextAlign align) { state_.align = align; }

void QtCanvas::SetBackgroundMode(bool opaque)
{
    Flush();
    state_.opaque = opaque;
    // Hatch gaps and the gaps of styled pens take the background colour when opaque.
    painter_.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

void QtCanvas::SetBackgroundColour(Colour colour)
{
    Flush();
    state_.background = colour;
    painter_.setBackground(ToQColor(colour));
}

void QtCanvas::SetFillMode(FillMode mode) { state_.fill = mode; }

void QtCanvas::IntersectClip(const Rect& rect)
{
    Flush();
    const QRect r(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    if (painter_.hasClipping())
        painter_.setClipRect(r, Qt::IntersectClip);
    else
        painter_.setClipRect(r, Qt::ReplaceClip);
}

void QtCanvas::ExcludeClip(const Rect& rect)
{
    Flush();
    const QRegion everything(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);
    const QRegion current = painter_.hasClipping() ? painter_.clipRegion() : everything;
    const QRect r(rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    painter_.setClipRegion(current.subtracted(QRegion(r)), Qt::ReplaceClip);
}

void QtCanvas::SetPixel(int x, int y, Colour colour)
{
    Flush();
    painter_.fillRect(QRect(x, y, 1, 1), ToQColor(colour));
}

void QtCanvas::MoveTo(int x, int y)
{
    state_.position = {x, y};
    // A move ends the stroke being collected; the next LineTo starts another.
    if (!pending_.empty() && pending_.back().size() > 1) pending_.push_back(QPolygon());
    if (pending_.empty()) pending_.push_back(QPolygon());
    QPolygon& stroke = pending_.back();
    stroke.clear();
    stroke << QPoint(x, y);
}

void QtCanvas::LineTo(int x, int y)
{
    if (pending_.empty()) pending_.push_back(QPolygon() << QPoint(state_.position.x, state_.position.y));
    pending_.back() << QPoint(x, y);
    state_.position = {x, y};
}

void QtCanvas::Polyline(std::span<const Point> points)
{
    Flush();
    if (points.size() < 2) return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    Stroke(polygon);
}

QRect QtCanvas::OutlineRect(const Rect& rect) const
{
    // Right and bottom edges excluded: a one-pixel outline covers left … right − 1.
    const int left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const int top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
    return QRect(left, top, right - left - 1, bottom - top - 1);
}

void QtCanvas::ArcAngles(const Rect& box, Point start, Point end, double& startDegrees, double& spanDegrees) const
{
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    constexpr double kDegreesPerRadian = 57.29577951308232;
    startDegrees = std::atan2(cy - start.y, start.x - cx) * kDegreesPerRadian;
    const double endDegrees = std::atan2(cy - end.y, end.x - cx) * kDegreesPerRadian;
    spanDegrees = std::fmod(endDegrees - startDegrees + 720.0, 360.0);
    // Start and end on the same radial: the whole ellipse.
    if (spanDegrees < 1.0 / 16.0) spanDegrees = 360.0;
}

void QtCanvas::Arc(const Rect& box, Point start, Point end)
{
    Flush();
    double startDegrees, spanDegrees;
    ArcAngles(box, start, end, startDegrees, spanDegrees);
    painter_.drawArc(OutlineRect(box), static_cast<int>(std::lround(startDegrees * 16.0)),
                     static_cast<int>(std::lround(spanDegrees * 16.0)));
}

void QtCanvas::Rectangle(const Rect& rect)
{
    Flush();
    if (state_.pen.style == PenStyle::Null) {
        // Without an outline the filled area is one pixel smaller each way.
        painter_.fillRect(OutlineRect(rect), painter_.brush());
        return;
    }
    painter_.drawRect(OutlineRect(rect));
}

void QtCanvas::RoundRect(const Rect& rect, int cornerWidth, int cornerHeight)
{
    Flush();
    painter_.drawRoundedRect(OutlineRect(rect), std::abs(cornerWidth) / 2.0, std::abs(cornerHeight) / 2.0,
                             Qt::AbsoluteSize);
}

void QtCanvas::Ellipse(const Rect& box)
{
    Flush();
    painter_.drawEllipse(OutlineRect(box));
}

void QtCanvas::Pie(const Rect& box, Point start, Point end)
{
    Flush();
    double startDegrees, spanDegrees;
    ArcAngles(box, start, end, startDegrees, spanDegrees);
    painter_.drawPie(OutlineRect(box), static_cast<int>(std::lround(startDegrees * 16.0)),
                     static_cast<int>(std::lround(spanDegrees * 16.0)));
}

void QtCanvas::Chord(const Rect& box, Point start, Point end)
{
    Flush();
    double startDegrees, spanDegrees;
    ArcAngles(box, start, end, startDegrees, spanDegrees);
    painter_.drawChord(OutlineRect(box), static_cast<int>(std::lround(startDegrees * 16.0)),
                       static_cast<int>(std::lround(spanDegrees * 16.0)));
}

void QtCanvas::Polygon(std::span<const Point> points)
{
    Flush();
    if (points.size() < 2) return;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    painter_.drawPolygon(polygon, state_.fill == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
}

void QtCanvas::PolyPolygon(std::span<const Point> points, std::span<const int> counts)
{
    Flush();
    QPainterPath path;
    path.setFillRule(state_.fill == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    std::size_t next = 0;
    for (const int count : counts) {
        if (count <= 0) continue;
        if (static_cast<std::size_t>(count) > points.size() - next) break;
        QPolygonF polygon;
        for (int i = 0; i < count; ++i, ++next) polygon << QPointF(points[next].x, points[next].y);
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    if (!path.isEmpty()) painter_.drawPath(path);
}

void QtCanvas::FillRect(const Rect& rect, Colour colour)
{
    Flush();
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
}

void QtCanvas::DrawImage(const Rect& dest, const Image& image)
{
    Flush();
    if (image.width <= 0 || image.height <= 0) return;
    if (image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) return;
    QImage picture(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                   static_cast<qsizetype>(image.width) * 4, QImage::Format_ARGB32);
    // A destination given right to left or bottom to top mirrors the picture.
    const bool mirrorX = dest.right < dest.left, mirrorY = dest.bottom < dest.top;
    if (mirrorX || mirrorY) picture = picture.mirrored(mirrorX, mirrorY);
    const QRect target(std::min(dest.left, dest.right), std::min(dest.top, dest.bottom), std::abs(dest.Width()),
                       std::abs(dest.Height()));
    if (target.isEmpty()) return;
    painter_.drawImage(target, picture);
}

void QtCanvas::TextOut(int x, int y, std::string_view text, std::span<const int> advances)
{
    Flush();
    const QString string = Decode(text);
    if (string.isEmpty()) return;

    // Split into characters (code points) so per-character advances apply.
    std::vector<QString> characters;
    for (qsizetype i = 0; i < string.size(); ++i) {
        if (string.at(i).isHighSurrogate() && i + 1 < string.size()) {
            characters.push_back(string.mid(i, 2));
            ++i;
        } else {
            characters.push_back(string.mid(i, 1));
        }
    }
    std::vector<int> steps;
    int width = 0;
    if (advances.empty()) {
        width = Advance(string);
    } else {
        for (std::size_t i = 0; i < characters.size(); ++i) {
            steps.push_back(i < advances.size() ? advances[i] : Advance(characters[i]));
            width += steps.back();
        }
    }

    int left = 0;
    if (state_.align.h == HAlign::Centre)
        left = -width / 2;
    else if (state_.align.h == HAlign::Right)
        left = -width;
    int baseline = 0;
    if (state_.align.v == VAlign::Top)
        baseline = state_.ascent;
    else if (state_.align.v == VAlign::Bottom)
        baseline = -state_.descent;

    painter_.save();
    painter_.translate(x, y);
    if (state_.font.escapement != 0) painter_.rotate(-state_.font.escapement / 10.0);
    if (state_.opaque)
        painter_.fillRect(QRect(left, baseline - state_.ascent, width, state_.ascent + state_.descent),
                          ToQColor(state_.background));
    painter_.setBackgroundMode(Qt::TransparentMode);
    painter_.setPen(ToQColor(state_.textColour));
    const double stretch = state_.stretch;
    if (stretch != 1.0) {
        // Along the baseline, about the reference point. Scaled glyphs are
        // filled as outlines, which are smoothed only under this hint.
        painter_.scale(stretch, 1.0);
        painter_.setRenderHint(QPainter::Antialiasing, true);
    }
    if (advances.empty()) {
        painter_.drawText(QPointF(left / stretch, baseline), string);
    } else {
        int pen = left;
        for (std::size_t i = 0; i < characters.size(); ++i) {
            painter_.drawText(QPointF(pen / stretch, baseline), characters[i]);
            pen += steps[i];
        }
    }
    painter_.restore();
}

Size QtCanvas::TextExtent(std::string_view text)
{
    return {text.empty() ? 0 : Advance(Decode(text)), state_.ascent + state_.descent};
}

int QtCanvas::AverageCharWidth()
{
    const double natural = QFontMetricsF(state_.qfont, painter_.device()).averageCharWidth();
    return std::max(1, static_cast<int>(std::lround(natural * state_.stretch)));
}

} // namespace kyklos
