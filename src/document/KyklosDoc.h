#pragma once
// The application's only document: one roundness profile, the two analysis
// settings, the results of the last analysis and three state flags.
//
// Units: radii and radial results in millimetres (files carry micrometres),
// angles in radians except EccentricityAngle, which is in degrees. Sample i of
// N lies at i·(2π/N), counter-clockwise from sample 0.

#include "platform/ProgressPort.h"
#include "platform/UiPort.h"

#include <array>
#include <string>

namespace kyklos {

class GaussianNoiseSource;

inline constexpr int MaxProfilePoints = 36000;

enum ReferenceKindValue : int {
    LeastSquares = 0,
    MinimumZone = 1,
    MaximumInscribed = 2,
    MinimumCircumscribed = 3,
};

// The filter cutoffs offered, in the order of the Filter Selection dialog.
inline constexpr std::array<int, 5> kFilterCutoffs{5, 15, 50, 150, 500};

class CKyklosDoc {
public:
    // Builds the demonstration profile and analyses it with the given cutoff
    // (one of kFilterCutoffs) and reference (a ReferenceKindValue), so that a
    // program restoring its last settings analyses once. ui and progress may be
    // null (no messages, no progress display); noise defaults to the process-wide source.
    explicit CKyklosDoc(UiPort* ui = nullptr, ProgressPort* progress = nullptr, GaussianNoiseSource* noise = nullptr,
                        int filterCutoffUpr = 50, int referenceKind = LeastSquares);

    CKyklosDoc(const CKyklosDoc&) = delete;
    CKyklosDoc& operator=(const CKyklosDoc&) = delete;

    // The ports may be installed once the application's windows exist.
    void SetUiPort(UiPort* ui) { ui_ = ui; }
    void SetProgressPort(ProgressPort* progress);

    // Filters and fits the raw profile. False when no profile is present, the
    // filter was cancelled, or the results overflow what can be shown: then
    // the profile is refused with a message, as a file that fails after its
    // header is.
    bool AnalyzeProfile();
    // Reads a .kyk file into the profile (no analysis). Shows its message
    // through the UI port and returns false when the file is refused.
    bool ReadProfileFile(const std::string& path);
    void GenerateDemonstrationProfile();
    double GaussianNoise(double mean, double deviation);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    // Opens the given path as File Open does after its dialog (command line, drops).
    void OpenProfile(const std::string& path);
    void OnAnalysisFiltering();
    void OnAnalysisReferenceCircle();

    // AnalysisResult
    double MinRawRadius = 0.0;
    double MaxRawRadius = 0.0;
    double Runout = 0.0;
    double EccentricityAngle = 0.0;
    double Eccentricity = 0.0;
    bool FitValid = false;
    double ValleyAngle = 0.0;
    double Valley = 0.0;
    double PeakAngle = 0.0;
    double Peak = 0.0;
    int ReferenceKind = LeastSquares;
    double ReferenceA = 0.0;
    double ReferenceB = 0.0;
    double ReferenceC = 0.0;
    double ZoneHalfWidth = 0.0;
    double NominalRadius = 0.0;
    // RoundnessProfile
    std::array<double, MaxProfilePoints> FilteredRadius{};
    std::array<double, MaxProfilePoints> RawRadius{};
    int PointCount = 0;
    double Pi = 0.0;
    bool DataLoaded = false;
    std::string DateText;
    std::string Identification;
    std::string FileTitle;
    std::string PathName;
    int FilterCutoffUpr = 50;
    std::string OpenDialogPath;
    bool AnalysisValid = false;

private:
    enum class ReadOutcome { Read, Unchanged, Failed };
    ReadOutcome ReadProfile(const std::string& path);
    bool Fail(const char* message);
    // True when every result and filtered sample is finite in every unit shown.
    bool ResultsFitEveryUnit() const;
    // Clears the results and flags and tells the user the profile is too large to evaluate; false.
    bool RefuseTooLarge();
    // The results the report, the graph and kyklos-report show or write.
    static constexpr double CKyklosDoc::*kShownResults[] = {
        &CKyklosDoc::MinRawRadius, &CKyklosDoc::MaxRawRadius, &CKyklosDoc::NominalRadius, &CKyklosDoc::ReferenceA,
        &CKyklosDoc::ReferenceB,   &CKyklosDoc::ReferenceC,   &CKyklosDoc::ZoneHalfWidth, &CKyklosDoc::Peak,
        &CKyklosDoc::PeakAngle,    &CKyklosDoc::Valley,       &CKyklosDoc::ValleyAngle,   &CKyklosDoc::Runout,
        &CKyklosDoc::Eccentricity, &CKyklosDoc::EccentricityAngle};
    void UpdateAllViews();

    UiPort* ui_ = nullptr;
    ProgressPort* progress_ = nullptr;
    GaussianNoiseSource* noise_ = nullptr;
    NoProgress noProgress_;
};

// Direction of a reference centre (a, b) in degrees, in (−180, 180]: a
// centre on the negative x axis reads 180 even when b comes out as −0.0.
double EccentricityAngleDegrees(double a, double b);

// The radio index of a cutoff in the Filter Selection dialog (2 for any other value).
int FilterIndexFromCutoff(int cutoffUpr);
// The cutoff of a radio index (500 for any index above 3).
int CutoffFromFilterIndex(int index);

} // namespace kyklos
