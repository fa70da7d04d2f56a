#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace kyklos {

namespace {
int CodePoints(std::string_view text)
{
    // Count UTF-8 lead bytes so "°" and "µ" are one character each.
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
} // namespace

std::vector<RecordedCall> RecordingCanvas::Calls(std::string_view op) const
{
    std::vector<RecordedCall> out;
    for (const auto& c : calls)
        if (c.op == op) out.push_back(c);
    return out;
}

int RecordingCanvas::Count(std::string_view op) const
{
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [&](const RecordedCall& c) { return c.op == op; }));
}

RecordedCall& RecordingCanvas::Record(std::string op, std::vector<int> args, Colour colour)
{
    RecordedCall call;
    call.op = std::move(op);
    call.args = std::move(args);
    call.pen = state_.pen;
    call.brush = state_.brush;
    call.font = state_.font;
    call.colour = colour;
    call.align = state_.align;
    call.clipDepth = SaveDepth();
    calls.push_back(std::move(call));
    return calls.back();
}

void RecordingCanvas::Save()
{
    stack_.push_back(state_);
    Record("Save", {});
}

void RecordingCanvas::Restore()
{
    if (!stack_.empty()) {
        state_ = stack_.back();
        stack_.pop_back();
    }
    Record("Restore", {});
}

void RecordingCanvas::SetPen(const Pen& pen)
{
    state_.pen = pen;
    Record("SetPen", {pen.width, static_cast<int>(pen.style)}, pen.colour);
}

void RecordingCanvas::SetBrush(const Brush& brush)
{
    state_.brush = brush;
    Record("SetBrush", {static_cast<int>(brush.style), static_cast<int>(brush.hatch)}, brush.colour);
}

int RecordingCanvas::SetFont(const FontSpec& font)
{
    state_.font = font;
    const int height = std::max(1, font.height < 0 ? -font.height : font.height);
    Record("SetFont", {font.height, font.weight, font.escapement, font.width}).text = font.face;
    return height;
}

void RecordingCanvas::SetTextColour(Colour colour)
{
    state_.textColour = colour;
    Record("SetTextColour", {}, colour);
}

void RecordingCanvas::SetTextAlign(TextAlign align)
{
    state_.align = align;
    Record("SetTextAlign", {static_cast<int>(align.h), static_cast<int>(align.v)});
}

void RecordingCanvas::SetBackgroundMode(bool opaque)
{
    state_.opaque = opaque;
    Record("SetBackgroundMode", {opaque ? 1 : 0});
}

void RecordingCanvas::SetBackgroundColour(Colour colour)
{
    state_.background = colour;
    Record("SetBackgroundColour", {}, colour);
}

void RecordingCanvas::SetFillMode(FillMode mode)
{
    state_.fill = mode;
    Record("SetFillMode", {static_cast<int>(mode)});
}

void RecordingCanvas::IntersectClip(const Rect& r) { Record("IntersectClip", {r.left, r.top, r.right, r.bottom}); }
void RecordingCanvas::ExcludeClip(const Rect& r) { Record("ExcludeClip", {r.left, r.top, r.right, r.bottom}); }
void RecordingCanvas::SetPixel(int x, int y, Colour colour) { Record("SetPixel", {x, y}, colour); }
void RecordingCanvas::MoveTo(int x, int y) { Record("MoveTo", {x, y}); }
void RecordingCanvas::LineTo(int x, int y) { Record("LineTo", {x, y}, state_.pen.colour); }

void RecordingCanvas::Polyline(std::span<const Point> points)
{
    std::vector<int> args;
    for (const auto& p : points) {
        args.push_back(p.x);
        args.push_back(p.y);
    }
    Record("Polyline", std::move(args), state_.pen.colour);
}

void RecordingCanvas::Arc(const Rect& b, Point s, Point e)
{
    Record("Arc", {b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y}, state_.pen.colour);
}

void RecordingCanvas::Rectangle(const Rect& r)
{
    Record("Rectangle", {r.left, r.top, r.right, r.bottom}, state_.brush.colour);
}
void RecordingCanvas::RoundRect(const Rect& r, int w, int h)
{
    Record("RoundRect", {r.left, r.top, r.right, r.bottom, w, h}, state_.brush.colour);
}
void RecordingCanvas::Ellipse(const Rect& r)
{
    Record("Ellipse", {r.left, r.top, r.right, r.bottom}, state_.brush.colour);
}

void RecordingCanvas::Pie(const Rect& b, Point s, Point e)
{
    Record("Pie", {b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y}, state_.brush.colour);
}

void RecordingCanvas::Chord(const Rect& b, Point s, Point e)
{
    Record("Chord", {b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y}, state_.brush.colour);
}

void RecordingCanvas::Polygon(std::span<const Point> points)
{
    std::vector<int> args;
    for (const auto& p : points) {
        args.push_back(p.x);
        args.push_back(p.y);
    }
    Record("Polygon", std::move(args), state_.brush.colour);
}

void RecordingCanvas::PolyPolygon(std::span<const Point> points, std::span<const int> counts)
{
    std::vector<int> args(counts.begin(), counts.end());
    for (const auto& p : points) {
        args.push_back(p.x);
        args.push_back(p.y);
    }
    Record("PolyPolygon", std::move(args), state_.brush.colour);
}

void RecordingCanvas::FillRect(const Rect& r, Colour colour)
{
    Record("FillRect", {r.left, r.top, r.right, r.bottom}, colour);
}

void RecordingCanvas::DrawImage(const Rect& d, const Image& image)
{
    Record("DrawImage", {d.left, d.top, d.right, d.bottom, image.width, image.height});
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text, std::span<const int> advances)
{
    std::vector<int> args{x, y};
    args.insert(args.end(), advances.begin(), advances.end());
    Record("TextOut", std::move(args), state_.textColour).text = std::string(text);
}

Size RecordingCanvas::TextExtent(std::string_view text)
{
    const int h = std::max(1, state_.font.height < 0 ? -state_.font.height : state_.font.height);
    // 64-bit products: a hostile picture may ask for huge fonts.
    const std::int64_t n = CodePoints(text);
    const std::int64_t width = state_.font.width != 0 ? n * std::abs(std::int64_t{state_.font.width}) : n * h / 2;
    return {static_cast<int>(std::min<std::int64_t>(width, std::numeric_limits<int>::max())), h};
}

int RecordingCanvas::AverageCharWidth()
{
    if (state_.font.width != 0) return std::abs(state_.font.width);
    return std::max(1, state_.font.height < 0 ? -state_.font.height : state_.font.height) / 2;
}

} // namespace kyklos
