#pragma once
// Writing report pages to files without a window: PNG (one image per
// profile), SVG (one picture per profile) or PDF (one page per profile, laid
// out by the printer rule on an A4 or Letter sheet).

#include "document/KyklosDoc.h"
#include "view/KyklosView.h"

#include <string>
#include <vector>

namespace kyklos {

enum class PaperSize { A4, Letter };

struct PageExportOptions {
    int imageWidth = 1600;     // PNG and SVG page size, device pixels
    int imageHeight = 1000;
    int dpi = 96;              // resolution reported to the page (pens, fonts); PDF: printer resolution, 0 = 600
    PaperSize paper = PaperSize::A4;
};

// Draws one page per document with the given view's settings into `path`,
// whose extension (.png, .pdf, .svg, case-insensitive) chooses the format.
// For PNG and SVG with several documents, the files are named
// path-stem + "-" + index (from 1) + extension. False with a one-line reason
// in `error` when the file cannot be written or the extension is unknown.
bool ExportReportPages(const std::vector<const CKyklosDoc*>& documents, CKyklosView& view,
                       const std::string& path, const PageExportOptions& options, std::string& error);

} // namespace kyklos
