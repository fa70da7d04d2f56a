// The demonstration's evaluation page rendered with the Qt canvas and
// compared with a checked-in image, as the report page is.
//
// To refresh the golden image on purpose (after an intended change of the
// page, the chart, the fonts or the evaluation), run from the build directory:
//     KYKLOS_UPDATE_GOLDEN=1 tests/test_view_qt --gtest_filter='GoldenEvaluationPage.*'
// and look at the new tests/view/qt/golden/demo_evaluation.png before committing it.

#include "document/GaussianNoiseSource.h"
#include "platform/ClassicRandom.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtTestApplication.h"
#include "view/EvaluationPage.h"
#include "view/qt/GoldenImage.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace kyklos {
namespace {

const char* const kGoldenPath = KYKLOS_SOURCE_DIR "/tests/view/qt/golden/demo_evaluation.png";

QImage RenderDemonstrationEvaluation()
{
    ClassicRandom random; // seed 1: the same profile on every run
    GaussianNoiseSource noise(random);
    auto doc = std::make_unique<CKyklosDoc>(nullptr, nullptr, &noise);
    doc->Profile.DateText = "Mon Jan 05 10:00:00 2026";
    // A tolerance of 12.5 µm, so that the verdict and its margin are on the page.
    doc->SetTolerance(RoundnessTolerance{12.5, true});
    const RoundnessEvaluation& evaluation = doc->Result.Evaluation;
    EvaluationPageOptions options;
    options.Spectrum.Range = HarmonicRangeForCutoff(doc->Settings.FilterCutoffUpr);

    QImage image(1200, 750, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    {
        QtCanvas canvas(painter, 96, 96, false);
        DrawEvaluationPage(canvas, *doc, evaluation, options, {0, 0, 1200, 750});
    }
    painter.end();
    return image;
}

TEST(GoldenEvaluationPage, DemonstrationEvaluationMatchesTheGoldenImage)
{
    test::EnsureGuiApplication();
    const QImage page = RenderDemonstrationEvaluation();

    test::ExpectMatchesGoldenImage(page, kGoldenPath);
}

} // namespace
} // namespace kyklos
