// Edit Copy: the page on the clipboard as SVG and as an image, on a screen
// of device pixel ratio 2.

#include "app/ReportClipboard.h"
#include "document/KyklosDoc.h"
#include "platform/RecordingCanvas.h"
#include "view/KyklosView.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTest>
#include <QWidget>

#include <memory>

class ReportClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void copyPlacesSvgAndImageOfThePage();
    void svgIsTheSamePageAsTheImage();
    void nextPaintFillsTheBackgroundAgain();

private:
    std::unique_ptr<kyklos::CKyklosDoc> doc_;
    std::unique_ptr<kyklos::CKyklosView> view_;
    std::unique_ptr<QWidget> widget_;
};

void ReportClipboardTest::initTestCase()
{
    doc_ = std::make_unique<kyklos::CKyklosDoc>();
    QVERIFY(doc_->AnalysisValid);
    view_ = std::make_unique<kyklos::CKyklosView>();
    widget_ = std::make_unique<QWidget>();
    widget_->resize(900, 560);
    QGuiApplication::clipboard()->clear();
    kyklos::CopyReportToClipboard(*view_, *doc_, widget_.get());
}

void ReportClipboardTest::copyPlacesSvgAndImageOfThePage()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime != nullptr);
    QVERIFY(mime->hasFormat(QStringLiteral("image/svg+xml")));
    QVERIFY(mime->hasImage());

    const QString svg = QString::fromUtf8(mime->data(QStringLiteral("image/svg+xml")));
    QVERIFY(svg.contains(QStringLiteral("<title>Kyklos</title>")));
    QVERIFY(svg.contains(QStringLiteral("<desc>Screen Image</desc>")));
    // At the window's size, in window units.
    QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 900 560\"")));
    // Vector text, not a picture of it.
    QVERIFY(svg.contains(QStringLiteral("Gaussian (50%) Filtering:")));

    // At the screen's real resolution: twice the window units each way.
    QCOMPARE(widget_->devicePixelRatioF(), 2.0);
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    QCOMPARE(image.size(), QSize(1800, 1120));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    QVERIFY2(dark > 1000, qPrintable(QStringLiteral("only %1 dark pixels").arg(dark)));

    QVERIFY(!view_->DrawDirect);
}

void ReportClipboardTest::svgIsTheSamePageAsTheImage()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime != nullptr);
    QSvgRenderer renderer(mime->data(QStringLiteral("image/svg+xml")));
    QVERIFY(renderer.isValid());

    // The picture has no background of its own: its corner stays transparent.
    QImage transparent(1800, 1120, QImage::Format_ARGB32);
    transparent.fill(Qt::transparent);
    {
        QPainter painter(&transparent);
        renderer.render(&painter);
    }
    QCOMPARE(qAlpha(transparent.pixel(2, 2)), 0);

    // Rendered on white it matches the copied image, but for antialiased edges.
    QImage onWhite(1800, 1120, QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    {
        QPainter painter(&onWhite);
        renderer.render(&painter);
    }
    const QImage image = qvariant_cast<QImage>(mime->imageData()).convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int a = qGray(image.pixel(x, y));
            const int b = qGray(onWhite.pixel(x, y));
            inked += (a < 200 || b < 200) ? 1 : 0;
            differing += std::abs(a - b) > 96 ? 1 : 0;
        }
    }
    QVERIFY(inked > 1000);
    QVERIFY2(differing < inked / 5,
             qPrintable(QStringLiteral("%1 of %2 inked pixels differ").arg(differing).arg(inked)));
}

void ReportClipboardTest::nextPaintFillsTheBackgroundAgain()
{
    kyklos::RecordingCanvas canvas;
    view_->OnDraw(canvas, *doc_, {0, 0, 900, 560});
    const auto rectangles = canvas.Calls("Rectangle");
    QVERIFY(!rectangles.empty());
    QCOMPARE(rectangles.front().args, (std::vector<int>{0, 0, 900, 560}));
}

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    ReportClipboardTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ReportClipboard_test.moc"
