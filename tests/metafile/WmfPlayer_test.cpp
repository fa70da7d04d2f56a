#include "WmfTestFiles.h"

#include "metafile/WmfDib.h"
#include "metafile/WmfPicture.h"
#include "metafile/WmfPlayer.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

using test::FramedPicture;
using test::PlayBytes;
using wmfgen::Rgb;
using wmfgen::WmfWriter;

std::vector<int> Args(std::initializer_list<int> v) { return v; }

TEST(WmfPlayer, DrawnBoundsAreMappedOntoTheTarget)
{
    // Only a line from (200, 300) to (600, 500): its ends become the target's corners.
    WmfWriter w;
    w.SetWindowExt(1000, 1000);
    w.MoveTo(200, 300);
    w.LineTo(600, 500);
    auto dc = PlayBytes(w.Finish(0), Rect{10, 20, 411, 221});
    auto moves = dc.Calls("MoveTo"), lines = dc.Calls("LineTo");
    ASSERT_EQ(moves.size(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(moves[0].args, Args({10, 20}));
    EXPECT_EQ(lines[0].args, Args({410, 220}));
    EXPECT_EQ(dc.SaveDepth(), 0);
}

TEST(WmfPlayer, WindowChangesInsideThePictureMoveLaterDrawing)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.SetWindowExt(1000, 1000);
        w.SaveDC();
        w.SetWindowExt(2000, 2000); // everything half as large
        w.Rectangle(0, 0, 1000, 1000);
        w.Record(wmfgen::kOffsetWindowOrg, {-200, -100}); // origin (-100, -200): shifted right/down
        w.Rectangle(0, 0, 200, 200);
        w.RestoreDC(-1);
        w.Record(wmfgen::kScaleWindowExt, {4, 1, 4, 1}); // window extents × 1/4: four times as large
        w.Rectangle(0, 0, 100, 100);
    }));
    auto rects = dc.Calls("Rectangle");
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].args, Args({0, 0, 500, 500}));
    EXPECT_EQ(rects[1].args, Args({50, 100, 150, 200}));
    EXPECT_EQ(rects[2].args, Args({0, 0, 400, 400}));
}

TEST(WmfPlayer, NegativeWindowExtentTurnsThePictureUpsideDown)
{
    WmfWriter w;
    w.SetWindowOrg(0, 1000);
    w.SetWindowExt(1000, -1000); // y grows upwards
    w.MoveTo(0, 0);
    w.LineTo(1000, 1000);
    w.MoveTo(0, 900);
    w.LineTo(100, 900);
    auto dc = PlayBytes(w.Finish(0));
    auto lines = dc.Calls("LineTo");
    auto moves = dc.Calls("MoveTo");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(moves[0].args, Args({0, 1000}));
    EXPECT_EQ(lines[0].args, Args({1000, 0}));
    EXPECT_EQ(moves[1].args, Args({0, 100}));
}

TEST(WmfPlayer, FixedMapModesPointUpwards)
{
    WmfWriter w;
    w.SetMapMode(2); // tenths of a millimetre, y up
    w.MoveTo(0, 0);
    w.LineTo(100, 100);
    w.MoveTo(0, 100);
    w.LineTo(1, 100);
    auto dc = PlayBytes(w.Finish(0), Rect{0, 0, 101, 101});
    auto moves = dc.Calls("MoveTo");
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].args, Args({0, 100}));
    EXPECT_EQ(moves[1].args, Args({0, 0}));
}

TEST(WmfPlayer, ObjectTableFillsTheLowestFreeSlot)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.CreatePen(0, 1, Rgb{255, 0, 0}); // slot 0
        w.CreatePen(0, 1, Rgb{0, 255, 0}); // slot 1
        w.DeleteObject(0);
        w.CreatePen(0, 1, Rgb{0, 0, 255}); // slot 0 again
        w.SelectObject(0);
        w.MoveTo(0, 0);
        w.LineTo(10, 0);
        w.SelectObject(1);
        w.LineTo(20, 0);
        w.DeleteObject(1);
        w.SelectObject(1);   // deleted: ignored
        w.SelectObject(999); // no such slot: ignored
        w.LineTo(30, 0);
    }));
    auto lines = dc.Calls("LineTo");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].pen.colour, (Colour{0, 0, 255}));
    EXPECT_EQ(lines[1].pen.colour, (Colour{0, 255, 0}));
    EXPECT_EQ(lines[2].pen.colour, (Colour{0, 255, 0}));
}

