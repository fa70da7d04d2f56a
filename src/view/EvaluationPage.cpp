#include "view/EvaluationPage.h"

#include "document/KyklosDoc.h"
#include "document/ShownCertificate.h"
#include "document/ShownResults.h"
#include "document/ShownVerdict.h"
#include "platform/NumberText.h"
#include "platform/Units.h"
#include "view/KyklosView.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

namespace {

constexpr std::array<std::string_view, 4> kReferenceNames{"Least Squares", "Minimum Zone", "Maximum Inscribed",
                                                          "Minimum Circumscribed"};
constexpr std::string_view kDash = kNoValueText;
constexpr std::string_view kAngleHeader = "Angle (deg)";
constexpr std::string_view kHarmonicsTitle = "Largest Harmonics (\u00BD Peak-to-Valley)";
constexpr std::string_view kFirstPeakHeader = "First peak (deg)";
constexpr std::size_t kListedHarmonics = 5;
// The right column's rows from the header's baseline: the parameters, the
// tolerance and its verdict, then the largest harmonics' title.
constexpr int kToleranceRow = 5, kVerdictRow = 6, kMarginRow = 7, kHarmonicsTitleRow = 9;
// With a simulated uncertainty, U and the decision follow the margin and the
// harmonics move down by as many rows.
constexpr int kExpandedRow = 8, kDecisionRow = 9, kUncertaintyRows = 2;
constexpr std::string_view kExpandedLabel = "U (k = 2):";
constexpr std::string_view kDecisionLabel = "Decision:";
// The verdict as the panel shows it.
constexpr Colour kPassColour{0, 128, 0};
constexpr Colour kFailColour{192, 0, 0};

// Selects the font only long enough to measure its cell height, as the
// layout needs the height the device actually gives.
int MeasureFont(Canvas& dc, const FontSpec& font)
{
    dc.Save();
    const int height = dc.SetFont(font);
    dc.Restore();
    return height;
}

// A number as the report writes it, or a dash for what cannot be trusted
// (not finite, or too long for the report's 80-character field).
std::string NumberText(double value, int decimals) { return FixedNumberOrDash(value, decimals, 79); }

struct DisplayUnits {
    bool metric;
    std::string unit;
    int decimals;
    std::string widest; // the widest number a column makes room for

