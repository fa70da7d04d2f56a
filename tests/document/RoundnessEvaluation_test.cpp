#include "analysis/FilterResponse.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace kyklos {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// The demonstration profile of a fresh program run.
struct DemonstrationDocument {
    ClassicRandom random;
    GaussianNoiseSource noise{random};
    CKyklosDoc doc{nullptr, nullptr, &noise};
};

std::unique_ptr<CKyklosDoc> ProfileDocument(int n, int cutoff, double (*radius)(double))
{
    auto doc = std::make_unique<CKyklosDoc>();
    for (int i = 0; i < n; ++i) doc->RawRadius[static_cast<std::size_t>(i)] = radius(i * kTwoPi / n);
    doc->PointCount = n;
    doc->DataLoaded = true;
    doc->FilterCutoffUpr = cutoff;
    doc->AnalyzeProfile();
    return doc;
}

// Every reference the evaluation fits itself must carry, bit for bit, what
// the analysis gives when that reference is the selected one.
void ExpectReferencesEqualTheAnalysis(CKyklosDoc& doc)
{
    for (int selected = LeastSquares; selected <= MinimumCircumscribed; ++selected) {
        doc.ReferenceKind = selected;
        ASSERT_TRUE(doc.AnalyzeProfile());
        const RoundnessEvaluation e = EvaluateRoundness(doc, std::nullopt);
        ASSERT_TRUE(e.Valid);
        EXPECT_EQ(e.RONp + e.RONv, *e.References[LeastSquares].RONt);
        for (int kind = LeastSquares; kind <= MinimumCircumscribed; ++kind) {
            doc.ReferenceKind = kind;
            ASSERT_TRUE(doc.AnalyzeProfile());
            const ReferenceEvaluation& r = e.References[static_cast<std::size_t>(kind)];
            SCOPED_TRACE("selected " + std::to_string(selected) + ", reference " + std::to_string(kind));
            ASSERT_EQ(r.FitValid, doc.FitValid);
            ASSERT_EQ(r.RONt.has_value(), doc.FitValid);
            if (r.RONt) {
                EXPECT_EQ(*r.RONt, doc.Peak - doc.Valley);
            }
            EXPECT_EQ(r.Eccentricity, doc.Eccentricity);
            EXPECT_EQ(r.EccentricityAngle, doc.EccentricityAngle);
            EXPECT_EQ(r.ReferenceA, doc.ReferenceA);
            EXPECT_EQ(r.ReferenceC, doc.ReferenceC);
        }
    }
}

TEST(RoundnessEvaluation, EachReferenceEqualsTheAnalysisExactly)
{
    DemonstrationDocument demo;
    ExpectReferencesEqualTheAnalysis(demo.doc);
    CKyklosDoc shaft;
    ASSERT_TRUE(shaft.ReadProfileFile(KYKLOS_SOURCE_DIR "/samples/shaft.kyk"));
    ExpectReferencesEqualTheAnalysis(shaft);
    // Two points: the minimum zone fails, the circumscribed fit keeps the
    // reference it started from.
    const auto pair = ProfileDocument(2, 50, [](double t) { return 10.0 + 0.001 * std::cos(t); });
    ExpectReferencesEqualTheAnalysis(*pair);
}

