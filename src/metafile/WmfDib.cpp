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

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

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
            for (unsigned k = 0; k < n && x < width; ++k, ++x)
                put(x, y, four ? ((k & 1) ? (v & 0x0F) : (v >> 4)) : v);
            continue;
        }
        if (v == 0) { x = 0; ++y; }
        else if (v == 1) break;
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
            i += (bytes + 1) & ~std::size_t{1};   // absolute runs are padded to a word
        }
    }
}

} // namespace

bool DecodeDib(std::span<const std::uint8_t> dib, bool paletteIndices, std::size_t maxPixels, DecodedDib& out)
{
    if (dib.size() < 12) return false;
    const std::uint32_t headerSize = U32(dib, 0);
    std::int64_t width = 0, height = 0;
    int bpp = 0;
    std::uint32_t compression = kRgb, coloursUsed = 0;
    bool core = false;
    if (headerSize == 12) {
        core = true;
        width = U16(dib, 4);
        height = static_cast<std::int16_t>(U16(dib, 6));
        bpp = static_cast<int>(U16(dib, 10));
    } else if (headerSize >= 40 && headerSize <= 1024 && dib.size() >= headerSize) {
        width = I32(dib, 4);
        height = I32(dib, 8);
        bpp = static_cast<int>(U16(dib, 14));
        compression = U32(dib, 16);
        coloursUsed = U32(dib, 32);
    } else {
        return false;
    }
    const bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0) return false;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxPixels) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (compression == kRle8 && bpp != 8) return false;
    if (compression == kRle4 && bpp != 4) return false;
    if (compression == kBitFields && bpp != 16 && bpp != 32) return false;
    if (compression > kBitFields) return false;   // JPEG and PNG inside a DIB are not shown
    if (compression != kRgb && !bottomUp) return false;

    std::size_t at = headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32) { masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; }
    if (compression == kBitFields) {
        if (headerSize == 40) {
            if (dib.size() < at + 12) return false;
            for (int k = 0; k < 3; ++k) masks[k] = U32(dib, at + 4 * k);
            at += 12;
        } else {
            if (headerSize < 52) return false;
            for (int k = 0; k < 3; ++k) masks[k] = U32(dib, 40 + 4 * k);
        }
    }

    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        const std::uint32_t n = (coloursUsed == 0 || coloursUsed > full) ? full : coloursUsed;
        const std::size_t entry = paletteIndices ? 2 : (core ? 3 : 4);
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
    } else if (!core && coloursUsed <= 256) {
        at += std::size_t{coloursUsed} * 4;   // an optional table for palette devices; not needed
    }
    if (at > dib.size()) return false;
    const auto bits = dib.subspan(at);

    const int w = static_cast<int>(width), h = static_cast<int>(height);
    std::vector<std::uint32_t> rows;
    if (compression == kRle8 || compression == kRle4) {
        rows.assign(static_cast<std::size_t>(w) * h, 0u);
        DecodeRle(bits, compression == kRle4, w, h, palette, rows);
    } else {
        const std::size_t stride = ((static_cast<std::size_t>(w) * bpp + 31) / 32) * 4;
        if (bits.size() / stride < static_cast<std::size_t>(h)) return false;
        rows.resize(static_cast<std::size_t>(w) * h);
        const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
        for (int row = 0; row < h; ++row) {
            const std::uint8_t* src = bits.data() + stride * row;
            std::uint32_t* dst = rows.data() + static_cast<std::size_t>(bottomUp ? h - 1 - row : row) * w;
            for (int x = 0; x < w; ++x) {
                std::uint32_t px = 0;
                switch (bpp) {
                case 1: px = palette[std::min<std::size_t>((src[x / 8] >> (7 - x % 8)) & 1, palette.size() - 1)]; break;
                case 4: px = palette[std::min<std::size_t>((src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F, palette.size() - 1)]; break;
                case 8: px = palette[std::min<std::size_t>(src[x], palette.size() - 1)]; break;
                case 16: {
                    const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                    px = Opaque(red.Get(v), green.Get(v), blue.Get(v));
                    break;
                }
                case 24: px = Opaque(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
                default: {
                    const std::uint32_t v = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                            (static_cast<std::uint32_t>(src[4 * x + 3]) << 24);
                    // The fourth byte is not alpha in a metafile's bitmap.
                    px = Opaque(red.Get(v), green.Get(v), blue.Get(v));
                    break;
                }
                }
                dst[x] = px;
            }
        }
    }
    out.image.width = w;
    out.image.height = h;
    out.image.pixels = std::move(rows);
    out.bottomUp = bottomUp;
    return true;
}

} // namespace kyklos
