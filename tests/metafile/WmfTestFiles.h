#pragma once
// Small metafiles written by the tests themselves, and helpers to play them.

#include "../../tools/wmfgen/WmfWriter.h"
#include "metafile/MetaFile.h"
#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

namespace kyklos::test {

using wmfgen::Rgb;
using wmfgen::WmfWriter;

// A picture whose drawn bounds are exactly (0, 0)..(1000, 1000): two white
// pixels mark the corners, so a 1001 × 1001 target maps logical units one to
// one onto device units.
inline std::vector<std::uint8_t> FramedPicture(const std::function<void(WmfWriter&)>& body, int objects = 8,
                                               int unitsPerInch = 0)
{
    WmfWriter w;
    w.Record(wmfgen::kSetPixel, {0xFFFF, 0x00FF, 0, 0});
    w.Record(wmfgen::kSetPixel, {0xFFFF, 0x00FF, 1000, 1000});
    body(w);
    return w.Finish(objects, unitsPerInch, 0, 0, 1000, 1000);
}

inline const Rect kUnitTarget{0, 0, 1001, 1001};

// A font record with the two fields WmfWriter::CreateFont leaves at zero: the
// average character width and the character set.
inline void CreateFontWith(WmfWriter& w, int height, int width, int charset)
{
    std::vector<std::uint8_t> b;
    for (int v : {height, width, 0, 0, 400}) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    for (int v : {0, 0, 0, charset, 0, 0, 0, 0x20}) b.push_back(static_cast<std::uint8_t>(v));
    for (char c : std::string_view("Arial")) b.push_back(static_cast<std::uint8_t>(c));
    b.push_back(0);
    w.Record(wmfgen::kCreateFontIndirect, WmfWriter::Words(b));
}

// Plays bytes through CMetaFile into target (mode 10, stretched) and returns the recording.
inline RecordingCanvas PlayBytes(const std::vector<std::uint8_t>& bytes, const Rect& target = kUnitTarget)
{
    RecordingCanvas dc;
    CMetaFile mf;
    if (mf.LoadFromMemory(bytes)) mf.Play(dc, target, 10);
    return dc;
}

} // namespace kyklos::test
