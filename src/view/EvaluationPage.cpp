#include "view/EvaluationPage.h"

#include "graph/FixedText.h"
#include "graph/PolarGraph.h"
#include "view/TitleBand.h"

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
constexpr std::string_view kDash = "\u2014";
constexpr std::size_t kListedHarmonics = 5;

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
std::string NumberText(double value, int decimals)
{
    std::string text;
    if (!std::isfinite(value) || !FormatFixed(value, decimals, 79, text)) text = kDash;
    return text;
}

struct DisplayUnits {
    std::string unit;
    int decimals;
    double perMillimetre;   // display units per millimetre
    std::string widest;     // the widest number a column makes room for
};

DisplayUnits UnitsOf(bool metric)
{
    if (metric) return {"\u00B5m", 3, 1000.0, "0000.000"};
    return {"\u00B5in", 2, 1000.0 * CPolarGraph::kMicroinchesPerMicrometre, "00000.00"};
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

} // namespace

HarmonicChartData HarmonicChartDataOf(const RoundnessEvaluation& evaluation, bool metricUnits)
{
    HarmonicChartData data;
    data.MetricUnits = metricUnits;
    data.Harmonics.reserve(evaluation.Harmonics.size());
    data.Transmission.reserve(evaluation.Harmonics.size());
    for (const HarmonicComponent& h : evaluation.Harmonics) {
        data.Harmonics.push_back({h.Amplitude, h.FilteredAmplitude, h.Phase});
        data.Transmission.push_back(h.Transmission);
    }
    return data;
}

HarmonicRange HarmonicRangeForCutoff(int cutoffUpr)
{
    if (cutoffUpr <= 50 / 3) return HarmonicRange::Upr50;
    if (cutoffUpr <= 150 / 3) return HarmonicRange::Upr150;
    if (cutoffUpr <= 500 / 3) return HarmonicRange::Upr500;
    return HarmonicRange::All;
}

