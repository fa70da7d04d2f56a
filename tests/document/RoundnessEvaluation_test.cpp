#include "analysis/FilterResponse.h"
#include "document/FakeUi.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "document/ShownVerdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
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
                EXPECT_EQ(r.PeakAngle, doc.Result.PeakAngle);
                EXPECT_EQ(r.ValleyAngle, doc.Result.ValleyAngle);
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
        ASSERT_TRUE(e.Warnings.empty()); // 3600 ≥ 7 × 500
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
                EXPECT_NEAR(h.FilteredAmplitude * std::cos(h.FilteredPhase), fa, 1e-12) << h.Upr;
                EXPECT_NEAR(h.FilteredAmplitude * std::sin(h.FilteredPhase), fb, 1e-12) << h.Upr;
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
    EXPECT_EQ(RoundnessEvaluationCount(), before + 1);                   // one evaluation per analysis
    const double zone = *doc.Result.Evaluation.Selected().RONt * 1000.0; // µm
    const auto judge = [&doc](std::optional<RoundnessTolerance> t) {
        doc.SetTolerance(t);
        return doc.Result.Evaluation;
    };
    const RoundnessEvaluation atZone = judge(RoundnessTolerance{zone, true});
    EXPECT_EQ(atZone.Verdict, ToleranceVerdict::Pass);
    EXPECT_EQ(*atZone.MarginUm, 0.0);
    const RoundnessEvaluation below = judge(RoundnessTolerance{zone * (1.0 - 1e-9), true});
    EXPECT_EQ(below.Verdict, ToleranceVerdict::Fail);
    EXPECT_LT(*below.MarginUm, 0.0);
    // One unit in the last place is a conversion's rounding, not a difference of form.
    EXPECT_EQ(judge(RoundnessTolerance{std::nextafter(zone, 0.0), true}).Verdict, ToleranceVerdict::Pass);
    // In microinches the tolerance is converted to micrometres to be judged.
    const RoundnessEvaluation inch = judge(RoundnessTolerance{zone / 0.0254 * 1.001, false});
    EXPECT_EQ(inch.Verdict, ToleranceVerdict::Pass);
    EXPECT_NEAR(*inch.MarginUm, zone * 0.001, 1e-9);
    EXPECT_EQ(judge(std::nullopt).Verdict, ToleranceVerdict::None);
    EXPECT_FALSE(doc.Result.Evaluation.MarginUm);
    EXPECT_EQ(RoundnessEvaluationCount(), before + 1); // judging again is no evaluation

    // The least squares circle is never narrower than the minimum zone.
    doc.Settings.ReferenceKind = ReferenceKind::LeastSquares;
    doc.SetTolerance(RoundnessTolerance{zone, true});
    doc.AnalyzeProfile();
    const RoundnessEvaluation& leastSquares = doc.Result.Evaluation;
    ASSERT_GT(*leastSquares.Selected().RONt * 1000.0, zone);
    EXPECT_EQ(leastSquares.Verdict, ToleranceVerdict::Fail);

    EXPECT_EQ(JudgeRoundness(std::nullopt, RoundnessTolerance{5.0, true}), ToleranceVerdict::None); // the fit failed
    EXPECT_EQ(JudgeRoundness(0.001, RoundnessTolerance{std::nan(""), true}), ToleranceVerdict::None);
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
    for (const char* text :
         {"0", "-1", "0.0", "-0", "abc", "", " ", "5,5", "0x10", "1e", "inf", "nan", "1e999", "12 um"})
        EXPECT_FALSE(ParseTolerance(text)) << text;
    EXPECT_EQ(ParseTolerance(" 11.7 "), 11.7);
    EXPECT_EQ(ParseTolerance("+2.5e-1"), 0.25);
    EXPECT_EQ(ParseTolerance("1e-300"), 1e-300);
    EXPECT_EQ(kToleranceRefusal, "The tolerance must be a positive number.");
}

