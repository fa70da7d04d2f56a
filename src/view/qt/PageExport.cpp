#include "view/qt/PageExport.h"

#include "platform/TextEncoding.h"
#include "platform/Units.h"
#include "platform/qt/QtCanvas.h"
#include "view/EvaluationPage.h"
#include "view/qt/OutputFile.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace kyklos {

namespace {

// Larger images would need gigabytes; nobody prints a roundness report that big.
constexpr int kLargestImageSide = 20000;
// Beyond this the page's integer layout arithmetic would overflow on a sheet.
constexpr int kHighestResolution = 4800;

// Draws one page into a canvas laid over the whole page rectangle.
using PageDrawing = std::function<void(Canvas&, const Rect&)>;

bool ExportPng(const PageDrawing& draw, const std::string& file, const PageExportOptions& options, int dpi,
               std::string& error)
{
    QImage image(options.ImageWidth, options.ImageHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "cannot allocate an image of " + std::to_string(options.ImageWidth) + "x" +
                std::to_string(options.ImageHeight) + " pixels";
        return false;
    }
    image.fill(Qt::white);
    const int dotsPerMetre = static_cast<int>(dpi / kMetresPerInch + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter, dpi, dpi, false);
        draw(canvas, {0, 0, options.ImageWidth, options.ImageHeight});
    }
    QFile out;
    if (!OpenOutputFile(file, out, error)) return false;
    const bool saved = image.save(&out, "PNG");
    if (!FinishOutputFile(file, out, saved)) {
        error = "cannot write " + DisplayText(file);
        return false;
    }
    return true;
}

bool ExportSvg(const PageDrawing& draw, const QString& description, const std::string& file,
               const PageExportOptions& options, int dpi, std::string& error)
{
    QFile out;
    if (!OpenOutputFile(file, out, error)) return false;
    QSvgGenerator generator;
    generator.setOutputDevice(&out);
    generator.setSize(QSize(options.ImageWidth, options.ImageHeight));
    generator.setViewBox(QRect(0, 0, options.ImageWidth, options.ImageHeight));
    generator.setResolution(dpi);
    generator.setTitle(QStringLiteral("Kyklos"));
    generator.setDescription(description);
    QPainter painter;
    bool written = painter.begin(&generator);
    if (written) {
        {
            QtCanvas canvas(painter, dpi, dpi, false);
            draw(canvas, {0, 0, options.ImageWidth, options.ImageHeight});
        }
        written = painter.end();
    }
    if (!FinishOutputFile(file, out, written)) {
        error = "cannot write " + DisplayText(file);
        return false;
    }
    return true;
}

} // namespace

struct ReportPageWriter::Pdf {
    QFile file;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
};

ReportPageWriter::ReportPageWriter(CKyklosView& view, std::string path, const PageExportOptions& options,
                                   std::size_t pageCount)
    : view_(view), path_(std::move(path)), options_(options), pageCount_(pageCount)
{}

ReportPageWriter::~ReportPageWriter()
{
    if (pdf_) {
        std::string ignored;
        Close(ignored);
    }
}

std::string ReportPageWriter::PagePath(std::size_t index) const
{
    if (pageCount_ <= 1) return path_;
    std::filesystem::path numbered(path_);
    const std::filesystem::path original(path_);
    numbered.replace_filename(original.stem().string() + "-" + std::to_string(index + 1) +
                              original.extension().string());
    return numbered.string();
}

std::string ReportPageWriter::EvaluationPath(const std::string& pagePath)
{
    std::filesystem::path path(pagePath);
    const std::filesystem::path original(pagePath);
    path.replace_filename(original.stem().string() + "-evaluation" + original.extension().string());
    return path.string();
}

