#pragma once
// The application's only document: its commands and ports, the state flags,
// and three values — the profile, the analysis settings and the result of
// the last analysis (with its evaluation, computed once). Views read the
// values; only the document's commands change them.

#include "document/AnalysisResult.h"
#include "document/AnalysisSettings.h"
#include "io/Profile.h"
#include "platform/ProgressPort.h"
#include "platform/UiPort.h"

#include <optional>
#include <string>

namespace kyklos {

class GaussianNoiseSource;

class CKyklosDoc {
public:
    // Builds the demonstration profile and analyses it with `settings`, so
    // that a program restoring its last settings analyses once. ui and
    // progress may be null (no messages, no progress display); noise defaults
    // to the process-wide source.
    explicit CKyklosDoc(UiPort* ui = nullptr, ProgressPort* progress = nullptr, GaussianNoiseSource* noise = nullptr,
                        const AnalysisSettings& settings = {});

    CKyklosDoc(const CKyklosDoc&) = delete;
    CKyklosDoc& operator=(const CKyklosDoc&) = delete;

    // The ports may be installed once the application's windows exist.
    void SetUiPort(UiPort* ui) { ui_ = ui; }
    void SetProgressPort(ProgressPort* progress);

    // Filters and fits the raw profile and evaluates the result. False when
    // no profile is present, the filter was cancelled, or the results
    // overflow what can be shown: then the profile is refused with a
    // message, as a file that fails after its header is.
    bool AnalyzeProfile();
    void GenerateDemonstrationProfile();
    double GaussianNoise(double mean, double deviation);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    // Opens the given path as File Open does after its dialog (command line, drops).
    void OpenProfile(const std::string& path);
    void OnAnalysisFiltering();
    void OnAnalysisReferenceCircle();
    // A new roundness tolerance (none: no verdict): the evaluation is judged
    // again, not recomputed, and the views redraw.
    void SetTolerance(const std::optional<RoundnessTolerance>& tolerance);

    kyklos::Profile Profile;
    AnalysisSettings Settings;
    AnalysisResult Result;
    // A profile is present.
    bool DataLoaded = false;
    // Result holds a finished analysis of Profile (its filtered profile and evaluation included).
    bool AnalysisValid = false;
    // The initial file name handed to the File Open dialog.
    std::string OpenDialogPath;
    // π as 4·atan(1/1), the demonstration profile's angles are multiples of it.
    double Pi = 0.0;

private:
    bool Fail(const char* message);
    // True when every result and filtered sample is finite in every unit shown.
    bool ResultsFitEveryUnit(const AnalysisResult& result) const;
    // Clears the profile and results and tells the user the profile is too large to evaluate; false.
    bool RefuseTooLarge();
    void UpdateAllViews();

    UiPort* ui_ = nullptr;
    ProgressPort* progress_ = nullptr;
    GaussianNoiseSource* noise_ = nullptr;
    NoProgress noProgress_;
};

} // namespace kyklos