TEST(RoundnessEvaluation, PureUndulationGivesItsFilteredAmplitudeEverywhere)
{
    // 10 mm + 2 µm·cos 5θ at 50 UPR: every reference lies between the five
    // peaks and valleys, all of them on samples.
    const auto doc = ProfileDocument(3600, 50, [](double t) { return 10.0 + 0.002 * std::cos(5 * t); });
    const RoundnessEvaluation e = EvaluateRoundness(*doc, std::nullopt);
    const double at = 0.002 * GaussianFilterTransmission(3600, 50.0)[4];
    EXPECT_NEAR(at, 0.002 * 0.9931, 1e-6);
    for (const ReferenceEvaluation& r : e.References) EXPECT_NEAR(*r.RONt, 2 * at, 1e-12);
    EXPECT_NEAR(e.RONp, at, 1e-12);
    EXPECT_NEAR(e.RONv, at, 1e-12);
    EXPECT_NEAR(e.RONq, at / std::sqrt(2.0), 1e-12);
    ASSERT_EQ(e.Harmonics.size(), 1800u);
    for (const HarmonicComponent& h : e.Harmonics) {
        if (h.Upr == 5) {
            EXPECT_NEAR(h.Amplitude, 0.002, 1e-12);
            EXPECT_NEAR(h.FilteredAmplitude, at, 1e-12);
            EXPECT_NEAR(h.Phase, 0.0, 1e-9);
        } else {
            EXPECT_LT(h.Amplitude, 1e-12) << h.Upr;
            EXPECT_LT(h.FilteredAmplitude, 1e-12) << h.Upr;
        }
    }
}

TEST(RoundnessEvaluation, EccentricCircleIsRoundWithARunoutOfTwiceItsEccentricity)
{
    // 5 µm off-centre towards 30° (sample 300 of 3600).
    const auto doc = ProfileDocument(3600, 50, [](double t) { return 10.0 + 0.005 * std::cos(t - kTwoPi / 12); });
    const RoundnessEvaluation e = EvaluateRoundness(*doc, std::nullopt);
    for (const ReferenceEvaluation& r : e.References) {
        EXPECT_NEAR(*r.RONt, 0.0, 1e-12);
        EXPECT_NEAR(r.Eccentricity, 0.005, 1e-12);
        EXPECT_NEAR(r.EccentricityAngle, 30.0, 1e-8);
    }
    EXPECT_NEAR(doc->Runout, 0.010, 1e-12);
    EXPECT_NEAR(e.Harmonics[0].Amplitude, 0.005, 1e-12);
    EXPECT_NEAR(e.Harmonics[0].Phase, kTwoPi / 12, 1e-9);
}

TEST(RoundnessEvaluation, SpectrumOfTheDemonstrationAgreesWithItsSumsAndTheFilter)
{
    DemonstrationDocument demo;
    const int n = demo.doc.PointCount;
    // The defining sums of harmonic k for every k, from one exact cosine table.
    std::vector<double> cosine(static_cast<std::size_t>(n)), sine(cosine.size());
    for (int m = 0; m < n; ++m) {
        cosine[static_cast<std::size_t>(m)] = std::cos(m * kTwoPi / n);
        sine[static_cast<std::size_t>(m)] = std::sin(m * kTwoPi / n);
    }
    const auto direct = [&](const std::array<double, MaxProfilePoints>& r, int k, double& a, double& b) {
        a = b = 0.0;
        for (int i = 0; i < n; ++i) {
            const auto m = static_cast<std::size_t>(k * i % n);
            a += r[static_cast<std::size_t>(i)] * cosine[m];
            b += r[static_cast<std::size_t>(i)] * sine[m];
        }
        const double scale = 2 * k == n ? 1.0 : 2.0;
        a *= scale / n;
        b *= scale / n;
    };

    for (int cutoff : kFilterCutoffs) {
        demo.doc.FilterCutoffUpr = cutoff;
        ASSERT_TRUE(demo.doc.AnalyzeProfile());
        const RoundnessEvaluation e = EvaluateRoundness(demo.doc, std::nullopt);
        ASSERT_TRUE(e.Warnings.empty());  // 3600 ≥ 7 × 500
        double power = 0.0;
        for (const HarmonicComponent& h : e.Harmonics) {
            const double ratio = h.FilteredAmplitude / h.Amplitude;
            if (h.Upr >= 2) {
                // The filter works on the residual, so ratio = |H_k| = nearly 2^−(k/kc)².
                EXPECT_NEAR(ratio, std::fabs(h.Transmission), 1e-9) << cutoff << " UPR, k = " << h.Upr;
                EXPECT_NEAR(ratio, IdealGaussianTransmission(h.Upr, cutoff), 1e-3) << cutoff << " UPR, k = " << h.Upr;
                power += h.FilteredAmplitude * h.FilteredAmplitude * (2 * h.Upr == n ? 1.0 : 0.5);
            }
            if (cutoff == 50) {
                double a, b, fa, fb;
                direct(demo.doc.RawRadius, h.Upr, a, b);
                direct(demo.doc.FilteredRadius, h.Upr, fa, fb);
                EXPECT_NEAR(h.Amplitude * std::cos(h.Phase), a, 1e-12) << h.Upr;
                EXPECT_NEAR(h.Amplitude * std::sin(h.Phase), b, 1e-12) << h.Upr;
                EXPECT_NEAR(h.FilteredAmplitude, std::sqrt(fa * fa + fb * fb), 1e-12) << h.Upr;
            }
        }
        // Parseval: the mean square deviation from the least squares circle.
        EXPECT_NEAR(e.RONq * e.RONq, power, 1e-12 * power) << cutoff << " UPR";
    }
}