EvaluationPageLayout DrawEvaluationPage(Canvas& dc, const CKyklosDoc& doc, const RoundnessEvaluation& evaluation,
                                        const EvaluationPageOptions& options, const Rect& page)
{
    EvaluationPageLayout layout;
    const int L = page.left, T = page.top, R = page.right, B = page.bottom;
    const int W = R - L;
    const int H = B - T;

    // The title line and its fonts follow the report page's rule, so both
    // pages of a profile carry the same heading.
    const int x0 = L + W / 50;
    std::optional<TitleTexts> titleTexts;
    if (doc.DataLoaded) titleTexts = TitleTexts{doc.FileTitle, doc.Identification, doc.DateText};
    const TitleBandLayout band = LayoutTitleBand(dc, page, titleTexts);
    const int top0 = band.Top0;
    layout.Top0 = top0;
    layout.TitleFontHeight = band.FontHeight;
    const FontSpec headingFont = ReportFont(std::max(1, std::min(layout.TitleFontHeight * 25 / 20, W / 40)));
    layout.HeadingFontHeight = MeasureFont(dc, headingFont);
    // The tables hold about 56 characters across the page and 34 rows down it.
    const FontSpec tableFont = ReportFont(std::max(1, std::min({layout.TitleFontHeight, W / 56, H / 34})));
    layout.TableFontHeight = MeasureFont(dc, tableFont);
    const int headingHeight = layout.HeadingFontHeight;
    const int F = layout.TableFontHeight;
    const int pitch = F + F / 4;
    layout.RowPitch = pitch;
    // Rules of 1/600 inch, as on the report page.
    const int rulePen = std::max(1, static_cast<int>(dc.PixelsPerInch() * 0.0016666666666666668));

    dc.Save();
    PaintTitleBand(dc, band, {PenStyle::Solid, rulePen, kGrey});
    dc.SetPen({PenStyle::Solid, rulePen, kGrey});

    // The heading, grey and underlined as the report's filter heading.
    dc.SetFont(headingFont);
    dc.SetTextColour(kGrey);
    layout.HeadingBaseline = top0 + 2 * headingHeight;
    TextAt(dc, HAlign::Left, x0, layout.HeadingBaseline, "Evaluation");
    const int underlineY = layout.HeadingBaseline + headingHeight / 3;
    dc.MoveTo(x0, underlineY);
    dc.LineTo(x0 + dc.TextExtent("Evaluation").width, underlineY);

    if (!evaluation.Valid) {
        dc.Restore();
        return layout;
    }

    const DisplayUnits units = UnitsOf(options.MetricUnits);
    const int decimals = units.decimals;
    auto display = [&](double millimetres) { return millimetres * units.perMillimetre; };
    const auto bracketed = [](std::string_view text) { return " (" + std::string(text) + ")"; };

    dc.SetFont(tableFont);
    const int numberWidth = dc.TextExtent(units.widest).width;
    const int angleWidth = dc.TextExtent("-000.00").width;
    const int headerRow = layout.HeadingBaseline + 2 * F;

    // The four references side by side; numbers right-aligned, which with
    // fixed decimals keeps their decimal points in one column.
    const int nameX = x0 + F;
    const std::string rontHeader = "RONt" + bracketed(units.unit);
    const std::string eccentricityHeader = "Ecc." + bracketed(units.unit);
    const std::string angleHeader = "Angle (deg)";
    const int nameWidth = WidestText(dc, {"Reference", kReferenceNames[0], kReferenceNames[1], kReferenceNames[2],
                                          kReferenceNames[3]});
    const int rontRight = nameX + nameWidth + F + std::max(dc.TextExtent(rontHeader).width, numberWidth);
    const int eccentricityRight = rontRight + F + std::max(dc.TextExtent(eccentricityHeader).width, numberWidth);
    const int angleRight = eccentricityRight + F + std::max(dc.TextExtent(angleHeader).width, angleWidth);

    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, nameX, headerRow, "Reference");
    TextAt(dc, HAlign::Right, rontRight, headerRow, rontHeader);
    TextAt(dc, HAlign::Right, eccentricityRight, headerRow, eccentricityHeader);
    TextAt(dc, HAlign::Right, angleRight, headerRow, angleHeader);
    for (int kind = LeastSquares; kind <= MinimumCircumscribed; ++kind) {
        const ReferenceEvaluation& reference = evaluation.References[static_cast<std::size_t>(kind)];
        const int y = headerRow + (kind + 1) * pitch;
        const bool selected = kind == evaluation.SelectedReference;
        const Colour colour = selected ? kNavy : kBlack;
        if (selected) DrawMarker(dc, x0, y, F, colour);
        dc.SetTextColour(colour);
        TextAt(dc, HAlign::Left, nameX, y, kReferenceNames[static_cast<std::size_t>(kind)]);
        // A failed fit has no result; its centre is no result either.
        std::string ront(kDash), eccentricity(kDash), angle(kDash);
        if (reference.FitValid && reference.RONt) {
            ront = NumberText(display(*reference.RONt), decimals);
            eccentricity = NumberText(display(reference.Eccentricity), decimals);
            // Below 0.1 nm of eccentricity its direction is noise, as on the report page.
            angle = reference.Eccentricity >= 1e-7 ? NumberText(reference.EccentricityAngle, 2) : std::string();
        }
        TextAt(dc, HAlign::Right, rontRight, y, ront);
        TextAt(dc, HAlign::Right, eccentricityRight, y, eccentricity);
        TextAt(dc, HAlign::Right, angleRight, y, angle);
    }
    const int tableBottom = headerRow + 4 * pitch + F / 4;
    layout.ReferenceTable = {x0, headerRow - F, angleRight, tableBottom};

    // The right column holds the parameters and, under it, the largest
    // harmonics; it keeps to the right edge, leaving the spectrum its width.
    const int labelWidth = WidestText(dc, {"RONp:", "RONv:", "RONq:", "Tolerance:", "Verdict:", "Margin:"});
    const int unitWidth = dc.TextExtent(units.unit).width;
    const int parametersWidth = labelWidth + F + numberWidth + F / 3 + unitWidth;
    const std::string amplitudeHeader = "Amplitude" + bracketed(units.unit);
    const int uprWidth = WidestText(dc, {"UPR", "00000"});
    const int amplitudeWidth = std::max(dc.TextExtent(amplitudeHeader).width, numberWidth);
    const int phaseWidth = std::max(dc.TextExtent("Phase (deg)").width, angleWidth);
    const int listWidth = uprWidth + F + amplitudeWidth + F + phaseWidth;
    const int rightX = std::max(angleRight + 2 * F, R - W / 50 - std::max(parametersWidth, listWidth));

    // Parameters and verdict in the report's rows: label, number, unit.
    const int valueRight = rightX + labelWidth + F + numberWidth;
    const int unitX = valueRight + F / 3;
    auto row = [&](int index, std::string_view label, const std::string& value, std::string_view unit) {
        const int y = headerRow + index * pitch;
        TextAt(dc, HAlign::Left, rightX, y, label);
        TextAt(dc, HAlign::Right, valueRight, y, value);
        // A missing value has no unit either.
        if (!unit.empty() && value != kDash) TextAt(dc, HAlign::Left, unitX, y, unit);
    };
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, rightX, headerRow, "Least Squares Circle");
    dc.SetTextColour(kBlack);
    const bool parameters = evaluation.References[LeastSquares].FitValid;
    auto parameter = [&](double millimetres) {
        return parameters ? NumberText(display(millimetres), decimals) : std::string(kDash);
    };
    row(1, "RONp:", parameter(evaluation.RONp), units.unit);
    row(2, "RONv:", parameter(evaluation.RONv), units.unit);
    row(3, "RONq:", parameter(evaluation.RONq), units.unit);

    // The verdict judges the selected reference's RONt; the margin t − RONt is
    // what is left of the tolerance (negative when it is exceeded).
    const std::optional<double> tolerance = evaluation.ToleranceUm;
    const bool judged = evaluation.Verdict != ToleranceVerdict::None && tolerance && evaluation.Selected().RONt;
    const std::string toleranceText =
        tolerance ? NumberText(*tolerance * units.perMillimetre / 1000.0, decimals) : std::string(kDash);
    row(5, "Tolerance:", toleranceText, units.unit);
    dc.SetTextColour(kNavy);
    row(6, "Verdict:", std::string(VerdictText(evaluation.Verdict)), {});
    dc.SetTextColour(kBlack);
    row(7, "Margin:",
        judged ? NumberText((*tolerance / 1000.0 - *evaluation.Selected().RONt) * units.perMillimetre, decimals)
               : std::string(kDash),
        units.unit);
    const int parametersBottom = headerRow + 7 * pitch + F / 4;
    layout.Parameters = {rightX, headerRow - F, unitX + unitWidth, parametersBottom};

    // The warnings under the references, wrapped to the left column.
    const int warningsTop = tableBottom + pitch;
    const int warningsWidth = std::max(F, rightX - F - nameX);
    int y = warningsTop + F;
    if (evaluation.Warnings.empty()) {
        TextAt(dc, HAlign::Left, nameX, y, "Warnings: none");
    } else {
        TextAt(dc, HAlign::Left, nameX, y, "Warnings:");
        for (const std::string& warning : evaluation.Warnings)
            for (const std::string& line : WrapText(dc, warning, warningsWidth)) {
                y += pitch;
                TextAt(dc, HAlign::Left, nameX, y, line);
            }
    }
    layout.Warnings = {nameX, warningsTop, nameX + warningsWidth, y + F / 4};

    // The spectrum below, across the left column; its largest harmonics beside it.
    const int chartTop = std::max(layout.Warnings.bottom, parametersBottom) + pitch;
    layout.ChartFrame = {x0, chartTop, rightX - F, B - H / 50};
    const int uprRight = rightX + uprWidth;
    const int amplitudeRight = uprRight + F + amplitudeWidth;
    const int phaseRight = amplitudeRight + F + phaseWidth;
    const int listTitle = chartTop + F;
    dc.SetTextColour(kGrey);
    TextAt(dc, HAlign::Left, rightX, listTitle, "Largest Harmonics");
    TextAt(dc, HAlign::Right, uprRight, listTitle + pitch, "UPR");
    TextAt(dc, HAlign::Right, amplitudeRight, listTitle + pitch, amplitudeHeader);
    TextAt(dc, HAlign::Right, phaseRight, listTitle + pitch, "Phase (deg)");
    dc.SetTextColour(kBlack);
    const std::vector<HarmonicComponent> largest = LargestHarmonics(evaluation, kListedHarmonics);
    for (std::size_t i = 0; i < largest.size(); ++i) {
        const int rowY = listTitle + static_cast<int>(i + 2) * pitch;
        TextAt(dc, HAlign::Right, uprRight, rowY, std::to_string(largest[i].Upr));
        TextAt(dc, HAlign::Right, amplitudeRight, rowY, NumberText(display(largest[i].Amplitude), decimals));
        TextAt(dc, HAlign::Right, phaseRight, rowY, NumberText(Degrees(largest[i].Phase), 2));
    }
    layout.LargestHarmonics = {rightX, listTitle - F, phaseRight,
                               listTitle + static_cast<int>(kListedHarmonics + 1) * pitch + F / 4};

    CHarmonicChart chart;
    chart.Data = HarmonicChartDataOf(evaluation, options.MetricUnits);
    chart.Options = options.Spectrum;
    chart.Draw(dc, layout.ChartFrame);
    layout.Chart = chart.Layout();

    dc.Restore();
    return layout;
}

} // namespace kyklos
