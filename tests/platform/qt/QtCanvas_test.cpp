// The Qt canvas on a QImage: pixel-exact primitives, GDI-like rectangles and
// lines, clipping with save/restore, fonts by cell height, text alignment and
// background.

#include "QtTestApplication.h"
#include "platform/qt/QtCanvas.h"

#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

namespace kyklos {
namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFF;

class QtCanvasTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureGuiApplication(); }

    // Draws on a fresh white image of the given size.
    QImage Draw(int width, int height, const std::function<void(QtCanvas&)>& draw, QRgb fill = kWhitePixel)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(fill);
        QPainter painter(&image);
        {
            QtCanvas canvas(painter, 96, 96, false);
            draw(canvas);
        }
        painter.end();
        return image;
    }

    static int CountNot(const QImage& image, QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != colour) ++n;
        return n;
    }

    // Bounding box of the pixels that differ from colour.
    static QRect Ink(const QImage& image, QRgb colour)
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != colour) box |= QRect(x, y, 1, 1);
        return box;
    }
};

TEST_F(QtCanvasTest, SetPixelSetsExactlyOnePixel)
{
    const QImage image = Draw(20, 20, [](QtCanvas& dc) { dc.SetPixel(5, 7, kNavy); });
    EXPECT_EQ(CountNot(image, kWhitePixel), 1);
    EXPECT_EQ(image.pixel(5, 7), qRgb(0, 0, 128));
}

TEST_F(QtCanvasTest, LinesLeaveOutTheirLastPixelAndStaySinglePixels)
{
    const QImage image = Draw(20, 20, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Solid, 0, kBlack});
        dc.MoveTo(2, 2);
        dc.LineTo(10, 2);
        dc.LineTo(10, 8);
    });
    for (int x = 2; x < 10; ++x) EXPECT_EQ(image.pixel(x, 2), qRgb(0, 0, 0)) << x;
    for (int y = 2; y < 8; ++y) EXPECT_EQ(image.pixel(10, y), qRgb(0, 0, 0)) << y;
    EXPECT_EQ(image.pixel(10, 8), kWhitePixel);
    // No antialiasing: every pixel is black or white.
    EXPECT_EQ(CountNot(image, kWhitePixel), 8 + 6);
}

TEST_F(QtCanvasTest, OnePixelLinesKeepTheirFirstPixelAndLeaveOutTheirLastInEveryDirection)
{
    auto pixelsOf = [&](QPoint from, QPoint to) {
        const QImage image = Draw(20, 20, [&](QtCanvas& dc) {
            dc.SetPen({PenStyle::Solid, 0, kBlack});
            dc.MoveTo(from.x(), from.y());
            dc.LineTo(to.x(), to.y());
        });
        std::set<std::pair<int, int>> pixels;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kWhitePixel) pixels.insert({x, y});
        return pixels;
    };
    // Axis-parallel and diagonal lines: ten pixels from the first one on.
    const std::pair<QPoint, QPoint> straight[] = {{{3, 10}, {13, 10}}, {{13, 10}, {3, 10}}, {{10, 3}, {10, 13}},
                                                  {{10, 13}, {10, 3}}, {{13, 13}, {3, 3}},  {{13, 3}, {3, 13}},
                                                  {{3, 13}, {13, 3}}};
    for (const auto& [from, to] : straight) {
        const int dx = (to.x() > from.x()) - (to.x() < from.x()), dy = (to.y() > from.y()) - (to.y() < from.y());
        std::set<std::pair<int, int>> expected;
        for (int k = 0; k < 10; ++k) expected.insert({from.x() + k * dx, from.y() + k * dy});
        EXPECT_EQ(pixelsOf(from, to), expected) << from.x() << "," << from.y() << " to " << to.x() << "," << to.y();
    }
    // A sloped line drawn either way covers the same pixels apart from its two ends.
    const QPoint a(2, 4), b(17, 9);
    auto forward = pixelsOf(a, b), backward = pixelsOf(b, a);
    EXPECT_TRUE(forward.count({a.x(), a.y()}) && !forward.count({b.x(), b.y()}));
    EXPECT_TRUE(backward.count({b.x(), b.y()}) && !backward.count({a.x(), a.y()}));
    forward.insert({b.x(), b.y()});
    backward.insert({a.x(), a.y()});
    EXPECT_EQ(forward, backward);
    // A stroke that turns back keeps its turning point, the start of its second line.
    const QImage turned = Draw(20, 20, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Solid, 0, kBlack});
        dc.MoveTo(3, 15);
        dc.LineTo(12, 15);
        dc.LineTo(6, 15);
    });
    EXPECT_EQ(Ink(turned, kWhitePixel), QRect(QPoint(3, 15), QPoint(12, 15)));
    EXPECT_EQ(CountNot(turned, kWhitePixel), 10);
}

