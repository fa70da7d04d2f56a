#include "document/KyklosDoc.h"

#include "analysis/GaussianFilter.h"
#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "analysis/PeakValley.h"
#include "analysis/SampleAngles.h"
#include "document/GaussianNoiseSource.h"
#include "document/ProfileScanner.h"
#include "document/RoundnessEvaluation.h"
#include "platform/PathParts.h"
#include "platform/TextCompare.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace kyklos {

CKyklosDoc::CKyklosDoc(UiPort* ui, ProgressPort* progress, GaussianNoiseSource* noise, int filterCutoffUpr,
                       int referenceKind)
    : ui_(ui), progress_(progress ? progress : &noProgress_), noise_(noise ? noise : &ProcessNoise())
{
    FilterCutoffUpr = filterCutoffUpr;
    ReferenceKind = referenceKind;
    Pi = 4.0 * std::atan(1.0 / 1.0);

    // The open dialog starts in the working directory (its last component
    // without an extension, as the classic path splitter leaves it).
    const std::string cwd = CurrentDirectory();
    if (!cwd.empty()) {
        const PathParts parts = SplitPath(cwd);
        OpenDialogPath = parts.drive + parts.directory + parts.name;
    }

    GenerateDemonstrationProfile();
}

void CKyklosDoc::SetProgressPort(ProgressPort* progress)
{
    progress_ = progress ? progress : &noProgress_;
}

void CKyklosDoc::UpdateAllViews()
{
    if (ui_) ui_->UpdateAllViews();
}

// ---------------------------------------------------------------------------
// Analysis pipeline

