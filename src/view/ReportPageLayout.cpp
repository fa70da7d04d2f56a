#include "view/ReportPageLayout.h"

#include <algorithm>

namespace kyklos {

namespace {

// Selects the font only long enough to measure its cell height, as the
// layout needs the height the device actually gives.
int MeasureFont(Canvas& dc, const FontSpec& font)
{
    dc.Save();
    const int height = dc.SetFont(font);
    dc.Restore();
    return height;
}

} // namespace

ReportPageLayout LayoutReportPage(Canvas& dc, const Rect& page, bool metricUnits,
                                  const std::optional<TitleTexts>& titleTexts)
{
    const int L = page.left, T = page.top, R = page.right, B = page.bottom;
    const int W = R - L;
    const int H = B - T;
    ReportPageLayout layout;
    layout.TitleBand = LayoutTitleBand(dc, page, titleTexts);
    const int top0 = layout.TitleBand.Top0;
    const int titleHeight = layout.TitleBand.FontHeight;

    // The graph square on the left, moved down by a quarter of the room below
    // it; title, rule and results keep the upper edge Top0.
    const int gL = L + W / 50;
    const int size = std::min(W * 60 / 100, H * 80 / 100);
    const int gR = gL + size;
    int gB = top0 + size;
    int gT = top0;
    const int shift = (B - gB) / 4;
    if (shift > 0) {
        gT = top0 + shift;
        gB = gB + shift;
    }
    layout.GraphSquare = {gL, gT, gR, gB};

    // The fonts follow the title's measured height and the room right of the graph.
    layout.HeadingFont = ReportFont(std::max(1, std::min(titleHeight * 25 / 20, (R - gR) / 15)));
    layout.HeadingFontHeight = MeasureFont(dc, layout.HeadingFont);
    layout.ResultFont = ReportFont(std::max(1, std::min(2 * titleHeight, (R - gR) / 13)));
    layout.ResultFontHeight = MeasureFont(dc, layout.ResultFont);
    layout.FooterRect = {gR + W / 50, B + (T - B) * 40 / 100, R - W / 50, B - H / 50};

    // The results block: the filter heading four heading lines below Top0,
    // the reference one and a half lines lower, the rows two result lines below that.
    const int heading = layout.HeadingFontHeight;
    const int F = layout.ResultFontHeight;
    layout.ResultsLeft = std::max(gR + titleHeight / 2, (gR + R) / 2 - 8 * F);
    layout.FilterHeadingBaseline = top0 + 4 * heading;
    layout.FilterUnderlineY = layout.FilterHeadingBaseline + heading / 3;
    layout.ReferenceBaseline = layout.FilterHeadingBaseline + 3 * heading / 2;
    layout.FirstResultBaseline = layout.ReferenceBaseline + 2 * F;
    // µin numbers have one digit more before the point and one decimal less.
    layout.DecimalX = layout.ResultsLeft + (metricUnits ? 8 : 9) * F;
    layout.UnitX = layout.ResultsLeft + 11 * F;
    return layout;
}

} // namespace kyklos