    // Millimetres in the shown unit.
    double Length(double millimetres) const { return ShownLength(millimetres, metric); }
};

DisplayUnits UnitsOf(bool metric)
{
    return {metric, std::string(LengthUnitSymbol(metric)), LengthDecimals(metric), metric ? "0000.000" : "00000.00"};
}

double Degrees(double radians) { return radians * (180.0 / std::numbers::pi); }

void TextAt(Canvas& dc, HAlign h, int x, int y, std::string_view text)
{
    dc.SetTextAlign({h, VAlign::Baseline});
    dc.TextOut(x, y, text);
}

int WidestText(Canvas& dc, std::initializer_list<std::string_view> texts)
{
    int widest = 0;
    for (const std::string_view text : texts) widest = std::max(widest, dc.TextExtent(text).width);
    return widest;
}

// Greedy line breaking at blanks; a word wider than the line keeps a line of its own.
std::vector<std::string> WrapText(Canvas& dc, const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.TextExtent(joined).width > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The selected reference's marker: a small triangle pointing at its name.
void DrawMarker(Canvas& dc, int x, int baseline, int fontHeight, Colour colour)
{
    const int h = std::max(2, fontHeight / 2);
    const int top = baseline - fontHeight * 3 / 5;
    const Point points[] = {{x, top}, {x + h * 7 / 8, top + h / 2}, {x, top + h}};
    dc.Save();
    dc.SetPen({PenStyle::Solid, 0, colour});
    dc.SetBrush({BrushStyle::Solid, colour, HatchStyle::Horizontal});
    dc.Polygon(points);
    dc.Restore();
}

// A column header with its unit: "RONt (µm)".
std::string Bracketed(std::string_view head, std::string_view unit)
{
    return std::string(head) + " (" + std::string(unit) + ")";
}

// The page's fonts, its title band and its heading: all there is without an evaluation.
void LayoutTitleAndHeading(Canvas& dc, EvaluationPageLayout& layout, const std::optional<TitleTexts>& titleTexts,
                           const Rect& page)
{
    const int W = page.right - page.left;
    const int H = page.bottom - page.top;
    // The title line and its fonts follow the report page's rule, so both
    // pages of a profile carry the same heading.
    layout.TitleBand = LayoutTitleBand(dc, page, titleTexts);
    layout.Top0 = layout.TitleBand.Top0;
    layout.TitleFontHeight = layout.TitleBand.FontHeight;
    layout.HeadingFont = ReportFont(std::max(1, std::min(layout.TitleFontHeight * 25 / 20, W / 40)));
    layout.HeadingFontHeight = MeasureFont(dc, layout.HeadingFont);
    // The tables hold about 56 characters across the page and 34 rows down it.
    layout.TableFont = ReportFont(std::max(1, std::min({layout.TitleFontHeight, W / 56, H / 34})));
    layout.TableFontHeight = MeasureFont(dc, layout.TableFont);
    const int F = layout.TableFontHeight;
    layout.RowPitch = F + F / 4;
    // Rules of 1/600 inch, as on the report page.
    layout.RulePenWidth = std::max(1, static_cast<int>(dc.PixelsPerInch() * 0.0016666666666666668));

    // The heading, underlined as the report's filter heading.
    layout.Left = page.left + W / 50;
    layout.HeadingBaseline = layout.Top0 + 2 * layout.HeadingFontHeight;
    layout.HeadingUnderlineY = layout.HeadingBaseline + layout.HeadingFontHeight / 3;
    dc.Save();
    dc.SetFont(layout.HeadingFont);
    layout.HeadingUnderlineRight = layout.Left + dc.TextExtent("Evaluation").width;
    dc.Restore();
}

// The table font is selected. The four references side by side; numbers
// right-aligned, which with fixed decimals keeps their decimal points in one
// column. RONt carries at least the tolerance's decimals: its column fits them.
void LayoutReferenceTable(Canvas& dc, EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                          const DisplayUnits& units)
{
    const int F = layout.TableFontHeight;
    const int numberWidth = dc.TextExtent(units.widest).width;
    int rontWidth = numberWidth;
    for (const ReferenceKind kind : kReferenceKinds)
        rontWidth = std::max(rontWidth, dc.TextExtent(RoundnessText(evaluation, kind, units.metric)).width);
    const int angleWidth = dc.TextExtent("-000.00").width;
    layout.HeaderBaseline = layout.HeadingBaseline + 2 * F;
    layout.NameX = layout.Left + F;
    const int nameWidth =
        WidestText(dc, {"Reference", kReferenceNames[0], kReferenceNames[1], kReferenceNames[2], kReferenceNames[3]});
    layout.RontRight =
        layout.NameX + nameWidth + F + std::max(dc.TextExtent(Bracketed("RONt", units.unit)).width, rontWidth);
    layout.EccentricityRight =
        layout.RontRight + F + std::max(dc.TextExtent(Bracketed("Ecc.", units.unit)).width, numberWidth);
    layout.AngleRight = layout.EccentricityRight + F + std::max(dc.TextExtent(kAngleHeader).width, angleWidth);
    layout.ReferenceTable = {layout.Left, layout.HeaderBaseline - F, layout.AngleRight,
                             layout.HeaderBaseline + 4 * layout.RowPitch + F / 4};
}

// The table font is selected. The right column holds the parameters, the
// tolerance with its verdict and, under them, the largest harmonics; it
// keeps to the right edge, as wide as its widest row.
void LayoutRightColumn(Canvas& dc, EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                       const DisplayUnits& units, const UncertaintyResult* uncertainty, const Rect& page)
{
    const int F = layout.TableFontHeight;
    const int numberWidth = dc.TextExtent(units.widest).width;
    const int labelWidth = std::max(
        WidestText(dc, {"RONp:", "RONv:", "RONq:", "Tolerance:", "Verdict:", "Margin:"}),
        uncertainty ? WidestText(dc, {kExpandedLabel, kDecisionLabel, DecisionText(uncertainty->Decision)}) : 0);
    const int lastRow = uncertainty ? kDecisionRow : kMarginRow;
    const int titleRow = kHarmonicsTitleRow + (uncertainty ? kUncertaintyRows : 0);
    const std::string tolerance =
        evaluation.Tolerance ? ToleranceText(*evaluation.Tolerance, units.metric) : std::string(kDash);
    const int valueWidth = std::max(
        {numberWidth, dc.TextExtent(tolerance).width, dc.TextExtent(MarginText(evaluation, units.metric)).width});
    const int unitWidth = dc.TextExtent(units.unit).width;
    const int parametersWidth = std::max(labelWidth + F + valueWidth + F / 3 + unitWidth,
                                         labelWidth + F + dc.TextExtent(VerdictLine(evaluation)).width);
    const int uprWidth = WidestText(dc, {"UPR", "00000"});
    const int filteredWidth = std::max(dc.TextExtent(Bracketed("Filtered", units.unit)).width, numberWidth);
    const int rawWidth = std::max(dc.TextExtent(Bracketed("Raw", units.unit)).width, numberWidth);
    const int peakWidth = std::max(dc.TextExtent(kFirstPeakHeader).width, dc.TextExtent("000.00").width);
    const int listWidth =
        std::max(uprWidth + F + filteredWidth + F + rawWidth + F + peakWidth, dc.TextExtent(kHarmonicsTitle).width);
    const int W = page.right - page.left;
    layout.ParametersX =
        std::max(layout.AngleRight + 2 * F, page.right - W / 50 - std::max(parametersWidth, listWidth));

    // Parameters and tolerance in the report's rows: label, number, unit; the verdict in words.
    layout.ValueRight = layout.ParametersX + labelWidth + F + valueWidth;
    layout.UnitX = layout.ValueRight + F / 3;
    layout.VerdictX = layout.ParametersX + labelWidth + F;
    layout.Parameters = {layout.ParametersX, layout.HeaderBaseline - F, layout.ParametersX + parametersWidth,
                         layout.HeaderBaseline + lastRow * layout.RowPitch + F / 4};
    const int title = layout.HeaderBaseline + titleRow * layout.RowPitch;
    layout.HarmonicsTitleBaseline = title;
    layout.UprRight = layout.ParametersX + uprWidth;
    layout.FilteredRight = layout.UprRight + F + filteredWidth;
    layout.RawRight = layout.FilteredRight + F + rawWidth;
    layout.FirstPeakRight = layout.RawRight + F + peakWidth;
    layout.LargestHarmonics = {layout.ParametersX, title - F, layout.ParametersX + listWidth,
                               title + static_cast<int>(kListedHarmonics + 1) * layout.RowPitch + F / 4};
}

// Wrapped lines of texts, one row apart, into `lines`; the box they take from `top`.
Rect LayoutLines(Canvas& dc, const EvaluationPageLayout& layout, const std::vector<std::string>& texts, int top,
                 std::vector<std::string>& lines)
{
    const int F = layout.TableFontHeight;
    const int width = std::max(F, layout.ParametersX - F - layout.NameX);
    for (const std::string& text : texts)
        for (std::string& line : WrapText(dc, text, width)) lines.push_back(std::move(line));
    const int rows = std::max(0, static_cast<int>(lines.size()) - 1);
    return {layout.NameX, top, layout.NameX + width, top + F + rows * layout.RowPitch + F / 4};
}

// What the page was evaluated under, in words: it stands alone on paper.
std::vector<std::string> ConditionTexts(const RoundnessEvaluation& evaluation)
{
    // The default filter keeps its words in the first line; any other is
    // named by the notes, in the heading's words.
    const bool gaussian =
        evaluation.FilterApplied.Kind == FilterKind::Gaussian && evaluation.FilterApplied == evaluation.Filter;
    const std::string filter =
        gaussian ? "Gaussian (50%) filter, " + std::to_string(evaluation.CutoffUpr) + " UPR cutoff, " : std::string();
    std::vector<std::string> texts{filter + std::to_string(evaluation.PointCount) + " points. " +
                                   std::string(ReferenceLabel(evaluation.SelectedReference)) + "."};
    for (std::string& note : EvaluationNotes(evaluation)) texts.push_back(std::move(note));
    texts.push_back("Tolerance t: RONt \u2264 t passes. Angles are counter-clockwise from sample 0.");
    return texts;
}

// The table font is selected. The conditions in two lines beside the
// heading, flush right, where they fit there; else wrapped to the left
// column under the references. Then the warnings (a heading row, then their
// lines) in the left column.
void LayoutLeftColumn(Canvas& dc, EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation, bool metric,
                      const Rect& page)
{
    const std::vector<std::string> conditions = ConditionTexts(evaluation);
    const int F = layout.TableFontHeight;
    const int right = page.right - (page.right - page.left) / 50;
    int widest = 0;
    for (const std::string& text : conditions) widest = std::max(widest, dc.TextExtent(text).width);
    int top = layout.ReferenceTable.bottom + layout.RowPitch;
    // The certificates take the free row under the table; only a second line moves what follows.
    layout.CertificateLines.clear();
    // Each reference its own text where that fits the row, else all under the largest bound.
    std::string note = CertificateNote(evaluation, metric);
    if (dc.TextExtent(note).width > layout.ParametersX - F - layout.NameX)
        note = CertificateNote(evaluation, metric, true);
    if (!note.empty()) {
        // A fifth row's baseline; the warnings start a row below its last line.
        const int firstBaseline = layout.HeaderBaseline + 5 * layout.RowPitch;
        layout.Certificates = LayoutLines(dc, layout, {note}, firstBaseline - F, layout.CertificateLines);
        top = std::max(top, layout.Certificates.bottom);
    }
    // Beside the heading there is room for two lines above the tables.
    if (conditions.size() <= 2 && widest <= right - layout.HeadingUnderlineRight - 2 * F) {
        layout.ConditionLines = conditions;
        const int rows = static_cast<int>(conditions.size()) - 1;
        layout.Conditions = {right - widest, layout.HeadingBaseline - rows * layout.RowPitch - F, right,
                             layout.HeadingBaseline + F / 4};
    } else {
        layout.Conditions = LayoutLines(dc, layout, conditions, top, layout.ConditionLines);
        top = layout.Conditions.bottom + layout.RowPitch;
    }
    layout.Warnings = LayoutLines(dc, layout, evaluation.Warnings, top, layout.WarningLines);
    if (!layout.WarningLines.empty()) layout.Warnings.bottom += layout.RowPitch;
}

// The spectrum across the page below both columns, where that leaves it at
// least three quarters of the height it has under the left column beside
// the right one: on a sheet taller than wide, its lower half and more; on a
// landscape page, beside the largest harmonics.
void LayoutSpectrum(Canvas& dc, EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                    const EvaluationPageOptions& options, const Rect& page)
{
    const int W = page.right - page.left;
    const int bottom = page.bottom - (page.bottom - page.top) / 50;
    const Rect below{layout.Left, std::max(layout.Warnings.bottom, layout.LargestHarmonics.bottom) + layout.RowPitch,
                     page.right - W / 50, bottom};
    const Rect beside{layout.Left, layout.Warnings.bottom + layout.RowPitch,
                      layout.ParametersX - layout.TableFontHeight, bottom};
    layout.ChartFrame = below.Height() * 4 >= beside.Height() * 3 ? below : beside;
    // The chart's text grows with its frame, but not beyond the tables'.
    const int fontHeight = std::min(HarmonicChart::FontHeightFor(layout.ChartFrame), layout.TableFontHeight);
    layout.Chart = HarmonicChart::ComputeLayout(dc, HarmonicChartDataOf(evaluation, options.MetricUnits),
                                                options.Spectrum, layout.ChartFrame, ReportFont(fontHeight));
}

// The heading, grey and underlined as the report's filter heading.
void PaintHeading(Canvas& dc, const EvaluationPageLayout& layout, const Pen& rulePen)
{
    dc.SetFont(layout.HeadingFont);
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, layout.Left, layout.HeadingBaseline, "Evaluation");
    dc.SetPen(rulePen);
    dc.MoveTo(layout.Left, layout.HeadingUnderlineY);
    dc.LineTo(layout.HeadingUnderlineRight, layout.HeadingUnderlineY);
}

void PaintReferenceTable(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                         const DisplayUnits& units)
{
    const int F = layout.TableFontHeight, header = layout.HeaderBaseline;
    dc.SetFont(layout.TableFont);
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, layout.NameX, header, "Reference");
    TextAt(dc, HAlign::Right, layout.RontRight, header, Bracketed("RONt", units.unit));
    TextAt(dc, HAlign::Right, layout.EccentricityRight, header, Bracketed("Ecc.", units.unit));
    TextAt(dc, HAlign::Right, layout.AngleRight, header, kAngleHeader);
    for (const ReferenceKind referenceKind : kReferenceKinds) {
        const int kind = ReferenceIndex(referenceKind);
        const ReferenceEvaluation& reference = evaluation.Reference(referenceKind);
        const int y = header + (kind + 1) * layout.RowPitch;
        const bool selected = referenceKind == evaluation.SelectedReference;
        const Colour colour = selected ? kNavy : kBlack;
        if (selected) DrawMarker(dc, layout.Left, y, F, colour);
        dc.SetTextColour(colour);
        TextAt(dc, HAlign::Left, layout.NameX, y, kReferenceNames[static_cast<std::size_t>(kind)]);
        // A failed fit has no result; its centre is no result either.
        const std::string ront = RoundnessText(evaluation, referenceKind, units.metric);
        std::string eccentricity(kDash), angle(kDash);
        if (reference.FitValid && reference.RONt) {
            eccentricity = NumberText(units.Length(reference.Eccentricity), units.decimals);
            angle = EccentricityAngleShown(reference.Eccentricity) ? NumberText(reference.EccentricityAngle, 2)
                                                                   : std::string();
        }
        TextAt(dc, HAlign::Right, layout.RontRight, y, ront);
        TextAt(dc, HAlign::Right, layout.EccentricityRight, y, eccentricity);
        TextAt(dc, HAlign::Right, layout.AngleRight, y, angle);
    }
    dc.SetTextColour(kGrey);
    int y = layout.Certificates.top + F;
    for (const std::string& line : layout.CertificateLines) {
        TextAt(dc, HAlign::Left, layout.NameX, y, line);
        y += layout.RowPitch;
    }
}

