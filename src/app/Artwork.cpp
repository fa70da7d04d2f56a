#include "app/Artwork.h"

#include "platform/Version.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <numbers>

// The icon drawing is compiled into this static library's Qt resources;
// naming them here keeps the linker from dropping them.
static void InitIconResources() { Q_INIT_RESOURCE(kyklos); }

namespace kyklos {

namespace {

constexpr int kToolbarWidth = 16;
constexpr int kToolbarHeight = 15;

QPixmap BlankPixmap(int width, int height, qreal dpr, const QColor& fill)
{
    QPixmap pixmap(QSize(qRound(width * dpr), qRound(height * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(fill);
    return pixmap;
}

QFont PixelFont(int pixelSize, int weight = QFont::Normal)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

// A closed profile with the harmonics a turned part typically shows: lobing
// (3 UPR), chatter (14 and 47 UPR) and a little fine waviness.
double ProfileDeviation(double angle)
{
    return 0.5 * std::sin(3.0 * angle) + 0.6 * std::cos(14.0 * angle) + 0.2 * std::sin(47.0 * angle) +
           0.05 * std::cos(119.0 * angle);
}

QPolygonF PolarTrace(QPointF centre, double radius, double amplitude, double noise)
{
    constexpr int kPoints = 720;
    // A fixed linear congruential sequence: the same picture on every start.
    std::uint32_t state = 12345u;
    QPolygonF trace;
    trace.reserve(kPoints + 1);
    for (int i = 0; i <= kPoints; ++i) {
        const double angle = 2.0 * std::numbers::pi * (i % kPoints) / kPoints;
        state = state * 214013u + 2531011u;
        const double jitter = (static_cast<double>((state >> 16) & 0x7FFF) / 32767.0 - 0.5) * noise;
        const double r = radius + amplitude * ProfileDeviation(angle) + (i == kPoints ? 0.0 : jitter);
        trace << QPointF(centre.x() + r * std::cos(angle), centre.y() - r * std::sin(angle));
    }
    trace.back() = trace.front();
    return trace;
}

void DrawPolarGrid(QPainter& painter, QPointF centre, double outer, const QColor& colour)
{
    painter.setPen(QPen(colour, 1.0));
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 4; ++ring) {
        const double r = outer * (0.25 + 0.25 * ring) / 1.25;
        painter.drawEllipse(centre, r, r);
    }
    for (int spoke = 0; spoke < 12; ++spoke) {
        const double angle = spoke * std::numbers::pi / 6.0;
        const double inner = outer * 0.4;
        painter.drawLine(QPointF(centre.x() + inner * std::cos(angle), centre.y() - inner * std::sin(angle)),
                         QPointF(centre.x() + outer * std::cos(angle), centre.y() - outer * std::sin(angle)));
    }
}

void DrawToolbarImage(QPainter& p, ToolbarImage image)
{
    const QColor outline(64, 64, 64);
    p.setPen(QPen(outline, 1.0));
    switch (image) {
    case ToolbarImage::New: {
        const QPolygonF page{{3.5, 0.5}, {9.5, 0.5}, {12.5, 3.5}, {12.5, 13.5}, {3.5, 13.5}};
        p.setBrush(Qt::white);
        p.drawPolygon(page);
        p.setBrush(QColor(216, 216, 216));
        p.drawPolygon(QPolygonF{{9.5, 0.5}, {9.5, 3.5}, {12.5, 3.5}});
        break;
    }
    case ToolbarImage::Open: {
        p.setPen(QPen(QColor(128, 96, 16), 1.0));
        p.setBrush(QColor(226, 176, 48));
        p.drawPolygon(QPolygonF{{0.5, 2.5}, {4.5, 2.5}, {5.5, 3.5}, {11.5, 3.5}, {11.5, 12.5}, {0.5, 12.5}});
        p.setBrush(QColor(248, 214, 110));
        p.drawPolygon(QPolygonF{{3.5, 6.5}, {15.5, 6.5}, {12.5, 12.5}, {0.5, 12.5}});
        break;
    }
    case ToolbarImage::Copy: {
        p.setBrush(QColor(236, 236, 236));
        p.drawRect(QRectF(0.5, 0.5, 8.0, 9.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 4.5, 8.0, 9.0));
        p.setPen(QPen(QColor(0, 0, 128), 1.0));
        for (double y = 7.5; y < 12.0; y += 2.0) p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
        break;
    }
    case ToolbarImage::Print: {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 0.5, 8.0, 6.0));
        p.setBrush(QColor(176, 176, 176));
        p.drawRect(QRectF(0.5, 5.5, 14.0, 6.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 9.5, 8.0, 4.0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 160, 0));
        p.drawRect(QRectF(12.0, 7.0, 1.5, 1.5));
        break;
    }
    case ToolbarImage::WebSite: {
        QRadialGradient sea(QPointF(6.0, 5.0), 8.0);
        sea.setColorAt(0.0, QColor(120, 180, 255));
        sea.setColorAt(1.0, QColor(24, 90, 190));
        p.setPen(QPen(QColor(16, 56, 128), 1.0));
        p.setBrush(sea);
        p.drawEllipse(QPointF(7.5, 7.0), 6.5, 6.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(235, 245, 255), 0.8));
        p.drawEllipse(QPointF(7.5, 7.0), 2.8, 6.3);
        p.drawLine(QPointF(1.2, 7.0), QPointF(13.8, 7.0));
        p.drawLine(QPointF(2.3, 3.8), QPointF(12.7, 3.8));
        p.drawLine(QPointF(2.3, 10.2), QPointF(12.7, 10.2));
        break;
    }
    case ToolbarImage::About: {
        p.setPen(QPen(QColor(0, 0, 96), 1.0));
        p.setBrush(QColor(0, 0, 128));
        p.drawEllipse(QPointF(7.5, 7.0), 6.5, 6.5);
        p.setPen(Qt::white);
        p.setFont(PixelFont(11, QFont::Bold));
        p.drawText(QRectF(1.0, 0.5, 13.0, 13.0), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
}

} // namespace

QPixmap ToolbarPixmap(ToolbarImage image, qreal devicePixelRatio)
{
    QPixmap pixmap = BlankPixmap(kToolbarWidth, kToolbarHeight, devicePixelRatio, Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawToolbarImage(painter, image);
    return pixmap;
}

QIcon ToolbarIcon(ToolbarImage image)
{
    QIcon icon;
    icon.addPixmap(ToolbarPixmap(image, 1.0));
    icon.addPixmap(ToolbarPixmap(image, 2.0));
    return icon;
}

QIcon ApplicationIcon()
{
    InitIconResources();
    return QIcon(QStringLiteral(":/icons/kyklos.svg"));
}

QPixmap SplashPicture(qreal devicePixelRatio)
{
    QPixmap pixmap = BlankPixmap(kSplashWidth, kSplashHeight, devicePixelRatio, Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, kSplashWidth, kSplashHeight);
    sky.setColorAt(0.0, QColor(10, 30, 64));
    sky.setColorAt(1.0, QColor(24, 58, 104));
    p.fillRect(QRect(0, 0, kSplashWidth, kSplashHeight), sky);

    const QPointF centre(388.0, 158.0);
    DrawPolarGrid(p, centre, 118.0, QColor(255, 255, 255, 38));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
    p.drawPolyline(PolarTrace(centre, 88.0, 9.0, 5.0));
    p.setPen(QPen(QColor(141, 169, 196), 1.2, Qt::DashLine));
    p.drawEllipse(centre, 88.0, 88.0);
    p.setPen(QPen(QColor(250, 250, 250), 1.8));
    p.drawPolyline(PolarTrace(centre, 88.0, 9.0, 0.0));

    p.setPen(Qt::white);
    p.setFont(PixelFont(66, QFont::Bold));
    p.drawText(QPointF(34.0, 138.0), QStringLiteral("Kyklos"));
    p.setPen(QColor(141, 169, 196));
    p.setFont(PixelFont(18));
    p.drawText(QPointF(38.0, 168.0), QStringLiteral("Roundness evaluation"));
    p.setFont(PixelFont(13));
    p.drawText(QPointF(38.0, 192.0), QStringLiteral("Version " KYKLOS_VERSION));

    p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    p.drawLine(QPointF(38.0, 262.5), QPointF(230.0, 262.5));
    p.setPen(Qt::white);
    p.setFont(PixelFont(16, QFont::DemiBold));
    p.drawText(QPointF(38.0, 286.0), QStringLiteral("Varnholt Instruments"));

    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kSplashWidth - 1.0, kSplashHeight - 1.0));
    return pixmap;
}

QPixmap AboutPicture(qreal devicePixelRatio)
{
    QPixmap pixmap = BlankPixmap(kAboutPictureWidth, kAboutPictureHeight, devicePixelRatio, QColor(248, 250, 252));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QPointF centre(76.0, 73.0);
    DrawPolarGrid(p, centre, 62.0, QColor(128, 128, 128, 110));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(192, 192, 192), 1.0));
    p.drawPolyline(PolarTrace(centre, 46.0, 3.5, 3.0));
    p.setPen(QPen(Qt::black, 1.0));
    p.drawEllipse(centre, 46.0, 46.0);
    p.setPen(QPen(QColor(0, 0, 128), 1.6));
    p.drawPolyline(PolarTrace(centre, 46.0, 3.5, 0.0));

    p.setPen(QColor(0, 0, 128));
    p.setFont(PixelFont(38, QFont::Bold));
    p.drawText(QPointF(156.0, 70.0), QStringLiteral("Kyklos"));
    p.setPen(QColor(96, 96, 96));
    p.setFont(PixelFont(13));
    p.drawText(QPointF(158.0, 92.0), QStringLiteral("Roundness evaluation"));
    p.setPen(QColor(32, 32, 32));
    p.setFont(PixelFont(12, QFont::DemiBold));
    p.drawText(QPointF(158.0, 124.0), QStringLiteral("Varnholt Instruments"));
    return pixmap;
}

} // namespace kyklos
