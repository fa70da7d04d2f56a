// Report pages written to PNG, SVG and PDF files.

#include "document/GaussianNoiseSource.h"
#include "platform/ClassicRandom.h"
#include "platform/qt/QtTestApplication.h"
#include "view/qt/PageExport.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kyklos {
namespace {

class PageExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureGuiApplication();
        ASSERT_TRUE(directory.isValid());
        doc = std::make_unique<CKyklosDoc>(nullptr, nullptr, &noise);
    }

    std::string PathOf(const char* name) const { return directory.filePath(QString::fromLatin1(name)).toStdString(); }

    static QByteArray Contents(const std::string& path)
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }

    QTemporaryDir directory;
    ClassicRandom random;
    GaussianNoiseSource noise{random};
    std::unique_ptr<CKyklosDoc> doc;
    CKyklosView view{"/nonexistent-logo-directory"};
    std::string error;
};

TEST_F(PageExportTest, PngHasThePageSizeResolutionAndAWhiteBackground)
{
    PageExportOptions options;
    options.ImageWidth = 800;
    options.ImageHeight = 500;
    options.Dpi = 0; // images default to 96
    const std::string path = PathOf("page.PNG");
    ASSERT_TRUE(ExportReportPages({doc.get()}, view, path, options, error)) << error;
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 500));
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 96.0, 0.05);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(799, 499), qRgb(255, 255, 255));
    // The chart's outer ring at 0°: a black dot at (gL + size/2 + 40% of size, centre).
    EXPECT_EQ(view.GraphSquare.Width(), 400);
    const int cx = (view.GraphSquare.left + view.GraphSquare.right) / 2;
    const int cy = (view.GraphSquare.top + view.GraphSquare.bottom) / 2;
    EXPECT_EQ(image.pixel(cx + 160, cy), qRgb(0, 0, 0));
}

TEST_F(PageExportTest, SeveralProfilesGiveNumberedImages)
{
    ClassicRandom otherRandom;
    GaussianNoiseSource otherNoise(otherRandom);
    CKyklosDoc second(nullptr, nullptr, &otherNoise);
    PageExportOptions options;
    options.ImageWidth = 320;
    options.ImageHeight = 200;
    ASSERT_TRUE(ExportReportPages({doc.get(), &second}, view, PathOf("batch.png"), options, error)) << error;
    EXPECT_FALSE(QImage(QString::fromStdString(PathOf("batch-1.png"))).isNull());
    EXPECT_FALSE(QImage(QString::fromStdString(PathOf("batch-2.png"))).isNull());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("batch.png"))));

    ASSERT_TRUE(ExportReportPages({doc.get(), &second}, view, PathOf("batch.svg"), options, error)) << error;
    const QByteArray svg = Contents(PathOf("batch-2.svg"));
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("<title>Kyklos</title>"));
    EXPECT_TRUE(svg.contains("Roundness:"));
}

TEST_F(PageExportTest, PdfHasOnePagePerProfileLaidOutByThePrinterRule)
{
    PageExportOptions options;
    options.Dpi = 0; // 600
    options.Paper = PaperSize::Letter;
    ClassicRandom otherRandom;
    GaussianNoiseSource otherNoise(otherRandom);
    CKyklosDoc second(nullptr, nullptr, &otherNoise);
    const std::string path = PathOf("report.pdf");
    ASSERT_TRUE(ExportReportPages({doc.get(), &second}, view, path, options, error)) << error;
    const QByteArray pdf = Contents(path);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                  pdf.count("/Type /Page "),
              2);
    // Letter at 600 dpi: 5100 × 6600 dots, the report in the upper half.
    EXPECT_EQ(view.PrintPageRect, (Rect{0, 0, 5100, 6600}));
    EXPECT_EQ(view.GraphSquare.left, 255 + (4845 - 255) / 50);
    // 600 dpi printer pens.
    EXPECT_EQ(view.Graph.HaloPenWidth, 24);
}