// One row of the right column: label, number and, after a number, its unit.
void ParameterRow(Canvas& dc, const EvaluationPageLayout& layout, int index, std::string_view label,
                  const std::string& value, std::string_view unit)
{
    const int y = layout.HeaderBaseline + index * layout.RowPitch;
    TextAt(dc, HAlign::Left, layout.ParametersX, y, label);
    TextAt(dc, HAlign::Right, layout.ValueRight, y, value);
    if (!unit.empty() && value != kDash) TextAt(dc, HAlign::Left, layout.UnitX, y, unit);
}

void PaintParameters(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                     const DisplayUnits& units)
{
    const int decimals = units.decimals;
    dc.SetFont(layout.TableFont);
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, layout.ParametersX, layout.HeaderBaseline, "Least Squares Circle");
    dc.SetTextColour(kBlack);
    const bool parameters = evaluation.Reference(ReferenceKind::LeastSquares).FitValid;
    auto parameter = [&](double millimetres) {
        return parameters ? NumberText(units.Length(millimetres), decimals) : std::string(kDash);
    };
    ParameterRow(dc, layout, 1, "RONp:", parameter(evaluation.RONp), units.unit);
    ParameterRow(dc, layout, 2, "RONv:", parameter(evaluation.RONv), units.unit);
    ParameterRow(dc, layout, 3, "RONq:", parameter(evaluation.RONq), units.unit);

    // The verdict names the reference it judged against the tolerance as
    // typed; the margin t − RONt is what is left of the tolerance (negative
    // when it is exceeded).
    const std::optional<RoundnessTolerance>& tolerance = evaluation.Tolerance;
    ParameterRow(dc, layout, kToleranceRow,
                 "Tolerance:", tolerance ? ToleranceText(*tolerance, units.metric) : std::string(kDash), units.unit);
    const int verdictY = layout.HeaderBaseline + kVerdictRow * layout.RowPitch;
    TextAt(dc, HAlign::Left, layout.ParametersX, verdictY, "Verdict:");
    dc.SetTextColour(evaluation.Verdict == ToleranceVerdict::Pass   ? kPassColour
                     : evaluation.Verdict == ToleranceVerdict::Fail ? kFailColour
                                                                    : kBlack);
    TextAt(dc, evaluation.Verdict == ToleranceVerdict::None ? HAlign::Right : HAlign::Left,
           evaluation.Verdict == ToleranceVerdict::None ? layout.ValueRight : layout.VerdictX, verdictY,
           VerdictLine(evaluation));
    dc.SetTextColour(kBlack);
    ParameterRow(dc, layout, kMarginRow, "Margin:", MarginText(evaluation, units.metric), units.unit);
}