TEST_F(QtCanvasTest, StrokesUseThePenInForceWhenTheyWereDrawn)
{
    const QImage image = Draw(20, 20, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Solid, 1, kNavy});
        dc.MoveTo(0, 5);
        dc.LineTo(19, 5);
        dc.SetPen({PenStyle::Solid, 3, kGrey});
        dc.LineTo(19, 15); // continues from the current position
    });
    EXPECT_EQ(image.pixel(10, 5), qRgb(0, 0, 128));
    // The wide pen covers three columns around x = 19 (clipped at the image edge: 18 and 19).
    EXPECT_EQ(image.pixel(18, 10), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(19, 10), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(17, 10), kWhitePixel);
}

TEST_F(QtCanvasTest, RectanglesExcludeRightAndBottomEdges)
{
    const QImage image = Draw(20, 20, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Solid, 0, kBlack});
        dc.SetBrush({BrushStyle::Solid, kLightGrey, HatchStyle::Horizontal});
        dc.Rectangle({2, 3, 9, 8});
        dc.FillRect({12, 12, 15, 14}, kNavy);
    });
    EXPECT_EQ(Ink(image, kWhitePixel), QRect(QPoint(2, 3), QPoint(14, 13)));
    EXPECT_EQ(image.pixel(2, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(8, 7), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(9, 7), kWhitePixel);
    EXPECT_EQ(image.pixel(8, 8), kWhitePixel);
    EXPECT_EQ(image.pixel(5, 5), qRgb(192, 192, 192));
    EXPECT_EQ(CountNot(image, kWhitePixel), 7 * 5 + 3 * 2);
}

TEST_F(QtCanvasTest, ClipIntersectExcludeAndRestore)
{
    const QImage image = Draw(20, 20, [](QtCanvas& dc) {
        dc.Save();
        dc.IntersectClip({5, 5, 15, 15});
        dc.ExcludeClip({8, 8, 10, 10});
        dc.FillRect({0, 0, 20, 20}, kBlack);
        dc.Restore();
        dc.SetPixel(0, 0, kNavy); // the clip is gone after Restore
    });
    EXPECT_EQ(Ink(image, kWhitePixel), QRect(0, 0, 15, 15));
    EXPECT_EQ(CountNot(image, kWhitePixel), 10 * 10 - 2 * 2 + 1);
    EXPECT_EQ(image.pixel(8, 8), kWhitePixel);
    EXPECT_EQ(image.pixel(14, 14), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(15, 15), kWhitePixel);
}

TEST_F(QtCanvasTest, TraceClipKeepsTheSquaresEdgeLinesOutside)
{
    // The polar graph clips its traces to (left + 1, top + 1, right, bottom).
    const QImage image = Draw(20, 20, [](QtCanvas& dc) {
        dc.Save();
        dc.IntersectClip({3, 3, 12, 12});
        dc.SetPen({PenStyle::Solid, 1, kBlack});
        dc.MoveTo(0, 2);
        dc.LineTo(19, 2); // the square's top edge: outside
        dc.MoveTo(0, 3);
        dc.LineTo(19, 3); // first row inside
        dc.Restore();
    });
    for (int x = 0; x < 20; ++x) EXPECT_EQ(image.pixel(x, 2), kWhitePixel);
    EXPECT_EQ(Ink(image, kWhitePixel), QRect(3, 3, 9, 1));
}

