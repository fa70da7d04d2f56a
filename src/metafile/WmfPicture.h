#pragma once
// A Windows metafile parsed once into checked, typed records. Every size,
// count and coordinate array was checked against the bytes really present,
// object indices were resolved against the object table and bitmaps were
// decoded; playing (WmfPlayer) never looks at raw bytes again.
//
// Coordinates stay in the metafile's logical units, as 16-bit values.

#include "platform/Canvas.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace kyklos {

struct WmfPen {
    int style = 0; // PS_SOLID .. PS_INSIDEFRAME, low four bits only
    int width = 0; // logical units; 0 is one device pixel
    Colour colour = kBlack;
};

struct WmfBrush {
    BrushStyle style = BrushStyle::Solid;
    Colour colour = kWhite;
    HatchStyle hatch = HatchStyle::Horizontal;
};

struct WmfFont {
    int height = 0;     // logical units; negative asks for the character height
    int width = 0;      // average character width, logical units; 0: the face's own for the height
    int escapement = 0; // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // LOGFONT lfCharSet: the code page of the texts drawn with this font
    std::string face = "Arial";
};

// Regions are kept as their bounding box; a clip region that is not a plain
// rectangle is approximated by it.
struct WmfRegion {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct WmfPalette {};

using WmfObject = std::variant<WmfPalette, WmfPen, WmfBrush, WmfFont, WmfRegion>;

enum class WmfOp : std::uint8_t {
    SetWindowOrg,
    SetWindowExt,
    SetViewportOrg,
    SetViewportExt, // a0 = x, a1 = y
    OffsetWindowOrg,
    OffsetViewportOrg, // a0 = dx, a1 = dy
    ScaleWindowExt,
    ScaleViewportExt, // a0/a1 x num/den, a2/a3 y num/den
    SetMapMode,
    SetBkMode,
    SetPolyFillMode,
    SetRop2,
    SetTextAlign,     // a0
    SetTextCharExtra, // a0 = extra space per character, logical
    SetTextColour,
    SetBkColour, // colour
    SaveDC,
    RestoreDC,        // a0 = relative or absolute level
    SelectObject,     // index into objects
    SelectClipRegion, // index into objects, or -1: no clip
    OffsetClip,       // a0 = dx, a1 = dy
    IntersectClip,
    ExcludeClip, // a0..a3 = left, top, right, bottom
    MoveTo,
    LineTo,
    SetPixel, // a0 = x, a1 = y (colour for SetPixel)
    Polyline,
    Polygon,     // points [first, first + count)
    PolyPolygon, // polygons [first, first + count) of polygonSizes
    Rectangle,
    Ellipse,   // a0..a3 = box
    RoundRect, // a0..a3 = box, a4 = corner width, a5 = height
    Arc,
    Pie,
    Chord,       // a0..a3 = box, a4..a7 = start x, y, end x, y
    Text,        // index into texts
    Bitmap,      // index into bitmaps
    PatBlt,      // a0..a3 = x, y, width, height; a4 = raster op
    FillRegion,  // a0 = region object, a1 = brush object (-1: current)
    FrameRegion, // a0 = region, a1 = brush, a2/a3 = frame width/height
};

struct WmfRecord {
    WmfOp op{};
    std::int32_t a[8] = {};
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    Colour colour{};
};

struct WmfText {
    int x = 0, y = 0;
    int options = 0; // ETO_OPAQUE, ETO_CLIPPED
    bool hasRect = false;
    int rect[4] = {}; // left, top, right, bottom
    // The text as stored, in the character set of the font selected when it
    // is drawn; a double-byte character set takes two bytes for most characters.
    std::vector<std::uint8_t> bytes;
    std::vector<int> dx; // logical advances, one per byte, or empty
};

struct WmfBitmap {
    int x = 0, y = 0, width = 0, height = 0; // destination, logical units; negative sizes mirror
    Image image;                             // the source rectangle only, alpha 0 where nothing is drawn
};

class WmfPicture {
public:
    // Parses the metafile bytes (from the 18-byte metafile header on). Records
    // are taken up to the end record, the end of the bytes, or the first record
    // that is not sound, whichever comes first. False only when the header
    // itself is unusable.
    bool Parse(std::span<const std::uint8_t> bytes);

    std::vector<WmfRecord> records;
    std::vector<WmfObject> objects;
    std::vector<Point> points;
    std::vector<int> polygonSizes;
    std::vector<WmfText> texts;
    std::vector<WmfBitmap> bitmaps;
    // True when reading stopped at a record that was not sound, before the end record.
    bool damaged = false;

    // Limits against hostile files.
    static constexpr std::size_t kMaxImagePixels = 16u << 20;
    static constexpr std::size_t kMaxTotalPixels = 32u << 20;
    static constexpr int kMaxObjectSlots = 65535;
};

} // namespace kyklos
