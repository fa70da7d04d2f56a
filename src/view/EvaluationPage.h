#pragma once
// The evaluation page: a second page beside the report page, in its style
// (Arial 600, the same title line and rule, the report's colours), that
// stands alone: the four reference circles side by side, the conditions they
// were evaluated under (filter and cutoff, points, reference, the tolerance
// rule, the angle convention), the warnings, RONp/RONv/RONq, the verdict
// naming what it judged, the five largest harmonics of the filtered profile,
// and the harmonic spectrum below them: across the page where it has the
// height (a sheet taller than wide), else beside the largest harmonics.
//
// Drawn through Canvas only and laid out in device units from the page
// rectangle, so one routine serves a window panel, the printer, PDF and
// images: on paper pass EvaluationPageRect(printable area), which puts it
// within the report page's margins on a sheet of its own; on a screen or an
// image the whole rectangle. The background is the caller's.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "document/Uncertainty.h"
#include "graph/HarmonicChart.h"
#include "platform/Canvas.h"
#include "view/TitleBand.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

struct EvaluationPageOptions {
    bool MetricUnits = true;       // µm with 3 decimals, else µin with 2
    HarmonicChartOptions Spectrum; // range of the UPR axis, linear or logarithmic amplitude
    // A simulated uncertainty of this evaluation: its expanded uncertainty U
    // and the ISO 14253-1 decision under the margin. None: the page as ever.
    const UncertaintyResult* Uncertainty = nullptr;
};

// Where the page puts its parts, device units, computed before anything is
// painted; for tests and for a caller that hovers over the spectrum.
struct EvaluationPageLayout {
    TitleBandLayout TitleBand; // the title line and the rule, as on the report page
    int Top0 = 0;              // the rule under the title line
    int TitleFontHeight = 0;
    FontSpec HeadingFont;
    int HeadingFontHeight = 0;
    FontSpec TableFont; // the tables' font: references, parameters, harmonics
    int TableFontHeight = 0;
    int RowPitch = 0;        // baseline to baseline in the tables
    int RulePenWidth = 0;    // 1/600 inch: the rule and the heading's underline
    int Left = 0;            // the heading, the selected reference's marker, the spectrum
    int HeadingBaseline = 0; // "Evaluation"
    int HeadingUnderlineY = 0;
    int HeadingUnderlineRight = 0;
    // Below here only with a valid evaluation.
    int HeaderBaseline = 0; // the reference table's header and the parameters' title
    int NameX = 0;          // the references' names; their numbers end at the three rights
    int RontRight = 0;
    int EccentricityRight = 0;
    int AngleRight = 0;
    Rect ReferenceTable{}; // header and the four references
    // What the exact checks proved of the references, in the row under the
    // table (wrapped, and the left column moved down, where it is longer).
    std::vector<std::string> CertificateLines;
    Rect Certificates{};
    // Filter, points, reference, the tolerance rule, the angles: beside the
    // heading, or wrapped to the left column where they do not fit there.
    std::vector<std::string> ConditionLines;
    Rect Conditions{};
    int ParametersX = 0; // the right column: labels here, values ending at ValueRight, units at UnitX
    int ValueRight = 0;
    int UnitX = 0;
    int VerdictX = 0;                      // the verdict line, from where the values start
    Rect Parameters{};                     // RONp, RONv, RONq, tolerance, verdict, margin (U, decision)
    std::vector<std::string> WarningLines; // the warnings wrapped to the left column, a row apart
    Rect Warnings{};                       // the warnings (or that there are none)
    int HarmonicsTitleBaseline = 0;        // "Largest Harmonics"; its header a row below, the harmonics after it
    int UprRight = 0;
    int FilteredRight = 0; // ½ peak-to-valley of the filtered profile
    int RawRight = 0;      // and of the raw one
    int FirstPeakRight = 0;
    Rect LargestHarmonics{};   // the five largest harmonics, in the right column
    Rect ChartFrame{};         // the harmonic spectrum: across the page below both columns, or below the left one
    HarmonicChartLayout Chart; // the spectrum as drawn (empty without a valid evaluation)
};

// Lays out the evaluation page in `page`, measuring fonts and texts on dc
// (nothing is drawn). Without a valid evaluation only the title band and the
// heading are laid out; without a profile the title band has no texts.
EvaluationPageLayout LayoutEvaluationPage(Canvas& dc, const std::optional<TitleTexts>& titleTexts,
                                          const RoundnessEvaluation& evaluation, const EvaluationPageOptions& options,
                                          const Rect& page);

// Paints a page laid out on the same canvas for the same evaluation and options.
void PaintEvaluationPage(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                         const EvaluationPageOptions& options);

// Lays out and paints the evaluation page into `page`. Without a valid
// evaluation only the title line, the rule and the heading are drawn.
EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const std::optional<TitleTexts>& titleTexts,
                                        const RoundnessEvaluation& evaluation, const EvaluationPageOptions& options,
                                        const Rect& page);
// The same with the title texts of `doc`, when it holds a profile, and its
// simulated uncertainty when `evaluation` is the document's and the options name none.
EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const CKyklosDoc& doc, const RoundnessEvaluation& evaluation,
                                        const EvaluationPageOptions& options, const Rect& page);

// What an evaluation was made under beyond the default, a line each: the
// filter applied, in the page heading's words, when it is not the default
// kind or not the one asked for; the spikes removed; the samples used and
// excluded; the coverage and largest gap when the used samples leave a gap
// wider than one step. None for a full profile at equal steps under the
// default filter, whose page stays as it was.
std::vector<std::string> EvaluationNotes(const RoundnessEvaluation& evaluation);

// The spectrum of an evaluation as the harmonic chart takes it.
HarmonicChartData HarmonicChartDataOf(const RoundnessEvaluation& evaluation, bool metricUnits);

// The evaluation page's rectangle on a sheet: the report page's margins
// (CKyklosView::PrinterPageRect), but the sheet's whole height where the
// report keeps to the upper half of a sheet taller than wide.
Rect EvaluationPageRect(const Rect& printable);

// A UPR range that shows the filter's whole roll-off: the smallest of 50,
// 150 and 500 UPR that reaches three times the cutoff, else every harmonic.
HarmonicRange HarmonicRangeForCutoff(int cutoffUpr);

} // namespace kyklos
