#pragma once
// What the desktop program remembers between runs: the window's placement and
// its bars and docks, the display toggles, units and scale, the filter cutoff,
// reference and tolerance, the evaluation panel's spectrum choices, the folder
// the Open dialog starts in, and the recent files.
//
// Reading checks every value on its own: one that is missing, not of its kind
// or out of range keeps its default (the values of a first run) and nothing
// is reported, so a damaged settings file costs at most what it lost.

#include "app/RecentFiles.h"
#include "document/AnalysisSettings.h"
#include "graph/HarmonicChartLayout.h"

#include <QByteArray>
#include <QList>
#include <QRect>

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

struct AppSettings {
    QByteArray WindowGeometry;     // QWidget::saveGeometry; empty: the first run's placement
    QByteArray WindowState;        // QMainWindow::saveState: toolbar and dock widgets
    bool StatusBarVisible = true;
    // The view's display toggles and the polar graph's units and scale, as a fresh view has them.
    bool ShowRawData = true;
    bool ShowReferenceCircle = true;
    bool ShowCenteredProfile = false;
    bool MetricUnits = true;
    bool AutoScale = true;
    double BandRange = 5.0;        // µm, two divisions, in either unit system
    // The document's analysis settings: cutoff (one of kFilterCutoffs),
    // reference and roundness tolerance.
    AnalysisSettings Analysis;
    EvaluationChoices Evaluation;
    std::string OpenFolder;        // bytes; empty: where the document starts by itself
    RecentFiles Recent;

    bool operator==(const AppSettings&) const = default;
};

// Reads the settings from store, value by value (see above). screens are the
// screens' available rectangles: a window rectangle on none of them is dropped.
// The open folder is kept only while it is a folder.
// (Non-const store: QSettings reads groups and arrays through a cursor.)
AppSettings LoadAppSettings(QSettings& store, const QList<QRect>& screens);
// Writes everything but the recent files: they are written as they change
// (RecentFiles::Save), so that a second Kyklos closing later does not put
// back its older list.
void SaveAppSettings(QSettings& store, const AppSettings& settings);
// Writes the roundness tolerance alone, as it changes: it is always remembered.
void SaveTolerance(QSettings& store, const std::optional<RoundnessTolerance>& tolerance);
// Writes the spectrum choices alone, as they change: they too are always remembered.
void SaveEvaluationChoices(QSettings& store, const EvaluationChoices& choices);

// The available rectangles of the screens present now.
QList<QRect> AvailableScreenRects();

// The frame rectangle inside a QWidget::saveGeometry record; nothing when the
// bytes are not such a record.
std::optional<QRect> SavedFrameGeometry(const QByteArray& geometry);

} // namespace kyklos
