#include "analysis/LeastSquaresCircle.h"
#include "document/FakeUi.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace kyklos {
namespace {

constexpr double kPi = 3.141592653589793;

// A document with its own generator, so the demonstration profile is the
// first one of a fresh program run whatever other tests did before.
struct FreshDocument {
    ClassicRandom random;
    GaussianNoiseSource noise{random};
    FakeUi ui;
    FakeProgress progress;
    std::unique_ptr<CKyklosDoc> doc = std::make_unique<CKyklosDoc>(&ui, nullptr, &noise);
};

void LoadProfile(CKyklosDoc& doc, int n, double (*radius)(double))
{
    std::vector<double> radii(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) radii[static_cast<std::size_t>(i)] = radius(i * 2.0 * kPi / n);
    doc.Profile = EqualStepProfile(std::move(radii));
    doc.DataLoaded = true;
    doc.AnalysisValid = false;
    doc.Result.FitValid = false;
}

TEST(DemonstrationProfile, FreshDocumentHoldsTheAnalysedDemonstration)
{
    FreshDocument f;
    const CKyklosDoc& d = *f.doc;
    EXPECT_EQ(d.Profile.PointCount(), 3600);
    EXPECT_EQ(d.Settings.ReferenceKind, ReferenceKind::LeastSquares);
    EXPECT_EQ(d.Settings.FilterCutoffUpr, 50);
    EXPECT_EQ(d.Profile.Identification, "Kyklos generated data");
    EXPECT_TRUE(d.Profile.FileTitle.empty());
    EXPECT_TRUE(d.Profile.PathName.empty());
    EXPECT_TRUE(d.DataLoaded && d.AnalysisValid && d.Result.FitValid);
    EXPECT_EQ(d.Pi, kPi);
    // The analysis sees the eccentricity of 4 µm, 2 µm and a radius of 10 mm through the noise.
    EXPECT_NEAR(d.Result.NominalRadius, 10.0, 1e-4);
    EXPECT_NEAR(d.Result.ReferenceA, 0.004, 2e-4);
    EXPECT_NEAR(d.Result.ReferenceB, 0.002, 2e-4);
    EXPECT_NEAR(d.Result.EccentricityAngle, 26.57, 3.0);
    EXPECT_NEAR(d.Result.ReferenceC, d.Result.NominalRadius, 1e-12);
    EXPECT_GT(d.Result.Peak - d.Result.Valley, 0.0);
    EXPECT_GE(d.Result.Runout, d.Result.Peak - d.Result.Valley - 1e-9);
}

TEST(DemonstrationProfile, FirstSamplesFollowTheClassicGenerator)
{
    FreshDocument f;
    // rand() from seed 1: 41, 18467 (rejected: s > 1), then 6334, 26500.
    const double c = 0.00006103701895199438;
    const double u = 6334 * c - 1.0, v = 26500 * c - 1.0;
    const double s = u * u + v * v;
    const double g = std::sqrt(-2.0 * std::log(s) / s);
    const double step = kPi * 0.0005555555555555556;

    const double r0 = 10.0 + 0.004 + 0.003 + 0.001; // the terms that do not vanish at θ = 0
    EXPECT_NEAR(f.doc->Profile.RawRadius[0], r0 + 0.002 * u * g, 1e-15);

    // Sample 1 takes the cached second value of the same pair.
    const double t = step;
    const double r1 = 10.0 + 0.004 * std::cos(t) + 0.002 * std::sin(t) + 0.002 * std::sin(3 * t) +
                      0.003 * std::cos(14 * t) + 0.002 * std::sin(47 * t) + 0.001 * std::cos(119 * t);
    EXPECT_NEAR(f.doc->Profile.RawRadius[1], r1 + 0.002 * v * g, 1e-14);
    // The last sample lies at 359.9°.
    EXPECT_NEAR(3599 * step, 2.0 * kPi * 3599 / 3600, 1e-12);
    EXPECT_NEAR(3600 * step, 2.0 * kPi, 1e-12);
}

TEST(DemonstrationProfile, IsTheSameInEveryRun)
{
    FreshDocument a, b;
    for (int i = 0; i < 3600; ++i)
        ASSERT_EQ(a.doc->Profile.RawRadius[static_cast<std::size_t>(i)],
                  b.doc->Profile.RawRadius[static_cast<std::size_t>(i)]);
    EXPECT_EQ(a.doc->Result.Peak, b.doc->Result.Peak);
    EXPECT_EQ(a.doc->Result.Runout, b.doc->Result.Runout);
}

TEST(DemonstrationProfile, WithoutNoiseTheLeastSquaresCentreIsTheEccentricity)
{
    std::vector<double> r(3600);
    const double step = kPi * 0.0005555555555555556;
    for (int i = 0; i < 3600; ++i) {
        const double t = i * step;
        r[static_cast<std::size_t>(i)] = 10.0 + 0.004 * std::cos(t) + 0.002 * std::sin(t) + 0.002 * std::sin(3 * t) +
                                         0.003 * std::cos(14 * t) + 0.002 * std::sin(47 * t) +
                                         0.001 * std::cos(119 * t);
    }
    double a, b, c;
    ASSERT_TRUE(FitLeastSquaresCircle(r, SampleAngles(3600), a, b, c));
    EXPECT_NEAR(a, 0.004, 1e-13);
    EXPECT_NEAR(b, 0.002, 1e-13);
    EXPECT_NEAR(c, 10.0, 1e-13);
    EXPECT_NEAR(std::sqrt(a * a + b * b), 0.004472135955, 1e-12);
    EXPECT_NEAR(std::atan2(b, a) * 180.0 / kPi, 26.565051177, 1e-8);
}

TEST(GaussianNoise, SecondValueOfAPairComesFromTheCacheWithoutDrawing)
{
    ClassicRandom random;
    GaussianNoiseSource noise(random);
    noise.GaussianNoise(0.0, 1.0);
    const ClassicRandom before = random;
    noise.GaussianNoise(0.0, 1.0);
    ClassicRandom after = random;
    ClassicRandom expected = before;
    EXPECT_EQ(after.Next(), expected.Next()); // no rand() call in between
    // Mean and deviation scale the deviate.
    ClassicRandom r1, r2;
    GaussianNoiseSource n1(r1), n2(r2);
    EXPECT_DOUBLE_EQ(n2.GaussianNoise(5.0, 2.0), 5.0 + 2.0 * n1.GaussianNoise(0.0, 1.0));
}

TEST(FileNew, KeepsTheSettingsAndForgetsTheFile)
{
    FreshDocument f;
    f.doc->Settings.ReferenceKind = ReferenceKind::MinimumZone;
    f.doc->Settings.FilterCutoffUpr = 150;
    f.doc->Profile.PathName = "/tmp/x.kyk";
    f.doc->Profile.FileTitle = "x";
    const double first = f.doc->Profile.RawRadius[0];
    f.ui.redraws = 0;
    f.doc->OnFileNew();
    EXPECT_EQ(f.doc->Settings.ReferenceKind, ReferenceKind::MinimumZone);
    EXPECT_EQ(f.doc->Settings.FilterCutoffUpr, 150);
    EXPECT_TRUE(f.doc->Profile.PathName.empty());
    EXPECT_TRUE(f.doc->Profile.FileTitle.empty());
    EXPECT_NE(f.doc->Profile.RawRadius[0], first); // the sequence goes on
    EXPECT_EQ(f.ui.redraws, 1);
    EXPECT_TRUE(f.doc->Result.FitValid);
}

TEST(AnalyzeProfile, LeastSquaresReferenceEqualsTheNominalRadius)
{
    FreshDocument f;
    for (int cutoff : kFilterCutoffs) {
        f.doc->Settings.FilterCutoffUpr = cutoff;
        ASSERT_TRUE(f.doc->AnalyzeProfile());
        EXPECT_NEAR(f.doc->Result.ReferenceC, f.doc->Result.NominalRadius, 1e-12) << cutoff;
    }
}

TEST(AnalyzeProfile, EccentricityAngleLiesInTheHalfOpenRange)
{
    FreshDocument f;
    LoadProfile(*f.doc, 360, [](double) { return 10.0; });
    ASSERT_TRUE(f.doc->AnalyzeProfile());
    // Centred to rounding: far below the 1e-7 mm under which the report hides the angle.
    EXPECT_LT(f.doc->Result.Eccentricity, 1e-15);
    EXPECT_GT(f.doc->Result.EccentricityAngle, -180.0);
    EXPECT_LE(f.doc->Result.EccentricityAngle, 180.0);

    LoadProfile(*f.doc, 360, [](double t) { return 10.0 - 0.003 * std::cos(t); });
    ASSERT_TRUE(f.doc->AnalyzeProfile());
    EXPECT_NEAR(f.doc->Result.Eccentricity, 0.003, 1e-12);
    EXPECT_GT(f.doc->Result.EccentricityAngle, 179.999);
    EXPECT_LE(f.doc->Result.EccentricityAngle, 180.0);

    LoadProfile(*f.doc, 360, [](double t) { return 10.0 - 0.003 * std::cos(t) - 0.00001 * std::sin(t); });
    ASSERT_TRUE(f.doc->AnalyzeProfile());
    EXPECT_LT(f.doc->Result.EccentricityAngle, -179.0);
    EXPECT_GT(f.doc->Result.EccentricityAngle, -180.0);
}

TEST(AnalyzeProfile, EccentricityAngleOfCentresOnTheAxes)
{
    EXPECT_EQ(EccentricityAngleDegrees(0.0, 0.0), 0.0);
    EXPECT_EQ(EccentricityAngleDegrees(0.003, 0.0), 0.0);
    EXPECT_EQ(EccentricityAngleDegrees(-0.003, 0.0), 180.0);
    EXPECT_EQ(EccentricityAngleDegrees(-0.003, -0.0), 180.0); // atan2 alone gives −180 here
    EXPECT_DOUBLE_EQ(EccentricityAngleDegrees(0.0, 0.002), 90.0);
    EXPECT_DOUBLE_EQ(EccentricityAngleDegrees(0.0, -0.002), -90.0);
    EXPECT_GT(EccentricityAngleDegrees(-0.003, -1e-12), -180.0);
    EXPECT_LT(EccentricityAngleDegrees(-0.003, -1e-12), -179.9999);

    FreshDocument f;
    LoadProfile(*f.doc, 360, [](double t) { return 10.0 + 0.003 * std::cos(t); });
    ASSERT_TRUE(f.doc->AnalyzeProfile());
    EXPECT_NEAR(f.doc->Result.EccentricityAngle, 0.0, 1e-9);
}

TEST(AnalyzeProfile, EveryReferenceKindFitsAndMeasuresAboutItsReference)
{
    FreshDocument f;
    LoadProfile(*f.doc, 720, [](double t) {
        return 25.0 + 0.002 * std::cos(t) - 0.001 * std::sin(t) + 0.003 * std::cos(3 * t) + 0.001 * std::sin(5 * t);
    });
    double roundness[4] = {};
    for (const ReferenceKind kind : kReferenceKinds) {
        f.doc->Settings.ReferenceKind = kind;
        ASSERT_TRUE(f.doc->AnalyzeProfile());
        EXPECT_TRUE(f.doc->Result.FitValid) << ReferenceIndex(kind);
        roundness[ReferenceIndex(kind)] = f.doc->Result.Peak - f.doc->Result.Valley;
        if (kind == ReferenceKind::MaximumInscribed) {
            EXPECT_NEAR(f.doc->Result.Valley, 0.0, 1e-12);
        } else if (kind == ReferenceKind::MinimumCircumscribed) {
            EXPECT_NEAR(f.doc->Result.Peak, 0.0, 1e-12);
        } else if (kind == ReferenceKind::MinimumZone) {
            EXPECT_NEAR(f.doc->Result.Peak, f.doc->Result.ZoneHalfWidth, 1e-9);
        }
    }
    // The minimum zone is the narrowest of all.
    for (const ReferenceKind kind : kReferenceKinds)
        EXPECT_LE(roundness[ReferenceIndex(ReferenceKind::MinimumZone)], roundness[ReferenceIndex(kind)] + 1e-12);
}

TEST(AnalyzeProfile, MinimumZoneBelowFourPointsFailsWithOriginCentredResults)
{
    FreshDocument f;
    LoadProfile(*f.doc, 3, [](double t) { return 10.0 + 0.001 * std::cos(t); });
    f.doc->Settings.ReferenceKind = ReferenceKind::MinimumZone;
    ASSERT_TRUE(f.doc->AnalyzeProfile());
    EXPECT_TRUE(f.doc->AnalysisValid);
    EXPECT_FALSE(f.doc->Result.FitValid);
    EXPECT_DOUBLE_EQ(f.doc->Result.Peak - f.doc->Result.Valley, f.doc->Result.Runout);
}

TEST(AnalyzeProfile, WithoutProfileChangesNothing)
{
    FreshDocument f;
    f.doc->DataLoaded = false;
    const double runout = f.doc->Result.Runout;
    EXPECT_FALSE(f.doc->AnalyzeProfile());
    EXPECT_EQ(f.doc->Result.Runout, runout);
}

TEST(AnalyzeProfile, CancelledFilterLeavesNothingToShow)
{
    FreshDocument f;
    f.doc->SetProgressPort(&f.progress);
    f.progress.cancelAtUpdate = 2;
    const double runout = f.doc->Result.Runout;
    EXPECT_FALSE(f.doc->AnalyzeProfile());
    EXPECT_TRUE(f.progress.shown);
    EXPECT_FALSE(f.doc->AnalysisValid);
    EXPECT_FALSE(f.doc->Result.FitValid);
    EXPECT_TRUE(f.doc->DataLoaded);
    EXPECT_EQ(f.doc->Result.Runout, runout);
}

TEST(AnalysisSelection, ReferenceOkWithoutChangeDoesNotRerun)
{
    FreshDocument f;
    f.ui.referenceAnswer = ReferenceIndex(ReferenceKind::LeastSquares);
    f.doc->Result.Runout = -1.0; // marks whether the analysis ran again
    f.ui.redraws = 0;
    f.doc->OnAnalysisReferenceCircle();
    EXPECT_EQ(f.ui.lastReferenceShown, ReferenceIndex(ReferenceKind::LeastSquares));
    EXPECT_EQ(f.doc->Result.Runout, -1.0);
    EXPECT_EQ(f.ui.redraws, 0);

    f.ui.referenceAnswer = ReferenceIndex(ReferenceKind::MinimumZone);
    f.doc->OnAnalysisReferenceCircle();
    EXPECT_EQ(f.doc->Settings.ReferenceKind, ReferenceKind::MinimumZone);
    EXPECT_GT(f.doc->Result.Runout, 0.0);
    EXPECT_EQ(f.ui.redraws, 1);

    f.ui.referenceAnswer.reset(); // Cancel
    f.doc->OnAnalysisReferenceCircle();
    EXPECT_EQ(f.doc->Settings.ReferenceKind, ReferenceKind::MinimumZone);
    EXPECT_EQ(f.ui.redraws, 1);
}

TEST(AnalysisSelection, FilterOkAlwaysReruns)
{
    FreshDocument f;
    f.ui.filterAnswer = 2; // 50 UPR, unchanged
    f.doc->Result.Runout = -1.0;
    f.doc->OnAnalysisFiltering();
    EXPECT_EQ(f.ui.lastFilterShown, 2);
    EXPECT_EQ(f.doc->Settings.FilterCutoffUpr, 50);
    EXPECT_GT(f.doc->Result.Runout, 0.0);
    EXPECT_EQ(f.ui.redraws, 1);

    f.ui.filterAnswer = 0;
    f.doc->OnAnalysisFiltering();
    EXPECT_EQ(f.doc->Settings.FilterCutoffUpr, 5);
    f.ui.filterAnswer.reset();
    f.doc->OnAnalysisFiltering();
    EXPECT_EQ(f.doc->Settings.FilterCutoffUpr, 5);
    EXPECT_EQ(f.ui.redraws, 2);
}

TEST(AnalysisSelection, CutoffIndexMapping)
{
    const int cutoffs[] = {5, 15, 50, 150, 500, 7, -1};
    const int indices[] = {0, 1, 2, 3, 4, 2, 2};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(FilterIndexFromCutoff(cutoffs[i]), indices[i]);
    EXPECT_EQ(CutoffFromFilterIndex(0), 5);
    EXPECT_EQ(CutoffFromFilterIndex(3), 150);
    EXPECT_EQ(CutoffFromFilterIndex(4), 500);
    EXPECT_EQ(CutoffFromFilterIndex(9), 500);
}

TEST(AnalysisSelection, AnUnknownReferenceIndexIsTheMinimumZone)
{
    EXPECT_EQ(ReferenceKindFromIndex(0), ReferenceKind::LeastSquares);
    EXPECT_EQ(ReferenceKindFromIndex(2), ReferenceKind::MaximumInscribed);
    EXPECT_EQ(ReferenceKindFromIndex(3), ReferenceKind::MinimumCircumscribed);
    for (const int index : {1, 4, -1, 99}) EXPECT_EQ(ReferenceKindFromIndex(index), ReferenceKind::MinimumZone);
}

TEST(AnalysisSelection, CommandsWorkWithoutAProfile)
{
    FreshDocument f;
    f.doc->DataLoaded = false;
    f.ui.filterAnswer = 3;
    f.doc->OnAnalysisFiltering();
    EXPECT_EQ(f.doc->Settings.FilterCutoffUpr, 150);
    f.ui.referenceAnswer = ReferenceIndex(ReferenceKind::MaximumInscribed);
    f.doc->OnAnalysisReferenceCircle();
    EXPECT_EQ(f.doc->Settings.ReferenceKind, ReferenceKind::MaximumInscribed);
    EXPECT_EQ(f.ui.redraws, 2);
}

} // namespace
} // namespace kyklos
