#include "app/ReportClipboard.h"

#include "document/KyklosDoc.h"
#include "platform/Units.h"
#include "platform/qt/QtCanvas.h"
#include "view/KyklosView.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include <cmath>
#include <memory>

namespace kyklos {

namespace {

// The picture goes straight to its surface, without the window's off-screen
// buffer and background; the next window paint takes the normal path again.
class DirectDrawing {
public:
    explicit DirectDrawing(CKyklosView& view) : view_(view) { view_.DrawDirect = true; }
    ~DirectDrawing() { view_.DrawDirect = false; }
    DirectDrawing(const DirectDrawing&) = delete;
    DirectDrawing& operator=(const DirectDrawing&) = delete;

private:
    CKyklosView& view_;
};

} // namespace

void CopyReportToClipboard(CKyklosView& view, const CKyklosDoc& doc, QWidget* viewWidget)
{
    if (viewWidget == nullptr) return;
    const QSize size = viewWidget->size();
    if (size.isEmpty()) return;
    // Every size, text extent and resolution the page measures is the screen's.
    const int dpiX = viewWidget->logicalDpiX();
    const int dpiY = viewWidget->logicalDpiY();
    const Rect client{0, 0, size.width(), size.height()};
    // The bitmap has the screen's real pixels: at a device pixel ratio of 2
    // the page laid out in window units is drawn at twice the resolution.
    const qreal pixelRatio = viewWidget->devicePixelRatioF();

    QByteArray svg;
    QImage image((QSizeF(size) * pixelRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    {
        DirectDrawing direct(view);

        QBuffer buffer(&svg);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(dpiY);
        generator.setTitle(QStringLiteral("Kyklos"));
        generator.setDescription(QStringLiteral("Screen Image"));
        {
            QPainter painter(&generator);
            QtCanvas canvas(painter, dpiX, dpiY, false);
            view.OnDraw(canvas, doc, client);
        }

        // The bitmap has no transparent background: the page is drawn on white paper.
        image.fill(Qt::white);
        constexpr double kInchesPerMetre = 1.0 / kyklos::kMetresPerInch;
        image.setDotsPerMeterX(static_cast<int>(std::lround(dpiX * pixelRatio * kInchesPerMetre)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(dpiY * pixelRatio * kInchesPerMetre)));
        {
            QPainter painter(&image);
            QtCanvas canvas(painter, dpiX, dpiY, false);
            view.OnDraw(canvas, doc, client);
        }
    }

    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("image/svg+xml"), svg);
    mime->setImageData(image);
    clipboard->setMimeData(mime.release());
}

} // namespace kyklos
