// The main window shows the same icon drawing that is installed into the
// icon theme, compiled into the program so that it needs no installation.

#include "app/Artwork.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>

TEST(WindowIcon, IsTheApplicationIconDrawing)
{
    int argc = 1;
    char name[] = "test_window_icon";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    const QIcon icon = kyklos::ApplicationIcon();
    ASSERT_FALSE(icon.isNull());

    constexpr int kSize = 48;
    const QImage shown = icon.pixmap(kSize, kSize).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(shown.size(), QSize(kSize, kSize));

    QSvgRenderer drawing(QStringLiteral(KYKLOS_ICON_DRAWING));
    ASSERT_TRUE(drawing.isValid());
    QImage expected(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter, QRectF(0, 0, kSize, kSize));
    }
    // Allow for the icon engine's own antialiasing; a different picture
    // differs by far more than this.
    int differing = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
            const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            if (d > 24) ++differing;
        }
    EXPECT_LE(differing, kSize) << "of " << kSize * kSize << " pixels";
}
