#pragma once
// Writing report pages to files without a window: PNG (one image per
// profile), SVG (one picture per profile) or PDF (one page per profile, laid
// out by the printer rule on an A4 or Letter sheet), each optionally followed
// by the profile's evaluation page.

#include "document/KyklosDoc.h"
#include "graph/HarmonicChart.h"
#include "view/KyklosView.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kyklos {

enum class PaperSize {
    A4,
    Letter
};

struct PageExportOptions {
    int ImageWidth = 1600; // PNG and SVG page size, device pixels
    int ImageHeight = 1000;
    int Dpi = 96; // resolution reported to the page (pens, fonts); PDF: printer resolution, 0 = 600
    PaperSize Paper = PaperSize::A4;
    // After each report page, the profile's evaluation page: the next page of
    // a PDF, or a file of its own beside each image (see ReportPageWriter),
    // in the view's units.
    bool EvaluationPage = false;
    // Its spectrum's UPR range and amplitude axis; none: linear, over a range
    // that shows the filter's roll-off (HarmonicRangeForCutoff). The numbers,
    // the verdict among them, are the document's evaluation.
    std::optional<HarmonicChartOptions> Spectrum;
};

// Writes pages one at a time as the profiles come, so that a run over many
// profiles never holds more than the one being drawn. The extension of
// `path` (.png, .pdf, .svg, any letter case) chooses the format. With a
// pageCount above 1, PNG and SVG pages go to path-stem + "-" + (index + 1) +
// extension, so each file keeps the number of its profile even when an
// earlier profile gave no page; PDF pages follow each other in one file.
// An evaluation page goes into the PDF right after its report page, and
// beside an image into the same name with "-evaluation" before the extension
// (report.png and report-evaluation.png; report-2.png and
// report-2-evaluation.png). Names are used as the bytes given, whatever
// their encoding. Every file is written beside its name as NAME.part and
// renamed when complete (see OutputFile.h).
class ReportPageWriter {
public:
    ReportPageWriter(CKyklosView& view, std::string path, const PageExportOptions& options, std::size_t pageCount);
    ~ReportPageWriter();
    ReportPageWriter(const ReportPageWriter&) = delete;
    ReportPageWriter& operator=(const ReportPageWriter&) = delete;

    // Checks the format and sizes; a PDF file is created here. False with a
    // one-line reason in `error`.
    bool Open(std::string& error);
    // Draws the document as page `index` (0-based, below pageCount), and its
    // evaluation page when asked for.
    bool Write(const CKyklosDoc& doc, std::size_t index, std::string& error);
    // Finishes a PDF. One that received no page is removed.
    bool Close(std::string& error);
    // Ends a run that stopped early: the PDF being written is removed, and
    // a file of its name from before stays as it was.
    void Abandon();

    // Profiles whose pages were written.
    std::size_t PagesWritten() const { return pagesWritten_; }

private:
    struct Pdf;
    std::string PagePath(std::size_t index) const;
    static std::string EvaluationPath(const std::string& pagePath);

    CKyklosView& view_;
    std::string path_;
    PageExportOptions options_;
    std::size_t pageCount_;
    std::string extension_;
    int dpi_ = 96;
    std::size_t pagesWritten_ = 0;
    std::unique_ptr<Pdf> pdf_;
};

// Draws one page per document with the given view's settings into `path`
// (see ReportPageWriter). False with a one-line reason in `error` when a file
// cannot be written or the extension is unknown.
bool ExportReportPages(const std::vector<const CKyklosDoc*>& documents, CKyklosView& view, const std::string& path,
                       const PageExportOptions& options, std::string& error);

} // namespace kyklos