TEST_F(QtCanvasTest, ArialAt600ResolvesToASansFaceWithTheAskedCellHeight)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas dc(painter, 96, 96, false);
    FontSpec request;
    request.face = "Arial";
    request.weight = 600;
    for (int height = 6; height <= 160; height += 7) {
        request.height = height;
        const int cell = dc.SetFont(request);
        EXPECT_LE(std::abs(cell - height), 1) << height;
        EXPECT_EQ(dc.TextExtent("X").height, cell);
    }
    request.height = 40;
    const QFontInfo info(dc.ResolveFont(request));
    EXPECT_TRUE(info.family() == "Arial" || info.family() == "Liberation Sans") << info.family().toStdString();
    EXPECT_GE(info.weight(), 600);
}

TEST_F(QtCanvasTest, TextExtentsOfUtf8AndOfBytesThatAreNotUtf8)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas dc(painter, 96, 96, false);
    FontSpec request;
    request.height = 40;
    dc.SetFont(request);
    EXPECT_EQ(dc.TextExtent("").width, 0);
    EXPECT_GT(dc.TextExtent("\u00B5m").width, dc.TextExtent("m").width);
    // Text is UTF-8: a stray byte is one replacement character, not a guess at its code page.
    EXPECT_EQ(dc.TextExtent("\xB5m").width, dc.TextExtent("\uFFFDm").width);
    EXPECT_NE(dc.TextExtent("\xB5m").width, dc.TextExtent("\u00B5m").width);
    EXPECT_GT(dc.TextExtent("Roundness:").width, dc.TextExtent("Runout:").width);
}

TEST_F(QtCanvasTest, FontWidthWidensTheGlyphsOnImagesAndInSvg)
{
    // The same text at its natural width and at twice its average character
    // width, drawn on an image and through an SVG document read back.
    auto draw = [](QtCanvas& dc, bool wide) {
        FontSpec request;
        request.height = 40;
        dc.SetFont(request);
        if (wide) {
            request.width = 2 * dc.AverageCharWidth();
            dc.SetFont(request);
            EXPECT_EQ(dc.AverageCharWidth(), request.width);
        }
        dc.SetBackgroundMode(false);
        dc.TextOut(10, 10, "HHHH");
    };
    auto throughSvg = [&](bool wide) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(400, 80));
        svg.setViewBox(QRect(0, 0, 400, 80));
        svg.setResolution(96);
        QPainter painter(&svg);
        {
            QtCanvas dc(painter, 96, 96, false);
            draw(dc, wide);
        }
        painter.end();
        QSvgRenderer renderer(buffer.data());
        QImage image(400, 80, QImage::Format_RGB32);
        image.fill(kWhitePixel);
        QPainter reader(&image);
        renderer.render(&reader);
        return image;
    };
    const QRect imageNatural = Ink(Draw(400, 80, [&](QtCanvas& dc) { draw(dc, false); }), kWhitePixel);
    const QRect imageWide = Ink(Draw(400, 80, [&](QtCanvas& dc) { draw(dc, true); }), kWhitePixel);
    const QRect svgNatural = Ink(throughSvg(false), kWhitePixel);
    const QRect svgWide = Ink(throughSvg(true), kWhitePixel);
    for (const auto& [natural, wide] : {std::pair{imageNatural, imageWide}, std::pair{svgNatural, svgWide}}) {
        EXPECT_NEAR(wide.width(), 2.0 * natural.width(), 0.05 * natural.width());
        EXPECT_NEAR(wide.left(), natural.left(), 2); // widened about the reference point
        EXPECT_NEAR(wide.top(), natural.top(), 1);   // the cell keeps its height (hinting aside)
        EXPECT_NEAR(wide.bottom(), natural.bottom(), 1);
    }
}

