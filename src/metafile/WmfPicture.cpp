#include "metafile/WmfPicture.h"

#include "metafile/WmfCharset.h"
#include "metafile/WmfDib.h"

#include <algorithm>
#include <set>

namespace kyklos {

namespace {

// Record function numbers.
enum : std::uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_FRAMEREGION = 0x0429,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

constexpr int ETO_OPAQUE = 0x0002;
constexpr int ETO_CLIPPED = 0x0004;
constexpr int ETO_PDY = 0x2000;

// Raster operations that decide how a bitmap or a pattern block is shown.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// The parameter words of one record, every access checked.
class Params {
public:
    explicit Params(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Words() const { return bytes_.size() / 2; }
    bool Has(std::size_t words) const { return Words() >= words; }
    int I16(std::size_t k) const { return static_cast<std::int16_t>(U16(k)); }
    int U16(std::size_t k) const { return bytes_[2 * k] | (bytes_[2 * k + 1] << 8); }
    std::uint32_t U32(std::size_t k) const
    {
        return static_cast<std::uint32_t>(U16(k)) | (static_cast<std::uint32_t>(U16(k + 1)) << 16);
    }
    Colour ColourAt(std::size_t k) const { return {bytes_[2 * k], bytes_[2 * k + 1], bytes_[2 * k + 2]}; }
    std::span<const std::uint8_t> BytesFrom(std::size_t word) const
    {
        return 2 * word <= bytes_.size() ? bytes_.subspan(2 * word) : std::span<const std::uint8_t>{};
    }

private:
    std::span<const std::uint8_t> bytes_;
};

class Parser {
public:
    Parser(WmfPicture& picture, int objectSlots) : pic_(picture)
    {
        slots_.assign(static_cast<std::size_t>(objectSlots), -1);
        for (int i = 0; i < objectSlots; ++i) free_.insert(i);
    }

    // False when the record is not sound.
    bool Record(std::uint16_t function, std::uint32_t sizeWords, const Params& p);

private:
    WmfRecord& Add(WmfOp op, std::initializer_list<int> args = {})
    {
        WmfRecord r;
        r.op = op;
        int k = 0;
        for (int a : args) r.a[k++] = a;
        pic_.records.push_back(r);
        return pic_.records.back();
    }

    // The object goes into the lowest free slot of the table, as the system
    // does; a table declared too small grows, since sloppy writers miscount.
    void Create(WmfObject object)
    {
        const int id = static_cast<int>(pic_.objects.size());
        pic_.objects.push_back(std::move(object));
        if (free_.empty()) {
            if (slots_.size() >= static_cast<std::size_t>(WmfPicture::kMaxObjectSlots)) return;
            slots_.push_back(-1);
            free_.insert(static_cast<int>(slots_.size()) - 1);
        }
        const int slot = *free_.begin();
        free_.erase(free_.begin());
        slots_[static_cast<std::size_t>(slot)] = id;
    }
    int ObjectAt(int slot) const
    {
        if (slot < 0 || static_cast<std::size_t>(slot) >= slots_.size()) return -1;
        return slots_[static_cast<std::size_t>(slot)];
    }
    template <class T>
    bool Is(int id) const
    {
        return id >= 0 && std::holds_alternative<T>(pic_.objects[static_cast<std::size_t>(id)]);
    }

    bool Points(WmfOp op, const Params& p);
    bool PolyPolygon(const Params& p);
    bool Text(const Params& p, bool extended);
    bool Font(const Params& p);
    void PatternBrush(const Params& p);
    void Region(const Params& p);
    bool Bitmap(std::span<const std::uint8_t> dib, bool paletteIndices, std::uint32_t rop, int xSrc, int ySrc,
                int srcWidth, int srcHeight, int x, int y, int width, int height);
    void PatBlt(std::uint32_t rop, int x, int y, int width, int height)
    {
        Add(WmfOp::PatBlt, {x, y, width, height, static_cast<int>(rop)});
    }

