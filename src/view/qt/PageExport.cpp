#include "view/qt/PageExport.h"

#include "platform/qt/QtCanvas.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kyklos {

namespace {

// Larger images would need gigabytes; nobody prints a roundness report that big.
constexpr int kLargestImageSide = 20000;
// Beyond this the page's integer layout arithmetic would overflow on a sheet.
constexpr int kHighestResolution = 4800;

std::string LowerExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// path itself for one page; stem-1.ext, stem-2.ext … for several.
std::string PagePath(const std::filesystem::path& path, std::size_t index, std::size_t count)
{
    if (count == 1) return path.string();
    std::filesystem::path numbered = path;
    numbered.replace_filename(path.stem().string() + "-" + std::to_string(index + 1) + path.extension().string());
    return numbered.string();
}

bool ExportPng(const CKyklosDoc& doc, CKyklosView& view, const std::string& file, const PageExportOptions& options,
               int dpi, std::string& error)
{
    QImage image(options.imageWidth, options.imageHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "cannot allocate an image of " + std::to_string(options.imageWidth) + "x" +
                std::to_string(options.imageHeight) + " pixels";
        return false;
    }
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter, dpi, dpi, false);
        view.OnDraw(canvas, doc, {0, 0, options.imageWidth, options.imageHeight});
    }
    if (!image.save(QString::fromStdString(file), "PNG")) {
        error = "cannot write " + file;
        return false;
    }
    return true;
}

bool ExportSvg(const CKyklosDoc& doc, CKyklosView& view, const std::string& file, const PageExportOptions& options,
               int dpi, std::string& error)
{
    QSvgGenerator generator;
    generator.setFileName(QString::fromStdString(file));
    generator.setSize(QSize(options.imageWidth, options.imageHeight));
    generator.setViewBox(QRect(0, 0, options.imageWidth, options.imageHeight));
    generator.setResolution(dpi);
    generator.setTitle(QStringLiteral("Kyklos"));
    generator.setDescription(QStringLiteral("Roundness report"));
    QPainter painter;
    if (!painter.begin(&generator)) {
        error = "cannot write " + file;
        return false;
    }
    {
        QtCanvas canvas(painter, dpi, dpi, false);
        view.OnDraw(canvas, doc, {0, 0, options.imageWidth, options.imageHeight});
    }
    if (!painter.end()) {
        error = "cannot write " + file;
        return false;
    }
    return true;
}

bool ExportPdf(const std::vector<const CKyklosDoc*>& documents, CKyklosView& view, const std::string& file,
               const PageExportOptions& options, std::string& error)
{
    const int dpi = options.dpi > 0 ? options.dpi : 600;
    QPdfWriter writer(QString::fromStdString(file));
    writer.setCreator(QStringLiteral("Kyklos"));
    writer.setTitle(QStringLiteral("Kyklos"));
    writer.setResolution(dpi);
    // The whole sheet is the printable area; the page rule adds its own margins.
    writer.setPageLayout(QPageLayout(QPageSize(options.paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) {
        error = "cannot write " + file;
        return false;
    }
    for (std::size_t i = 0; i < documents.size(); ++i) {
        if (i > 0) writer.newPage();
        const Rect printable{0, 0, writer.width(), writer.height()};
        QtCanvas canvas(painter, dpi, dpi, true);
        view.PrintPageRect = printable;
        view.OnDraw(canvas, *documents[i], printable);
    }
    if (!painter.end()) {
        error = "cannot write " + file;
        return false;
    }
    return true;
}

} // namespace

bool ExportReportPages(const std::vector<const CKyklosDoc*>& documents, CKyklosView& view, const std::string& path,
                       const PageExportOptions& options, std::string& error)
{
    if (documents.empty()) {
        error = "no profile to export";
        return false;
    }
    if (std::find(documents.begin(), documents.end(), nullptr) != documents.end()) {
        error = "no profile to export";
        return false;
    }
    if (options.dpi < 0 || options.dpi > kHighestResolution) {
        error = "resolution must be between 1 and " + std::to_string(kHighestResolution) + " dpi";
        return false;
    }
    const std::filesystem::path target(path);
    const std::string extension = LowerExtension(target);
    if (extension == ".pdf") return ExportPdf(documents, view, path, options, error);
    if (extension != ".png" && extension != ".svg") {
        error = "unknown output format '" + target.extension().string() + "' (use .pdf, .png or .svg)";
        return false;
    }
    if (options.imageWidth <= 0 || options.imageHeight <= 0 || options.imageWidth > kLargestImageSide ||
        options.imageHeight > kLargestImageSide) {
        error = "page size must be between 1 and " + std::to_string(kLargestImageSide) + " pixels each way";
        return false;
    }
    const int dpi = options.dpi > 0 ? options.dpi : 96;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const std::string file = PagePath(target, i, documents.size());
        const bool written = extension == ".png" ? ExportPng(*documents[i], view, file, options, dpi, error)
                                                 : ExportSvg(*documents[i], view, file, options, dpi, error);
        if (!written) return false;
    }
    return true;
}

} // namespace kyklos
