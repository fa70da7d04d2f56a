// Arbitrary bytes as a logo metafile: reading must refuse them or keep the
// sound part, and playing what was kept must stay inside the canvas's sane
// coordinate range without crashing, hanging or exhausting memory. Every
// fourth input also goes through the archive round trip, and the copy is
// played into a rectangle whose proportions differ from the picture's.

#include "metafile/MetaFile.h"
#include "platform/RecordingCanvas.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void CheckCoordinates(const kyklos::RecordingCanvas& dc)
{
    if (dc.SaveDepth() != 0) std::abort();
    for (const auto& call : dc.calls)
        for (int v : call.args)
            if (v > (1 << 25) + 2 || v < -(1 << 25) - 2) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kyklos;
    const std::span<const std::uint8_t> bytes(data, size);
    CMetaFile picture;
    if (!picture.LoadFromMemory(bytes)) {
        if (!picture.IsEmpty()) std::abort(); // a refused file must leave nothing behind
        return 0;
    }
    RecordingCanvas dc;
    picture.Play(dc, Rect{0, 0, 640, 480}, 11);
    picture.Play(dc, Rect{-5, 7, 3, 9}, 5);
    CheckCoordinates(dc);

    if (size % 4 == 0) {
        CMetaFile copy;
        if (!copy.Deserialize(picture.Serialize()) || copy.Serialize() != picture.Serialize()) std::abort();
        RecordingCanvas stretched;
        copy.Play(stretched, Rect{0, 0, 500, 40}, 10);
        CheckCoordinates(stretched);
    }
    return 0;
}
