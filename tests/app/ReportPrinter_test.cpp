// Printing the report: one page, laid out inside the printable area; Print
// Setup; Export and its messages.

#include "ModalDriver.h"

#include "app/ReportPrinter.h"
#include "document/KyklosDoc.h"
#include "view/KyklosView.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using kyklos::ReportPrinter;

namespace {

int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    // Page objects, not the /Pages tree node.
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    return static_cast<int>(text.count(page));
}

// A PDF printer on a Letter sheet at 600 dots per inch with a printable area
// of 8 by 11 inches, as a laser printer reports it.
void SetUpLetterPrinter(QPrinter& printer, const QString& path, QPageLayout::Orientation orientation)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(orientation);
    const QMarginsF margins =
        orientation == QPageLayout::Portrait ? QMarginsF(0.25, 0.0, 0.25, 0.0) : QMarginsF(0.0, 0.25, 0.0, 0.25);
    QVERIFY(printer.setPageMargins(margins, QPageLayout::Inch));
}

bool Inside(const kyklos::Rect& inner, const kyklos::Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

class ReportPrinterTest : public QObject {
    Q_OBJECT
private slots:
    // A driver left waiting by a test must not answer the next test's window.
    void cleanup() { CancelModalDrivers(); }
    void initTestCase();
    void printableAreaStartsAtThePaintersOrigin();
    void portraitLetterUsesTheUpperHalf();
    void landscapeLetterUsesTheWholeSheet();
    void printerThatCannotStartPrintsNothing();
    void previewShowsOnePage();
    void oneSharedPrinter();
    void printSetupChoosesThePrinterOrSaysThereIsNone();
    void exportWritesTheChosenType();
    void exportAsksBeforeReplacingAFileItNamed();
    void exportMessagesAreSentences();

private:
    QTemporaryDir dir_;
    std::unique_ptr<kyklos::CKyklosDoc> doc_;
    std::unique_ptr<kyklos::CKyklosView> view_;
};

void ReportPrinterTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    doc_ = std::make_unique<kyklos::CKyklosDoc>();
    view_ = std::make_unique<kyklos::CKyklosView>();
    QVERIFY(doc_->AnalysisValid);
}

void ReportPrinterTest::printableAreaStartsAtThePaintersOrigin()
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpLetterPrinter(printer, dir_.filePath("origin.pdf"), QPageLayout::Portrait);
    QCOMPARE(ReportPrinter::PrintableArea(printer), (kyklos::Rect{0, 0, 4800, 6600}));
    // Painting the whole sheet: origin at the paper's corner, no margins.
    printer.setFullPage(true);
    QCOMPARE(ReportPrinter::PrintableArea(printer), (kyklos::Rect{0, 0, 5100, 6600}));
}

void ReportPrinterTest::portraitLetterUsesTheUpperHalf()
{
    const QString path = dir_.filePath("portrait.pdf");
    QPrinter printer(QPrinter::HighResolution);
    SetUpLetterPrinter(printer, path, QPageLayout::Portrait);
    ReportPrinter reportPrinter(*view_, *doc_);
    QVERIFY(reportPrinter.PrintTo(printer));

    QCOMPARE(PdfPageCount(path), 1);
    QCOMPARE(view_->PrintPageRect, (kyklos::Rect{0, 0, 4800, 6600}));
    const kyklos::Rect page{240, 240, 4560, 3300};
    QCOMPARE(kyklos::CKyklosView::PrinterPageRect(view_->PrintPageRect), page);
    // The graph was laid out on that page, not on a window.
    QCOMPARE(view_->GraphSquare.left, page.left + page.Width() / 50);
    QVERIFY(Inside(view_->GraphSquare, page));
    QVERIFY(Inside(view_->FooterRect, page));
}

void ReportPrinterTest::landscapeLetterUsesTheWholeSheet()
{
    const QString path = dir_.filePath("landscape.pdf");
    QPrinter printer(QPrinter::HighResolution);
    SetUpLetterPrinter(printer, path, QPageLayout::Landscape);
    ReportPrinter reportPrinter(*view_, *doc_);
    QVERIFY(reportPrinter.PrintTo(printer));

    QCOMPARE(PdfPageCount(path), 1);
    QCOMPARE(view_->PrintPageRect, (kyklos::Rect{0, 0, 6600, 4800}));
    const kyklos::Rect page{330, 330, 6270, 4470};
    QCOMPARE(kyklos::CKyklosView::PrinterPageRect(view_->PrintPageRect), page);
    QVERIFY(Inside(view_->GraphSquare, page));
    QVERIFY(view_->GraphSquare.bottom > 4470 / 2);
}

void ReportPrinterTest::printerThatCannotStartPrintsNothing()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("no such folder/report.pdf"));
    view_->PrintPageRect = {1, 2, 3, 4};
    ReportPrinter reportPrinter(*view_, *doc_);
    QVERIFY(!reportPrinter.PrintTo(printer));
    QCOMPARE(view_->PrintPageRect, (kyklos::Rect{1, 2, 3, 4}));
}

