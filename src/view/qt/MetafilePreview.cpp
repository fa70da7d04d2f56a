#include "view/qt/MetafilePreview.h"

#include "platform/qt/QtCanvas.h"
#include "metafile/MetaFile.h"

#include <QImage>
#include <QPainter>
#include <QString>

namespace kyklos {

bool RenderMetafileToImage(const std::string& wmfPath, const std::string& pngPath, int width, int height,
                           std::string& error)
{
    constexpr int kMaxSide = 16384;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "image size must be between 1 and " + std::to_string(kMaxSide) + " pixels";
        return false;
    }
    CMetaFile picture;
    if (!picture.Load(wmfPath)) {
        error = "cannot read the metafile '" + wmfPath + "'";
        return false;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        picture.Play(canvas, Rect{0, 0, width, height}, 11);
    }
    if (!image.save(QString::fromStdString(pngPath), "PNG")) {
        error = "cannot write the image '" + pngPath + "'";
        return false;
    }
    return true;
}

} // namespace kyklos
