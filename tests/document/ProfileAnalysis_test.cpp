#include "analysis/GeometricCircle.h"
#include "analysis/PointProfile.h"
#include "analysis/ReferenceCertificate.h"
#include "analysis/ReferenceFit.h"
#include "document/FakeUi.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "document/ProfileAnalysis.h"
#include "platform/ClassicRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace kyklos {
namespace {

constexpr double kPi = 3.141592653589793;

// A shaft of 10 mm with three lobes, some eccentricity and probe noise, at equal steps.
Profile NoisyProfile(int n, double noiseMm, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, noiseMm);
    std::vector<double> radii(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = i * 2.0 * kPi / n;
        radii[static_cast<std::size_t>(i)] =
            10.0 + 0.003 * std::cos(t) - 0.002 * std::sin(t) + 0.002 * std::cos(3.0 * t) + noise(random);
    }
    return EqualStepProfile(std::move(radii));
}

// The same kind of profile at the given angles (radians, ascending in [0, 2π)).
Profile ProfileAtAngles(const std::vector<double>& angles, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> form(-0.001, 0.001);
    Profile p;
    p.EqualSteps = false;
    p.SampleAngle = angles;
    for (const double t : angles)
        p.RawRadius.push_back(10.0 + 0.002 * std::cos(t) + 0.001 * std::sin(2.0 * t) + 0.002 * std::cos(3.0 * t) +
                              form(random));
    return p;
}

std::vector<double> JitteredAngles(int n, double arcRad, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i) angles.push_back((i + 0.5 + jitter(random)) * arcRad / n);
    return angles;
}

AnalysisResult Analyse(const Profile& profile, const AnalysisSettings& settings)
{
    NoProgress progress;
    AnalysisResult result;
    std::string refusal;
    EXPECT_EQ(AnalyseProfile(profile, settings, progress, result, refusal), AnalysisStatus::Done) << refusal;
    return result;
}

std::string Refusal(const Profile& profile, const AnalysisSettings& settings)
{
    NoProgress progress;
    AnalysisResult result;
    result.NominalRadius = 123.0;
    std::string refusal;
    EXPECT_EQ(AnalyseProfile(profile, settings, progress, result, refusal), AnalysisStatus::Refused);
    EXPECT_EQ(result.NominalRadius, 123.0) << "a refused analysis leaves the result as it was";
    return refusal;
}

int CountOf(const std::vector<std::string>& warnings, const std::string& text)
{
    return static_cast<int>(std::count(warnings.begin(), warnings.end(), text));
}

