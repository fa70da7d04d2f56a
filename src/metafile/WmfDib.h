#pragma once
// Decoding the device-independent bitmaps that metafile records carry:
// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, run-length encoded
// (RLE4, RLE8) or with bit-field masks.

#include "platform/Canvas.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace kyklos {

struct DecodedDib {
    Image image;          // rows top to bottom; alpha 0 where run-length data skipped pixels
    bool bottomUp = true; // the rows were stored bottom to top
};

// dib: the bitmap header, the colour table and the bits. paletteIndices: the
// colour table holds 16-bit palette indices instead of colours (shown as a
// grey ramp, as no palette is realised). False when the header is not one we
// know, the data is shorter than the header promises, or the picture would
// have more than maxPixels pixels.
bool DecodeDib(std::span<const std::uint8_t> dib, bool paletteIndices, std::size_t maxPixels, DecodedDib& out);

} // namespace kyklos
