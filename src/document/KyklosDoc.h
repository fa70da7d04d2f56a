#pragma once
// The application's only document: its commands and ports, the state flags,
// and three values — the profile, the analysis settings and the result of
// the last analysis (with its evaluation, computed once). Views read the
// values; only the document's commands change them.

#include "document/AnalysisResult.h"
#include "document/AnalysisSettings.h"
#include "document/TableImportPort.h"
#include "document/Uncertainty.h"
#include "io/Profile.h"
#include "io/TableOptions.h"
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
    // The window's Import dialog; without one a table whose columns are not
    // named is refused with "The table's columns are not named; give --columns."
    void SetTableImportPort(TableImportPort* importer) { importer_ = importer; }

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
    // Analysis ▸ Uncertainty…: simulates the uncertainty of the current
    // analysis with `request`, showing progress; kept in Uncertainty when
    // done, and the views redraw. A cancelled simulation changes nothing; one
    // without an analysed profile is refused with a message.
    UncertaintyStatus ComputeUncertainty(const UncertaintyRequest& request);

    // New analysis settings from Analysis ▸ Filter Options… or Excluded
    // Sectors… (or a restored session): the profile is analysed again. A
    // filter the profile cannot take (a kind applied per harmonic on samples
    // that are not at equal steps over a full turn, a band in the wrong
    // order) is refused with its message and the settings stay as they were;
    // false then.
    bool ChangeSettings(const AnalysisSettings& settings);
    // File ▸ Save Profile As…: the profile as .kyk or as a CSV table (with
    // the filtered radii when analysed). The message the user was shown, or
    // "" when written.
    std::string SaveProfileAs(const std::string& path);

    kyklos::Profile Profile;
    AnalysisSettings Settings;
    AnalysisResult Result;
    // A profile is present.
    bool DataLoaded = false;
    // Result holds a finished analysis of Profile (its filtered profile and evaluation included).
    bool AnalysisValid = false;
    // The last simulated uncertainty of Profile as Result analysed it: none
    // until one is computed, and again once the profile or its analysis changes.
    std::optional<UncertaintyResult> Uncertainty;
    // What Analysis ▸ Uncertainty… last asked for: the dialog's next values.
    UncertaintyRequest UncertaintyRequested;
    // How tables are read (kyklos-report's table options; the window's
    // choices in the Import dialog apply to the one table they were made for).
    TableOptions TableReading;
    // The initial file name handed to the File Open dialog.
    std::string OpenDialogPath;
    // π as 4·atan(1/1), the demonstration profile's angles are multiples of it.
    double Pi = 0.0;

private:
    bool Fail(const char* message);
    // Clears the profile and results and tells the user the profile is too large to evaluate; false.
    bool RefuseTooLarge();
    void UpdateAllViews();

    UiPort* ui_ = nullptr;
    ProgressPort* progress_ = nullptr;
    GaussianNoiseSource* noise_ = nullptr;
    TableImportPort* importer_ = nullptr;
    NoProgress noProgress_;
};

} // namespace kyklos
