#include "view/Footer.h"

#include "metafile/MetaFile.h"

#include <algorithm>
#include <string>

namespace kyklos {

namespace {

constexpr int kFitCentred = 11;

// Text heights come from the footer's size; a footer too small (or inverted)
// still gets a one-unit font rather than none.
int AtLeastOne(int t) { return t < 1 ? 1 : t; }

} // namespace

void DrawFooter(Canvas& dc, const Rect& footerRect, const CMetaFile& makerLogo, const CMetaFile& collaborationLogo)
{
    const int L = footerRect.left, T = footerRect.top, R = footerRect.right, B = footerRect.bottom;
    const int W = R - L, H = B - T;

    if (makerLogo.IsEmpty()) {
        const int t = AtLeastOne(std::min(W / 22, H / 6));
        dc.Save();
        dc.SetFont(ReportFont(t));
        dc.SetTextAlign({HAlign::Centre, VAlign::Baseline});
        dc.SetTextColour(kBlack);
        const int x = (L + R) / 2, y = (T + B) / 2;
        dc.TextOut(x, y - 2 * t, "Varnholt Instruments, Inc.");
        dc.TextOut(x, y, "Logo file: 'VarnLogo.wmf' not found.");
        dc.TextOut(x, y + 2 * t, "Visit " + std::string(kMakerWebAddress));
        dc.Restore();
        return;
    }

    if (collaborationLogo.IsEmpty()) {
        makerLogo.Play(dc, footerRect, kFitCentred);
        return;
    }

    const Rect maker{L, T, R, T + H * 45 / 100};
    const Rect partnerArea{L, T + H * 55 / 100, R, B};
    collaborationLogo.Play(dc, partnerArea, kFitCentred);
    const Rect partner = collaborationLogo.Placement(partnerArea, kFitCentred);

    const int gap = partner.top - maker.bottom;
    const int t = AtLeastOne(std::min(W / 25, gap));
    dc.Save();
    dc.SetFont(ReportFont(t));
    const int c = dc.TextExtent("X").height;
    dc.SetTextAlign({HAlign::Centre, VAlign::Baseline});
    dc.SetTextColour(kGrey);
    dc.TextOut((L + R) / 2, maker.bottom + gap / 2 + c / 3, "------------ in collaboration with ------------");
    dc.SetTextColour(kBlack);
    dc.Restore();

    makerLogo.Play(dc, maker, kFitCentred);
}

} // namespace kyklos