TEST(RoundnessEvaluation, VerdictJudgesTheSelectedReference)
{
    DemonstrationDocument demo;
    demo.doc.ReferenceKind = MinimumZone;
    demo.doc.AnalyzeProfile();
    const double zone = *EvaluateRoundness(demo.doc, std::nullopt).Selected().RONt * 1000.0;  // µm
    EXPECT_EQ(EvaluateRoundness(demo.doc, zone).Verdict, ToleranceVerdict::Pass);
    EXPECT_EQ(EvaluateRoundness(demo.doc, std::nextafter(zone, 0.0)).Verdict, ToleranceVerdict::Fail);
    EXPECT_EQ(EvaluateRoundness(demo.doc, std::nullopt).Verdict, ToleranceVerdict::None);
    // The least squares circle is never narrower than the minimum zone.
    demo.doc.ReferenceKind = LeastSquares;
    demo.doc.AnalyzeProfile();
    const RoundnessEvaluation leastSquares = EvaluateRoundness(demo.doc, zone);
    ASSERT_GT(*leastSquares.Selected().RONt * 1000.0, zone);
    EXPECT_EQ(leastSquares.Verdict, ToleranceVerdict::Fail);

    EXPECT_EQ(JudgeRoundness(std::nullopt, 5.0), ToleranceVerdict::None);  // the fit failed
    EXPECT_EQ(JudgeRoundness(0.001, std::nan("")), ToleranceVerdict::None);
    EXPECT_EQ(VerdictText(ToleranceVerdict::Pass), "Pass");
    EXPECT_EQ(VerdictText(ToleranceVerdict::Fail), "Fail");
    EXPECT_EQ(VerdictText(ToleranceVerdict::None), "\u2014");
}

TEST(RoundnessEvaluation, ShortProfileWarnsAndNoAnalysisGivesNothing)
{
    const auto doc = ProfileDocument(360, 500, [](double t) { return 10.0 + 0.001 * std::cos(3 * t); });
    const RoundnessEvaluation e = EvaluateRoundness(*doc, 1.0);
    ASSERT_EQ(e.Warnings.size(), 2u);
    EXPECT_EQ(e.Warnings[0], "The profile has 360 points; the filter needs at least 7 \u00d7 500 = 3500 points for a "
                             "500 UPR cutoff.");

    doc->AnalysisValid = false;
    const RoundnessEvaluation none = EvaluateRoundness(*doc, 1.0);
    EXPECT_FALSE(none.Valid);
    EXPECT_TRUE(none.Harmonics.empty() && none.Warnings.empty());
    EXPECT_EQ(none.Verdict, ToleranceVerdict::None);
}

} // namespace
} // namespace kyklos