// Every number the page, the panel and the records show, compared exactly.
void ExpectSameResults(const AnalysisResult& a, const AnalysisResult& b)
{
    ASSERT_EQ(a.Samples.UsedCount(), b.Samples.UsedCount());
    for (const int i : a.Samples.UsedIndices())
        EXPECT_EQ(a.FilteredRadius[static_cast<std::size_t>(i)], b.FilteredRadius[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(a.RawLeastSquares.a, b.RawLeastSquares.a);
    EXPECT_EQ(a.RawLeastSquares.c, b.RawLeastSquares.c);
    EXPECT_EQ(a.Peak, b.Peak);
    EXPECT_EQ(a.Valley, b.Valley);
    EXPECT_EQ(a.Runout, b.Runout);
    for (const ReferenceKind kind : kReferenceKinds) {
        const ReferenceEvaluation &ra = a.Evaluation.Reference(kind), &rb = b.Evaluation.Reference(kind);
        EXPECT_EQ(ra.FitValid, rb.FitValid);
        EXPECT_EQ(ra.RONt, rb.RONt);
        EXPECT_EQ(ra.ReferenceB, rb.ReferenceB);
        EXPECT_EQ(ra.Contacts.size(), rb.Contacts.size());
    }
    EXPECT_EQ(a.Evaluation.RONq, b.Evaluation.RONq);
    EXPECT_EQ(a.Evaluation.Warnings, b.Evaluation.Warnings);
}

TEST(ProfileAnalysis, AnExcludedSectorHidesWhatLiesInIt)
{
    const Profile clean = NoisyProfile(3600, 0.0005, 1);
    Profile spiked = clean;
    for (int i = 1200; i < 1210; ++i) spiked.RawRadius[static_cast<std::size_t>(i)] += 0.05; // 120°…120.9°
    AnalysisSettings settings;
    settings.ReferenceKind = ReferenceKind::MinimumZone;
    settings.ExcludedSectors = {{119.5, 121.25}, {350.0, 5.0}}; // the second wraps through 0°
    const AnalysisResult a = Analyse(clean, settings), b = Analyse(spiked, settings);
    ExpectSameResults(a, b);
    // 119.5° … 121.2° and 350.0° … 5.0°: 18 + 100 + 51 samples at 0.1°.
    EXPECT_EQ(a.SamplesExcluded, 169);
    EXPECT_EQ(a.Evaluation.SamplesUsed, 3600 - 169);
    EXPECT_EQ(a.Evaluation.SamplesExcluded, 169);
    EXPECT_NEAR(a.Evaluation.LargestGapDeg, 15.2, 1e-9); // from 349.9° to 5.1°
    EXPECT_NEAR(a.Evaluation.CoverageDeg, 344.8, 1e-9);
    for (const int i : {1195, 1212, 3500, 0, 50}) EXPECT_FALSE(a.Samples.IsUsed(i)) << i;
    for (const int i : {1194, 1213, 3499, 51}) EXPECT_TRUE(a.Samples.IsUsed(i)) << i;
    // The raw radius stays at an excluded sample, to be drawn as raw.
    EXPECT_EQ(b.FilteredRadius[1205], spiked.RawRadius[1205]);
    // Not equal steps over a full turn any more: no spectrum, and the reason.
    EXPECT_TRUE(a.Evaluation.Harmonics.empty());
    EXPECT_EQ(CountOf(a.Evaluation.Warnings, std::string(kHarmonicsLeftOutWarning)), 1);
    EXPECT_FALSE(a.Evaluation.Reference(ReferenceKind::MaximumInscribed).RONtRange.has_value());
}

TEST(ProfileAnalysis, AQuarterArcHasNoInscribedOrCircumscribedCircle)
{
    const Profile arc = ProfileAtAngles(JitteredAngles(90, kPi / 2.0, 2), 3);
    AnalysisSettings settings;
    settings.FilterKind = FilterKind::None;
    settings.ReferenceKind = ReferenceKind::MaximumInscribed;
    const AnalysisResult r = Analyse(arc, settings);
    EXPECT_FALSE(r.FitValid);
    EXPECT_FALSE(r.FitUnverified);
    const RoundnessEvaluation& e = r.Evaluation;
    EXPECT_FALSE(e.Reference(ReferenceKind::MaximumInscribed).RONt.has_value());
    EXPECT_FALSE(e.Reference(ReferenceKind::MinimumCircumscribed).RONt.has_value());
    EXPECT_TRUE(e.Reference(ReferenceKind::MinimumZone).RONt.has_value());
    EXPECT_TRUE(e.Reference(ReferenceKind::LeastSquares).RONt.has_value());
    const double coverage = arc.SampleAngle.back() - arc.SampleAngle.front();
    EXPECT_NEAR(e.CoverageDeg, coverage * 180.0 / kPi, 1e-9);
    EXPECT_EQ(CountOf(e.Warnings, PartialCoverageWarning(2.0 * kPi - coverage)), 1);
    EXPECT_EQ(e.FilterApplied.Kind, FilterKind::None);
    EXPECT_EQ(e.CutoffUpr, 0);
    // The filter unapplied on purpose: the filtered profile is the raw one.
    EXPECT_EQ(r.FilteredRadius, arc.RawRadius);
}

// The minimax levelled error of the limaçon on four samples with alternating
// signs: r_j − (a·cos t_j + b·sin t_j + c) = ±h. The minimum zone's half
// width is the largest |h| over every four samples (de la Vallée Poussin,
// {1, cos, sin} being a Haar system on the circle).
double LevelledError(const std::array<double, 4>& r, const std::array<double, 4>& t)
{
    // Columns: a, b, c, h; Gaussian elimination with partial pivoting.
    double m[4][5];
    for (int j = 0; j < 4; ++j) {
        const double sign = j % 2 == 0 ? 1.0 : -1.0;
        const double row[5] = {std::cos(t[j]), std::sin(t[j]), 1.0, sign, r[j]};
        std::copy(row, row + 5, m[j]);
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int j = col + 1; j < 4; ++j)
            if (std::fabs(m[j][col]) > std::fabs(m[pivot][col])) pivot = j;
        std::swap(m[col], m[pivot]);
        for (int j = col + 1; j < 4; ++j) {
            const double f = m[j][col] / m[col][col];
            for (int k = col; k < 5; ++k) m[j][k] -= f * m[col][k];
        }
    }
    double x[4];
    for (int col = 3; col >= 0; --col) {
        double sum = m[col][4];
        for (int k = col + 1; k < 4; ++k) sum -= m[col][k] * x[k];
        x[col] = sum / m[col][col];
    }
    return std::fabs(x[3]);
}

double BruteForceZoneWidth(const std::vector<double>& radius, const std::vector<double>& angle)
{
    const int n = static_cast<int>(radius.size());
    double h = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int k = j + 1; k < n; ++k)
                for (int l = k + 1; l < n; ++l) {
                    const auto at = [&](int q) { return static_cast<std::size_t>(q); };
                    h = std::max(h, LevelledError({radius[at(i)], radius[at(j)], radius[at(k)], radius[at(l)]},
                                                  {angle[at(i)], angle[at(j)], angle[at(k)], angle[at(l)]}));
                }
    return 2.0 * h;
}

