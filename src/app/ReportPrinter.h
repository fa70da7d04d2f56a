#pragma once
// Printing the report: one page per job, laid out inside the printable area
// of the sheet (and the evaluation page after it when the user asks for it),
// for the Print, Print Direct, Print Preview, Print Setup and Export
// commands. One printer object serves the whole process, so the choices made
// in Print Setup or the Print dialog persist.

#include "graph/HarmonicChart.h"
#include "platform/Canvas.h"

#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace kyklos {

class CKyklosDoc;
class CKyklosView;
struct RoundnessEvaluation;

// What the evaluation page after the report shows: the document's
// evaluation as the panel shows it, the panel's spectrum choices, whether
// the panel is shown (Export offers the page then), and whether Print and
// Print Preview add the page.
struct EvaluationPageSource {
    const RoundnessEvaluation* Evaluation = nullptr;
    bool PanelShown = false;
    HarmonicChartOptions Spectrum;
    bool Printed = false;
};

class ReportPrinter {
public:
    ReportPrinter(CKyklosView& view, const CKyklosDoc& doc);

    // The Print dialog, then one page.
    void Print(QWidget* parent);
    // One page on the current printer, without a dialog.
    void PrintDirect();
    // A preview window showing the one page.
    void PrintPreview(QWidget* parent);
    // The printer and its options (paper, orientation, ...) for the next
    // jobs, in the Print dialog without printing; a message when no printer
    // is installed.
    void PrintSetup(QWidget* parent);
    void PrintSetup(QWidget* parent, bool printerInstalled);
    static QString NoPrinterText() { return QStringLiteral("No printer is installed."); }
    // File Export: a file dialog for PDF, PNG or SVG, then the page written
    // there. A name that takes its extension from the chosen type and then
    // names an existing file is confirmed as the dialog confirms a typed one.
    void Export(QWidget* parent);
    // Writes the page to `path` (with WithExportExtension), and after it the
    // evaluation page when asked for. Failures are shown in a message box;
    // false then.
    bool ExportTo(QString path, const QString& chosenFilter, QWidget* parent, bool evaluationPage = false);
    // `path` as written: a name without .pdf, .png or .svg takes the extension
    // of the file type chosen in the dialog ("PNG image (*.png)"...).
    static QString WithExportExtension(const QString& path, const QString& chosenFilter);

    // The job on the given printer: the report page, then the evaluation
    // page when the source says it is printed. False when the printer could
    // not be started.
    bool PrintTo(QPrinter& printer);

    // Where the evaluation page comes from; without a source there is none.
    void SetEvaluationPageSource(std::function<EvaluationPageSource()> source)
    {
        evaluationSource_ = std::move(source);
    }
    // The check box of File Export's dialog.
    static QString IncludeEvaluationPageText() { return QStringLiteral("Include the evaluation page"); }

    // The printable area in device units, with the painter's origin at its
    // top-left corner.
    static Rect PrintableArea(const QPrinter& printer);

    // The process-wide printer.
    QPrinter& Printer();

private:
    CKyklosView& view_;
    const CKyklosDoc& doc_;
    std::function<EvaluationPageSource()> evaluationSource_;
};

} // namespace kyklos