bool CKyklosDoc::AnalyzeProfile()
{
    if (!DataLoaded) return false;
    const int n = PointCount;
    const std::span<const double> raw(RawRadius.data(), static_cast<std::size_t>(n));

    MinRawRadius = MaxRawRadius = RawRadius[0];
    for (int i = 0; i < n; ++i) {
        const double v = RawRadius[static_cast<std::size_t>(i)];
        if (v > MaxRawRadius)
            MaxRawRadius = v;
        else if (v < MinRawRadius)
            MinRawRadius = v;
    }

    // No measured part comes near this radius, and below it every sum and
    // square the fits, the filter and the evaluation beside the page form over
    // up to 36000 samples stays finite, in microinches too.
    constexpr double kLargestEvaluableRadiusMm = 1e100;
    if (std::max(-MinRawRadius, MaxRawRadius) > kLargestEvaluableRadiusMm) return RefuseTooLarge();

    // The cosines and sines of the sample angles, shared by every scan below;
    // the same values EvaluateLimacon would compute, so the digits do not change.
    const SampleAngles& angles = SampleAngles::ForCount(n);
    const auto limacon = [&angles](int i, double a, double b, double c) {
        return angles.Cosine(i) * a + angles.Sine(i) * b + c;
    };

    // Take out the eccentric least squares circle so that the mean radius and
    // the once-per-revolution term pass the filter unchanged.
    if (!FitLeastSquaresCircle(raw, angles, ReferenceA, ReferenceB, ReferenceC)) return false;
    NominalRadius = ReferenceC;
    const double a = ReferenceA, b = ReferenceB, c = ReferenceC;

    std::vector<double> residual(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        residual[static_cast<std::size_t>(i)] = RawRadius[static_cast<std::size_t>(i)] - limacon(i, a, b, c);
    const std::span<double> filtered(FilteredRadius.data(), static_cast<std::size_t>(n));
    const bool finished = GaussianFilterProfile(residual, filtered, n, static_cast<double>(FilterCutoffUpr), *progress_);
    residual = {};
    if (!finished) {
        // The output holds a partial sum: nothing may show it as a profile.
        AnalysisValid = false;
        FitValid = false;
        return false;
    }
    for (int i = 0; i < n; ++i) FilteredRadius[static_cast<std::size_t>(i)] += limacon(i, a, b, c);

    const std::span<const double> profile(FilteredRadius.data(), static_cast<std::size_t>(n));
    FindPeakValley(profile, angles, 0.0, 0.0, c, Peak, PeakAngle, Valley, ValleyAngle);
    AnalysisValid = true;
    Runout = Peak - Valley;

    FitValid = FitReferenceCircle(ReferenceKind, profile, angles, ReferenceA, ReferenceB, ReferenceC, ZoneHalfWidth);

    Eccentricity = std::sqrt(ReferenceA * ReferenceA + ReferenceB * ReferenceB);
    EccentricityAngle = EccentricityAngleDegrees(ReferenceA, ReferenceB);

    if (FitValid) FindPeakValley(profile, angles, ReferenceA, ReferenceB, ReferenceC, Peak, PeakAngle, Valley, ValleyAngle);

    if (!ResultsFitEveryUnit()) return RefuseTooLarge();
    return true;
}

bool CKyklosDoc::RefuseTooLarge()
{
    // Refused like a file that fails after its header: nothing of it is
    // shown, and no overflowed number stays behind to be shown later.
    for (const auto result : kShownResults) this->*result = 0.0;
    DataLoaded = false;
    AnalysisValid = false;
    FitValid = false;
    return Fail("The profile cannot be evaluated: its values are too large.");
}

bool CKyklosDoc::ResultsFitEveryUnit() const
{
    // The file reader accepts any finite radius, but the fits and the filter
    // add and square radii: near the top of the double range a sum or a² + b²
    // overflows to inf, and inf − inf gives NaN, which fails every comparison
    // of a peak search and so hides as a zero roundness. Rather than guard
    // each step, check what is shown: every result and every filtered sample,
    // with roundness and concentricity as the report derives them, must stay
    // finite at the largest display factor, millimetres to microinches. The
    // factor is doubled so that the arithmetic the displays add on top (the
    // difference of two radii the graph plots, any order of multiplying)
    // cannot overflow either. A NaN fails the test too.
    constexpr double kLargestDisplayFactor = 1000.0 * 39.37007874015748;
    constexpr double kLimitFactor = 2.0 * kLargestDisplayFactor;
    const auto fits = [](double value) { return std::isfinite(value * kLimitFactor); };
    for (const auto result : kShownResults)
        if (!fits(this->*result)) return false;
    if (!fits(Peak - Valley) || !fits(2.0 * Eccentricity)) return false;
    for (int i = 0; i < PointCount; ++i)
        if (!fits(FilteredRadius[static_cast<std::size_t>(i)])) return false;
    return true;
}

double EccentricityAngleDegrees(double a, double b)
{
    const double angle = std::atan2(b, a) * 180.0 / (4.0 * std::atan(1.0));
    return angle <= -180.0 ? 180.0 : angle;
}

// ---------------------------------------------------------------------------
// Demonstration profile

double CKyklosDoc::GaussianNoise(double mean, double deviation)
{
    return noise_->GaussianNoise(mean, deviation);
}

namespace {
// "%d %b %Y   %H:%M:%S" with English month abbreviations whatever the locale.
std::string FormatDateText(const std::tm& t)
{
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%02d %s %04d   %02d:%02d:%02d", t.tm_mday, kMonths[(t.tm_mon % 12 + 12) % 12],
                  t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}
} // namespace

void CKyklosDoc::GenerateDemonstrationProfile()
{
    PathName.clear();
    FileTitle.clear();
    Identification = "Kyklos generated data";

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DateText = FormatDateText(local);

    const double step = Pi * 0.0005555555555555556;
    AnalysisValid = false;
    DataLoaded = false;
    FitValid = false;
    PointCount = 3600;
    for (int i = 0; i < PointCount; ++i) {
        const double theta = i * step;
        const double noise = GaussianNoise(0.0, 0.002);
        double r = 0.004 * std::cos(theta) + 0.002 * std::sin(theta);
        r = 10.0 + r;
        r = r + 0.002 * std::sin(3.0 * theta);
        r = r + 0.003 * std::cos(14.0 * theta);
        r = r + 0.002 * std::sin(47.0 * theta);
        r = r + 0.001 * std::cos(119.0 * theta);
        r = r + noise;
        RawRadius[static_cast<std::size_t>(i)] = r;
        FilteredRadius[static_cast<std::size_t>(i)] = r;
    }
    NominalRadius = 10.0;
    DataLoaded = true;
    AnalysisValid = true;
    AnalyzeProfile();
}

void CKyklosDoc::OnFileNew()
{
    GenerateDemonstrationProfile();
    UpdateAllViews();
}

// ---------------------------------------------------------------------------
// Profile file

bool CKyklosDoc::Fail(const char* message)
{
    if (ui_) ui_->ShowMessage(message);
    return false;
}

bool CKyklosDoc::ReadProfileFile(const std::string& path)
{
    return ReadProfile(path) == ReadOutcome::Read;
}

CKyklosDoc::ReadOutcome CKyklosDoc::ReadProfile(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularFile(path), &std::fclose);
    if (!file) {
        Fail("Cannot open the file.");
        return ReadOutcome::Unchanged;
    }
    ProfileScanner in(file.get());

    auto token = in.ReadToken();
    if (!token || !EqualsIgnoreCase(*token, "KYKLOS_DATA")) {
        Fail("Invalid file format.");
        return ReadOutcome::Unchanged;
    }
    token = in.ReadToken();
    if (!token || *token != "1.0") {
        Fail("Invalid file revision.");
        return ReadOutcome::Unchanged;
    }

    DataLoaded = false;
    AnalysisValid = false;
    FitValid = false;

    token = in.ReadToken();
    if (!token || !EqualsIgnoreCase(*token, "IDENTIFICATION:")) {
        Fail("Invalid 'IDENTIFICATION:' designator.");
        return ReadOutcome::Failed;
    }
    Identification = in.ReadTextLine().value_or(std::string());

    token = in.ReadToken();
    if (!token || !EqualsIgnoreCase(*token, "DATE:")) {
        Fail("Invalid 'DATE:' designator.");
        return ReadOutcome::Failed;
    }
    DateText = in.ReadTextLine().value_or(std::string());

    token = in.ReadToken();
    if (!token || !EqualsIgnoreCase(*token, "NUMBER_OF_POINTS:")) {
        Fail("Invalid 'NUMBER_OF_POINTS:' designator.");
        return ReadOutcome::Failed;
    }
    bool atEnd = false;
    const auto count = in.ReadInteger(atEnd);
    if (!count || *count <= 0) {
        // A count that is not a number must not fall back on the previous profile's count.
        if (count) PointCount = static_cast<int>(*count < -2147483647LL ? -2147483647LL : *count);
        Fail("Invalid number of points.");
        return ReadOutcome::Failed;
    }
    if (*count > MaxProfilePoints) {
        Fail("Too many points: at most 36000 are supported.");
        return ReadOutcome::Failed;
    }
    PointCount = static_cast<int>(*count);

    token = in.ReadToken();
    if (!token || !EqualsIgnoreCase(*token, "PROFILE_UM:")) {
        Fail("Invalid 'PROFILE_UM:' designator.");
        return ReadOutcome::Failed;
    }
    for (int i = 0; i < PointCount; ++i) {
        const auto value = in.ReadDouble(atEnd);
        if (atEnd) {
            Fail("Unexpected end of file.");
            return ReadOutcome::Failed;
        }
        if (!value || !std::isfinite(*value)) {
            Fail("Invalid profile value.");
            return ReadOutcome::Failed;
        }
        RawRadius[static_cast<std::size_t>(i)] = *value * 0.001;
    }
    DataLoaded = true;
    return ReadOutcome::Read;
}