TEST(ProfileAnalysis, MinimumZoneAtUnequalAnglesIsTheMinimax)
{
    for (const double arc : {2.0 * kPi, 2.0 * kPi / 3.0}) {
        const Profile p = ProfileAtAngles(JitteredAngles(14, arc, 4), 5);
        AnalysisSettings settings;
        settings.ReferenceKind = ReferenceKind::MinimumZone;
        const AnalysisResult r = Analyse(p, settings);
        ASSERT_TRUE(r.FitValid);
        // Whatever the filter made of the profile, the zone is that of the filtered radii.
        const double width = BruteForceZoneWidth(r.FilteredRadius, p.SampleAngle);
        EXPECT_NEAR(r.Peak - r.Valley, width, 1e-9) << "arc " << arc;
        EXPECT_NEAR(2.0 * r.ZoneHalfWidth, width, 1e-9);
        EXPECT_GE(r.Evaluation.Selected().Contacts.size(), 4u);
    }
}

// The gap rule on references moved into the material by a planted amount:
// the certificate (an independent exact check) bounds the gap by about
// that amount, and only beyond a micrometre's thousandth is the result withdrawn.
TEST(ProfileAnalysis, AResultTheCertificateCannotProveOptimalIsNotShown)
{
    const Profile p = NoisyProfile(360, 0.0005, 6);
    AnalysisSettings settings;
    settings.ReferenceKind = ReferenceKind::MinimumCircumscribed;
    const AnalysisResult analysed = Analyse(p, settings);
    const ReferenceEvaluation& found = analysed.Evaluation.Selected();
    ASSERT_TRUE(found.FitValid);
    for (const ReferenceKind kind :
         {ReferenceKind::MinimumZone, ReferenceKind::MaximumInscribed, ReferenceKind::MinimumCircumscribed}) {
        const Certificate& c = analysed.Evaluation.Reference(kind).Certificate;
        EXPECT_EQ(c.Checked, CertificateLevel::Exact);
        EXPECT_LE(c.GapMm, kOptimalGapMm);
        EXPECT_TRUE(c.Optimal);
    }
    EXPECT_EQ(analysed.Evaluation.Reference(ReferenceKind::LeastSquares).Certificate.Checked, CertificateLevel::None);
    EXPECT_EQ(analysed.FitCertificate.Checked, CertificateLevel::Exact);

    const auto shrunk = [&](double byMm) {
        ReferenceEvaluation r = found;
        const LimaconReference moved{found.ReferenceA, found.ReferenceB, found.ReferenceC - byMm};
        ApplyCertificate(CertifyReference(ReferenceKind::MinimumCircumscribed, analysed.FilteredRadius,
                                          analysed.Samples, moved, 0.0, found.Contacts),
                         r);
        return r;
    };
    const ReferenceEvaluation near = shrunk(5e-7);
    EXPECT_TRUE(near.FitValid);
    EXPECT_FALSE(near.Unproved);
    EXPECT_FALSE(near.Certificate.Optimal);
    EXPECT_NEAR(near.Certificate.GapMm, 5e-7, 1e-8);
    const ReferenceEvaluation far = shrunk(2e-6);
    EXPECT_NEAR(far.Certificate.GapMm, 2e-6, 1e-8);
    EXPECT_FALSE(far.FitValid);
    EXPECT_TRUE(far.Unproved);
    EXPECT_FALSE(far.RONt.has_value());
    EXPECT_TRUE(far.Contacts.empty());

    // A true circle's local gap is no distance from an optimum: it withdraws nothing.
    ReferenceEvaluation local = found;
    ApplyCertificate({CertificateLevel::Local, 0.0, 1.0, false}, local);
    EXPECT_TRUE(local.FitValid);

    EXPECT_EQ(UnprovedFitWarning(ReferenceKind::MinimumZone),
              "The minimum zone fit could not be proved optimal; it is not shown.");
    AnalysisResult planted = analysed;
    planted.FitValid = false;
    planted.FitUnproved = true;
    const RoundnessEvaluation e = EvaluateRoundness(p, planted, settings);
    EXPECT_FALSE(e.Selected().RONt.has_value());
    EXPECT_EQ(CountOf(e.Warnings, "The minimum circumscribed fit could not be proved optimal; it is not shown."), 1);
    EXPECT_EQ(CountOf(e.Warnings, UnprovedFitWarning(ReferenceKind::MaximumInscribed)), 0);

    // Without the check nothing is certified, and nothing else changes.
    settings.WithCertificates = false;
    const AnalysisResult unchecked = Analyse(p, settings);
    for (const ReferenceEvaluation& r : unchecked.Evaluation.References)
        EXPECT_EQ(r.Certificate.Checked, CertificateLevel::None);
    EXPECT_EQ(unchecked.Evaluation.Selected().RONt, found.RONt);
}

