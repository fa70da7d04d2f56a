#pragma once
// The drawing surface the report page, the polar graph and the logo player are
// written against. Coordinates are integer device units of the target (window
// pixels, printer dots); nothing here knows about a mapping mode.
//
// The model follows the classic device context: a current pen, brush, font,
// text colour, text alignment and background mode that drawing calls use, and
// a state stack (Save/Restore) that also holds the clip region.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kGrey{128, 128, 128};
inline constexpr Colour kLightGrey{192, 192, 192};
inline constexpr Colour kNavy{0, 0, 128};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom edges are exclusive, as for a window rectangle.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class PenStyle {
    Solid,
    Dash,
    Dot,
    DashDot,
    DashDotDot,
    Null
};

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1; // device units; 0 means one device pixel
    Colour colour = kBlack;
    friend bool operator==(const Pen&, const Pen&) = default;
};

enum class BrushStyle {
    Null,
    Solid,
    Hatched
};
enum class HatchStyle {
    Horizontal,
    Vertical,
    ForwardDiagonal,
    BackwardDiagonal,
    Cross,
    DiagonalCross
};

struct Brush {
    BrushStyle style = BrushStyle::Null;
    Colour colour = kWhite;
    HatchStyle hatch = HatchStyle::Horizontal;
    friend bool operator==(const Brush&, const Brush&) = default;
};

// A font is asked for by its cell height in device units (ascent + descent),
// as the report's layout is computed from cell heights. Its width is asked for
// as a font request's average character width: 0 takes the face's natural
// width for the height; any other width squeezes or widens the glyphs to it.
struct FontSpec {
    std::string face = "Arial";
    int height = 12;  // cell height, device units
    int width = 0;    // average character width, device units; 0: natural
    int weight = 600; // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int escapement = 0; // tenths of a degree, counter-clockwise
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Every font of the report (title, headings, results, chart labels, footer
// text) is Arial, weight 600; only the cell height differs.
inline FontSpec ReportFont(int height)
{
    FontSpec font;
    font.face = "Arial";
    font.height = height;
    font.weight = 600;
    return font;
}

enum class HAlign {
    Left,
    Centre,
    Right
};
enum class VAlign {
    Top,
    Baseline,
    Bottom
};

struct TextAlign {
    HAlign h = HAlign::Left;
    VAlign v = VAlign::Top;
    friend bool operator==(const TextAlign&, const TextAlign&) = default;
};

struct Size {
    int width = 0, height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

enum class FillMode {
    Alternate,
    Winding
};

// 32-bit pixels, 0xAARRGGBB, rows top to bottom.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Device facts.
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    // The smaller of the two resolutions; on a tie the vertical one.
    int PixelsPerInch() const { return DpiX() < DpiY() ? DpiX() : DpiY(); }
    virtual bool IsPrinting() const = 0;

    // State. Save pushes pen, brush, font, colours, alignment, modes and clip.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetBrush(const Brush& brush) = 0;
    // Selects the font and returns its measured cell height (always > 0).
    virtual int SetFont(const FontSpec& font) = 0;
    virtual void SetTextColour(Colour colour) = 0;
    virtual void SetTextAlign(TextAlign align) = 0;
    // Text and hatch backgrounds: opaque (the default, on white) or transparent.
    virtual void SetBackgroundMode(bool opaque) = 0;
    virtual void SetBackgroundColour(Colour colour) = 0;
    virtual void SetFillMode(FillMode mode) = 0;
    virtual void IntersectClip(const Rect& rect) = 0;
    virtual void ExcludeClip(const Rect& rect) = 0;

    // Lines with the current pen.
    virtual void SetPixel(int x, int y, Colour colour) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Polyline(std::span<const Point> points) = 0;
    // Counter-clockwise arc of the ellipse inscribed in box, from the radial
    // through start to the radial through end.
    virtual void Arc(const Rect& box, Point start, Point end) = 0;

    // Filled shapes: outline with the current pen, inside with the current brush.
    virtual void Rectangle(const Rect& rect) = 0;
    virtual void RoundRect(const Rect& rect, int cornerWidth, int cornerHeight) = 0;
    virtual void Ellipse(const Rect& box) = 0;
    virtual void Pie(const Rect& box, Point start, Point end) = 0;
    virtual void Chord(const Rect& box, Point start, Point end) = 0;
    virtual void Polygon(std::span<const Point> points) = 0;
    // counts[i] consecutive points of `points` form polygon i.
    virtual void PolyPolygon(std::span<const Point> points, std::span<const int> counts) = 0;
    virtual void FillRect(const Rect& rect, Colour colour) = 0;
    virtual void DrawImage(const Rect& dest, const Image& image) = 0;

    // Text (UTF-8) at a reference point placed by the current alignment.
    // advances, when given, are the distances from each character to the next.
    virtual void TextOut(int x, int y, std::string_view text, std::span<const int> advances = {}) = 0;
    virtual Size TextExtent(std::string_view text) = 0;
    // The current font's average character width, device units: the width
    // its request named, or the face's natural one.
    virtual int AverageCharWidth() = 0;
};

} // namespace kyklos