TEST(WmfPlayer, TableDeclaredTooSmallGrowsAndDeletedSelectionStays)
{
    auto dc = PlayBytes(FramedPicture(
        [](WmfWriter& w) {
            w.CreateBrush(0, Rgb{1, 2, 3}); // the header declares no objects at all
            w.SelectObject(0);
            w.DeleteObject(0); // the selected brush stays in use
            w.Rectangle(0, 0, 10, 10);
        },
        0));
    auto rects = dc.Calls("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].brush.colour, (Colour{1, 2, 3}));
}

TEST(WmfPlayer, PensKeepStyleColourAndScaledWidth)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.SetWindowExt(1000, 1000);
        w.SetViewportExt(2000, 2000);       // device twice the window: widths double
        w.CreatePen(1, 1, Rgb{10, 20, 30}); // dashed, thin
        w.SelectObject(0);
        w.MoveTo(0, 0);
        w.LineTo(10, 10);
        w.CreatePen(1, 5, Rgb{10, 20, 30}); // dashed but wide: solid
        w.SelectObject(1);
        w.LineTo(20, 20);
        w.CreatePen(5, 1, Rgb{}); // null pen
        w.SelectObject(2);
        w.LineTo(30, 30);
        w.MoveTo(1000, 1000); // keep the frame's far corner in view
        w.LineTo(1000, 1000);
    }));
    auto lines = dc.Calls("LineTo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].pen.style, PenStyle::Dash);
    EXPECT_EQ(lines[0].pen.colour, (Colour{10, 20, 30}));
    EXPECT_EQ(lines[1].pen.style, PenStyle::Solid);
    EXPECT_EQ(lines[1].pen.width, 5); // the framing maps 2000 device units back onto 1000
    EXPECT_EQ(lines[2].pen.style, PenStyle::Null);
}

TEST(WmfPlayer, BrushesSolidHatchedAndNull)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.CreateBrush(0, Rgb{200, 0, 0});
        w.CreateBrush(2, Rgb{0, 0, 200}, 4); // cross hatch
        w.CreateBrush(1, Rgb{});
        for (int slot : {0, 1, 2}) {
            w.SelectObject(slot);
            w.Ellipse(0, 0, 100, 50);
        }
        w.SetPolyFillMode(2);
        w.Polygon({{0, 0}, {10, 0}, {5, 5}});
    }));
    auto ellipses = dc.Calls("Ellipse");
    ASSERT_EQ(ellipses.size(), 3u);
    EXPECT_EQ(ellipses[0].brush.style, BrushStyle::Solid);
    EXPECT_EQ(ellipses[0].brush.colour, (Colour{200, 0, 0}));
    EXPECT_EQ(ellipses[1].brush.style, BrushStyle::Hatched);
    EXPECT_EQ(ellipses[1].brush.hatch, HatchStyle::Cross);
    EXPECT_EQ(ellipses[2].brush.style, BrushStyle::Null);
    EXPECT_EQ(ellipses[0].args, Args({0, 0, 100, 50}));
    auto fills = dc.Calls("SetFillMode");
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills.back().args, Args({static_cast<int>(FillMode::Winding)}));
}

