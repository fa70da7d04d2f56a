#pragma once
// A tiny writer of Windows metafiles: records are appended as 16-bit words and
// Finish() puts the metafile header (and, if asked, the placeable header) in
// front. Used by the logo generator and by the metafile player's tests, which
// also need to write records that are deliberately wrong.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace wmfgen {

enum : std::uint16_t {
    kEof = 0x0000,
    kSaveDC = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetPolyFillMode = 0x0106,
    kSetTextCharExtra = 0x0108,
    kRestoreDC = 0x0127,
    kDibCreatePatternBrush = 0x0142,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDeleteObject = 0x01F0,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kOffsetClipRgn = 0x0220,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kScaleViewportExt = 0x0412,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kEscape = 0x0626,
    kCreateRegion = 0x06FF,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
    kCreatePalette = 0x00F7,
};

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

class WmfWriter {
public:
    // A record from its function number and parameter words, exactly as given.
    void Record(std::uint16_t function, std::initializer_list<int> words) { Record(function, std::vector<int>(words)); }
    void Record(std::uint16_t function, const std::vector<int>& words)
    {
        const auto size = static_cast<std::uint32_t>(3 + words.size());
        Put32(body_, size);
        Put16(body_, function);
        for (int w : words) Put16(body_, static_cast<std::uint16_t>(w));
        if (size > largest_) largest_ = size;
    }
    // Raw bytes appended to the record stream (for damaged files).
    void Raw(const std::vector<std::uint8_t>& bytes) { body_.insert(body_.end(), bytes.begin(), bytes.end()); }

    static int Lo(std::uint32_t v) { return static_cast<int>(v & 0xFFFF); }
    static int Hi(std::uint32_t v) { return static_cast<int>(v >> 16); }
    static std::uint32_t ColourRef(Rgb c) { return c.r | (c.g << 8) | (static_cast<std::uint32_t>(c.b) << 16); }

    void SetWindowOrg(int x, int y) { Record(kSetWindowOrg, {y, x}); }
    void SetWindowExt(int x, int y) { Record(kSetWindowExt, {y, x}); }
    void SetViewportOrg(int x, int y) { Record(kSetViewportOrg, {y, x}); }
    void SetViewportExt(int x, int y) { Record(kSetViewportExt, {y, x}); }
    void SetMapMode(int mode) { Record(kSetMapMode, {mode}); }
    void SetBkMode(int mode) { Record(kSetBkMode, {mode}); }
    void SetTextAlign(int align) { Record(kSetTextAlign, {align, 0}); }
    void SetPolyFillMode(int mode) { Record(kSetPolyFillMode, {mode}); }
    void SetTextColor(Rgb c) { Record(kSetTextColor, {Lo(ColourRef(c)), Hi(ColourRef(c))}); }
    void SetBkColor(Rgb c) { Record(kSetBkColor, {Lo(ColourRef(c)), Hi(ColourRef(c))}); }
    void SaveDC() { Record(kSaveDC, {}); }
    void RestoreDC(int n) { Record(kRestoreDC, {n}); }
    void SelectObject(int index) { Record(kSelectObject, {index}); }
    void DeleteObject(int index) { Record(kDeleteObject, {index}); }

    void CreatePen(int style, int width, Rgb c)
    {
        Record(kCreatePenIndirect, {style, width, 0, Lo(ColourRef(c)), Hi(ColourRef(c))});
    }
    void CreateBrush(int style, Rgb c, int hatch = 0)
    {
        Record(kCreateBrushIndirect, {style, Lo(ColourRef(c)), Hi(ColourRef(c)), hatch});
    }
    // Height negative: character height; positive: cell height (logical units).
    void CreateFont(int height, int weight, std::string_view face, bool italic = false, int escapement = 0,
                    bool underline = false)
    {
        std::vector<std::uint8_t> b;
        auto put16 = [&](int v) {
            b.push_back(static_cast<std::uint8_t>(v & 0xFF));
            b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        };
        put16(height);
        put16(0); // width
        put16(escapement);
        put16(escapement); // orientation
        put16(weight);
        b.push_back(italic ? 1 : 0);
        b.push_back(underline ? 1 : 0);
        b.push_back(0);    // strike-out
        b.push_back(0);    // ANSI character set
        b.push_back(0);    // output precision
        b.push_back(0);    // clip precision
        b.push_back(0);    // quality
        b.push_back(0x20); // swiss family, default pitch
        for (char ch : face) b.push_back(static_cast<std::uint8_t>(ch));
        b.push_back(0);
        Record(kCreateFontIndirect, Words(b));
    }

