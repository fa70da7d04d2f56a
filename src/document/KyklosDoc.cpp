#include "document/KyklosDoc.h"

#include "analysis/GaussianFilter.h"
#include "analysis/LeastSquaresCircle.h"
#include "analysis/Limacon.h"
#include "analysis/PeakValley.h"
#include "analysis/SampleAngles.h"
#include "document/GaussianNoiseSource.h"
#include "document/ProfileAnalysis.h"
#include "document/TableOpening.h"
#include "io/KykFile.h"
#include "io/ProfileWriter.h"
#include "io/TableReader.h"
#include "platform/PathParts.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <span>
#include <utility>
#include <vector>

namespace kyklos {

namespace {

// A profile that names a file but holds no samples: what the report shows
// after a file that was refused once its header had been accepted.
Profile NamedEmptyProfile(const std::string& path)
{
    Profile profile;
    profile.PathName = path;
    profile.FileTitle = SplitPath(path).name;
    return profile;
}

} // namespace

CKyklosDoc::CKyklosDoc(UiPort* ui, ProgressPort* progress, GaussianNoiseSource* noise, const AnalysisSettings& settings)
    : Settings(settings), ui_(ui), progress_(progress ? progress : &noProgress_),
      noise_(noise ? noise : &ProcessNoise())
{
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

void CKyklosDoc::SetProgressPort(ProgressPort* progress) { progress_ = progress ? progress : &noProgress_; }

void CKyklosDoc::UpdateAllViews()
{
    if (ui_) ui_->UpdateAllViews();
}

// ---------------------------------------------------------------------------
// Analysis pipeline

bool CKyklosDoc::AnalyzeProfile()
{
    // Whatever the outcome, a simulated uncertainty belongs to the analysis before.
    Uncertainty.reset();
    if (!DataLoaded || Profile.PointCount() < 1) return false;
    std::string refusal;
    switch (AnalyseProfile(Profile, Settings, *progress_, Result, refusal)) {
    case AnalysisStatus::Done: AnalysisValid = true; return true;
    case AnalysisStatus::TooLarge: return RefuseTooLarge();
    case AnalysisStatus::Refused: Fail(refusal.c_str()); [[fallthrough]];
    case AnalysisStatus::Cancelled:
    case AnalysisStatus::NoProfile: break;
    }
    // Whatever the analysis left holds no profile to show.
    AnalysisValid = false;
    Result.FitValid = false;
    return false;
}

bool CKyklosDoc::ChangeSettings(const AnalysisSettings& settings)
{
    // A description no profile could take is refused before any analysis.
    if (const std::optional<std::string_view> refusal = FilterSpecRefusal(settings.Filter()))
        return Fail(std::string(*refusal).c_str());
    if (!DataLoaded || Profile.PointCount() < 1) {
        Settings = settings;
        UpdateAllViews();
        return true;
    }
    // Analysed aside, so that settings the profile refuses, or a cancelled
    // filter, leave the settings and the results on display as they were.
    AnalysisResult result;
    std::string refusal;
    switch (AnalyseProfile(Profile, settings, *progress_, result, refusal)) {
    case AnalysisStatus::Done:
        Settings = settings;
        Result = std::move(result);
        AnalysisValid = true;
        UpdateAllViews();
        return true;
    case AnalysisStatus::TooLarge: return Fail(std::string(kTooLargeMessage).c_str());
    case AnalysisStatus::Refused: return Fail(refusal.c_str());
    case AnalysisStatus::Cancelled:
    case AnalysisStatus::NoProfile: break;
    }
    return false;
}

bool CKyklosDoc::RefuseTooLarge()
{
    // Refused like a file that fails after its header: nothing of it is
    // shown, and no overflowed number stays behind to be shown later.
    Profile = NamedEmptyProfile(Profile.PathName);
    Result = AnalysisResult{};
    DataLoaded = false;
    AnalysisValid = false;
    return Fail(std::string(kTooLargeMessage).c_str());
}

double LargestGapDegrees(const AnalysisResult& result)
{
    return result.Samples.LargestGap() * (180.0 / std::numbers::pi);
}

double CoverageDegrees(const AnalysisResult& result) { return 360.0 - LargestGapDegrees(result); }

double EccentricityAngleDegrees(double a, double b)
{
    const double angle = std::atan2(b, a) * 180.0 / (4.0 * std::atan(1.0));
    return angle <= -180.0 ? 180.0 : angle;
}

// ---------------------------------------------------------------------------
// Demonstration profile

double CKyklosDoc::GaussianNoise(double mean, double deviation) { return noise_->GaussianNoise(mean, deviation); }

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
    AnalysisValid = false;
    DataLoaded = false;
    Result.FitValid = false;

    // 3600 samples of a 10 mm shaft: 4.47 µm of eccentricity, lobes of 3,
    // 14, 47 and 119 UPR, and 2 µm of probe noise.
    const double step = Pi * 0.0005555555555555556;
    std::vector<double> radii(3600);
    for (int i = 0; i < static_cast<int>(radii.size()); ++i) {
        const double theta = i * step;
        const double noise = GaussianNoise(0.0, 0.002);
        double r = 0.004 * std::cos(theta) + 0.002 * std::sin(theta);
        r = 10.0 + r;
        r = r + 0.002 * std::sin(3.0 * theta);
        r = r + 0.003 * std::cos(14.0 * theta);
        r = r + 0.002 * std::sin(47.0 * theta);
        r = r + 0.001 * std::cos(119.0 * theta);
        r = r + noise;
        radii[static_cast<std::size_t>(i)] = r;
    }
    Profile = EqualStepProfile(std::move(radii));
    Profile.Identification = "Kyklos generated data";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    Profile.DateText = FormatDateText(local);

    DataLoaded = true;
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
    if (IsTableFileName(path)) {
        // A refused or cancelled table gives up nothing: the profile shown stays.
        TableOpening table = OpenTableProfile(path, TableReading, importer_);
        if (table.Read) {
            Profile = std::move(*table.Read);
            DataLoaded = true;
            AnalysisValid = false;
            Result.FitValid = false;
            AnalyzeProfile();
        } else if (!table.Cancelled) {
            Fail(table.Message.c_str());
        }
        UpdateAllViews();
        return;
    }
    KykReadResult read = ReadKykFile(path);
    if (read.Read) {
        Profile = std::move(*read.Read);
        DataLoaded = true;
        AnalysisValid = false;
        Result.FitValid = false;
        AnalyzeProfile();
    } else if (read.ProfileLost) {
        // The file was taken for a profile file and failed on the way: the
        // report names it and shows no profile. A file refused before its
        // profile began leaves the previous profile and its name on display,
        // so the report never names a file whose data it does not show.
        Profile = NamedEmptyProfile(path);
        Result = AnalysisResult{};
        Uncertainty.reset();
        DataLoaded = false;
        AnalysisValid = false;
    }
    if (!read.Read) Fail(read.Message.c_str());
    UpdateAllViews();
}

std::string CKyklosDoc::SaveProfileAs(const std::string& path)
{
    std::string message;
    if (!DataLoaded || Profile.PointCount() < 1) {
        message = "There is no profile to save.";
    } else {
        std::span<const double> filtered;
        if (AnalysisValid) filtered = Result.FilteredRadius;
        message = SaveProfile(path, Profile, filtered);
    }
    if (!message.empty()) Fail(message.c_str());
    return message;
}

// ---------------------------------------------------------------------------
// Analysis selection

void CKyklosDoc::OnAnalysisReferenceCircle()
{
    if (!ui_) return;
    const auto index = ui_->ChooseReference(ReferenceIndex(Settings.ReferenceKind));
    // OK with the same choice reruns nothing.
    if (!index || ReferenceKindFromIndex(*index) == Settings.ReferenceKind) return;
    Settings.ReferenceKind = ReferenceKindFromIndex(*index);
    AnalyzeProfile();
    UpdateAllViews();
}

void CKyklosDoc::OnAnalysisFiltering()
{
    if (!ui_) return;
    const auto index = ui_->ChooseFilterIndex(FilterIndexFromCutoff(Settings.FilterCutoffUpr));
    if (!index) return;
    // Every OK reruns the filter, also when the cutoff is unchanged.
    Settings.FilterCutoffUpr = CutoffFromFilterIndex(*index);
    AnalyzeProfile();
    UpdateAllViews();
}

void CKyklosDoc::SetTolerance(const std::optional<RoundnessTolerance>& tolerance)
{
    Settings.Tolerance = tolerance;
    if (AnalysisValid) JudgeTolerance(Result.Evaluation, tolerance);
    // The guard band is judged against the new tolerance too; the draws stand.
    if (Uncertainty)
        Uncertainty->Decision =
            DecideConformity(Result.Evaluation.Selected().RONt, Uncertainty->ExpandedUncertainty, tolerance);
    UpdateAllViews();
}

UncertaintyStatus CKyklosDoc::ComputeUncertainty(const UncertaintyRequest& request)
{
    if (!AnalysisValid) {
        Fail("There is no analysed profile to simulate.");
        return UncertaintyStatus::NotAnalysed;
    }
    UncertaintyResult result;
    const UncertaintyStatus status = SimulateUncertainty(Profile, Settings, Result, request, *progress_, result);
    if (status == UncertaintyStatus::NotAnalysed) Fail("There is no analysed profile to simulate.");
    if (status != UncertaintyStatus::Done) return status;
    Uncertainty = std::move(result);
    UpdateAllViews();
    return status;
}

} // namespace kyklos