TEST(WmfPlayer, ShapesKeepTheirCoordinates)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.Polyline({{1, 2}, {3, 4}, {5, 6}});
        w.Polygon({{10, 10}, {20, 10}, {15, 20}});
        w.PolyPolygon({{{0, 0}, {100, 0}, {50, 50}}, {{200, 200}, {300, 200}, {300, 300}, {200, 300}}});
        w.RoundRect(10, 20, 110, 220, 30, 40);
        w.Arc(0, 0, 100, 100, 100, 50, 50, 0);
        w.Pie(0, 0, 100, 100, 100, 50, 50, 0);
        w.Chord(0, 0, 100, 100, 100, 50, 50, 0);
        w.Polygon({{7, 7}}); // a single point draws nothing
    }));
    ASSERT_EQ(dc.Count("Polyline"), 1);
    EXPECT_EQ(dc.Calls("Polyline")[0].args, Args({1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(dc.Count("Polygon"), 1);
    EXPECT_EQ(dc.Calls("Polygon")[0].args, Args({10, 10, 20, 10, 15, 20}));
    ASSERT_EQ(dc.Count("PolyPolygon"), 1);
    EXPECT_EQ(dc.Calls("PolyPolygon")[0].args,
              Args({3, 4, 0, 0, 100, 0, 50, 50, 200, 200, 300, 200, 300, 300, 200, 300}));
    EXPECT_EQ(dc.Calls("RoundRect")[0].args, Args({10, 20, 110, 220, 30, 40}));
    for (const char* op : {"Arc", "Pie", "Chord"}) {
        ASSERT_EQ(dc.Count(op), 1) << op;
        EXPECT_EQ(dc.Calls(op)[0].args, Args({0, 0, 100, 100, 100, 50, 50, 0})) << op;
    }
}

TEST(WmfPlayer, ArcBoundsCoverOnlyTheDrawnPart)
{
    // The upper-right quarter of a circle, counter-clockwise from 3 o'clock to 12 o'clock.
    WmfWriter w;
    w.Arc(0, 0, 200, 200, 200, 100, 100, 0);
    WmfPicture pic;
    auto bytes = w.Finish(0);
    ASSERT_TRUE(pic.Parse(bytes));
    RecordingCanvas dc;
    double l = 0, t = 0, r = 0, b = 0;
    ASSERT_TRUE(WmfPlayer(pic, dc).DrawnBounds(l, t, r, b));
    EXPECT_NEAR(l, 100, 1e-6);
    EXPECT_NEAR(t, 0, 1e-6);
    EXPECT_NEAR(r, 200, 1e-6);
    EXPECT_NEAR(b, 100, 1e-6);
}

TEST(WmfPlayer, TextWithFontColourAlignmentAndCodePage)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.CreateFont(-100, 700, "Times New Roman", true, 450);
        w.SelectObject(0);
        w.SetTextColor(Rgb{0, 0, 128});
        w.SetTextAlign(6 | 24); // centre, baseline
        w.SetBkMode(1);
        w.TextOut(500, 400, "f\xFCr \x80");
    }));
    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    const auto& t = texts[0];
    EXPECT_EQ(t.text, "f\xC3\xBCr \xE2\x82\xAC");
    EXPECT_EQ(t.args, Args({500, 400}));
    EXPECT_EQ(t.font.face, "Times New Roman");
    EXPECT_EQ(t.font.height, 115); // character height 100 asks for a cell of about 115
    EXPECT_EQ(t.font.weight, 700);
    EXPECT_TRUE(t.font.italic);
    EXPECT_EQ(t.font.escapement, 450);
    EXPECT_EQ(t.colour, (Colour{0, 0, 128}));
    EXPECT_EQ(t.align, (TextAlign{HAlign::Centre, VAlign::Baseline}));
    auto modes = dc.Calls("SetBackgroundMode");
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.back().args, Args({0}));
}

TEST(WmfPlayer, ExtendedTextSpacingOpaqueAndClippedRectangles)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.CreateFont(40, 400, "Arial");
        w.SelectObject(0);
        w.SetBkColor(Rgb{255, 255, 0});
        const int rect[4] = {100, 100, 300, 150};
        w.ExtTextOut(100, 100, 2 | 4, rect, "abc", {10, 20, 30});
    }));
    ASSERT_EQ(dc.Count("FillRect"), 1);
    EXPECT_EQ(dc.Calls("FillRect")[0].args, Args({100, 100, 300, 150}));
    EXPECT_EQ(dc.Calls("FillRect")[0].colour, (Colour{255, 255, 0}));
    ASSERT_EQ(dc.Count("IntersectClip"), 1);
    EXPECT_EQ(dc.Calls("IntersectClip")[0].args, Args({100, 100, 300, 150}));
    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].args, Args({100, 100, 10, 20, 30}));
    EXPECT_EQ(texts[0].font.height, 40);
}

