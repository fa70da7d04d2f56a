#pragma once
// Plays a parsed Windows metafile through a Canvas.
//
// The picture is framed as Windows GDI frames a Windows metafile converted to
// an enhanced one without a picture size (SetWinMetaFileBits with no
// METAFILEPICT): the records are first run without drawing to find the bounds
// of what they actually draw, in the metafile's own device space (its window
// and viewport mapping applied), and those bounds are then mapped onto the
// target rectangle. A drawing that sticks out of its window therefore still
// fits, and a picture that never sets a window is shown all the same.

#include "metafile/WmfPicture.h"
#include "platform/Canvas.h"

namespace kyklos {

class WmfPlayer {
public:
    WmfPlayer(const WmfPicture& picture, Canvas& dc) : pic_(picture), dc_(dc) {}

    // Draws the picture over target. The canvas state is saved before and restored after.
    void Play(const Rect& target);

    // Bounds of what the records draw, in the metafile's device space; false when they draw nothing.
    bool DrawnBounds(double& left, double& top, double& right, double& bottom);

private:
    const WmfPicture& pic_;
    Canvas& dc_;
};

} // namespace kyklos
