#include "view/qt/MetafilePreview.h"

#include "metafile/MetaFile.h"
#include "platform/TextEncoding.h"
#include "platform/qt/QtCanvas.h"
#include "view/qt/OutputFile.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace kyklos {

namespace {

constexpr int kMaxSide = 16384;
// Screen pixels per inch: a PDF page of width × height pixels at this resolution.
constexpr int kPictureDpi = 96;

void Play(const CMetaFile& picture, QPainter& painter, int width, int height, bool whiteBackground)
{
    if (whiteBackground) painter.fillRect(QRect(0, 0, width, height), Qt::white);
    QtCanvas canvas(painter);
    picture.Play(canvas, Rect{0, 0, width, height}, 11);
}

bool WritePng(const CMetaFile& picture, QFile& out, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return false;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        Play(picture, painter, width, height, false);
    }
    return image.save(&out, "PNG");
}

bool WriteSvg(const CMetaFile& picture, QFile& out, int width, int height)
{
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(kPictureDpi);
    generator.setTitle(QStringLiteral("Kyklos logo"));
    QPainter painter;
    if (!painter.begin(&generator)) return false;
    Play(picture, painter, width, height, true);
    return painter.end();
}

bool WritePdf(const CMetaFile& picture, QFile& out, int width, int height)
{
    QPdfWriter writer(&out);
    writer.setCreator(QStringLiteral("Kyklos"));
    writer.setResolution(kPictureDpi);
    const double pointsPerPixel = 72.0 / kPictureDpi;
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(width * pointsPerPixel, height * pointsPerPixel), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    Play(picture, painter, writer.width(), writer.height(), true);
    return painter.end();
}

} // namespace

bool RenderMetafile(const std::string& wmfPath, const std::string& outPath, int width, int height, std::string& error)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "image size must be between 1 and " + std::to_string(kMaxSide) + " pixels";
        return false;
    }
    const std::string extension = LowerExtension(outPath);
    if (extension != ".png" && extension != ".svg" && extension != ".pdf") {
        error = "unknown output format '" + DisplayText(extension) + "' (use .png, .svg or .pdf)";
        return false;
    }
    CMetaFile picture;
    if (!picture.Load(wmfPath)) {
        error = "cannot read the metafile '" + DisplayText(wmfPath) + "'";
        return false;
    }
    QFile out;
    if (!OpenOutputFile(outPath, out, error)) return false;
    const bool written = extension == ".png"   ? WritePng(picture, out, width, height)
                         : extension == ".svg" ? WriteSvg(picture, out, width, height)
                                               : WritePdf(picture, out, width, height);
    if (!FinishOutputFile(outPath, out, written)) {
        error = "cannot write " + DisplayText(outPath);
        return false;
    }
    return true;
}

} // namespace kyklos