void CKyklosDoc::OnFileOpen()
{
    if (!ui_) return;
    const auto chosen = ui_->ChooseFileToOpen(OpenDialogPath);
    if (!chosen) return;
    OpenProfile(*chosen);
}

void CKyklosDoc::OpenProfile(const std::string& path)
{
    OpenDialogPath = path;
    const ReadOutcome outcome = ReadProfile(path);
    // A file refused before its profile began leaves the previous profile on
    // display: keep its name too, so the report never names a file whose data
    // it does not show.
    if (outcome != ReadOutcome::Unchanged) {
        PathName = path;
        FileTitle = SplitPath(path).name;
    }
    if (outcome == ReadOutcome::Read) AnalyzeProfile();
    UpdateAllViews();
}

// ---------------------------------------------------------------------------
// Analysis selection

int FilterIndexFromCutoff(int cutoffUpr)
{
    switch (cutoffUpr) {
    case 5: return 0;
    case 15: return 1;
    case 50: return 2;
    case 150: return 3;
    case 500: return 4;
    default: return 2;
    }
}

int CutoffFromFilterIndex(int index)
{
    switch (index) {
    case 0: return 5;
    case 1: return 15;
    case 2: return 50;
    case 3: return 150;
    default: return 500;
    }
}

void CKyklosDoc::OnAnalysisReferenceCircle()
{
    if (!ui_) return;
    const auto index = ui_->ChooseReference(ReferenceKind);
    // OK with the same choice reruns nothing.
    if (!index || *index == ReferenceKind) return;
    ReferenceKind = *index;
    AnalyzeProfile();
    UpdateAllViews();
}

void CKyklosDoc::OnAnalysisFiltering()
{
    if (!ui_) return;
    const auto index = ui_->ChooseFilterIndex(FilterIndexFromCutoff(FilterCutoffUpr));
    if (!index) return;
    // Every OK reruns the filter, also when the cutoff is unchanged.
    FilterCutoffUpr = CutoffFromFilterIndex(*index);
    AnalyzeProfile();
    UpdateAllViews();
}

} // namespace kyklos
