#include "analysis/FilterResponse.h"
#include "document/FakeUi.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

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
    std::vector<double> radii(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) radii[static_cast<std::size_t>(i)] = radius(i * kTwoPi / n);
    doc->Profile = EqualStepProfile(std::move(radii));
    doc->DataLoaded = true;
    doc->Settings.FilterCutoffUpr = cutoff;
    doc->AnalyzeProfile();
    return doc;
}

// Every reference the evaluation fits itself must carry, bit for bit, what
// the analysis gives when that reference is the selected one.
void ExpectReferencesEqualTheAnalysis(CKyklosDoc& doc)
{
    for (const ReferenceKind selected : kReferenceKinds) {
        doc.Settings.ReferenceKind = selected;
        ASSERT_TRUE(doc.AnalyzeProfile());
        const RoundnessEvaluation e = doc.Result.Evaluation;
        ASSERT_TRUE(e.Valid);
        EXPECT_EQ(e.SelectedReference, selected);
        EXPECT_EQ(e.RONp + e.RONv, *e.Reference(ReferenceKind::LeastSquares).RONt);
        for (const ReferenceKind kind : kReferenceKinds) {
            doc.Settings.ReferenceKind = kind;
            ASSERT_TRUE(doc.AnalyzeProfile());
            const ReferenceEvaluation& r = e.Reference(kind);
            SCOPED_TRACE("selected " + std::to_string(ReferenceIndex(selected)) + ", reference " +
                         std::to_string(ReferenceIndex(kind)));
            ASSERT_EQ(r.FitValid, doc.Result.FitValid);
            ASSERT_EQ(r.RONt.has_value(), doc.Result.FitValid);
            if (r.RONt) {
                EXPECT_EQ(*r.RONt, doc.Result.Peak - doc.Result.Valley);
            }
            EXPECT_EQ(r.Eccentricity, doc.Result.Eccentricity);
            EXPECT_EQ(r.EccentricityAngle, doc.Result.EccentricityAngle);
            EXPECT_EQ(r.ReferenceA, doc.Result.ReferenceA);
            EXPECT_EQ(r.ReferenceC, doc.Result.ReferenceC);
        }
    }
}

TEST(RoundnessEvaluation, EachReferenceEqualsTheAnalysisExactly)
{
    DemonstrationDocument demo;
    ExpectReferencesEqualTheAnalysis(demo.doc);
    CKyklosDoc shaft;
    shaft.OpenProfile(KYKLOS_SOURCE_DIR "/samples/shaft.kyk");
    ASSERT_TRUE(shaft.AnalysisValid);
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
    const RoundnessEvaluation& e = doc->Result.Evaluation;
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
    const RoundnessEvaluation& e = doc->Result.Evaluation;
    for (const ReferenceEvaluation& r : e.References) {
        EXPECT_NEAR(*r.RONt, 0.0, 1e-12);
        EXPECT_NEAR(r.Eccentricity, 0.005, 1e-12);
        EXPECT_NEAR(r.EccentricityAngle, 30.0, 1e-8);
    }
    EXPECT_NEAR(doc->Result.Runout, 0.010, 1e-12);
    EXPECT_NEAR(e.Harmonics[0].Amplitude, 0.005, 1e-12);
    EXPECT_NEAR(e.Harmonics[0].Phase, kTwoPi / 12, 1e-9);
}

TEST(RoundnessEvaluation, SpectrumOfTheDemonstrationAgreesWithItsSumsAndTheFilter)
{
    DemonstrationDocument demo;
    const int n = demo.doc.Profile.PointCount();
    // The defining sums of harmonic k for every k, from one exact cosine table.
    std::vector<double> cosine(static_cast<std::size_t>(n)), sine(cosine.size());
    for (int m = 0; m < n; ++m) {
        cosine[static_cast<std::size_t>(m)] = std::cos(m * kTwoPi / n);
        sine[static_cast<std::size_t>(m)] = std::sin(m * kTwoPi / n);
    }
    const auto direct = [&](const std::vector<double>& r, int k, double& a, double& b) {
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
        demo.doc.Settings.FilterCutoffUpr = cutoff;
        ASSERT_TRUE(demo.doc.AnalyzeProfile());
        const RoundnessEvaluation& e = demo.doc.Result.Evaluation;
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
                direct(demo.doc.Profile.RawRadius, h.Upr, a, b);
                direct(demo.doc.Result.FilteredRadius, h.Upr, fa, fb);
                EXPECT_NEAR(h.Amplitude * std::cos(h.Phase), a, 1e-12) << h.Upr;
                EXPECT_NEAR(h.Amplitude * std::sin(h.Phase), b, 1e-12) << h.Upr;
                EXPECT_NEAR(h.FilteredAmplitude, std::sqrt(fa * fa + fb * fb), 1e-12) << h.Upr;
            }
        }
        // Parseval: the mean square deviation from the least squares circle.
        EXPECT_NEAR(e.RONq * e.RONq, power, 1e-12 * power) << cutoff << " UPR";
    }
}

