#pragma once
// A logo picture read from a placeable or plain Windows metafile and played
// through a Canvas. The records are parsed once, on reading, into a validated
// in-memory picture; playing maps them onto the target rectangle.

#include "platform/Canvas.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kyklos {

class CMetaFile {
public:
    CMetaFile();
    ~CMetaFile();
    CMetaFile(CMetaFile&&) noexcept;
    CMetaFile& operator=(CMetaFile&&) noexcept;

    // Opens and reads the named file; false when it cannot be opened or read.
    bool Load(const std::string& path);
    // Reads a picture from an open file positioned at its start; true when a picture is held afterwards.
    bool Read(std::FILE* file);
    // The same reading steps applied to the bytes of a whole file.
    bool LoadFromMemory(std::span<const std::uint8_t> data);
    bool IsEmpty() const;

    // Natural size in tenths of a millimetre; false when the picture has none
    // (no placeable header, or a degenerate bounding box).
    bool NaturalSize(int& width, int& height) const;

    // Draws the picture into target, placed by FitRect with the natural size
    // (stretched over target when there is none). Nothing when empty.
    void Play(Canvas& dc, const Rect& target, int fitMode) const;
    // The rectangle Play draws into: target placed by FitRect, or target itself.
    Rect Placement(const Rect& target, int fitMode) const;

    // Placement arithmetic, modes 1..12; any other mode leaves rect unchanged,
    // as do modes 11 and 12 for a zero width or height.
    static void FitRect(Rect& rect, int width, int height, int mode);

    // Archive layout: 24-byte header block, 32-bit little-endian count n, n bytes of picture.
    std::vector<std::uint8_t> Serialize() const;
    bool Deserialize(std::span<const std::uint8_t> archive);

private:
    struct Picture;
    bool SetBits(std::span<const std::uint8_t> bits);
    std::array<std::uint8_t, 24> header_{};
    std::unique_ptr<Picture> picture_;
};

} // namespace kyklos
