#include "app/ReportPrinter.h"

#include "document/KyklosDoc.h"
#include "platform/TextEncoding.h"
#include "platform/qt/QtCanvas.h"
#include "view/EvaluationPage.h"
#include "view/KyklosView.h"
#include "view/qt/PageExport.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <string>
#include <vector>

namespace {

const QString kAppName = QStringLiteral("Kyklos");

QPrinter* processPrinter = nullptr;

void DeleteProcessPrinter()
{
    delete processPrinter;
    processPrinter = nullptr;
}

// The save dialog of File Export with the evaluation page's check box
// below the file type. The chosen name, or empty when cancelled.
QString ChooseExportFile(QWidget* parent, const QString& title, const QString& start, const QStringList& filters,
                         QString& selectedFilter, bool& evaluationPage)
{
    QFileDialog dialog(parent, title);
    // Qt's own dialog: a native one has no room for a check box.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(selectedFilter);
    dialog.setDirectory(QFileInfo(start).absolutePath());
    dialog.selectFile(QFileInfo(start).fileName());
    auto* includeBox = new QCheckBox(kyklos::ReportPrinter::IncludeEvaluationPageText(), &dialog);
    includeBox->setObjectName(QStringLiteral("includeEvaluationPage"));
    includeBox->setChecked(evaluationPage);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(includeBox, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    selectedFilter = dialog.selectedNameFilter();
    evaluationPage = includeBox->isChecked();
    return dialog.selectedFiles().constFirst();
}

// A message from the export as a sentence: a capital first, a full stop last.
QString Sentence(const std::string& text)
{
    QString sentence = QString::fromStdString(kyklos::DisplayText(text));
    if (sentence.isEmpty()) return sentence;
    sentence[0] = sentence[0].toUpper();
    if (!sentence.endsWith(QLatin1Char('.'))) sentence += QLatin1Char('.');
    return sentence;
}

} // namespace

kyklos::ReportPrinter::ReportPrinter(kyklos::CKyklosView& view, const kyklos::CKyklosDoc& doc) : view_(view), doc_(doc)
{}

QPrinter& kyklos::ReportPrinter::Printer()
{
    if (processPrinter == nullptr) {
        // Printer dots, not screen pixels: the page is laid out in device units.
        processPrinter = new QPrinter(QPrinter::HighResolution);
        // Released with the application, while the print system is still there.
        qAddPostRoutine(DeleteProcessPrinter);
    }
    return *processPrinter;
}

kyklos::Rect kyklos::ReportPrinter::PrintableArea(const QPrinter& printer)
{
    // The page rectangle is given on the sheet; the painter's origin is the
    // printable area's corner unless the printer paints the full sheet.
    QRect area = printer.pageRect(QPrinter::DevicePixel).toRect();
    if (!printer.fullPage()) area.moveTopLeft(QPoint(0, 0));
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

bool kyklos::ReportPrinter::PrintTo(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    view_.PrintPageRect = PrintableArea(printer);
    {
        kyklos::QtCanvas canvas(painter, printer.resolution(), printer.resolution(), true);
        view_.OnDraw(canvas, doc_, view_.PrintPageRect);
    }
    const EvaluationPageSource source = evaluationSource_ ? evaluationSource_() : EvaluationPageSource{};
    if (source.Printed && source.Evaluation && printer.newPage()) {
        // On a sheet of its own, within the report page's margins.
        kyklos::EvaluationPageOptions options;
        options.MetricUnits = view_.Graph.MetricUnits;
        options.Spectrum = source.Spectrum;
        kyklos::QtCanvas canvas(painter, printer.resolution(), printer.resolution(), true);
        kyklos::DrawEvaluationPage(canvas, doc_, *source.Evaluation, options,
                                   kyklos::EvaluationPageRect(view_.PrintPageRect));
    }
    return painter.end();
}

void kyklos::ReportPrinter::Print(QWidget* parent)
{
    QPrinter& printer = Printer();
    QPrintDialog dialog(&printer, parent);
    // The report is always one page: no page range, selection or current page.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintTo(printer)) QMessageBox::warning(parent, kAppName, QStringLiteral("Failed to start print job."));
}

void kyklos::ReportPrinter::PrintDirect()
{
    if (!PrintTo(Printer())) QMessageBox::warning(nullptr, kAppName, QStringLiteral("Failed to start print job."));
}

void kyklos::ReportPrinter::PrintPreview(QWidget* parent)
{
    QPrinter& printer = Printer();
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* target) { PrintTo(*target); });
    dialog.exec();
}

