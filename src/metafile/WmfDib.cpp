#include "metafile/WmfDib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace kyklos {

namespace {

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
std::int32_t I32(std::span<const std::uint8_t> b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

constexpr std::uint32_t Opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m >> shift);
    }
    std::uint8_t Get(std::uint32_t px) const
    {
        if (bits == 0) return 0;
        const std::uint32_t v = (px & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        const std::uint32_t max = (1u << bits) - 1;
        return static_cast<std::uint8_t>(v * 255 / max);
    }
};

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3
};

// Run-length data, bottom-up; pixels never written stay transparent.
void DecodeRle(std::span<const std::uint8_t> data, bool four, int width, int height,
               const std::vector<std::uint32_t>& palette, std::vector<std::uint32_t>& rows)
{
    auto colour = [&](unsigned index) { return index < palette.size() ? palette[index] : 0xFF000000u; };
    auto put = [&](int x, int y, unsigned index) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            rows[static_cast<std::size_t>(height - 1 - y) * width + x] = colour(index);
    };
    int x = 0, y = 0;
    std::size_t i = 0;
    // Each step consumes at least two bytes, so the loop ends with the data.
    while (i + 1 < data.size() && y < height) {
        const unsigned n = data[i], v = data[i + 1];
        i += 2;
        if (n > 0) {
            for (unsigned k = 0; k < n && x < width; ++k, ++x) put(x, y, four ? ((k & 1) ? (v & 0x0F) : (v >> 4)) : v);
            continue;
        }
        if (v == 0) {
            x = 0;
            ++y;
        } else if (v == 1)
            break;
        else if (v == 2) {
            if (i + 1 >= data.size()) break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = four ? (v + 1) / 2 : v;
            if (i + bytes > data.size()) break;
            for (unsigned k = 0; k < v; ++k, ++x) {
                const unsigned b = data[i + (four ? k / 2 : k)];
                if (x < width) put(x, y, four ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            i += (bytes + 1) & ~std::size_t{1}; // absolute runs are padded to a word
        }
    }
}

// What the header of a device-independent bitmap says about its pixels.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // made positive; bottomUp keeps the sign's meaning
    bool bottomUp = false;
    int bpp = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    bool core = false; // the old 12-byte header, with 3-byte palette entries
};

// The header, or false for one that is not a bitmap this player draws.
bool ReadDibHeader(std::span<const std::uint8_t> dib, std::size_t maxPixels, DibHeader& h)
{
    if (dib.size() < 12) return false;
    h.headerSize = U32(dib, 0);
    if (h.headerSize == 12) {
        h.core = true;
        h.width = U16(dib, 4);
        h.height = static_cast<std::int16_t>(U16(dib, 6));
        h.bpp = static_cast<int>(U16(dib, 10));
    } else if (h.headerSize >= 40 && h.headerSize <= 1024 && dib.size() >= h.headerSize) {
        h.width = I32(dib, 4);
        h.height = I32(dib, 8);
        h.bpp = static_cast<int>(U16(dib, 14));
        h.compression = U32(dib, 16);
        h.coloursUsed = U32(dib, 32);
    } else {
        return false;
    }
    h.bottomUp = h.height > 0;
    if (h.height < 0) h.height = -h.height;
    if (h.width <= 0 || h.height <= 0) return false;
    if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > maxPixels) return false;
    const int bpp = h.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.compression == kRle8 && bpp != 8) return false;
    if (h.compression == kRle4 && bpp != 4) return false;
    if (h.compression == kBitFields && bpp != 16 && bpp != 32) return false;
    if (h.compression > kBitFields) return false; // JPEG and PNG inside a DIB are not shown
    return h.compression == kRgb || h.bottomUp;
}

