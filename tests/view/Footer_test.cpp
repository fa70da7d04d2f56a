#include "metafile/WmfTestFiles.h"

#include "view/Footer.h"

#include <gtest/gtest.h>

#include <array>

namespace kyklos {
namespace {

using wmfgen::WmfWriter;

// A placeable picture of natural size w × h tenths of a millimetre (254 units
// per inch), marked by two corner pixels.
CMetaFile Logo(int w, int h, Colour mark)
{
    WmfWriter wr;
    wr.SetWindowExt(w, h);
    const auto c = WmfWriter::ColourRef({mark.r, mark.g, mark.b});
    wr.Record(wmfgen::kSetPixel, {WmfWriter::Lo(c), WmfWriter::Hi(c), 0, 0});
    wr.Record(wmfgen::kSetPixel, {WmfWriter::Lo(c), WmfWriter::Hi(c), h, w});
    CMetaFile mf;
    EXPECT_TRUE(mf.LoadFromMemory(wr.Finish(0, 254, 0, 0, w, h)));
    return mf;
}

// Device rectangle between the two corner pixels of the given colour.
Rect Drawn(const RecordingCanvas& dc, Colour mark)
{
    std::vector<RecordedCall> px;
    for (const auto& c : dc.Calls("SetPixel"))
        if (c.colour == mark) px.push_back(c);
    if (px.size() != 2) return {};
    return {px[0].args[0], px[0].args[1], px[1].args[0] + 1, px[1].args[1] + 1};
}

constexpr Colour kMakerMark{1, 0, 0};
constexpr Colour kPartnerMark{0, 0, 1};

TEST(Footer, WithoutTheMakersLogoThreeCentredLines)
{
    CMetaFile none;
    const CMetaFile partner = Logo(1000, 100, Colour{0, 0, 1});
    for (const CMetaFile* second : std::array<const CMetaFile*, 2>{&none, &partner}) {
        RecordingCanvas dc;
        // W = 440, H = 120: t = min(20, 20).
        DrawFooter(dc, Rect{100, 200, 540, 320}, none, *second);
        auto texts = dc.Calls("TextOut");
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[0].text, "Varnholt Instruments, Inc.");
        EXPECT_EQ(texts[1].text, "Logo file: 'VarnLogo.wmf' not found.");
        EXPECT_EQ(texts[2].text, "Visit www.varnholt.example");
        const int ys[] = {260 - 40, 260, 260 + 40};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(texts[i].args, (std::vector<int>{320, ys[i]}));
            EXPECT_EQ(texts[i].font.height, 20);
            EXPECT_EQ(texts[i].font.weight, 600);
            EXPECT_EQ(texts[i].font.face, "Arial");
            EXPECT_EQ(texts[i].colour, kBlack);
            EXPECT_EQ(texts[i].align, (TextAlign{HAlign::Centre, VAlign::Baseline}));
        }
        EXPECT_EQ(dc.Count("SetPixel"), 0); // the collaboration logo is not shown
        EXPECT_EQ(dc.SaveDepth(), 0);
    }
}

TEST(Footer, TextHeightFollowsTheNarrowerLimitAndNeverVanishes)
{
    CMetaFile none;
    RecordingCanvas wide;
    DrawFooter(wide, Rect{0, 0, 2200, 60}, none, none); // min(100, 10)
    EXPECT_EQ(wide.Calls("TextOut")[0].font.height, 10);
    EXPECT_EQ(wide.Calls("TextOut")[0].args[1], 30 - 20);
    RecordingCanvas tiny;
    DrawFooter(tiny, Rect{0, 0, 10, 5}, none, none); // min(0, 0): one unit
    EXPECT_EQ(tiny.Calls("TextOut")[0].font.height, 1);
    EXPECT_EQ(tiny.Calls("TextOut")[2].args[1], 2 + 2);
}

TEST(Footer, MakersLogoAloneFillsTheFooterCentred)
{
    const CMetaFile maker = Logo(254, 254, kMakerMark);
    CMetaFile none;
    RecordingCanvas dc;
    DrawFooter(dc, Rect{0, 0, 100, 50}, maker, none);
    EXPECT_EQ(Drawn(dc, kMakerMark), (Rect{25, 0, 75, 50}));
    EXPECT_EQ(dc.Count("TextOut"), 0);
}

TEST(Footer, BothLogosWithTheCaptionBetweenThem)
{
    const CMetaFile maker = Logo(300, 100, kMakerMark);
    const CMetaFile partner = Logo(2000, 200, kPartnerMark);
    RecordingCanvas dc;
    // W = 1000, H = 400: maker area (0, 0)..(1000, 180), partner area (0, 220)..(1000, 400).
    DrawFooter(dc, Rect{0, 0, 1000, 400}, maker, partner);

    // The partner's 10:1 picture in 1000 × 180: 1000 × 100, centred from 260 to 360.
    EXPECT_EQ(Drawn(dc, kPartnerMark), (Rect{0, 260, 1000, 360}));
    // The maker's 3:1 picture in 1000 × 180: 540 × 180 centred.
    EXPECT_EQ(Drawn(dc, kMakerMark), (Rect{230, 0, 770, 180}));

    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    const auto& caption = texts[0];
    EXPECT_EQ(caption.text, "------------ in collaboration with ------------");
    // gap g = 260 - 180 = 80; t = min(1000 / 25, 80) = 40; c = 40 on the recording canvas.
    EXPECT_EQ(caption.font.height, 40);
    EXPECT_EQ(caption.args, (std::vector<int>{500, 180 + 40 + 13}));
    EXPECT_EQ(caption.colour, kGrey);
    EXPECT_EQ(caption.align, (TextAlign{HAlign::Centre, VAlign::Baseline}));

    // Order: partner logo, caption, maker's logo.
    std::vector<std::string> order;
    for (const auto& c : dc.calls)
        if (c.op == "SetPixel" || c.op == "TextOut")
            order.push_back(c.op == "TextOut" ? "text" : c.colour == kMakerMark ? "maker" : "partner");
    EXPECT_EQ(order, (std::vector<std::string>{"partner", "partner", "text", "maker", "maker"}));
    EXPECT_EQ(dc.SaveDepth(), 0);
    EXPECT_EQ(dc.CurrentTextColour(), kBlack);
}

TEST(Footer, CaptionHeightLimitedByTheGap)
{
    // W = 2000 allows t = 80, but the partner logo fills its area's height: gap 220 - 180 = 40.
    const CMetaFile maker = Logo(300, 100, kMakerMark);
    const CMetaFile partner = Logo(1000, 180, kPartnerMark);
    RecordingCanvas dc;
    DrawFooter(dc, Rect{0, 0, 2000, 400}, maker, partner);
    EXPECT_EQ(Drawn(dc, kPartnerMark), (Rect{500, 220, 1500, 400}));
    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].font.height, 40);
    EXPECT_EQ(texts[0].args, (std::vector<int>{1000, 180 + 20 + 13}));
}

} // namespace
} // namespace kyklos