void ReportPrinterTest::previewShowsOnePage()
{
    ReportPrinter reportPrinter(*view_, *doc_);
    QPrinter& printer = reportPrinter.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    view_->PrintPageRect = {};

    int pages = -1;
    bool found = false;
    WhenModal<QPrintPreviewDialog>([&pages, &found](QPrintPreviewDialog* dialog) {
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
            found = true;
            preview->updatePreview();
            pages = preview->pageCount();
        }
        dialog->reject();
    });
    reportPrinter.PrintPreview(nullptr);
    QVERIFY(found);
    QCOMPARE(pages, 1);
    // Laid out by the printer rule on the preview's sheet.
    QCOMPARE(view_->PrintPageRect, ReportPrinter::PrintableArea(printer));
    QVERIFY(view_->PrintPageRect.Width() > 1000);
    QVERIFY(Inside(view_->GraphSquare, kyklos::CKyklosView::PrinterPageRect(view_->PrintPageRect)));
}

void ReportPrinterTest::oneSharedPrinter()
{
    kyklos::CKyklosView otherView;
    ReportPrinter first(*view_, *doc_);
    ReportPrinter second(otherView, *doc_);
    first.Printer().setPageOrientation(QPageLayout::Landscape);
    QCOMPARE(&first.Printer(), &second.Printer());
    QCOMPARE(second.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    first.Printer().setPageOrientation(QPageLayout::Portrait);
}

void ReportPrinterTest::printSetupChoosesThePrinterOrSaysThereIsNone()
{
    ReportPrinter reportPrinter(*view_, *doc_);
    QPrinter& printer = reportPrinter.Printer();
    const auto answer = AnswerNextMessageBox();
    reportPrinter.PrintSetup(nullptr, false);
    QCOMPARE(answer->text, QStringLiteral("No printer is installed."));
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // The machine's own answer: none here, so the same message.
        const auto none = AnswerNextMessageBox();
        reportPrinter.PrintSetup(nullptr);
        QCOMPARE(none->text, QStringLiteral("No printer is installed."));
    }

    // With a printer: the print dialog chooses it and its options and prints nothing.
    const QString path = dir_.filePath("setup.pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QString title, okText;
    const auto seen = WhenModal<QPrintDialog>([&](QPrintDialog* dialog) {
        title = dialog->windowTitle();
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
            okText = buttons->button(QDialogButtonBox::Ok)->text();
        dialog->accept();
    });
    reportPrinter.PrintSetup(nullptr, true);
    QVERIFY(*seen);
    QCOMPARE(title, QStringLiteral("Print Setup"));
    QCOMPARE(okText, QStringLiteral("OK"));
    QVERIFY(!QFile::exists(path));
    printer.setOutputFileName(QString());
}

void ReportPrinterTest::exportWritesTheChosenType()
{
    ReportPrinter reportPrinter(*view_, *doc_);
    const QString stem = dir_.filePath("exported");
    // A name without an extension takes the chosen file type's.
    QVERIFY(reportPrinter.ExportTo(stem, QStringLiteral("SVG picture (*.svg)"), nullptr));
    QFile svg(stem + ".svg");
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("<svg"));

    QVERIFY(reportPrinter.ExportTo(stem + ".pdf", QStringLiteral("PNG image (*.png)"), nullptr));
    QCOMPARE(PdfPageCount(stem + ".pdf"), 1);
    QVERIFY(reportPrinter.ExportTo(stem, QStringLiteral("PNG image (*.png)"), nullptr));
    QVERIFY(QImage(stem + ".png").width() > 100);

    // A cancelled dialog writes nothing.
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    const auto before = QDir(dir_.path()).entryList(QDir::Files).size();
    reportPrinter.Export(nullptr);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files).size(), before);
}

void ReportPrinterTest::exportAsksBeforeReplacingAFileItNamed()
{
    ReportPrinter reportPrinter(*view_, *doc_);
    const QString stem = dir_.filePath("kept");
    QFile existing(stem + ".png");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();

    // "kept" typed with PNG chosen names kept.png, which exists.
    const auto typeKept = [stem](QFileDialog* dialog) {
        dialog->selectNameFilter(QStringLiteral("PNG image (*.png)"));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(stem);
        QMetaObject::invokeMethod(dialog, "accept");
    };
    const auto answer = [](QMessageBox::StandardButton button, QString* text) {
        WhenModal<QMessageBox>([button, text](QMessageBox* box) {
            *text = box->windowTitle() + "|" + box->text();
            box->button(button)->click();
        });
    };
    // No: back to the dialog, whose Cancel leaves the file alone.
    QString question;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        answer(QMessageBox::No, &question);
        typeKept(dialog);
        WhenModal<QFileDialog>([](QFileDialog* again) { again->reject(); });
    });
    reportPrinter.Export(nullptr);
    QCOMPARE(question, QStringLiteral("Export|The file kept.png already exists.\nDo you want to replace it?"));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("old"));
    existing.close();

    // Yes: replaced by the page.
    question.clear();
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        answer(QMessageBox::Yes, &question);
        typeKept(dialog);
    });
    reportPrinter.Export(nullptr);
    QVERIFY(!question.isEmpty());
    QVERIFY(QImage(stem + ".png").width() > 100);
}

void ReportPrinterTest::exportMessagesAreSentences()
{
    ReportPrinter reportPrinter(*view_, *doc_);
    const QString path = dir_.filePath("no such folder/report.pdf");
    const auto answer = AnswerNextMessageBox();
    QVERIFY(!reportPrinter.ExportTo(path, QString(), nullptr));
    QVERIFY(answer->seen);
    QVERIFY2(answer->text.startsWith(QStringLiteral("Cannot write ")), qPrintable(answer->text));
    QVERIFY2(answer->text.contains(path) && answer->text.endsWith('.'), qPrintable(answer->text));
}

QTEST_MAIN(ReportPrinterTest)
#include "ReportPrinter_test.moc"