TEST_F(PageExportTest, StreamedPagesKeepTheirProfilesNumbersAndAnEmptyPdfIsRemoved)
{
    PageExportOptions options;
    options.ImageWidth = 160;
    options.ImageHeight = 100;
    // Three profiles, the second refused: its image is missing, the third keeps its number.
    ReportPageWriter images(view, PathOf("run.png"), options, 3);
    ASSERT_TRUE(images.Open(error)) << error;
    ASSERT_TRUE(images.Write(*doc, 0, error)) << error;
    ASSERT_TRUE(images.Write(*doc, 2, error)) << error;
    ASSERT_TRUE(images.Close(error)) << error;
    EXPECT_EQ(images.PagesWritten(), 2u);
    EXPECT_FALSE(QImage(QString::fromStdString(PathOf("run-1.png"))).isNull());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("run-2.png"))));
    EXPECT_FALSE(QImage(QString::fromStdString(PathOf("run-3.png"))).isNull());

    // A PDF is created at once, beside its name until it is complete, so
    // that a bad name fails before any work; one left without a page is removed.
    ReportPageWriter empty(view, PathOf("none.pdf"), options, 2);
    ASSERT_TRUE(empty.Open(error)) << error;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(PathOf("none.pdf.part"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("none.pdf"))));
    ASSERT_TRUE(empty.Close(error));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("none.pdf"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("none.pdf.part"))));
    // A run that stops early keeps the earlier file of the name as it was.
    {
        QFile earlier(QString::fromStdString(PathOf("kept.pdf")));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    ReportPageWriter stopped(view, PathOf("kept.pdf"), options, 2);
    ASSERT_TRUE(stopped.Open(error)) << error;
    ASSERT_TRUE(stopped.Write(*doc, 0, error)) << error;
    stopped.Abandon();
    EXPECT_EQ(Contents(PathOf("kept.pdf")), QByteArray("earlier"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathOf("kept.pdf.part"))));
    ReportPageWriter unwritable(view, PathOf("missing-directory/x.pdf"), options, 2);
    EXPECT_FALSE(unwritable.Open(error));
}

TEST_F(PageExportTest, EvaluationPagesFollowTheirReportPages)
{
    ClassicRandom otherRandom;
    GaussianNoiseSource otherNoise(otherRandom);
    CKyklosDoc second(nullptr, nullptr, &otherNoise);
    second.SetTolerance(RoundnessTolerance{50.0, true});
    PageExportOptions options;
    options.EvaluationPage = true;
    const std::string path = PathOf("evaluated.pdf");
    // The pages draw the documents' own evaluations: none is computed again.
    const std::uint64_t evaluations = RoundnessEvaluationCount();
    ASSERT_TRUE(ExportReportPages({doc.get(), &second}, view, path, options, error)) << error;
    EXPECT_EQ(RoundnessEvaluationCount(), evaluations);
    const QByteArray pdf = Contents(path);
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                  pdf.count("/Type /Page "),
              4);

    // Images: each evaluation page beside its report page, in the view's units.
    options.ImageWidth = 800;
    options.ImageHeight = 500;
    view.Graph.MetricUnits = false;
    ASSERT_TRUE(ExportReportPages({doc.get(), &second}, view, PathOf("run.svg"), options, error)) << error;
    const QByteArray evaluation = Contents(PathOf("run-2-evaluation.svg"));
    EXPECT_TRUE(evaluation.contains("Evaluation"));
    EXPECT_TRUE(evaluation.contains("Pass"));
    EXPECT_TRUE(evaluation.contains("RONt (\xC2\xB5in)"));
    EXPECT_FALSE(evaluation.contains("Roundness:"));
    EXPECT_TRUE(Contents(PathOf("run-1.svg")).contains("Roundness:"));
    ASSERT_TRUE(ExportReportPages({doc.get()}, view, PathOf("one.png"), options, error)) << error;
    const QImage image(QString::fromStdString(PathOf("one-evaluation.png")));
    EXPECT_EQ(image.size(), QSize(800, 500));
    EXPECT_FALSE(QImage(QString::fromStdString(PathOf("one.png"))).isNull());
}

TEST_F(PageExportTest, RefusedRequests)
{
    PageExportOptions options;
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("page.bmp"), options, error));
    EXPECT_NE(error.find(".bmp"), std::string::npos);
    EXPECT_FALSE(ExportReportPages({}, view, PathOf("page.png"), options, error));
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("missing-directory/page.png"), options, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("missing-directory/page.pdf"), options, error));
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("missing-directory/page.svg"), options, error));
    options.ImageWidth = 0;
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("page.png"), options, error));
    options.ImageWidth = 100;
    options.Dpi = 1000000;
    EXPECT_FALSE(ExportReportPages({doc.get()}, view, PathOf("page.pdf"), options, error));
}

} // namespace
} // namespace kyklos