TEST(ProfileAnalysis, AFitThatFailsItsCheckIsNotShown)
{
    const Profile p = NoisyProfile(360, 0.0005, 6);
    const SampleSet samples = SampleSet::EqualSteps(360);
    AnalysisSettings settings;
    const AnalysisResult analysed = Analyse(p, settings);
    // The least squares centre is no minimum zone, inscribed or circumscribed centre.
    const LimaconReference ls = analysed.RawLeastSquares;
    for (const ReferenceKind kind :
         {ReferenceKind::MinimumZone, ReferenceKind::MaximumInscribed, ReferenceKind::MinimumCircumscribed}) {
        const ReferenceEvaluation r = CheckedReference(kind, p.RawRadius, samples, ls, 0.004, true);
        EXPECT_FALSE(r.FitValid);
        EXPECT_TRUE(r.Unverified);
        EXPECT_FALSE(r.RONt.has_value());
        EXPECT_TRUE(r.Contacts.empty());
        EXPECT_EQ(r.ReferenceA, ls.a);
    }
    EXPECT_EQ(UnverifiedFitWarning(ReferenceKind::MinimumZone),
              "The minimum zone fit could not be verified; it is not shown.");
    EXPECT_EQ(UnverifiedFitWarning(ReferenceKind::MaximumInscribed),
              "The maximum inscribed fit could not be verified; it is not shown.");
    // The evaluation warns of the selected reference the analysis could not verify.
    AnalysisResult planted = analysed;
    planted.FitValid = false;
    planted.FitUnverified = true;
    settings.ReferenceKind = ReferenceKind::MinimumCircumscribed;
    const RoundnessEvaluation e = EvaluateRoundness(p, planted, settings);
    EXPECT_FALSE(e.Selected().RONt.has_value());
    EXPECT_EQ(CountOf(e.Warnings, "The minimum circumscribed fit could not be verified; it is not shown."), 1);
    EXPECT_EQ(CountOf(e.Warnings, UnverifiedFitWarning(ReferenceKind::MinimumZone)), 0);
}

