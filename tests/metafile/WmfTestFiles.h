#pragma once
// Small metafiles written by the tests themselves, and helpers to play them.

#include "../../tools/wmfgen/WmfWriter.h"
#include "metafile/MetaFile.h"
#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <functional>
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

// Plays bytes through CMetaFile into target (mode 10, stretched) and returns the recording.
inline RecordingCanvas PlayBytes(const std::vector<std::uint8_t>& bytes, const Rect& target = kUnitTarget)
{
    RecordingCanvas dc;
    CMetaFile mf;
    if (mf.LoadFromMemory(bytes)) mf.Play(dc, target, 10);
    return dc;
}

} // namespace kyklos::test
