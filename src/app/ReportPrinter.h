#pragma once
// Printing the report: one page per job, laid out inside the printable area
// of the sheet, for the Print, Print Direct, Print Preview, Print Setup and
// Export commands. One printer object serves the whole process, so the
// choices made in Print Setup or the Print dialog persist.

#include "platform/Canvas.h"

#include <QString>

class QPrinter;
class QWidget;

namespace kyklos {
class CKyklosDoc;
class CKyklosView;
}

class CReportPrinter {
public:
    CReportPrinter(kyklos::CKyklosView& view, const kyklos::CKyklosDoc& doc);

    // The Print dialog, then one page.
    void Print(QWidget* parent);
    // One page on the current printer, without a dialog.
    void PrintDirect();
    // A preview window showing the one page.
    void PrintPreview(QWidget* parent);
    // Paper, orientation and margins for the next jobs.
    void PrintSetup(QWidget* parent);
    // File Export: a file dialog for PDF, PNG or SVG, then the page written
    // there. A name that takes its extension from the chosen type and then
    // names an existing file is confirmed as the dialog confirms a typed one.
    void Export(QWidget* parent);
    // Writes the page to `path` (with WithExportExtension). Failures are
    // shown in a message box; false then.
    bool ExportTo(QString path, const QString& chosenFilter, QWidget* parent);
    // `path` as written: a name without .pdf, .png or .svg takes the extension
    // of the file type chosen in the dialog ("PNG image (*.png)"...).
    static QString WithExportExtension(const QString& path, const QString& chosenFilter);

    // The one-page job on the given printer. False when the printer could
    // not be started.
    bool PrintTo(QPrinter& printer);

    // The printable area in device units, with the painter's origin at its
    // top-left corner.
    static kyklos::Rect PrintableArea(const QPrinter& printer);

    // The process-wide printer.
    QPrinter& Printer();

private:
    kyklos::CKyklosView& view_;
    const kyklos::CKyklosDoc& doc_;
};