void kyklos::ReportPrinter::PrintSetup(QWidget* parent)
{
    PrintSetup(parent, !QPrinterInfo::availablePrinterNames().isEmpty());
}

void kyklos::ReportPrinter::PrintSetup(QWidget* parent, bool printerInstalled)
{
    if (!printerInstalled) {
        QMessageBox::information(parent, kAppName, NoPrinterText());
        return;
    }
    // The Print dialog chooses the printer and its options; accepted, it
    // only keeps them in the process-wide printer for the next jobs.
    QPrintDialog dialog(&Printer(), parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    dialog.exec();
}

void kyklos::ReportPrinter::Export(QWidget* parent)
{
    const QString pdfFilter = QStringLiteral("PDF document (*.pdf)");
    const QString pngFilter = QStringLiteral("PNG image (*.png)");
    const QString svgFilter = QStringLiteral("SVG picture (*.svg)");
    const QString title = QStringLiteral("Export");

    QString stem = QFileInfo(QString::fromStdString(kyklos::DisplayText(doc_.Profile.FileTitle))).completeBaseName();
    if (stem.isEmpty()) stem = QStringLiteral("Report");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString selectedFilter = pdfFilter;
    QString start = QDir(folder).filePath(stem + ".pdf");
    // The evaluation page goes along by default while its panel is shown.
    bool evaluationPage = evaluationSource_ && evaluationSource_().PanelShown;
    for (;;) {
        const QString chosen =
            ChooseExportFile(parent, title, start, {pdfFilter, pngFilter, svgFilter}, selectedFilter, evaluationPage);
        if (chosen.isEmpty()) return;
        // The dialog asked about the name as typed; a name that takes its
        // extension here is asked about in the dialog's own words.
        const QString path = WithExportExtension(chosen, selectedFilter);
        if (path == chosen || !QFileInfo::exists(path) ||
            QMessageBox::warning(parent, title,
                                 QStringLiteral("The file %1 already exists.\nDo you want to replace it?")
                                     .arg(QFileInfo(path).fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
            ExportTo(path, selectedFilter, parent, evaluationPage);
            return;
        }
        // No: back to the dialog for another name, as the dialog itself does.
        start = path;
    }
}

QString kyklos::ReportPrinter::WithExportExtension(const QString& path, const QString& chosenFilter)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "pdf" || suffix == "png" || suffix == "svg") return path;
    if (chosenFilter.contains(QStringLiteral("*.png"))) return path + ".png";
    if (chosenFilter.contains(QStringLiteral("*.svg"))) return path + ".svg";
    return path + ".pdf";
}

bool kyklos::ReportPrinter::ExportTo(QString path, const QString& chosenFilter, QWidget* parent, bool evaluationPage)
{
    path = WithExportExtension(path, chosenFilter);
    kyklos::PageExportOptions options;
    options.Paper =
        Printer().pageLayout().pageSize().id() == QPageSize::Letter ? kyklos::PaperSize::Letter : kyklos::PaperSize::A4;
    options.EvaluationPage = evaluationPage;
    if (evaluationSource_) {
        // The page shows what the panel shows.
        const EvaluationPageSource source = evaluationSource_();
        options.Spectrum = source.Spectrum;
    }
    std::string error;
    const std::vector<const kyklos::CKyklosDoc*> documents{&doc_};
    // The file system's bytes for the name, as the dialog gave it.
    if (kyklos::ExportReportPages(documents, view_, QFile::encodeName(QDir::toNativeSeparators(path)).toStdString(),
                                  options, error))
        return true;
    QMessageBox::warning(parent, kAppName, Sentence(error));
    return false;
}