TEST(WmfPlayer, TextStretchedWithThePictureIsWidenedNotOnlySpaced)
{
    // The picture is mapped twice as wide as high. The recording canvas draws
    // a natural character half a cell wide: 20 units at a cell of 40.
    const Rect wide{0, 0, 2001, 1001};
    auto natural = PlayBytes(FramedPicture([](WmfWriter& w) {
                                 test::CreateFontWith(w, 40, 0, 0);
                                 w.SelectObject(0);
                                 w.TextOut(100, 100, "abc");
                             }),
                             wide);
    auto texts = natural.Calls("TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].args, Args({200, 100, 40, 40, 40}));
    EXPECT_EQ(texts[0].font.height, 40); // the cell follows the vertical factor
    EXPECT_EQ(texts[0].font.width, 40);  // the glyphs the horizontal one

    // A font of its own width is scaled by the horizontal factor, stretched or not.
    auto ownWidth = [](const Rect& target) {
        auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
                                test::CreateFontWith(w, 40, 15, 0);
                                w.SelectObject(0);
                                w.TextOut(100, 100, "ab");
                            }),
                            target);
        return dc.Calls("TextOut").at(0);
    };
    EXPECT_EQ(ownWidth(test::kUnitTarget).font.width, 15);
    EXPECT_EQ(ownWidth(test::kUnitTarget).args, Args({100, 100})); // the canvas spaces it itself
    EXPECT_EQ(ownWidth(wide).font.width, 30);
    EXPECT_EQ(ownWidth(wide).args, Args({200, 100, 30, 30}));
    // Unstretched text of natural width asks for no width at all.
    EXPECT_EQ(PlayBytes(FramedPicture([](WmfWriter& w) {
                  test::CreateFontWith(w, 40, 0, 0);
                  w.SelectObject(0);
                  w.TextOut(100, 100, "abc");
              }))
                  .Calls("TextOut")
                  .at(0)
                  .font.width,
              0);
}

TEST(WmfPlayer, TextIsDecodedByTheCharacterSetOfTheSelectedFont)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        test::CreateFontWith(w, 40, 0, 128); // Shift-JIS
        test::CreateFontWith(w, 40, 0, 204); // Cyrillic
        test::CreateFontWith(w, 40, 0, 0);   // ANSI
        w.SelectObject(0);
        // "日本" in two double-byte characters; ExtTextOut gives one advance per byte.
        w.ExtTextOut(100, 100, 0, nullptr, "\x93\xFA\x96\x7B", {10, 11, 12, 13});
        w.SelectObject(1);
        w.TextOut(100, 200, "\xCC\xE8\xF0"); // "Мир"
        w.SelectObject(2);
        w.TextOut(100, 300, "\xCC\xE8\xF0");
    }));
    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(texts[0].args, Args({100, 100, 21, 25}));
    EXPECT_EQ(texts[1].text, "\xD0\x9C\xD0\xB8\xD1\x80");
    EXPECT_EQ(texts[2].text, "\xC3\x8C\xC3\xA8\xC3\xB0"); // the same bytes as Windows-1252: "Ìèð"
}

TEST(WmfPlayer, UpdateCurrentPositionChainsTexts)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.CreateFont(20, 400, "Arial");
        w.SelectObject(0);
        w.SetTextAlign(1); // update the current position
        w.MoveTo(100, 200);
        w.TextOut(0, 0, "abcd"); // the recording canvas: 10 units a character
        w.TextOut(0, 0, "ef");
    }));
    auto texts = dc.Calls("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].args, Args({100, 200}));
    EXPECT_EQ(texts[1].args, Args({140, 200}));
}

TEST(WmfPlayer, ClipRectanglesAndRestoreRebuildsTheClip)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.SaveDC();
        w.Record(wmfgen::kIntersectClipRect, {200, 100, 20, 10});
        w.Record(wmfgen::kExcludeClipRect, {60, 50, 40, 30});
        w.Rectangle(0, 0, 500, 500);
        w.RestoreDC(-1);
        w.Rectangle(0, 0, 600, 600);
    }));
    ASSERT_EQ(dc.Count("IntersectClip"), 1);
    EXPECT_EQ(dc.Calls("IntersectClip")[0].args, Args({10, 20, 100, 200}));
    ASSERT_EQ(dc.Count("ExcludeClip"), 1);
    EXPECT_EQ(dc.Calls("ExcludeClip")[0].args, Args({30, 40, 50, 60}));
    // After RestoreDC the canvas state is restored (dropping the clip) before the next shape.
    auto rects = dc.Calls("Rectangle");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].clipDepth, 1);
    int restoresBetween = 0;
    bool afterFirst = false;
    for (const auto& c : dc.calls) {
        if (c.op == "Rectangle") {
            if (afterFirst) break;
            afterFirst = true;
        } else if (afterFirst && c.op == "Restore") {
            ++restoresBetween;
        }
    }
    EXPECT_EQ(restoresBetween, 1);
    EXPECT_EQ(dc.SaveDepth(), 0);
}

