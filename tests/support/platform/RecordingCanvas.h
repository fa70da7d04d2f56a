#pragma once
// A Canvas that draws nothing and remembers every call, for tests that check
// what a page or a picture would put on a device: how many dots, where, in
// which colour, with which pen and font.
//
// Text measurement is synthetic and exact: a font's cell height is the height
// asked for, and every character is as wide as the width asked for, or half a
// cell when the font has its natural width.

#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace kyklos {

struct RecordedCall {
    std::string op;        // "SetPixel", "MoveTo", "LineTo", "TextOut", ...
    std::vector<int> args; // coordinates and sizes in call order
    std::string text;      // TextOut / TextExtent text
    // State in force when the call was made.
    Pen pen;
    Brush brush;
    FontSpec font;
    Colour colour; // SetPixel colour, FillRect colour or text colour
    TextAlign align;
    int clipDepth = 0; // Save depth
};

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int dpiX = 96, int dpiY = 96, bool printing = false)
        : dpiX_(dpiX), dpiY_(dpiY), printing_(printing)
    {}

    std::vector<RecordedCall> calls;

    // Calls with the given op, in order.
    std::vector<RecordedCall> Calls(std::string_view op) const;
    int Count(std::string_view op) const;

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

    // Current state, for assertions after drawing.
    const Pen& CurrentPen() const { return state_.pen; }
    const FontSpec& CurrentFont() const { return state_.font; }
    Colour CurrentTextColour() const { return state_.textColour; }
    int SaveDepth() const { return static_cast<int>(stack_.size()); }

private:
    struct State {
        Pen pen;
        Brush brush{BrushStyle::Solid, kWhite, HatchStyle::Horizontal};
        FontSpec font;
        Colour textColour = kBlack;
        TextAlign align;
        bool opaque = true;
        Colour background = kWhite;
        FillMode fill = FillMode::Alternate;
    };
    RecordedCall& Record(std::string op, std::vector<int> args, Colour colour = {});

    int dpiX_, dpiY_;
    bool printing_;
    State state_;
    std::vector<State> stack_;
};

} // namespace kyklos
