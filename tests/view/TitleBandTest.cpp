// The title band as numbers: Top0, the font asked for, the rule's ends and
// where the three texts stand, on a page that does not start at the origin;
// and what painting it leaves on the canvas.

#include "view/TitleBand.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

TEST(TitleBand, NumbersOfAPageAwayFromTheOrigin)
{
    // 1600 × 1000 at (100, 50): Top0 = 50 + 1000/25; the font asks for min(40·300/400, 800/20).
    const Rect page{100, 50, 1700, 1050};
    EXPECT_EQ(TitleBandFont(page).height, 30);
    EXPECT_EQ(TitleBandFont({0, 0, 800, 1200}).height, 24); // portrait: a twentieth of the 480 square
    EXPECT_EQ(TitleBandFont({0, 0, 20, 20}).height, 1);

    const TitleBandLayout bare = LayoutTitleBand(page, 28, std::nullopt);
    EXPECT_EQ(bare.Top0, 90);
    EXPECT_EQ(bare.FontHeight, 28);
    EXPECT_EQ(bare.RuleFrom, (Point{116, 90}));
    EXPECT_EQ(bare.RuleTo, (Point{1684, 90}));
    EXPECT_TRUE(bare.Texts.empty());

    // The measured 28, not the 30 asked for: bottoms 28/4 above Top0, insets of 28.
    const Point left{128, 83}, centre{900, 83}, right{1672, 83};
    const TitleBandLayout file = LayoutTitleBand(page, 28, TitleTexts{"shaft.kyk", "Shaft 12", "Mon Jan 05"});
    EXPECT_EQ(file.Texts, (std::vector<PlacedText>{{left, {HAlign::Left, VAlign::Bottom}, "shaft.kyk"},
                                                   {centre, {HAlign::Centre, VAlign::Bottom}, "Shaft 12"},
                                                   {right, {HAlign::Right, VAlign::Bottom}, "Mon Jan 05"}}));
    // Without a file name of two characters the identification moves to the left.
    const TitleBandLayout generated = LayoutTitleBand(page, 28, TitleTexts{"", "Kyklos generated data", "Mon"});
    EXPECT_EQ(generated.Texts, (std::vector<PlacedText>{{left, {HAlign::Left, VAlign::Bottom}, "Kyklos generated data"},
                                                        {right, {HAlign::Right, VAlign::Bottom}, "Mon"}}));
}

TEST(TitleBand, PaintsTheRuleWithThePenGivenAndLeavesTheCanvasAsItWas)
{
    const TitleBandLayout band = LayoutTitleBand({0, 0, 1600, 1000}, 30, TitleTexts{"", "Ring 3", "Mon"});
    RecordingCanvas dc;
    dc.SetPen({PenStyle::Dot, 0, kNavy});
    dc.SetTextColour(kGrey);
    PaintTitleBand(dc, band, {PenStyle::Solid, 2, kGrey});

    const auto rule = dc.Calls("LineTo");
    ASSERT_EQ(rule.size(), 1u);
    EXPECT_EQ(rule[0].args, (std::vector<int>{1584, 40}));
    EXPECT_EQ(rule[0].pen, (Pen{PenStyle::Solid, 2, kGrey}));
    const auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    for (const auto& text : texts) {
        EXPECT_EQ(text.colour, kBlack);
        EXPECT_EQ(text.font, band.Font);
    }
    EXPECT_EQ(texts[1].align, (TextAlign{HAlign::Right, VAlign::Bottom}));
    EXPECT_EQ(dc.SaveDepth(), 0);
    EXPECT_EQ(dc.CurrentPen(), (Pen{PenStyle::Dot, 0, kNavy}));
    EXPECT_EQ(dc.CurrentTextColour(), kGrey);
}

} // namespace
} // namespace kyklos
