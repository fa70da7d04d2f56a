#pragma once
// The Canvas over a QPainter: one implementation for widgets, QImage,
// QPrinter, QPdfWriter and QSvgGenerator. Coordinates are device pixels of
// the paint device; the painter must carry no transformation of its own.
//
// Drawing follows the classic device context: a current position for
// MoveTo/LineTo, lines that leave out their last pixel, rectangles whose right
// and bottom edges are excluded, pixels that stay single pixels (no
// antialiasing of lines and shapes), and text drawn opaque on the background
// colour unless the background mode is transparent. A font asked for with a
// width is drawn with its glyphs scaled horizontally about the text's
// reference point, which every paint engine (raster, PDF, SVG, printer) honours.
//
// Consecutive MoveTo/LineTo calls are collected into polylines and handed to
// the painter together; any other call, and the destructor, flushes them.
// Call Flush() before using the painter directly while the canvas lives.

#include "platform/Canvas.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPolygon>

#include <vector>

namespace kyklos {

class QtCanvas : public Canvas {
public:
    // Resolution and printing flag given explicitly.
    QtCanvas(QPainter& painter, int dpiX, int dpiY, bool printing);
    // Resolution read from the paint device; printing when it is a paged device (printer, PDF).
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;

    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // Hands pending line segments to the painter.
    void Flush();

    int DpiX() const override { return dpiX_; }
    int DpiY() const override { return dpiY_; }
    bool IsPrinting() const override { return printing_; }

    void Save() override;
    void Restore() override;
    void SetPen(const Pen& pen) override;
    void SetBrush(const Brush& brush) override;
    int SetFont(const FontSpec& font) override;
    void SetTextColour(Colour colour) override;
    void SetTextAlign(TextAlign align) override;
    void SetBackgroundMode(bool opaque) override;
    void SetBackgroundColour(Colour colour) override;
    void SetFillMode(FillMode mode) override;
    void IntersectClip(const Rect& rect) override;
    void ExcludeClip(const Rect& rect) override;

    void SetPixel(int x, int y, Colour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(std::span<const Point> points) override;
    void Arc(const Rect& box, Point start, Point end) override;
    void Rectangle(const Rect& rect) override;
    void RoundRect(const Rect& rect, int cornerWidth, int cornerHeight) override;
    void Ellipse(const Rect& box) override;
    void Pie(const Rect& box, Point start, Point end) override;
    void Chord(const Rect& box, Point start, Point end) override;
    void Polygon(std::span<const Point> points) override;
    void PolyPolygon(std::span<const Point> points, std::span<const int> counts) override;
    void FillRect(const Rect& rect, Colour colour) override;
    void DrawImage(const Rect& dest, const Image& image) override;
    void TextOut(int x, int y, std::string_view text, std::span<const int> advances = {}) override;
    Size TextExtent(std::string_view text) override;
    int AverageCharWidth() override;

    // The QFont chosen for a cell-height request on this canvas's device, and
    // its measured cell height (ascent + descent). Exposed for tests.
    QFont ResolveFont(const FontSpec& request, int* cellHeight = nullptr) const;

private:
    struct State {
        Pen pen;
        Brush brush{BrushStyle::Solid, kWhite, HatchStyle::Horizontal};
        FontSpec font;
        QFont qfont;
        int ascent = 0;
        int descent = 0;
        // Horizontal scale of the glyphs that gives the font its asked-for width.
        double stretch = 1.0;
        Colour textColour = kBlack;
        TextAlign align;
        bool opaque = true;
        Colour background = kWhite;
        FillMode fill = FillMode::Alternate;
        Point position;
    };

    void Init();
    void ApplyPen();
    // Draws a stroke of MoveTo/LineTo vertices with the current pen.
    void Stroke(const QPolygon& points);
    void ApplyBrush();
    // Angles (degrees, counter-clockwise from +x) of the radials through start and end.
    void ArcAngles(const Rect& box, Point start, Point end, double& startDegrees, double& spanDegrees) const;
    QRect OutlineRect(const Rect& rect) const;
    double WidthStretch(const FontSpec& request, const QFont& font) const;
    // Advance width of text in the current font, device units.
    int Advance(const QString& text) const;

    QPainter& painter_;
    int dpiX_;
    int dpiY_;
    bool printing_;
    State state_;
    std::vector<State> stack_;
    // Pending strokes: each polygon is one MoveTo followed by LineTo vertices.
    std::vector<QPolygon> pending_;
};

} // namespace kyklos