// U = 2u of the selected reference's RONt, and the decision with U as guard
// band, in the verdict's colours (an undecided part in neither).
void PaintUncertainty(Canvas& dc, const EvaluationPageLayout& layout, const UncertaintyResult& uncertainty,
                      const DisplayUnits& units)
{
    const std::optional<double> expanded = uncertainty.ExpandedUncertainty;
    ParameterRow(dc, layout, kExpandedRow, kExpandedLabel,
                 expanded ? NumberText(units.Length(*expanded), units.decimals) : std::string(kDash), units.unit);
    const int y = layout.HeaderBaseline + kDecisionRow * layout.RowPitch;
    TextAt(dc, HAlign::Left, layout.ParametersX, y, kDecisionLabel);
    const ConformityDecision decision = uncertainty.Decision;
    dc.SetTextColour(decision == ConformityDecision::Conforms         ? kPassColour
                     : decision == ConformityDecision::DoesNotConform ? kFailColour
                                                                      : kBlack);
    const bool none = decision == ConformityDecision::None;
    TextAt(dc, none ? HAlign::Right : HAlign::Left, none ? layout.ValueRight : layout.VerdictX, y,
           DecisionText(decision));
    dc.SetTextColour(kBlack);
}

void PaintConditions(Canvas& dc, const EvaluationPageLayout& layout)
{
    dc.SetFont(layout.TableFont);
    dc.SetTextColour(kGrey);
    int y = layout.Conditions.top + layout.TableFontHeight;
    for (const std::string& line : layout.ConditionLines) {
        TextAt(dc, HAlign::Left, layout.Conditions.left, y, line);
        y += layout.RowPitch;
    }
}

