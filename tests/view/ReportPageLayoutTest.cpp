// The report page's layout without painting: it measures but draws nothing,
// a page moved across the device moves every part with it, and the decimal
// column makes room for the microinch's extra digit.

#include "view/ReportPageLayout.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>

namespace kyklos {
namespace {

Rect Moved(Rect r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

TEST(ReportPageLayout, MeasuresWithoutDrawingAndMovesWithThePage)
{
    const TitleTexts texts{"shaft.kyk", "Shaft 12", "Mon Jan 05 10:00:00 2026"};
    RecordingCanvas origin;
    const ReportPageLayout a = LayoutReportPage(origin, {0, 0, 1600, 1000}, true, texts);
    for (const auto& call : origin.calls)
        EXPECT_TRUE(call.op == "Save" || call.op == "Restore" || call.op == "SetFont") << call.op;
    // As the report page test pins them through drawing.
    EXPECT_EQ(a.GraphSquare, (Rect{32, 80, 832, 880}));
    EXPECT_EQ(a.FooterRect, (Rect{864, 600, 1568, 980}));
    EXPECT_EQ(a.ResultsLeft, 847);

    const int dx = 333, dy = 71;
    RecordingCanvas elsewhere;
    const ReportPageLayout b = LayoutReportPage(elsewhere, Moved({0, 0, 1600, 1000}, dx, dy), true, texts);
    EXPECT_EQ(b.TitleBand.Top0, a.TitleBand.Top0 + dy);
    EXPECT_EQ(b.TitleBand.RuleTo, (Point{a.TitleBand.RuleTo.x + dx, a.TitleBand.RuleTo.y + dy}));
    ASSERT_EQ(b.TitleBand.Texts.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(b.TitleBand.Texts[i].At, (Point{a.TitleBand.Texts[i].At.x + dx, a.TitleBand.Texts[i].At.y + dy}));
    EXPECT_EQ(b.GraphSquare, Moved(a.GraphSquare, dx, dy));
    EXPECT_EQ(b.FooterRect, Moved(a.FooterRect, dx, dy));
    EXPECT_EQ(b.HeadingFont, a.HeadingFont);
    EXPECT_EQ(b.ResultFont, a.ResultFont);
    EXPECT_EQ(b.ResultsLeft, a.ResultsLeft + dx);
    EXPECT_EQ(b.DecimalX, a.DecimalX + dx);
    EXPECT_EQ(b.UnitX, a.UnitX + dx);
    for (const auto& [y, y0] : {std::pair{b.FilterHeadingBaseline, a.FilterHeadingBaseline},
                                {b.FilterUnderlineY, a.FilterUnderlineY},
                                {b.ReferenceBaseline, a.ReferenceBaseline},
                                {b.FirstResultBaseline, a.FirstResultBaseline}})
        EXPECT_EQ(y, y0 + dy);

    // Microinch values have one digit more before the point: the column moves one result line right.
    RecordingCanvas inch;
    const ReportPageLayout c = LayoutReportPage(inch, {0, 0, 1600, 1000}, false, texts);
    EXPECT_EQ(c.DecimalX, a.DecimalX + a.ResultFontHeight);
    EXPECT_EQ(c.UnitX, a.UnitX);
}

} // namespace
} // namespace kyklos