TEST(ProfileAnalysis, SpikeRemovalTakesOutPlantedSpikesOnly)
{
    Profile p = NoisyProfile(3600, 0.0005, 7);
    const std::vector<int> planted{100, 1801, 3002};
    for (const int i : planted) p.RawRadius[static_cast<std::size_t>(i)] += i == 1801 ? -0.02 : 0.02;
    AnalysisSettings settings;
    settings.SpikeDeviations = kDefaultSpikeDeviations;
    const AnalysisResult r = Analyse(p, settings);
    EXPECT_EQ(r.RemovedSpikes, planted);
    EXPECT_EQ(r.SamplesExcluded, 3);
    EXPECT_EQ(r.Evaluation.SpikesRemoved, 3);
    EXPECT_EQ(r.Evaluation.SamplesUsed, 3597);
    // The same samples left out as sectors of one angle each: the same analysis.
    AnalysisSettings sectors;
    for (const int i : planted) sectors.ExcludedSectors.push_back({i * 0.1, i * 0.1});
    ExpectSameResults(r, Analyse(p, sectors));

    ClassicRandom random;
    GaussianNoiseSource noise{random};
    CKyklosDoc demo{nullptr, nullptr, &noise, settings};
    ASSERT_TRUE(demo.AnalysisValid);
    EXPECT_TRUE(demo.Result.RemovedSpikes.empty());
    EXPECT_EQ(demo.Result.Evaluation.SamplesUsed, 3600);
}

TEST(ProfileAnalysis, RefusalsSayWhy)
{
    const Profile equal = NoisyProfile(360, 0.0005, 8);
    const Profile unequal = ProfileAtAngles(JitteredAngles(200, 2.0 * kPi, 9), 10);
    AnalysisSettings band;
    band.FilterKind = FilterKind::Band;
    band.BandLowUpr = 150;
    band.BandHighUpr = 15;
    EXPECT_EQ(Refusal(equal, band), kBandOrderRefusal);
    AnalysisSettings exact;
    exact.FilterKind = FilterKind::GaussianExact;
    EXPECT_EQ(Refusal(unequal, exact), "The exact Gaussian filter needs samples at equal steps over a full turn.");
    exact.ExcludedSectors = {{10.0, 20.0}};
    EXPECT_EQ(Refusal(equal, exact), "The exact Gaussian filter needs samples at equal steps over a full turn.");
    AnalysisSettings most;
    most.ExcludedSectors = {{0.5, 359.5}};
    EXPECT_EQ(Refusal(equal, most), "The excluded sectors leave fewer than 3 samples to evaluate.");
    most.ExcludedSectors = {{2.5, 359.5}};
    EXPECT_EQ(Analyse(equal, most).Evaluation.SamplesUsed, 3);
}

// An offset circle sampled about the measurement axis: its radial profile is
// no limaçon, but its points lie exactly on the circle.
TEST(ProfileAnalysis, TrueCirclesOfARadialProfile)
{
    const double e1 = 0.3, e2 = -0.4, radius = 10.0;
    std::vector<double> radii(720);
    for (int i = 0; i < 720; ++i) {
        const double t = i * 2.0 * kPi / 720;
        const double across = e1 * std::sin(t) - e2 * std::cos(t);
        radii[static_cast<std::size_t>(i)] =
            e1 * std::cos(t) + e2 * std::sin(t) + std::sqrt(radius * radius - across * across);
    }
    AnalysisSettings settings;
    settings.FilterKind = FilterKind::None;
    settings.WithCircles = true;
    const AnalysisResult r = Analyse(EqualStepProfile(radii), settings);
    ASSERT_TRUE(r.Circles.has_value());
    EXPECT_NEAR(r.Circles->LeastSquares.CentreX, e1, 1e-9);
    EXPECT_NEAR(r.Circles->LeastSquares.CentreY, e2, 1e-9);
    EXPECT_NEAR(r.Circles->MinimumZone.RONt, 0.0, 1e-9);
    // The limaçon sees e²/(2R) = 12.5 µm of two-lobe form, and says what the true circle gives.
    EXPECT_NEAR(r.Peak - r.Valley, 0.0125, 2e-4);
    const std::vector<std::string>& w = r.Evaluation.Warnings;
    ASSERT_FALSE(w.empty());
    EXPECT_NE(w.front().find("About the true least squares circle the roundness is 0.000 \u00B5m."), std::string::npos)
        << w.front();
    EXPECT_FALSE(Analyse(EqualStepProfile(radii), AnalysisSettings{}).Circles.has_value());
}