TEST(RoundnessEvaluation, VerdictJudgesTheSelectedReferenceWithoutEvaluatingAgain)
{
    DemonstrationDocument demo;
    CKyklosDoc& doc = demo.doc;
    doc.Settings.ReferenceKind = ReferenceKind::MinimumZone;
    const std::uint64_t before = RoundnessEvaluationCount();
    doc.AnalyzeProfile();
    EXPECT_EQ(RoundnessEvaluationCount(), before + 1);  // one evaluation per analysis
    const double zone = *doc.Result.Evaluation.Selected().RONt * 1000.0;  // µm
    const auto judge = [&doc](std::optional<RoundnessTolerance> t) {
        doc.SetTolerance(t);
        return doc.Result.Evaluation;
    };
    const RoundnessEvaluation atZone = judge(RoundnessTolerance{zone, true});
    EXPECT_EQ(atZone.Verdict, ToleranceVerdict::Pass);
    EXPECT_EQ(*atZone.MarginUm, 0.0);
    const RoundnessEvaluation below = judge(RoundnessTolerance{std::nextafter(zone, 0.0), true});
    EXPECT_EQ(below.Verdict, ToleranceVerdict::Fail);
    EXPECT_LT(*below.MarginUm, 0.0);
    // In microinches the tolerance is converted to micrometres to be judged.
    const RoundnessEvaluation inch = judge(RoundnessTolerance{zone / 0.0254 * 1.001, false});
    EXPECT_EQ(inch.Verdict, ToleranceVerdict::Pass);
    EXPECT_NEAR(*inch.MarginUm, zone * 0.001, 1e-9);
    EXPECT_EQ(judge(std::nullopt).Verdict, ToleranceVerdict::None);
    EXPECT_FALSE(doc.Result.Evaluation.MarginUm);
    EXPECT_EQ(RoundnessEvaluationCount(), before + 1);  // judging again is no evaluation

    // The least squares circle is never narrower than the minimum zone.
    doc.Settings.ReferenceKind = ReferenceKind::LeastSquares;
    doc.SetTolerance(RoundnessTolerance{zone, true});
    doc.AnalyzeProfile();
    const RoundnessEvaluation& leastSquares = doc.Result.Evaluation;
    ASSERT_GT(*leastSquares.Selected().RONt * 1000.0, zone);
    EXPECT_EQ(leastSquares.Verdict, ToleranceVerdict::Fail);

    EXPECT_EQ(JudgeRoundness(std::nullopt, 5.0), ToleranceVerdict::None);  // the fit failed
    EXPECT_EQ(JudgeRoundness(0.001, std::nan("")), ToleranceVerdict::None);
    EXPECT_EQ(VerdictText(ToleranceVerdict::Pass), "Pass");
    EXPECT_EQ(VerdictText(ToleranceVerdict::Fail), "Fail");
    EXPECT_EQ(VerdictText(ToleranceVerdict::None), "\u2014");
}

TEST(RoundnessEvaluation, MarginIsNeverNegativeOnAPass)
{
    // t − RONt with the product the verdict compared: wherever RONt·1000 ≤ t.
    RoundnessEvaluation e;
    e.Valid = true;
    e.References[0].FitValid = true;
    for (const double ront : {0.0011, 0.0029999999999999996, 0.1 + 0.2, 7e-3}) {
        e.References[0].RONt = ront;
        for (const double t : {ront * 1000.0, std::nextafter(ront * 1000.0, 1e9), ront * 1000.0 / 0.0254 * 0.0254}) {
            JudgeTolerance(e, RoundnessTolerance{t, true});
            ASSERT_TRUE(e.MarginUm);
            EXPECT_EQ(e.Verdict == ToleranceVerdict::Pass, *e.MarginUm >= 0.0) << ront << " " << t;
        }
    }
}

TEST(RoundnessEvaluation, ToleranceRuleRefusesWhatIsNotAPositiveNumber)
{
    for (const char* text : {"0", "-1", "0.0", "-0", "abc", "", " ", "5,5", "0x10", "1e", "inf", "nan", "1e999", "12 um"})
        EXPECT_FALSE(ParseTolerance(text)) << text;
    EXPECT_EQ(ParseTolerance(" 11.7 "), 11.7);
    EXPECT_EQ(ParseTolerance("+2.5e-1"), 0.25);
    EXPECT_EQ(ParseTolerance("1e-300"), 1e-300);
    EXPECT_EQ(kToleranceRefusal, "The tolerance must be a positive number.");
}

TEST(RoundnessEvaluation, ShortProfileWarnsAndNoAnalysisGivesNothing)
{
    const auto doc = ProfileDocument(360, 500, [](double t) { return 10.0 + 0.001 * std::cos(3 * t); });
    const RoundnessEvaluation& e = doc->Result.Evaluation;
    ASSERT_EQ(e.Warnings.size(), 2u);
    EXPECT_EQ(e.Warnings[0], "The profile has 360 points; the filter needs at least 7 \u00d7 500 = 3500 points for a "
                             "500 UPR cutoff, above the 180 UPR the profile can hold.");

    // Without the analysed samples an evaluation has nothing to evaluate.
    AnalysisResult unfinished = doc->Result;
    unfinished.FilteredRadius.clear();
    const RoundnessEvaluation none = EvaluateRoundness(doc->Profile, unfinished, doc->Settings);
    EXPECT_FALSE(none.Valid);
    EXPECT_TRUE(none.Harmonics.empty() && none.Warnings.empty());
    EXPECT_EQ(none.Verdict, ToleranceVerdict::None);
    // A cancelled analysis leaves no evaluation behind.
    FakeProgress cancel;
    cancel.cancelAtUpdate = 1;
    doc->SetProgressPort(&cancel);
    EXPECT_FALSE(doc->AnalyzeProfile());
    EXPECT_FALSE(doc->Result.Evaluation.Valid);
}

} // namespace
} // namespace kyklos