bool ReportPageWriter::Open(std::string& error)
{
    if (options_.Dpi < 0 || options_.Dpi > kHighestResolution) {
        error = "resolution must be between 1 and " + std::to_string(kHighestResolution) + " dpi";
        return false;
    }
    extension_ = LowerExtension(path_);
    if (extension_ == ".pdf") {
        dpi_ = options_.Dpi > 0 ? options_.Dpi : 600;
        pdf_ = std::make_unique<Pdf>();
        if (!OpenOutputFile(path_, pdf_->file, error)) {
            pdf_.reset();
            return false;
        }
        pdf_->writer = std::make_unique<QPdfWriter>(&pdf_->file);
        QPdfWriter& writer = *pdf_->writer;
        writer.setCreator(QStringLiteral("Kyklos"));
        writer.setTitle(QStringLiteral("Kyklos"));
        writer.setResolution(dpi_);
        // The whole sheet is the printable area; the page rule adds its own margins.
        writer.setPageLayout(
            QPageLayout(QPageSize(options_.Paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        return true;
    }
    if (extension_ != ".png" && extension_ != ".svg") {
        error = "unknown output format '" + DisplayText(std::filesystem::path(path_).extension().string()) +
                "' (use .pdf, .png or .svg)";
        return false;
    }
    if (options_.ImageWidth <= 0 || options_.ImageHeight <= 0 || options_.ImageWidth > kLargestImageSide ||
        options_.ImageHeight > kLargestImageSide) {
        error = "page size must be between 1 and " + std::to_string(kLargestImageSide) + " pixels each way";
        return false;
    }
    dpi_ = options_.Dpi > 0 ? options_.Dpi : 96;
    return true;
}

bool ReportPageWriter::Write(const CKyklosDoc& doc, std::size_t index, std::string& error)
{
    // The evaluation page shows its numbers in the units of the report page beside it.
    EvaluationPageOptions evaluationOptions;
    evaluationOptions.MetricUnits = view_.Graph.MetricUnits;
    evaluationOptions.Spectrum =
        options_.Spectrum.value_or(HarmonicChartOptions{HarmonicRangeForCutoff(doc.Settings.FilterCutoffUpr), false});
    // The document's own evaluation, made once by its analysis.
    const RoundnessEvaluation noEvaluation;
    const RoundnessEvaluation& evaluation = doc.AnalysisValid ? doc.Result.Evaluation : noEvaluation;
    auto drawEvaluation = [&](Canvas& canvas, const Rect& page) {
        DrawEvaluationPage(canvas, doc, evaluation, evaluationOptions, page);
    };

    if (extension_ == ".pdf") {
        if (!pdf_) {
            error = "cannot write " + DisplayText(path_);
            return false;
        }
        // The painter starts on the first page; every later page is a new one.
        if (pagesWritten_ == 0) {
            if (!pdf_->painter.begin(pdf_->writer.get())) {
                error = "cannot write " + DisplayText(path_);
                return false;
            }
        } else {
            pdf_->writer->newPage();
        }
        const Rect printable{0, 0, pdf_->writer->width(), pdf_->writer->height()};
        QtCanvas canvas(pdf_->painter, dpi_, dpi_, true);
        view_.PrintPageRect = printable;
        view_.OnDraw(canvas, doc, printable);
        if (options_.EvaluationPage) {
            // On the sheet where the report page stands on its own.
            pdf_->writer->newPage();
            drawEvaluation(canvas, EvaluationPageRect(printable));
        }
        ++pagesWritten_;
        return true;
    }
    const std::string file = PagePath(index);
    const bool png = extension_ == ".png";
    const PageDrawing drawReport = [&](Canvas& canvas, const Rect& page) { view_.OnDraw(canvas, doc, page); };
    if (!(png ? ExportPng(drawReport, file, options_, dpi_, error)
              : ExportSvg(drawReport, QStringLiteral("Roundness report"), file, options_, dpi_, error)))
        return false;
    if (options_.EvaluationPage) {
        const std::string evaluationFile = EvaluationPath(file);
        if (!(png ? ExportPng(drawEvaluation, evaluationFile, options_, dpi_, error)
                  : ExportSvg(drawEvaluation, QStringLiteral("Roundness evaluation"), evaluationFile, options_, dpi_,
                              error)))
            return false;
    }
    ++pagesWritten_;
    return true;
}

bool ReportPageWriter::Close(std::string& error)
{
    if (!pdf_) return true;
    const std::unique_ptr<Pdf> pdf = std::move(pdf_);
    const bool ended = pagesWritten_ == 0 || pdf->painter.end();
    pdf->writer.reset();
    // A PDF without a page would be an empty sheet standing for nothing.
    if (!FinishOutputFile(path_, pdf->file, ended && pagesWritten_ > 0) && pagesWritten_ > 0) {
        error = "cannot write " + DisplayText(path_);
        return false;
    }
    return true;
}

void ReportPageWriter::Abandon()
{
    if (!pdf_) return;
    const std::unique_ptr<Pdf> pdf = std::move(pdf_);
    if (pagesWritten_ > 0) pdf->painter.end();
    pdf->writer.reset();
    FinishOutputFile(path_, pdf->file, false);
}

bool ExportReportPages(const std::vector<const CKyklosDoc*>& documents, CKyklosView& view, const std::string& path,
                       const PageExportOptions& options, std::string& error)
{
    if (documents.empty() || std::find(documents.begin(), documents.end(), nullptr) != documents.end()) {
        error = "no profile to export";
        return false;
    }
    ReportPageWriter writer(view, path, options, documents.size());
    if (!writer.Open(error)) return false;
    for (std::size_t i = 0; i < documents.size(); ++i)
        if (!writer.Write(*documents[i], i, error)) return false;
    return writer.Close(error);
}

} // namespace kyklos