    void MoveTo(int x, int y) { Record(kMoveTo, {y, x}); }
    void LineTo(int x, int y) { Record(kLineTo, {y, x}); }
    void Rectangle(int l, int t, int r, int b) { Record(kRectangle, {b, r, t, l}); }
    void Ellipse(int l, int t, int r, int b) { Record(kEllipse, {b, r, t, l}); }
    void RoundRect(int l, int t, int r, int b, int w, int h) { Record(kRoundRect, {h, w, b, r, t, l}); }
    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) { Record(kArc, {ye, xe, ys, xs, b, r, t, l}); }
    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) { Record(kPie, {ye, xe, ys, xs, b, r, t, l}); }
    void Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye)
    {
        Record(kChord, {ye, xe, ys, xs, b, r, t, l});
    }
    void Poly(std::uint16_t function, const std::vector<std::pair<int, int>>& points)
    {
        std::vector<int> w{static_cast<int>(points.size())};
        for (auto [x, y] : points) {
            w.push_back(x);
            w.push_back(y);
        }
        Record(function, w);
    }
    void Polygon(const std::vector<std::pair<int, int>>& points) { Poly(kPolygon, points); }
    void Polyline(const std::vector<std::pair<int, int>>& points) { Poly(kPolyline, points); }
    void PolyPolygon(const std::vector<std::vector<std::pair<int, int>>>& polys)
    {
        std::vector<int> w{static_cast<int>(polys.size())};
        for (const auto& p : polys) w.push_back(static_cast<int>(p.size()));
        for (const auto& p : polys)
            for (auto [x, y] : p) {
                w.push_back(x);
                w.push_back(y);
            }
        Record(kPolyPolygon, w);
    }
    // Text in Windows-1252 bytes.
    void TextOut(int x, int y, std::string_view text)
    {
        std::vector<int> w{static_cast<int>(text.size())};
        auto s = Words(std::vector<std::uint8_t>(text.begin(), text.end()));
        w.insert(w.end(), s.begin(), s.end());
        w.push_back(y);
        w.push_back(x);
        Record(kTextOut, w);
    }
    void ExtTextOut(int x, int y, int options, const int* rect, std::string_view text, const std::vector<int>& dx = {})
    {
        std::vector<int> w{y, x, static_cast<int>(text.size()), options};
        if (rect) w.insert(w.end(), rect, rect + 4);
        auto s = Words(std::vector<std::uint8_t>(text.begin(), text.end()));
        w.insert(w.end(), s.begin(), s.end());
        w.insert(w.end(), dx.begin(), dx.end());
        Record(kExtTextOut, w);
    }

    // Packs bytes into little-endian words, padding an odd count with a zero.
    static std::vector<int> Words(const std::vector<std::uint8_t>& bytes)
    {
        std::vector<int> w;
        for (std::size_t i = 0; i < bytes.size(); i += 2)
            w.push_back(bytes[i] | ((i + 1 < bytes.size() ? bytes[i + 1] : 0) << 8));
        return w;
    }

    // The whole file. With unitsPerInch 0 a plain metafile, else a placeable
    // one with the given bounding box. objects: the header's object count.
    std::vector<std::uint8_t> Finish(int objects, int unitsPerInch = 0, int left = 0, int top = 0, int right = 0,
                                     int bottom = 0, bool addEof = true)
    {
        std::vector<std::uint8_t> body = body_;
        std::uint32_t largest = largest_;
        if (addEof) {
            Put32(body, 3);
            Put16(body, kEof);
            if (largest < 3) largest = 3;
        }
        std::vector<std::uint8_t> out;
        if (unitsPerInch != 0) {
            std::vector<std::uint8_t> p;
            Put32(p, kPlaceableKey);
            Put16(p, 0);
            Put16(p, static_cast<std::uint16_t>(left));
            Put16(p, static_cast<std::uint16_t>(top));
            Put16(p, static_cast<std::uint16_t>(right));
            Put16(p, static_cast<std::uint16_t>(bottom));
            Put16(p, static_cast<std::uint16_t>(unitsPerInch));
            Put32(p, 0);
            std::uint16_t sum = 0;
            for (std::size_t i = 0; i < 20; i += 2) sum ^= static_cast<std::uint16_t>(p[i] | (p[i + 1] << 8));
            Put16(p, sum);
            out = p;
        }
        Put16(out, 1); // memory metafile
        Put16(out, 9); // header words
        Put16(out, 0x0300);
        Put32(out, static_cast<std::uint32_t>((18 + body.size()) / 2));
        Put16(out, static_cast<std::uint16_t>(objects));
        Put32(out, largest);
        Put16(out, 0);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

    static void Put16(std::vector<std::uint8_t>& b, std::uint32_t v)
    {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    static void Put32(std::vector<std::uint8_t>& b, std::uint32_t v)
    {
        Put16(b, v & 0xFFFF);
        Put16(b, v >> 16);
    }

private:
    std::vector<std::uint8_t> body_;
    std::uint32_t largest_ = 0;
};

} // namespace wmfgen