TEST(ProfileAnalysis, TrueCirclesOfPointsUseThePointsAndTheirIndices)
{
    // A scan of a bore far from the origin, its points in no particular order.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> form(-0.002, 0.002);
    Profile p;
    p.Kind = ProfileKind::Points;
    for (int i = 0; i < 500; ++i) {
        const double t = std::fmod(i * 2.399963, 2.0 * kPi), r = 25.0 + form(random);
        p.PointX.push_back(1200.0 + r * std::cos(t));
        p.PointY.push_back(-800.0 + r * std::sin(t));
    }
    TrueCircle ls;
    CircleConvergence convergence;
    ASSERT_TRUE(FitGeometricCircle(p.PointX, p.PointY, ls, convergence));
    PointProfile about;
    ASSERT_TRUE(MakePointProfile(p.PointX, p.PointY, ls.CentreX, ls.CentreY, about));
    p.EqualSteps = false;
    p.CentreX = ls.CentreX;
    p.CentreY = ls.CentreY;
    p.SampleAngle = about.Angle;
    p.RawRadius = about.Radius;
    p.PointIndex = about.Index;
    AnalysisSettings settings;
    settings.FilterKind = FilterKind::None;
    const AnalysisResult r = Analyse(p, settings);
    ASSERT_TRUE(r.Circles.has_value());
    const TrueCircle& mc = *r.Circles->MinimumCircumscribed;
    ASSERT_TRUE(mc.Valid);
    ASSERT_GE(mc.Contacts.size(), 2u);
    for (const CircleContact& contact : mc.Contacts) {
        const auto i = static_cast<std::size_t>(contact.Index);
        EXPECT_NEAR(std::hypot(p.PointX[i] - mc.CentreX, p.PointY[i] - mc.CentreY), mc.Radius, 1e-9);
    }
    for (std::size_t i = 0; i < p.PointX.size(); ++i)
        EXPECT_LE(std::hypot(p.PointX[i] - mc.CentreX, p.PointY[i] - mc.CentreY), mc.Radius + 1e-9);
}

TEST(ProfileAnalysis, ChangeSettingsKeepsEverythingWhenRefused)
{
    ClassicRandom random;
    GaussianNoiseSource noise{random};
    FakeUi ui;
    CKyklosDoc doc{&ui, nullptr, &noise};
    const AnalysisSettings before = doc.Settings;
    const AnalysisResult analysed = doc.Result;
    AnalysisSettings refused = before;
    refused.ExcludedSectors = {{0.0, 359.95}};
    EXPECT_FALSE(doc.ChangeSettings(refused));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.back(), "The excluded sectors leave fewer than 3 samples to evaluate.");
    EXPECT_EQ(doc.Settings, before);
    EXPECT_TRUE(doc.AnalysisValid);
    ExpectSameResults(doc.Result, analysed);

    AnalysisSettings sector = before;
    sector.ExcludedSectors = {{90.0, 180.0}};
    const int redraws = ui.redraws;
    EXPECT_TRUE(doc.ChangeSettings(sector));
    EXPECT_EQ(doc.Settings, sector);
    EXPECT_EQ(doc.Result.SamplesExcluded, 901);
    EXPECT_GT(ui.redraws, redraws);
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace kyklos