void PaintWarnings(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation)
{
    dc.SetFont(layout.TableFont);
    dc.SetTextColour(kBlack);
    int y = layout.Warnings.top + layout.TableFontHeight;
    if (evaluation.Warnings.empty()) {
        TextAt(dc, HAlign::Left, layout.NameX, y, "Warnings: none");
        return;
    }
    TextAt(dc, HAlign::Left, layout.NameX, y, "Warnings:");
    for (const std::string& line : layout.WarningLines) {
        y += layout.RowPitch;
        TextAt(dc, HAlign::Left, layout.NameX, y, line);
    }
}

void PaintLargestHarmonics(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                           const DisplayUnits& units)
{
    const int title = layout.HarmonicsTitleBaseline, pitch = layout.RowPitch;
    dc.SetFont(layout.TableFont);
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, layout.ParametersX, title, kHarmonicsTitle);
    TextAt(dc, HAlign::Right, layout.UprRight, title + pitch, "UPR");
    TextAt(dc, HAlign::Right, layout.FilteredRight, title + pitch, Bracketed("Filtered", units.unit));
    TextAt(dc, HAlign::Right, layout.RawRight, title + pitch, Bracketed("Raw", units.unit));
    TextAt(dc, HAlign::Right, layout.FirstPeakRight, title + pitch, kFirstPeakHeader);
    dc.SetTextColour(kBlack);
    const std::vector<HarmonicComponent> largest = LargestHarmonics(evaluation, kListedHarmonics);
    for (std::size_t i = 0; i < largest.size(); ++i) {
        const HarmonicComponent& h = largest[i];
        const int y = title + static_cast<int>(i + 2) * pitch;
        TextAt(dc, HAlign::Right, layout.UprRight, y, std::to_string(h.Upr));
        TextAt(dc, HAlign::Right, layout.FilteredRight, y,
               NumberText(units.Length(h.FilteredAmplitude), units.decimals));
        TextAt(dc, HAlign::Right, layout.RawRight, y, NumberText(units.Length(h.Amplitude), units.decimals));
        TextAt(dc, HAlign::Right, layout.FirstPeakRight, y, NumberText(Degrees(h.FirstPeakAngle), 2));
    }
}

} // namespace