    WmfPicture& pic_;
    std::vector<int> slots_;
    std::set<int> free_;
    std::size_t pixelsUsed_ = 0;
};

bool Parser::Record(std::uint16_t function, std::uint32_t sizeWords, const Params& p)
{
    switch (function) {
    case META_SETWINDOWORG:
    case META_SETWINDOWEXT:
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_OFFSETWINDOWORG:
    case META_OFFSETVIEWPORTORG:
    case META_MOVETO:
    case META_LINETO:
    case META_OFFSETCLIPRGN: {
        if (!p.Has(2)) return false;
        WmfOp op{};
        switch (function) {
        case META_SETWINDOWORG: op = WmfOp::SetWindowOrg; break;
        case META_SETWINDOWEXT: op = WmfOp::SetWindowExt; break;
        case META_SETVIEWPORTORG: op = WmfOp::SetViewportOrg; break;
        case META_SETVIEWPORTEXT: op = WmfOp::SetViewportExt; break;
        case META_OFFSETWINDOWORG: op = WmfOp::OffsetWindowOrg; break;
        case META_OFFSETVIEWPORTORG: op = WmfOp::OffsetViewportOrg; break;
        case META_MOVETO: op = WmfOp::MoveTo; break;
        case META_LINETO: op = WmfOp::LineTo; break;
        default: op = WmfOp::OffsetClip; break;
        }
        Add(op, {p.I16(1), p.I16(0)});
        return true;
    }
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT:
        if (!p.Has(4)) return false;
        Add(function == META_SCALEWINDOWEXT ? WmfOp::ScaleWindowExt : WmfOp::ScaleViewportExt,
            {p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
        return true;
    case META_SETTEXTCHAREXTRA:
        if (!p.Has(1)) return false;
        Add(WmfOp::SetTextCharExtra, {p.I16(0)});
        return true;
    case META_SETMAPMODE:
    case META_SETBKMODE:
    case META_SETPOLYFILLMODE:
    case META_SETROP2:
    case META_SETTEXTALIGN: {
        if (!p.Has(1)) return false;
        const WmfOp op = function == META_SETMAPMODE        ? WmfOp::SetMapMode
                         : function == META_SETBKMODE       ? WmfOp::SetBkMode
                         : function == META_SETPOLYFILLMODE ? WmfOp::SetPolyFillMode
                         : function == META_SETROP2         ? WmfOp::SetRop2
                                                            : WmfOp::SetTextAlign;
        Add(op, {p.U16(0)});
        return true;
    }
    case META_SETTEXTCOLOR:
    case META_SETBKCOLOR:
        if (!p.Has(2)) return false;
        Add(function == META_SETTEXTCOLOR ? WmfOp::SetTextColour : WmfOp::SetBkColour).colour = p.ColourAt(0);
        return true;
    case META_SAVEDC: Add(WmfOp::SaveDC); return true;
    case META_RESTOREDC:
        if (!p.Has(1)) return false;
        Add(WmfOp::RestoreDC, {p.I16(0)});
        return true;
    case META_SELECTOBJECT: {
        if (!p.Has(1)) return false;
        const int id = ObjectAt(p.U16(0));
        // Windows GDI refuses to select an empty slot and plays on: it is not damage.
        if (Is<WmfRegion>(id))
            Add(WmfOp::SelectClipRegion, {1}).first = static_cast<std::uint32_t>(id);
        else if (id >= 0 && !Is<WmfPalette>(id))
            Add(WmfOp::SelectObject).first = static_cast<std::uint32_t>(id);
        return true;
    }
    case META_DELETEOBJECT: {
        if (!p.Has(1)) return false;
        const int slot = p.U16(0);
        if (ObjectAt(slot) >= 0) {
            slots_[static_cast<std::size_t>(slot)] = -1;
            free_.insert(slot);
        }
        return true;
    }
    case META_SELECTCLIPREGION: {
        if (!p.Has(1)) return false;
        const int id = ObjectAt(p.U16(0));
        auto& r = Add(WmfOp::SelectClipRegion, {Is<WmfRegion>(id) ? 1 : 0});
        r.first = Is<WmfRegion>(id) ? static_cast<std::uint32_t>(id) : 0;
        return true;
    }
    case META_INTERSECTCLIPRECT:
    case META_EXCLUDECLIPRECT:
    case META_RECTANGLE:
    case META_ELLIPSE: {
        if (!p.Has(4)) return false;
        const WmfOp op = function == META_INTERSECTCLIPRECT ? WmfOp::IntersectClip
                         : function == META_EXCLUDECLIPRECT ? WmfOp::ExcludeClip
                         : function == META_RECTANGLE       ? WmfOp::Rectangle
                                                            : WmfOp::Ellipse;
        Add(op, {p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
        return true;
    }
    case META_ROUNDRECT:
        if (!p.Has(6)) return false;
        Add(WmfOp::RoundRect, {p.I16(5), p.I16(4), p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
        return true;
    case META_ARC:
    case META_PIE:
    case META_CHORD:
        if (!p.Has(8)) return false;
        Add(function == META_ARC   ? WmfOp::Arc
            : function == META_PIE ? WmfOp::Pie
                                   : WmfOp::Chord,
            {p.I16(7), p.I16(6), p.I16(5), p.I16(4), p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
        return true;
    case META_SETPIXEL:
        if (!p.Has(4)) return false;
        Add(WmfOp::SetPixel, {p.I16(3), p.I16(2)}).colour = p.ColourAt(0);
        return true;
    case META_POLYGON: return Points(WmfOp::Polygon, p);
    case META_POLYLINE: return Points(WmfOp::Polyline, p);
    case META_POLYPOLYGON: return PolyPolygon(p);
    case META_TEXTOUT: return Text(p, false);
    case META_EXTTEXTOUT: return Text(p, true);

    case META_CREATEPENINDIRECT: {
        if (!p.Has(5)) return false;
        WmfPen pen;
        pen.style = p.U16(0) & 0x0F;
        pen.width = std::abs(p.I16(1));
        pen.colour = p.ColourAt(3);
        Create(pen);
        return true;
    }
    case META_CREATEBRUSHINDIRECT: {
        if (!p.Has(4)) return false;
        WmfBrush brush;
        brush.colour = p.ColourAt(1);
        switch (p.U16(0)) {
        case 1: brush.style = BrushStyle::Null; break;
        case 2: {
            brush.style = BrushStyle::Hatched;
            const int h = p.U16(3);
            brush.hatch = h <= 5 ? static_cast<HatchStyle>(h) : HatchStyle::Horizontal;
            break;
        }
        default: brush.style = BrushStyle::Solid; break;
        }
        Create(brush);
        return true;
    }
    case META_CREATEFONTINDIRECT: return Font(p);
    case META_DIBCREATEPATTERNBRUSH: PatternBrush(p); return true;
    case META_CREATEPATTERNBRUSH:
        // A device-dependent pattern: shown as a plain mid grey.
        Create(WmfBrush{BrushStyle::Solid, kGrey, HatchStyle::Horizontal});
        return true;
    case META_CREATEPALETTE: Create(WmfPalette{}); return true;
    case META_CREATEREGION: Region(p); return true;

    case META_FILLREGION:
    case META_FRAMEREGION: {
        const bool frame = function == META_FRAMEREGION;
        if (!p.Has(frame ? 4 : 2)) return false;
        const int region = ObjectAt(p.U16(0)), brush = ObjectAt(p.U16(1));
        if (Is<WmfRegion>(region) && Is<WmfBrush>(brush)) {
            if (frame)
                Add(WmfOp::FrameRegion, {region, brush, p.I16(3), p.I16(2)});
            else
                Add(WmfOp::FillRegion, {region, brush});
        }
        return true;
    }
    case META_PAINTREGION: {
        if (!p.Has(1)) return false;
        const int region = ObjectAt(p.U16(0));
        if (Is<WmfRegion>(region)) Add(WmfOp::FillRegion, {region, -1});
        return true;
    }

    case META_PATBLT:
        if (!p.Has(6)) return false;
        PatBlt(p.U32(0), p.I16(5), p.I16(4), p.I16(3), p.I16(2));
        return true;
    case META_BITBLT:
    case META_DIBBITBLT:
        if (sizeWords == 12u) { // no source bitmap: a pattern block
            if (!p.Has(9)) return false;
            PatBlt(p.U32(0), p.I16(8), p.I16(7), p.I16(6), p.I16(5));
            return true;
        }
        if (function == META_BITBLT) return true; // device-dependent bitmap: not shown
        if (!p.Has(8)) return false;
        return Bitmap(p.BytesFrom(8), false, p.U32(0), p.I16(3), p.I16(2), p.I16(5), p.I16(4), p.I16(7), p.I16(6),
                      p.I16(5), p.I16(4));
    case META_STRETCHBLT:
    case META_DIBSTRETCHBLT:
        if (sizeWords == 14u) {
            if (!p.Has(11)) return false;
            PatBlt(p.U32(0), p.I16(10), p.I16(9), p.I16(8), p.I16(7));
            return true;
        }
        if (function == META_STRETCHBLT) return true;
        if (!p.Has(10)) return false;
        return Bitmap(p.BytesFrom(10), false, p.U32(0), p.I16(5), p.I16(4), p.I16(3), p.I16(2), p.I16(9), p.I16(8),
                      p.I16(7), p.I16(6));
    case META_STRETCHDIB:
        if (!p.Has(11)) return false;
        return Bitmap(p.BytesFrom(11), p.U16(2) == 1, p.U32(0), p.I16(6), p.I16(5), p.I16(4), p.I16(3), p.I16(10),
                      p.I16(9), p.I16(8), p.I16(7));
    case META_SETDIBTODEV:
        if (!p.Has(9)) return false;
        return Bitmap(p.BytesFrom(9), p.U16(0) == 1, SRCCOPY, p.I16(4), p.I16(3), p.I16(6), p.I16(5), p.I16(8),
                      p.I16(7), p.I16(6), p.I16(5));

    default:
        // Unknown records, palette handling, flood fills, and escapes (which may
        // carry a whole embedded picture) are skipped.
        return true;
    }
}

bool Parser::Points(WmfOp op, const Params& p)
{
    if (!p.Has(1)) return false;
    const int n = p.I16(0);
    if (n < 0 || !p.Has(1 + 2 * static_cast<std::size_t>(n))) return false;
    if (n < 2) return true; // nothing to draw, but not damage
    auto& r = Add(op);
    r.first = static_cast<std::uint32_t>(pic_.points.size());
    r.count = static_cast<std::uint32_t>(n);
    for (int i = 0; i < n; ++i) pic_.points.push_back({p.I16(1 + 2 * i), p.I16(2 + 2 * i)});
    return true;
}

bool Parser::PolyPolygon(const Params& p)
{
    if (!p.Has(1)) return false;
    const std::size_t polys = static_cast<std::size_t>(p.U16(0));
    if (!p.Has(1 + polys)) return false;
    std::size_t total = 0;
    for (std::size_t i = 0; i < polys; ++i) total += static_cast<std::size_t>(p.U16(1 + i));
    if (!p.Has(1 + polys + 2 * total)) return false;
    auto& r = Add(WmfOp::PolyPolygon);
    r.first = static_cast<std::uint32_t>(pic_.polygonSizes.size());
    r.count = static_cast<std::uint32_t>(polys);
    r.a[0] = static_cast<int>(pic_.points.size());
    for (std::size_t i = 0; i < polys; ++i) pic_.polygonSizes.push_back(p.U16(1 + i));
    const std::size_t base = 1 + polys;
    for (std::size_t i = 0; i < total; ++i) pic_.points.push_back({p.I16(base + 2 * i), p.I16(base + 2 * i + 1)});
    return true;
}

bool Parser::Text(const Params& p, bool extended)
{
    WmfText t;
    std::size_t stringWord = 0;
    int n = 0;
    if (!extended) {
        if (!p.Has(1)) return false;
        n = p.I16(0);
        if (n < 0) return false;
        stringWord = 1;
        const std::size_t after = stringWord + (static_cast<std::size_t>(n) + 1) / 2;
        if (!p.Has(after + 2)) return false;
        t.y = p.I16(after);
        t.x = p.I16(after + 1);
    } else {
        if (!p.Has(4)) return false;
        t.y = p.I16(0);
        t.x = p.I16(1);
        n = p.I16(2);
        t.options = p.U16(3);
        if (n < 0) return false;
        stringWord = 4;
        if (t.options & (ETO_OPAQUE | ETO_CLIPPED)) {
            if (!p.Has(8)) return false;
            t.hasRect = true;
            for (int k = 0; k < 4; ++k) t.rect[k] = p.I16(4 + k);
            stringWord = 8;
        }
    }
    const std::size_t stringWords = (static_cast<std::size_t>(n) + 1) / 2;
    if (!p.Has(stringWord + stringWords)) return false;
    const auto bytes = p.BytesFrom(stringWord).first(static_cast<std::size_t>(n));
    t.bytes.assign(bytes.begin(), bytes.end());
    if (extended) {
        const std::size_t dxWord = stringWord + stringWords;
        const std::size_t step = (t.options & ETO_PDY) ? 2 : 1;
        if (n > 0 && p.Has(dxWord + step * static_cast<std::size_t>(n)))
            for (int i = 0; i < n; ++i) t.dx.push_back(p.I16(dxWord + step * static_cast<std::size_t>(i)));
    }
    if (n == 0 && !t.hasRect) return true;
    auto& r = Add(WmfOp::Text);
    r.first = static_cast<std::uint32_t>(pic_.texts.size());
    pic_.texts.push_back(std::move(t));
    return true;
}

bool Parser::Font(const Params& p)
{
    if (!p.Has(9)) return false;
    WmfFont f;
    f.height = p.I16(0);
    f.width = p.I16(1);
    f.escapement = p.I16(2);
    f.weight = p.I16(4);
    const auto b = p.BytesFrom(0);
    f.italic = b[10] != 0;
    f.underline = b[11] != 0;
    f.strikeOut = b[12] != 0;
    f.charset = b[13];
    const auto faceBytes = b.subspan(18, std::min<std::size_t>(32, b.size() - 18));
    const auto end = std::find(faceBytes.begin(), faceBytes.end(), std::uint8_t{0});
    // The face name is written in the font's own character set.
    f.face = DecodeWmfText(faceBytes.first(static_cast<std::size_t>(end - faceBytes.begin())), {}, f.charset).utf8;
    while (!f.face.empty() && f.face.back() == ' ') f.face.pop_back();
    if (f.face.empty()) f.face = "Arial";
    Create(std::move(f));
    return true;
}

void Parser::PatternBrush(const Params& p)
{
    // A pattern brush is shown as a solid brush of the pattern's mean colour.
    WmfBrush brush{BrushStyle::Solid, kGrey, HatchStyle::Horizontal};
    DecodedDib dib;
    if (p.Has(2) && pixelsUsed_ < WmfPicture::kMaxTotalPixels &&
        DecodeDib(p.BytesFrom(2), p.U16(1) == 1, WmfPicture::kMaxTotalPixels - pixelsUsed_, dib)) {
        pixelsUsed_ += dib.image.pixels.size();
        std::uint64_t r = 0, g = 0, b = 0;
        for (auto px : dib.image.pixels) {
            r += (px >> 16) & 0xFF;
            g += (px >> 8) & 0xFF;
            b += px & 0xFF;
        }
        const auto n = dib.image.pixels.size();
        brush.colour = {static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n),
                        static_cast<std::uint8_t>(b / n)};
    }
    Create(brush);
}

void Parser::Region(const Params& p)
{
    // Header: next-in-chain, object type, object count, size, scan count,
    // largest scan, then the bounding rectangle.
    WmfRegion region;
    if (p.Has(11)) {
        region.left = p.I16(7);
        region.top = p.I16(8);
        region.right = p.I16(9);
        region.bottom = p.I16(10);
    }
    Create(region);
}

bool Parser::Bitmap(std::span<const std::uint8_t> dibBytes, bool paletteIndices, std::uint32_t rop, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, int x, int y, int width, int height)
{
    if (rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS) {
        PatBlt(rop, x, y, width, height);
        return true;
    }
    if (width == 0 || height == 0) return true;
    if (pixelsUsed_ >= WmfPicture::kMaxTotalPixels) return true;
    DecodedDib dib;
    const std::size_t budget = std::min(WmfPicture::kMaxImagePixels, WmfPicture::kMaxTotalPixels - pixelsUsed_);
    // A bitmap we cannot show (unknown format, or too large) is left out; the rest of the picture stands.
    if (!DecodeDib(dibBytes, paletteIndices, budget, dib)) return true;
    pixelsUsed_ += dib.image.pixels.size();

    Image& img = dib.image;
    // The source rectangle; for a bottom-up bitmap its origin is the lower-left corner.
    const int sx = std::min(xSrc, xSrc + srcWidth), sw = std::abs(srcWidth);
    const int sh = std::abs(srcHeight);
    int sy = std::min(ySrc, ySrc + srcHeight);
    if (dib.bottomUp) sy = img.height - sy - sh;
    const int left = std::max(0, sx), top = std::max(0, sy);
    const int right = std::min(img.width, sx + sw), bottom = std::min(img.height, sy + sh);
    if (right <= left || bottom <= top) return true;
    if (left != 0 || top != 0 || right != img.width || bottom != img.height) {
        Image crop;
        crop.width = right - left;
        crop.height = bottom - top;
        crop.pixels.reserve(static_cast<std::size_t>(crop.width) * crop.height);
        for (int row = top; row < bottom; ++row) {
            const auto* src = img.pixels.data() + static_cast<std::size_t>(row) * img.width;
            crop.pixels.insert(crop.pixels.end(), src + left, src + right);
        }
        img = std::move(crop);
    }
    // Masking operations: what leaves the background unchanged becomes transparent.
    for (auto& px : img.pixels) {
        const std::uint32_t rgb = px & 0xFFFFFF;
        if (rop == SRCAND && rgb == 0xFFFFFF)
            px = 0;
        else if ((rop == SRCPAINT || rop == SRCINVERT) && rgb == 0)
            px = 0;
        else if (rop == NOTSRCCOPY && (px >> 24) != 0)
            px = 0xFF000000u | (~px & 0xFFFFFF);
    }
    WmfBitmap b;
    b.x = x;
    b.y = y;
    b.width = width;
    b.height = height;
    b.image = std::move(img);
    auto& r = Add(WmfOp::Bitmap);
    r.first = static_cast<std::uint32_t>(pic_.bitmaps.size());
    pic_.bitmaps.push_back(std::move(b));
    return true;
}

} // namespace

bool WmfPicture::Parse(std::span<const std::uint8_t> bytes)
{
    *this = WmfPicture{};
    if (bytes.size() < 18) return false;
    const int type = bytes[0] | (bytes[1] << 8);
    if (type != 1 && type != 2) return false;
    const int objectSlots = bytes[10] | (bytes[11] << 8);

    Parser parser(*this, objectSlots);
    std::size_t pos = 18; // the header's own size field is not trusted
    while (pos + 6 <= bytes.size()) {
        const std::uint32_t sizeWords = static_cast<std::uint32_t>(bytes[pos] | (bytes[pos + 1] << 8)) |
                                        (static_cast<std::uint32_t>(bytes[pos + 2] | (bytes[pos + 3] << 8)) << 16);
        const std::uint16_t function = static_cast<std::uint16_t>(bytes[pos + 4] | (bytes[pos + 5] << 8));
        if (function == META_EOF) return true;
        if (sizeWords < 3 || sizeWords > (bytes.size() - pos) / 2) {
            damaged = true;
            return true;
        }
        const Params params(bytes.subspan(pos + 6, std::size_t{sizeWords} * 2 - 6));
        pos += std::size_t{sizeWords} * 2;
        if (!parser.Record(function, sizeWords, params)) {
            damaged = true;
            return true;
        }
    }
    return true;
}

} // namespace kyklos