TEST(WmfPlayer, RopTwoNopDrawsNothingVisible)
{
    auto dc = PlayBytes(FramedPicture([](WmfWriter& w) {
        w.Record(wmfgen::kSetRop2, {11});
        w.Rectangle(0, 0, 100, 100);
    }));
    auto rects = dc.Calls("Rectangle");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].pen.style, PenStyle::Null);
    EXPECT_EQ(rects[0].brush.style, BrushStyle::Null);
}

// A bottom-up 2 × 2 DIB, 24 bits: rows stored bottom first.
std::vector<std::uint8_t> Dib24()
{
    std::vector<std::uint8_t> d;
    auto put32 = [&](std::uint32_t v) {
        for (int k = 0; k < 4; ++k) d.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    };
    put32(40);
    put32(2);
    put32(2);
    d.push_back(1);
    d.push_back(0);
    d.push_back(24);
    d.push_back(0);
    put32(0);
    put32(16);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    // bottom row: blue, green; top row: red, white (BGR order, rows padded to 8 bytes)
    for (int v : {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0})
        d.push_back(static_cast<std::uint8_t>(v));
    return d;
}

TEST(WmfPlayer, StretchedBitmapIsDecodedTopDownAndMirroredByTheMapping)
{
    const auto dib = Dib24();
    auto bitmapRecord = [&](WmfWriter& w, int x, int y, int width, int height) {
        std::vector<int> words{0x0020, 0x00CC, 0, 2, 2, 0, 0, height, width, y, x};
        auto bits = WmfWriter::Words(dib);
        words.insert(words.end(), bits.begin(), bits.end());
        w.Record(wmfgen::kStretchDib, words);
    };
    auto bytes = FramedPicture([&](WmfWriter& w) {
        bitmapRecord(w, 100, 100, 200, 200);
        bitmapRecord(w, 500, 500, -100, 100); // negative width: mirrored left to right
    });
    CMetaFile mf;
    ASSERT_TRUE(mf.LoadFromMemory(bytes));
    WmfPicture pic;
    ASSERT_TRUE(pic.Parse(bytes));
    ASSERT_EQ(pic.bitmaps.size(), 2u);
    const auto& img = pic.bitmaps[0].image;
    ASSERT_EQ(img.width, 2);
    ASSERT_EQ(img.height, 2);
    EXPECT_EQ(img.pixels[0], 0xFFFF0000u); // top left red
    EXPECT_EQ(img.pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(img.pixels[2], 0xFF0000FFu); // bottom left blue
    EXPECT_EQ(img.pixels[3], 0xFF00FF00u);
    auto dc = PlayBytes(bytes);
    auto images = dc.Calls("DrawImage");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].args, Args({100, 100, 300, 300, 2, 2}));
    EXPECT_EQ(images[1].args, Args({400, 500, 500, 600, 2, 2}));
}