TEST(RoundnessEvaluation, LargestHarmonicsAreThoseOfTheFilteredProfile)
{
    // Ranked raw, 4 and 9 would lead; the filter passes under 1 % of 4 and 2 % of 9.
    RoundnessEvaluation e;
    e.Valid = true;
    struct Given {
        int upr;
        double raw, transmission;
    };
    for (const Given& g :
         {Given{1, 20.0, 1.0}, {4, 10.0, 0.009}, {6, 1.0, 0.9}, {9, 3.0, 0.02}, {12, 0.08, 1.0}, {15, 5.0, -0.004}})
        e.Harmonics.push_back({g.upr, g.raw, 0.0, g.raw * std::fabs(g.transmission), g.transmission});
    std::vector<int> uprs;
    for (const HarmonicComponent& h : LargestHarmonics(e, 5)) uprs.push_back(h.Upr);
    EXPECT_EQ(uprs, (std::vector<int>{6, 12, 9}));

    // The demonstration at 50 UPR: 119 UPR (0.938 µm raw, 2 % passed) and the
    // noise at 1436 UPR are not among the largest of the filtered profile.
    // Independently: raw amplitude times the ideal Gaussian transmission,
    // which the filter follows within 1e-3 at 3600 points.
    DemonstrationDocument demo;
    const RoundnessEvaluation& d = demo.doc.Result.Evaluation;
    std::vector<std::pair<double, int>> expected;
    for (const HarmonicComponent& h : d.Harmonics)
        if (h.Upr >= 2 && IdealGaussianTransmission(h.Upr, 50.0) >= 0.01)
            expected.push_back({-h.Amplitude * IdealGaussianTransmission(h.Upr, 50.0), h.Upr});
    std::sort(expected.begin(), expected.end());
    const std::vector<HarmonicComponent> largest = LargestHarmonics(d, 5);
    ASSERT_EQ(largest.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(largest[i].Upr, expected[i].second) << i;
        EXPECT_NE(largest[i].Upr, 119);
        EXPECT_NE(largest[i].Upr, 1436);
    }
}

TEST(RoundnessEvaluation, FirstPeakIsWhereTheUndulationPeaksOnThePart)
{
    // 2 µm·cos(3(θ − 2.5)) peaks at 2.5 − 2π/3, 2.5 and 2.5 + 2π/3: the first is 0.4056 rad.
    const auto doc = ProfileDocument(3600, 50, [](double t) { return 10.0 + 0.002 * std::cos(3 * (t - 2.5)); });
    const HarmonicComponent& h = doc->Result.Evaluation.Harmonics[2];
    EXPECT_NEAR(h.FirstPeakAngle, 2.5 - kTwoPi / 3, 1e-9);
    EXPECT_NEAR(h.Phase, 7.5 - kTwoPi, 1e-9);
    EXPECT_NEAR(h.FilteredPhase, h.Phase, 1e-9); // a zero-phase filter moves no peak

    constexpr double pi = std::numbers::pi;
    const struct {
        double phase;
        int upr;
        double first;
    } cases[] = {
        {pi / 2, 3, pi / 6}, // a 3-lobe of φ = 90°: peaks at 30°, 150°, 270°; a valley at 90°
        {-pi, 1, pi},        // [−π, π] wraps into one turn
        {-pi / 2, 2, 3 * pi / 4},
        {0.0, 7, 0.0},
        {-1e-17, 5, 0.0}, // a rounding below a whole turn is the peak at 0, not a lobe on
    };
    for (const auto& c : cases) {
        const double first = FirstPeakAngle(c.phase, c.upr);
        EXPECT_NEAR(first, c.first, 1e-15) << c.phase << " " << c.upr;
        EXPECT_TRUE(first >= 0.0 && first < kTwoPi / c.upr) << c.phase << " " << c.upr;
        EXPECT_NEAR(std::cos(c.upr * first - c.phase), 1.0, 1e-12) << c.phase << " " << c.upr;
    }
}

// A true circle of radius R whose centre is e off the measurement axis: the
// limaçon takes e·cos(θ − α) out, the rest of √(R² − e²·sin²(θ − α)) is a
// two-lobe form of peak-to-valley e²/(2R).
double OffCentreCircle(double t, double e, double lobes)
{
    const double s = std::sin(t - 0.7);
    return e * std::cos(t - 0.7) + std::sqrt(100.0 - e * e * s * s) + 0.0005 * lobes * std::cos(3 * t);
}

