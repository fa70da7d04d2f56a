#pragma once
// The evaluation page: a second page beside the report page, in its style
// (Arial 600, the same title line and rule, the report's colours), with the
// four reference circles side by side, RONp/RONv/RONq, the tolerance verdict,
// the sampling warnings, the harmonic spectrum and its five largest
// harmonics.
//
// Drawn through Canvas only and laid out in device units from the page
// rectangle, so one routine serves a window panel, the printer, PDF and
// images: on paper pass CKyklosView::PrinterPageRect(printable area), which
// puts it where the report page stands; on a screen or an image the whole
// rectangle. The background is the caller's.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "graph/HarmonicChart.h"
#include "platform/Canvas.h"

#include <cstddef>
#include <vector>

namespace kyklos {

struct EvaluationPageOptions {
    bool MetricUnits = true;          // µm with 3 decimals, else µin with 2
    HarmonicChartOptions Spectrum;    // range of the UPR axis, linear or logarithmic amplitude
};

// Where the page put its parts, device units; for tests and for a caller
// that hovers over the spectrum.
struct EvaluationPageLayout {
    int Top0 = 0;                  // the rule under the title line
    int TitleFontHeight = 0;
    int HeadingFontHeight = 0;
    int TableFontHeight = 0;       // the tables' font: references, parameters, harmonics
    int RowPitch = 0;              // baseline to baseline in the tables
    int HeadingBaseline = 0;       // "Evaluation"
    Rect ReferenceTable{};         // header and the four references
    Rect Parameters{};             // RONp, RONv, RONq, tolerance, verdict, margin
    Rect Warnings{};               // the warnings (or that there are none)
    Rect LargestHarmonics{};       // the five largest harmonics
    Rect ChartFrame{};             // the harmonic spectrum
    HarmonicChartLayout Chart;     // the spectrum as drawn (empty without a valid evaluation)
};

// Draws the evaluation page of `doc` into `page`. Without a valid evaluation
// only the title line, the rule and the heading are drawn.
EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const CKyklosDoc& doc, const RoundnessEvaluation& evaluation,
                                        const EvaluationPageOptions& options, const Rect& page);

// The spectrum of an evaluation as the harmonic chart takes it.
HarmonicChartData HarmonicChartDataOf(const RoundnessEvaluation& evaluation, bool metricUnits);

// A UPR range that shows the filter's whole roll-off: the smallest of 50,
// 150 and 500 UPR that reaches three times the cutoff, else every harmonic.
HarmonicRange HarmonicRangeForCutoff(int cutoffUpr);

} // namespace kyklos