std::vector<std::string> EvaluationNotes(const RoundnessEvaluation& evaluation)
{
    std::vector<std::string> notes;
    if (!evaluation.Valid) return notes;
    const FilterSpec& applied = evaluation.FilterApplied;
    if (applied.Kind != FilterKind::Gaussian || applied != evaluation.Filter) {
        std::string line = FilterHeading(applied);
        if (applied != evaluation.Filter) line += " instead of " + FilterHeading(evaluation.Filter);
        notes.push_back(line);
    }
    if (evaluation.SpikesRemoved > 0) notes.push_back("Spikes removed: " + std::to_string(evaluation.SpikesRemoved));
    if (evaluation.SamplesExcluded > 0)
        notes.push_back("Samples used: " + std::to_string(evaluation.SamplesUsed) + " of " +
                        std::to_string(evaluation.SamplesUsed + evaluation.SamplesExcluded) + ", " +
                        std::to_string(evaluation.SamplesExcluded) + " excluded");
    // A full turn at equal steps leaves one step as its largest gap.
    const double step = evaluation.PointCount > 0 ? 360.0 / evaluation.PointCount : 360.0;
    if (evaluation.LargestGapDeg > step * (1.0 + 1e-9))
        notes.push_back("Coverage: " + FixedNumberOrDash(evaluation.CoverageDeg, 1, 40) + "\u00B0, largest gap " +
                        FixedNumberOrDash(evaluation.LargestGapDeg, 1, 40) + "\u00B0");
    return notes;
}