TEST(WmfDib, DecodesPalettedRunLengthAndBitFieldBitmaps)
{
    auto header = [](int width, int height, int bpp, int compression, int colours) {
        std::vector<std::uint8_t> d;
        auto put32 = [&](std::uint32_t v) {
            for (int k = 0; k < 4; ++k) d.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
        };
        put32(40);
        put32(static_cast<std::uint32_t>(width));
        put32(static_cast<std::uint32_t>(height));
        d.push_back(1);
        d.push_back(0);
        d.push_back(static_cast<std::uint8_t>(bpp));
        d.push_back(0);
        put32(static_cast<std::uint32_t>(compression));
        put32(0);
        put32(0);
        put32(0);
        put32(static_cast<std::uint32_t>(colours));
        put32(0);
        return d;
    };
    auto add = [](std::vector<std::uint8_t>& d, std::initializer_list<int> bytes) {
        for (int b : bytes) d.push_back(static_cast<std::uint8_t>(b));
    };
    DecodedDib out;

    // 1 bit, top-down (negative height), black and white palette.
    auto mono = header(3, -1, 1, 0, 2);
    add(mono, {0, 0, 0, 0, 255, 255, 255, 0, 0b10100000, 0, 0, 0});
    ASSERT_TRUE(DecodeDib(mono, false, 1000, out));
    EXPECT_FALSE(out.bottomUp);
    EXPECT_EQ(out.image.pixels, (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));

    // RLE8: a run of three colour-1 pixels, end of line, a delta, one absolute pixel, end.
    auto rle8 = header(4, 2, 8, 1, 2);
    add(rle8, {0, 0, 0, 0, 0, 0, 255, 0});
    add(rle8, {3, 1, 0, 0, 0, 2, 1, 0, 0, 3, 1, 0, 1, 0, 0, 1});
    ASSERT_TRUE(DecodeDib(rle8, false, 1000, out));
    // Bottom row (last in the image): red red red, transparent.
    EXPECT_EQ(out.image.pixels[4], 0xFFFF0000u);
    EXPECT_EQ(out.image.pixels[6], 0xFFFF0000u);
    EXPECT_EQ(out.image.pixels[7], 0u);
    EXPECT_EQ(out.image.pixels[0], 0u);          // skipped by the delta
    EXPECT_EQ(out.image.pixels[1], 0xFFFF0000u); // the absolute run: 1, 0, 1
    EXPECT_EQ(out.image.pixels[2], 0xFF000000u);
    EXPECT_EQ(out.image.pixels[3], 0xFFFF0000u);

    // RLE4: four pixels alternating colours 1 and 0 in one run.
    auto rle4 = header(4, 1, 4, 2, 2);
    add(rle4, {0, 0, 0, 0, 0, 255, 0, 0});
    add(rle4, {4, 0x10, 0, 1});
    ASSERT_TRUE(DecodeDib(rle4, false, 1000, out));
    EXPECT_EQ(out.image.pixels, (std::vector<std::uint32_t>{0xFF00FF00, 0xFF000000, 0xFF00FF00, 0xFF000000}));

    // 16 bits with 5-6-5 masks.
    auto bf = header(1, 1, 16, 3, 0);
    add(bf, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0});
    add(bf, {0x1F, 0xF8, 0, 0}); // full red and full blue
    ASSERT_TRUE(DecodeDib(bf, false, 1000, out));
    EXPECT_EQ(out.image.pixels[0], 0xFFFF00FFu);

    // 32 bits: the fourth byte is not alpha.
    auto argb = header(1, 1, 32, 0, 0);
    add(argb, {1, 2, 3, 0});
    ASSERT_TRUE(DecodeDib(argb, false, 1000, out));
    EXPECT_EQ(out.image.pixels[0], 0xFF030201u);
}

TEST(WmfDib, RefusesAbsurdOrShortBitmaps)
{
    std::vector<std::uint8_t> d(40, 0);
    d[0] = 40;
    auto set32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) d[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    set32(4, 100000);
    set32(8, 100000);
    d[12] = 1;
    d[14] = 24;
    DecodedDib out;
    EXPECT_FALSE(DecodeDib(d, false, WmfPicture::kMaxImagePixels, out)); // 10^10 pixels
    set32(4, 4);
    set32(8, 4);
    EXPECT_FALSE(DecodeDib(d, false, WmfPicture::kMaxImagePixels, out)); // no bits at all
    d[14] = 7;
    EXPECT_FALSE(DecodeDib(d, false, WmfPicture::kMaxImagePixels, out)); // no such depth
    EXPECT_FALSE(DecodeDib(std::span(d).first(10), false, 100, out));
}

// ---- Damaged and hostile files ----

TEST(WmfPicture, StopsAtTheFirstUnsoundRecordAndKeepsWhatCameBefore)
{
    WmfWriter w;
    w.Rectangle(0, 0, 10, 10);
    w.Record(wmfgen::kPolygon, {30000, 1, 2}); // 30000 points announced, one there
    w.Rectangle(0, 0, 20, 20);
    WmfPicture pic;
    auto bytes = w.Finish(0);
    ASSERT_TRUE(pic.Parse(bytes));
    EXPECT_TRUE(pic.damaged);
    ASSERT_EQ(pic.records.size(), 1u);
    EXPECT_EQ(pic.records[0].op, WmfOp::Rectangle);
}

