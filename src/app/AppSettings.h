#pragma once
// What the desktop program remembers between runs. By default only what the
// user set that has no place on the report page: the options, the roundness
// tolerance, whether the evaluation panel is shown and its spectrum choices,
// each written as it changes, so that a user who changes none of them leaves
// no settings file behind. With the options on, also the recent files
// (written as they change) and the analysis and display settings restored at
// start (written when the window closes).
//
// Reading checks every value on its own: one that is missing, not of its kind
// or out of range keeps its default (the values of a first run) and nothing
// is reported, so a damaged settings file costs at most what it lost. Every
// count read from the file is capped by what Kyklos itself writes.

#include "app/RecentFiles.h"
#include "document/AnalysisSettings.h"
#include "document/Uncertainty.h"
#include "graph/HarmonicChartLayout.h"

#include <QByteArray>
#include <QList>
#include <QRect>

#include <cstddef>
#include <map>
#include <optional>
#include <string>

class QSettings;

namespace kyklos {

// The evaluation panel's harmonic spectrum: the range of UPR shown and the amplitude scale.
struct EvaluationChoices {
    HarmonicRange Range = HarmonicRange::Upr50;
    bool Logarithmic = false;
    friend bool operator==(const EvaluationChoices&, const EvaluationChoices&) = default;
};

// The check boxes of View ▸ Options, all off by default.
struct AppOptions {
    bool RecentFiles = false;         // list recently opened files in the File menu
    bool RestoreSettings = false;     // restore the last analysis and display settings at start
    bool PrintEvaluationPage = false; // print the evaluation page with the report
    friend bool operator==(const AppOptions&, const AppOptions&) = default;
};

// The most excluded sectors the settings file gives back: as many as the
// Excluded Sectors dialog takes.
inline constexpr int kMaxRememberedSectors = 64;
// Table header shapes whose Import choices are remembered.
inline constexpr std::size_t kMaxTableImports = 32;

struct AppSettings {
    AppOptions Options;
    // Always remembered: the tolerance (in Analysis), the panel and its spectrum choices.
    bool EvaluationPanelShown = false;
    EvaluationChoices Evaluation;

    // Restored only with Options.RestoreSettings. An analysis or display
    // setting added later that is to be restored at start (such as excluded
    // sectors) joins this group, and is read and written with it.
    QByteArray WindowGeometry; // QWidget::saveGeometry; empty: the first run's placement
    QByteArray WindowState;    // QMainWindow::saveState: toolbar and dock widgets; read back only as written
    bool StatusBarVisible = true;
    // The view's display toggles and the polar graph's units and scale, as a fresh view has them.
    bool ShowRawData = true;
    bool ShowReferenceCircle = true;
    bool ShowCenteredProfile = false;
    bool MetricUnits = true;
    bool AutoScale = true;
    double BandRange = 5.0; // µm, two divisions, in either unit system
    // The document's analysis settings: cutoff (one of kFilterCutoffs),
    // reference, filter kind, band, spike removal and excluded sectors
    // restored with the option; the roundness tolerance always.
    AnalysisSettings Analysis;
    std::string OpenFolder; // bytes; empty: where the document starts by itself
    // The Import dialog's choices per table header shape (TablePreview::HeaderShape),
    // as kyklos-report's option words (TableReadingText); at most kMaxTableImports.
    std::map<std::string, std::string> TableImports;
    // What Analysis ▸ Uncertainty… last asked for: model, draws and seed.
    UncertaintyRequest Uncertainty;

    // Only with Options.RecentFiles.
    RecentFiles Recent;

    bool operator==(const AppSettings&) const = default;
};

// Reads the settings from store, value by value (see above): the options
// first, then what they let the program remember. screens are the screens'
// available rectangles: a window rectangle on none of them is dropped. The
// open folder is kept only while it is a folder.
// (Non-const store: QSettings reads groups and arrays through a cursor.)
AppSettings LoadAppSettings(QSettings& store, const QList<QRect>& screens);
// Writes the values restored at start (window, bars and docks, display
// toggles, units and scale, cutoff, reference, folder) when
// settings.Options.RestoreSettings is on, and nothing otherwise. The rest is
// written as it changes, by the functions below and RecentFiles::Save, so
// that a second Kyklos closing later does not put back its older values.
void SaveAppSettings(QSettings& store, const AppSettings& settings);
// Takes the values restored at start out of the store (the option was turned off).
void ForgetRestoredSettings(QSettings& store);
void SaveOptions(QSettings& store, const AppOptions& options);
// The roundness tolerance alone, as it changes.
void SaveTolerance(QSettings& store, const std::optional<RoundnessTolerance>& tolerance);
// The spectrum choices alone, as they change.
void SaveEvaluationChoices(QSettings& store, const EvaluationChoices& choices);
// The Import dialog's choices, as they change (only while settings are restored at start).
void SaveTableImports(QSettings& store, const std::map<std::string, std::string>& imports);
// Whether the evaluation panel is shown, as the user shows or hides it.
void SaveEvaluationPanelShown(QSettings& store, bool shown);

// The available rectangles of the screens present now.
QList<QRect> AvailableScreenRects();

// The frame rectangle inside a QWidget::saveGeometry record; nothing when the
// bytes are not such a record.
std::optional<QRect> SavedFrameGeometry(const QByteArray& geometry);

} // namespace kyklos