TEST(RoundnessEvaluation, LargeEccentricityWarnsOfItsTwoLobes)
{
    // 200 µm off a 10 mm circle: e²/(2R) = 2 µm, all of its RONt (as the filter passes 2 UPR).
    const auto far = ProfileDocument(3600, 50, [](double t) { return OffCentreCircle(t, 0.2, 0.0); });
    const RoundnessEvaluation& e = far->Result.Evaluation;
    EXPECT_NEAR(*e.Selected().RONt, 0.002 * IdealGaussianTransmission(2, 50), 3e-7); // e⁴/(8R³) = 2e-7 mm
    // R is the mean radius, 10 − e²/(4R) = 9.999 mm; T = e²/(2·9.999 mm) = 2.0002 µm.
    // (A pure oval also leaves the inscribed and circumscribed centres a few
    // nanometres of play between its two opposite valleys: warned of apart.)
    const auto eccentricityWarnings = [](const RoundnessEvaluation& evaluation) {
        std::vector<std::string> found;
        for (const std::string& w : evaluation.Warnings)
            if (w.rfind("The eccentricity", 0) == 0) found.push_back(w);
        return found;
    };
    ASSERT_EQ(eccentricityWarnings(e).size(), 1u);
    EXPECT_EQ(eccentricityWarnings(e)[0],
              "The eccentricity (200.000 \u00B5m on a radius of 9.999 mm) adds about 2.000 \u00B5m of "
              "apparent two-lobe form; centre the part better.");

    // With a 3-lobe of 1 µm peak-to-valley: 20 µm off adds 0.02 µm, under a
    // tenth of RONt; 70 µm adds 0.245 µm, over a tenth of the 1.0 to 1.25 µm.
    const auto near = ProfileDocument(3600, 50, [](double t) { return OffCentreCircle(t, 0.02, 1.0); });
    EXPECT_TRUE(eccentricityWarnings(near->Result.Evaluation).empty());
    const auto over = ProfileDocument(3600, 50, [](double t) { return OffCentreCircle(t, 0.07, 1.0); });
    const RoundnessEvaluation& o = over->Result.Evaluation;
    ASSERT_EQ(eccentricityWarnings(o).size(), 1u);
    EXPECT_NE(eccentricityWarnings(o)[0].find("(70.000 \u00B5m on a radius of 10.000 mm) adds about 0.245 \u00B5m"),
              std::string::npos)
        << eccentricityWarnings(o)[0];
    // A failed fit has no RONt to compare with.
    ReferenceEvaluation failed = o.Selected();
    failed.FitValid = false;
    EXPECT_FALSE(EccentricityWarning(failed));
}

// A circle of 10 mm with two flats 5 µm deep at 0.3 rad and opposite: the
// inscribed circle's centre may slide along the flats, and RONt over its
// optimal centres ranges from that of the other references to twice it.
double TwoFlats(double t)
{
    const auto flat = [](double t, double at) {
        const double d = std::remainder(t - at, kTwoPi);
        return std::fabs(d) < std::acos(9.995 / 10.0) ? 9.995 / std::cos(d) : 10.0;
    };
    return std::min(flat(t, 0.3), flat(t, 0.3 + kTwoPi / 2));
}

TEST(RoundnessEvaluation, TwoOppositeFlatsLeaveTheInscribedCentreOpen)
{
    const auto doc = ProfileDocument(3600, 500, TwoFlats);
    doc->Settings.ReferenceKind = ReferenceKind::MaximumInscribed;
    ASSERT_TRUE(doc->AnalyzeProfile());
    const RoundnessEvaluation& e = doc->Result.Evaluation;
    const ReferenceEvaluation& inscribed = e.Reference(ReferenceKind::MaximumInscribed);
    ASSERT_TRUE(inscribed.RONtRange);
    EXPECT_FALSE(inscribed.CentreUnique);
    EXPECT_NEAR(inscribed.RONtRange->first, *e.Reference(ReferenceKind::LeastSquares).RONt, 5e-5);
    EXPECT_NEAR(inscribed.RONtRange->second, 2.0 * inscribed.RONtRange->first, 5e-5);
    EXPECT_GE(*inscribed.RONt, inscribed.RONtRange->first);
    EXPECT_LE(*inscribed.RONt, inscribed.RONtRange->second);
    const ReferenceEvaluation& circumscribed = e.Reference(ReferenceKind::MinimumCircumscribed);
    EXPECT_TRUE(circumscribed.CentreUnique);
    ASSERT_TRUE(circumscribed.RONtRange);
    EXPECT_LT(circumscribed.RONtRange->second - circumscribed.RONtRange->first, 1e-6);
    // Said in the warnings and after the RONt wherever it is shown.
    const auto warned = std::count_if(e.Warnings.begin(), e.Warnings.end(), [](const std::string& w) {
        return w.rfind("RONt MICI ", 0) == 0 && w.find("centre not unique") != std::string::npos;
    });
    EXPECT_EQ(warned, 1);
    EXPECT_EQ(CentreNote(e, ReferenceKind::MaximumInscribed, true).rfind(" \u2014 centre not unique: 4.9", 0), 0u)
        << CentreNote(e, ReferenceKind::MaximumInscribed, true);
    EXPECT_EQ(CentreNote(e, ReferenceKind::MinimumCircumscribed, true), "");
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
