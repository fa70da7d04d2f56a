// The demonstration report rendered with the Qt canvas and compared with a
// checked-in image.
//
// To refresh the golden image on purpose (after an intended change of the
// page, the fonts or the analysis), run from the build directory:
//     KYKLOS_UPDATE_GOLDEN=1 tests/test_view_qt --gtest_filter='GoldenPage.*'
// and look at the new tests/view/qt/golden/demo_report.png before committing it.

#include "document/GaussianNoiseSource.h"
#include "platform/ClassicRandom.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtTestApplication.h"
#include "view/KyklosView.h"
#include "view/qt/GoldenImage.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace kyklos {
namespace {

const char* const kGoldenPath = KYKLOS_SOURCE_DIR "/tests/view/qt/golden/demo_report.png";

QImage RenderDemonstrationPage()
{
    ClassicRandom random; // seed 1: the same profile on every run
    GaussianNoiseSource noise(random);
    auto doc = std::make_unique<CKyklosDoc>(nullptr, nullptr, &noise);
    doc->Profile.DateText = "Mon Jan 05 10:00:00 2026";
    CKyklosView view("/nonexistent-logo-directory"); // the text footer, independent of the logo files

    QImage image(1200, 750, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        QtCanvas canvas(painter, 96, 96, false);
        view.OnDraw(canvas, *doc, {0, 0, 1200, 750});
    }
    painter.end();
    return image;
}

TEST(GoldenPage, DemonstrationReportMatchesTheGoldenImage)
{
    test::EnsureGuiApplication();
    const QImage page = RenderDemonstrationPage();

    test::ExpectMatchesGoldenImage(page, kGoldenPath);
}

} // namespace
} // namespace kyklos