TEST_F(QtCanvasTest, TextAlignmentAroundTheReferencePoint)
{
    FontSpec request;
    request.height = 30;
    auto inkFor = [&](TextAlign align) {
        const QImage image = Draw(200, 100, [&](QtCanvas& dc) {
            dc.SetFont(request);
            dc.SetBackgroundMode(false);
            dc.SetTextAlign(align);
            dc.TextOut(100, 50, "HH");
        });
        return Ink(image, kWhitePixel);
    };
    const QRect leftTop = inkFor({HAlign::Left, VAlign::Top});
    EXPECT_GE(leftTop.left(), 100);
    EXPECT_LE(leftTop.left(), 104);
    EXPECT_GE(leftTop.top(), 50);
    EXPECT_LE(leftTop.top(), 50 + 10); // the cap height starts a little below the cell top

    const QRect rightBaseline = inkFor({HAlign::Right, VAlign::Baseline});
    EXPECT_LE(rightBaseline.right(), 99);
    EXPECT_GE(rightBaseline.right(), 94);
    EXPECT_EQ(rightBaseline.bottom(), 49); // H sits on the baseline

    const QRect centreBottom = inkFor({HAlign::Centre, VAlign::Bottom});
    EXPECT_NEAR((centreBottom.left() + centreBottom.right()) / 2.0, 100.0, 2.0);
    EXPECT_LT(centreBottom.bottom(), 50);
    EXPECT_GT(centreBottom.bottom(), 50 - 12); // above the descent
}

TEST_F(QtCanvasTest, OpaqueTextPaintsItsCellTransparentTextDoesNot)
{
    const QRgb grey = qRgb(128, 128, 128);
    FontSpec request;
    request.height = 20;
    auto draw = [&](bool opaque) {
        return Draw(
            100, 40,
            [&](QtCanvas& dc) {
                dc.SetFont(request);
                dc.SetBackgroundMode(opaque);
                dc.SetTextColour(kBlack);
                dc.TextOut(10, 10, "i");
            },
            grey);
    };
    const QImage opaque = draw(true);
    const QImage transparent = draw(false);
    // Top-left of the cell: above the glyph, so only the background shows there.
    EXPECT_EQ(opaque.pixel(10, 10), kWhitePixel);
    EXPECT_EQ(transparent.pixel(10, 10), grey);
    EXPECT_EQ(Ink(opaque, grey).top(), 10);
}

TEST_F(QtCanvasTest, EscapementRotatesTextCounterClockwise)
{
    FontSpec request;
    request.height = 20;
    request.escapement = 900;
    const QImage image = Draw(100, 200, [&](QtCanvas& dc) {
        dc.SetFont(request);
        dc.SetBackgroundMode(false);
        dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
        dc.TextOut(50, 150, "HHHHH");
    });
    const QRect ink = Ink(image, kWhitePixel);
    EXPECT_GT(ink.height(), 2 * ink.width());
    EXPECT_LE(ink.bottom(), 150); // the text runs upward from the reference point
    EXPECT_LE(ink.right(), 50);   // the glyphs stand left of the baseline after the turn
}

TEST_F(QtCanvasTest, FillModesAndHatches)
{
    // A pentagram: its centre is inside by the winding rule, outside by alternation.
    const std::vector<Point> star{{50, 5}, {76, 85}, {8, 35}, {92, 35}, {24, 85}};
    auto drawStar = [&](FillMode mode) {
        return Draw(100, 100, [&](QtCanvas& dc) {
            dc.SetPen({PenStyle::Null, 0, kBlack});
            dc.SetBrush({BrushStyle::Solid, kNavy, HatchStyle::Horizontal});
            dc.SetFillMode(mode);
            dc.Polygon(star);
        });
    };
    EXPECT_EQ(drawStar(FillMode::Winding).pixel(50, 50), qRgb(0, 0, 128));
    EXPECT_EQ(drawStar(FillMode::Alternate).pixel(50, 50), kWhitePixel);

    const QImage hatched = Draw(40, 40, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Null, 0, kBlack});
        dc.SetBackgroundColour(kLightGrey);
        dc.SetBrush({BrushStyle::Hatched, kBlack, HatchStyle::Cross});
        dc.Rectangle({0, 0, 41, 41});
    });
    int black = 0, background = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (hatched.pixel(x, y) == qRgb(0, 0, 0)) ++black;
            if (hatched.pixel(x, y) == qRgb(192, 192, 192)) ++background;
        }
    EXPECT_GT(black, 100);
    EXPECT_GT(background, 800); // opaque background mode fills the gaps
    EXPECT_EQ(black + background, 40 * 40);
}