// The colour masks of 16- and 32-bit pixels; `at` moves past masks stored after a 40-byte header.
bool ReadMasks(std::span<const std::uint8_t> dib, const DibHeader& h, std::size_t& at, std::uint32_t masks[3])
{
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
    if (h.bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (h.compression != kBitFields) return true;
    if (h.headerSize == 40) {
        if (dib.size() < at + 12) return false;
        for (int k = 0; k < 3; ++k) masks[k] = U32(dib, at + 4 * k);
        at += 12;
        return true;
    }
    if (h.headerSize < 52) return false;
    for (int k = 0; k < 3; ++k) masks[k] = U32(dib, 40 + 4 * k);
    return true;
}

// The colour table of a bitmap of up to 8 bits per pixel; `at` moves past it.
bool ReadPalette(std::span<const std::uint8_t> dib, const DibHeader& h, bool paletteIndices, std::size_t& at,
                 std::vector<std::uint32_t>& palette)
{
    if (h.bpp > 8) {
        // An optional table for palette devices; not needed.
        if (!h.core && h.coloursUsed <= 256) at += std::size_t{h.coloursUsed} * 4;
        return true;
    }
    const std::uint32_t full = 1u << h.bpp;
    const std::uint32_t n = (h.coloursUsed == 0 || h.coloursUsed > full) ? full : h.coloursUsed;
    const std::size_t entry = paletteIndices ? 2 : (h.core ? 3 : 4);
    if (dib.size() < at + n * entry) return false;
    for (std::uint32_t k = 0; k < n; ++k) {
        if (paletteIndices) {
            const auto level = static_cast<std::uint8_t>(n > 1 ? k * 255 / (n - 1) : 0);
            palette.push_back(Opaque(level, level, level));
        } else {
            const std::size_t p = at + k * entry;
            palette.push_back(Opaque(dib[p + 2], dib[p + 1], dib[p]));
        }
    }
    at += n * entry;
    return true;
}

// One pixel of an uncompressed row.
std::uint32_t PixelAt(const std::uint8_t* src, int x, int bpp, const std::vector<std::uint32_t>& palette,
                      const Channel& red, const Channel& green, const Channel& blue)
{
    switch (bpp) {
    case 1: return palette[std::min<std::size_t>((src[x / 8] >> (7 - x % 8)) & 1, palette.size() - 1)];
    case 4: return palette[std::min<std::size_t>((src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F, palette.size() - 1)];
    case 8: return palette[std::min<std::size_t>(src[x], palette.size() - 1)];
    case 16: {
        const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
        return Opaque(red.Get(v), green.Get(v), blue.Get(v));
    }
    case 24: return Opaque(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    default: {
        const std::uint32_t v = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                (static_cast<std::uint32_t>(src[4 * x + 3]) << 24);
        // The fourth byte is not alpha in a metafile's bitmap.
        return Opaque(red.Get(v), green.Get(v), blue.Get(v));
    }
    }
}

// Rows of uncompressed pixels, top row first; false when the bits are too few.
bool DecodeUncompressed(std::span<const std::uint8_t> bits, const DibHeader& h, const std::uint32_t masks[3],
                        const std::vector<std::uint32_t>& palette, std::vector<std::uint32_t>& rows)
{
    const int w = static_cast<int>(h.width), height = static_cast<int>(h.height);
    const std::size_t stride = ((static_cast<std::size_t>(w) * h.bpp + 31) / 32) * 4;
    if (bits.size() / stride < static_cast<std::size_t>(height)) return false;
    rows.resize(static_cast<std::size_t>(w) * height);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* src = bits.data() + stride * row;
        std::uint32_t* dst = rows.data() + static_cast<std::size_t>(h.bottomUp ? height - 1 - row : row) * w;
        for (int x = 0; x < w; ++x) dst[x] = PixelAt(src, x, h.bpp, palette, red, green, blue);
    }
    return true;
}

} // namespace

bool DecodeDib(std::span<const std::uint8_t> dib, bool paletteIndices, std::size_t maxPixels, DecodedDib& out)
{
    DibHeader h;
    if (!ReadDibHeader(dib, maxPixels, h)) return false;
    std::size_t at = h.headerSize;
    std::uint32_t masks[3];
    if (!ReadMasks(dib, h, at, masks)) return false;
    std::vector<std::uint32_t> palette;
    if (!ReadPalette(dib, h, paletteIndices, at, palette)) return false;
    if (at > dib.size()) return false;
    const auto bits = dib.subspan(at);

    const int w = static_cast<int>(h.width), height = static_cast<int>(h.height);
    std::vector<std::uint32_t> rows;
    if (h.compression == kRle8 || h.compression == kRle4) {
        rows.assign(static_cast<std::size_t>(w) * height, 0u);
        DecodeRle(bits, h.compression == kRle4, w, height, palette, rows);
    } else if (!DecodeUncompressed(bits, h, masks, palette, rows)) {
        return false;
    }
    out.image.width = w;
    out.image.height = height;
    out.image.pixels = std::move(rows);
    out.bottomUp = h.bottomUp;
    return true;
}

} // namespace kyklos