TEST(WmfPicture, HostileRecordsAreRefusedWithoutCrashing)
{
    struct Case {
        const char* name;
        std::function<void(WmfWriter&)> write;
    };
    const std::vector<Case> cases = {
        {"negative point count",
         [](WmfWriter& w) {
             w.Record(wmfgen::kPolyline, {-5, 1, 2});
         }},
        {"huge polypolygon",
         [](WmfWriter& w) {
             w.Record(wmfgen::kPolyPolygon, {0xFFFF, 0xFFFF, 0xFFFF});
         }},
        {"text longer than record",
         [](WmfWriter& w) {
             w.Record(wmfgen::kTextOut, {0x7FFF, 0x4141});
         }},
        {"ext text without rectangle",
         [](WmfWriter& w) {
             w.Record(wmfgen::kExtTextOut, {0, 0, 2, 6, 0x4141});
         }},
        {"short rectangle",
         [](WmfWriter& w) {
             w.Record(wmfgen::kRectangle, {1, 2});
         }},
        {"record size below minimum",
         [](WmfWriter& w) {
             w.Raw({2, 0, 0, 0, 0x1B, 0x04});
         }},
        {"record running past the end",
         [](WmfWriter& w) {
             w.Raw({0xFF, 0xFF, 0xFF, 0x7F, 0x1B, 0x04, 0, 0});
         }},
        {"font shorter than its fixed part",
         [](WmfWriter& w) {
             w.Record(wmfgen::kCreateFontIndirect, {10, 0});
         }},
    };
    for (const auto& c : cases) {
        WmfWriter w;
        w.MoveTo(0, 0);
        c.write(w);
        w.LineTo(5, 5);
        auto bytes = w.Finish(0);
        WmfPicture pic;
        ASSERT_TRUE(pic.Parse(bytes)) << c.name;
        EXPECT_TRUE(pic.damaged) << c.name;
        EXPECT_EQ(pic.records.size(), 1u) << c.name; // the MoveTo before the damage
        auto dc = PlayBytes(bytes);
        EXPECT_EQ(dc.SaveDepth(), 0) << c.name;
    }
}

TEST(WmfPicture, SloppyButSoundFilesPlayWhole)
{
    WmfWriter w;
    w.CreatePen(0, 1, Rgb{}); // never deleted
    w.SelectObject(0);
    w.SelectObject(40000); // index out of range: ignored
    w.Record(wmfgen::kDeleteObject, {40000});
    w.Record(0x0626, {15, 4, 0x4D46, 0x5043}); // an escape record: skipped
    w.Record(0x0999, {1, 2, 3});               // unknown record: skipped
    w.RestoreDC(-3);                           // nothing saved: ignored
    for (int i = 0; i < 1000; ++i) w.SaveDC(); // deeper than kept
    w.MoveTo(0, 0);
    w.LineTo(100, 100);
    auto bytes = w.Finish(0, 0, 0, 0, 0, 0, false); // no end record either
    bytes.insert(bytes.end(), {1, 2, 3});           // and trailing bytes
    WmfPicture pic;
    ASSERT_TRUE(pic.Parse(std::span(bytes).first(bytes.size() - 3)));
    EXPECT_FALSE(pic.damaged);
    auto dc = PlayBytes(bytes);
    EXPECT_EQ(dc.Count("LineTo"), 1);
    EXPECT_EQ(dc.SaveDepth(), 0);
}

TEST(WmfPicture, ExtremeMappingStaysInsideTheDeviceRange)
{
    WmfWriter w;
    w.SetWindowExt(1, 1);
    w.MoveTo(0, 0);
    w.LineTo(1, 1);
    w.SetWindowExt(32767, 32767);
    w.Record(wmfgen::kScaleWindowExt, {1, 32767, 1, 32767}); // an extent of about 2^30
    w.SetViewportExt(32767, 32767);
    w.SetViewportOrg(-32768, 32767);
    w.MoveTo(-32768, -32768);
    w.LineTo(32767, 32767);
    w.SetWindowExt(0, 5); // zero extents are refused
    w.LineTo(32767, -32768);
    auto dc = PlayBytes(w.Finish(0), Rect{0, 0, 100, 100});
    for (const auto& c : dc.calls)
        for (int v : c.args) EXPECT_LE(std::abs(v), 1 << 24) << c.op;
    EXPECT_EQ(dc.Count("LineTo"), 3);
}

} // namespace
} // namespace kyklos