EvaluationPageLayout LayoutEvaluationPage(Canvas& dc, const std::optional<TitleTexts>& titleTexts,
                                          const RoundnessEvaluation& evaluation, const EvaluationPageOptions& options,
                                          const Rect& page)
{
    EvaluationPageLayout layout;
    LayoutTitleAndHeading(dc, layout, titleTexts, page);
    if (!evaluation.Valid) return layout;

    const DisplayUnits units = UnitsOf(options.MetricUnits);
    dc.Save();
    dc.SetFont(layout.TableFont);
    LayoutReferenceTable(dc, layout, evaluation, units);
    LayoutRightColumn(dc, layout, evaluation, units, options.Uncertainty, page);
    LayoutLeftColumn(dc, layout, evaluation, units.metric, page);
    dc.Restore();
    LayoutSpectrum(dc, layout, evaluation, options, page);
    return layout;
}

void PaintEvaluationPage(Canvas& dc, const EvaluationPageLayout& layout, const RoundnessEvaluation& evaluation,
                         const EvaluationPageOptions& options)
{
    const Pen rulePen{PenStyle::Solid, layout.RulePenWidth, kGrey};
    dc.Save();
    PaintTitleBand(dc, layout.TitleBand, rulePen);
    PaintHeading(dc, layout, rulePen);
    if (evaluation.Valid) {
        const DisplayUnits units = UnitsOf(options.MetricUnits);
        PaintReferenceTable(dc, layout, evaluation, units);
        PaintParameters(dc, layout, evaluation, units);
        if (options.Uncertainty) PaintUncertainty(dc, layout, *options.Uncertainty, units);
        PaintConditions(dc, layout);
        PaintWarnings(dc, layout, evaluation);
        PaintLargestHarmonics(dc, layout, evaluation, units);
        HarmonicChart::Paint(dc, layout.Chart, options.MetricUnits);
    }
    dc.Restore();
}

EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const std::optional<TitleTexts>& titleTexts,
                                        const RoundnessEvaluation& evaluation, const EvaluationPageOptions& options,
                                        const Rect& page)
{
    EvaluationPageLayout layout = LayoutEvaluationPage(dc, titleTexts, evaluation, options, page);
    PaintEvaluationPage(dc, layout, evaluation, options);
    return layout;
}

EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const CKyklosDoc& doc, const RoundnessEvaluation& evaluation,
                                        const EvaluationPageOptions& options, const Rect& page)
{
    std::optional<TitleTexts> titleTexts;
    if (doc.DataLoaded)
        titleTexts = TitleTexts{doc.Profile.FileTitle, doc.Profile.Identification, doc.Profile.DateText};
    EvaluationPageOptions shown = options;
    if (!shown.Uncertainty && doc.Uncertainty && &evaluation == &doc.Result.Evaluation)
        shown.Uncertainty = &*doc.Uncertainty;
    return DrawEvaluationPage(dc, titleTexts, evaluation, shown, page);
}

HarmonicChartData HarmonicChartDataOf(const RoundnessEvaluation& evaluation, bool metricUnits)
{
    HarmonicChartData data;
    data.MetricUnits = metricUnits;
    data.CutoffUpr = evaluation.CutoffUpr;
    data.Harmonics.reserve(evaluation.Harmonics.size());
    data.Transmission.reserve(evaluation.Harmonics.size());
    for (const HarmonicComponent& h : evaluation.Harmonics) {
        data.Harmonics.push_back({h.Amplitude, h.FilteredAmplitude, h.FirstPeakAngle});
        data.Transmission.push_back(h.Transmission);
    }
    return data;
}

Rect EvaluationPageRect(const Rect& printable)
{
    Rect page = CKyklosView::PrinterPageRect(printable);
    page.bottom = printable.bottom - (printable.right - printable.left) / 20;
    return page;
}

HarmonicRange HarmonicRangeForCutoff(int cutoffUpr)
{
    if (cutoffUpr <= 50 / 3) return HarmonicRange::Upr50;
    if (cutoffUpr <= 150 / 3) return HarmonicRange::Upr150;
    if (cutoffUpr <= 500 / 3) return HarmonicRange::Upr500;
    return HarmonicRange::All;
}

} // namespace kyklos