TEST_F(QtCanvasTest, ArcsEllipsesAndDashes)
{
    // The two half arcs the polar graph uses for a circle of radius 20 about (50, 50).
    const QImage circle = Draw(100, 100, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Solid, 1, kBlack});
        dc.Arc({30, 30, 71, 71}, {71, 50}, {30, 50});
        dc.Arc({30, 30, 71, 71}, {30, 50}, {71, 50});
    });
    const QRect ink = Ink(circle, kWhitePixel);
    EXPECT_NEAR(ink.left(), 30, 1);
    EXPECT_NEAR(ink.right(), 70, 1);
    EXPECT_NEAR(ink.top(), 30, 1);
    EXPECT_NEAR(ink.bottom(), 70, 1);
    EXPECT_EQ(circle.pixel(50, 50), kWhitePixel);

    const QImage dashed = Draw(100, 10, [](QtCanvas& dc) {
        dc.SetBackgroundMode(false);
        dc.SetPen({PenStyle::Dash, 1, kBlack});
        dc.MoveTo(0, 5);
        dc.LineTo(100, 5);
    });
    const int drawn = CountNot(dashed, kWhitePixel);
    EXPECT_GT(drawn, 60);
    EXPECT_LT(drawn, 90); // 18 on, 6 off

    const QImage pie = Draw(60, 60, [](QtCanvas& dc) {
        dc.SetPen({PenStyle::Null, 0, kBlack});
        dc.SetBrush({BrushStyle::Solid, kBlack, HatchStyle::Horizontal});
        dc.Pie({0, 0, 60, 60}, {60, 30}, {30, 0}); // the upper right quarter
    });
    EXPECT_EQ(pie.pixel(45, 15), qRgb(0, 0, 0));
    EXPECT_EQ(pie.pixel(15, 45), kWhitePixel);
    EXPECT_EQ(pie.pixel(15, 15), kWhitePixel);
}

TEST_F(QtCanvasTest, ImagesAndPolyPolygons)
{
    Image picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {0xFF000080u, 0xFFC0C0C0u};
    const QImage image = Draw(20, 20, [&](QtCanvas& dc) {
        dc.DrawImage({0, 0, 8, 4}, picture);
        const std::vector<Point> points{{10, 10}, {18, 10}, {18, 18}, {10, 18}, {12, 12}, {16, 12}, {16, 16}, {12, 16}};
        const std::vector<int> counts{4, 4};
        dc.SetPen({PenStyle::Null, 0, kBlack});
        dc.SetBrush({BrushStyle::Solid, kBlack, HatchStyle::Horizontal});
        dc.PolyPolygon(points, counts);
    });
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(6, 2), qRgb(192, 192, 192));
    EXPECT_EQ(image.pixel(8, 2), kWhitePixel);
    EXPECT_EQ(image.pixel(11, 11), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(14, 14), kWhitePixel); // the hole, by alternation
}

TEST_F(QtCanvasTest, DeviceFactsFromThePainter)
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(300 / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(600 / 0.0254 + 0.5));
    QPainter painter(&image);
    QtCanvas dc(painter);
    EXPECT_EQ(dc.DpiX(), 300);
    EXPECT_EQ(dc.DpiY(), 600);
    EXPECT_EQ(dc.PixelsPerInch(), 300);
    EXPECT_FALSE(dc.IsPrinting());
}

} // namespace
} // namespace kyklos
