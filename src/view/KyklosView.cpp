#include "view/KyklosView.h"

#include "document/ShownResults.h"
#include "platform/DataFiles.h"
#include "platform/NumberText.h"
#include "platform/Units.h"
#include "view/Footer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kyklos {

namespace {

constexpr Colour kWindowColour = kWhite;

} // namespace

CKyklosView::CKyklosView(const std::string& logoDirectory)
{
    // Without a folder of its own, a logo is the data file the programs find
    // (the current folder first, then the installed data folder).
    const auto logo = [&logoDirectory](const char* name) {
        return logoDirectory.empty() ? FindDataFile(name) : (std::filesystem::path(logoDirectory) / name).string();
    };
    MakerLogo.Load(logo("VarnLogo.WMF"));
    CollaborationLogo.Load(logo("Logo.WMF"));
}

Rect CKyklosView::PrinterPageRect(const Rect& printable)
{
    const int w = printable.right - printable.left;
    Rect page;
    page.left = printable.left + w / 20;
    page.top = printable.top + w / 20;
    page.right = printable.right - w / 20;
    // A sheet taller than wide gets the report in its upper half.
    page.bottom = printable.bottom > page.right ? printable.bottom / 2 : printable.bottom - w / 20;
    return page;
}

void CKyklosView::OnDraw(Canvas& dc, const CKyklosDoc& doc, const Rect& clientRect)
{
    const Rect page = dc.IsPrinting() ? PrinterPageRect(PrintPageRect) : clientRect;

    // Paper and the clipboard picture keep their own background.
    if (!dc.IsPrinting() && !DrawDirect) {
        dc.Save();
        dc.SetPen({PenStyle::Solid, 0, kWindowColour});
        dc.SetBrush({BrushStyle::Solid, kWindowColour, HatchStyle::Horizontal});
        dc.Rectangle(page);
        dc.Restore();
    }

    std::optional<TitleTexts> titleTexts;
    if (doc.DataLoaded)
        titleTexts = TitleTexts{doc.Profile.FileTitle, doc.Profile.Identification, doc.Profile.DateText};
    const ReportPageLayout layout = LayoutReportPage(dc, page, Graph.MetricUnits, titleTexts);
    GraphSquare = layout.GraphSquare;
    TitleFont = layout.TitleBand.Font;
    TitleFontHeight = layout.TitleBand.FontHeight;
    HeadingFont = layout.HeadingFont;
    HeadingFontHeight = layout.HeadingFontHeight;
    ResultFont = layout.ResultFont;
    ResultFontHeight = layout.ResultFontHeight;
    FooterRect = layout.FooterRect;

    Graph.DatumRadius = doc.AnalysisValid ? doc.Result.NominalRadius : 10.0;
    if (doc.AnalysisValid && AutoScale) {
        // With the raw trace shown the band must hold the eccentric raw loop too.
        if (ShowRawData)
            Graph.FitScaleToRange(doc.Result.MaxRawRadius * kMicrometresPerMillimetre,
                                  doc.Result.MinRawRadius * kMicrometresPerMillimetre);
        else
            Graph.FitScaleToRange(doc.Result.Peak * kMicrometresPerMillimetre,
                                  doc.Result.Valley * kMicrometresPerMillimetre);
    }
    Graph.GraphRect = GraphSquare;
    // Under the grid and the traces, so both stay visible on the shade.
    if (doc.AnalysisValid && !doc.Settings.ExcludedSectors.empty()) {
        Graph.ComputeLayout(dc);
        DrawExcludedSectors(dc, doc);
    }
    Graph.DrawGraph(dc);

    // Above the graph's clip, so the traces drawn after it never touch the band.
    PaintTitleBand(dc, layout.TitleBand, {PenStyle::Solid, Graph.RulePenWidth, Graph.GridColour});

    if (doc.AnalysisValid) DrawProfileTraces(dc, doc);
    if (doc.AnalysisValid) DrawResults(dc, doc, layout);

    DrawFooter(dc);
}

void CKyklosView::DrawResults(Canvas& dc, const CKyklosDoc& doc, const ReportPageLayout& layout)
{
    const int x0 = layout.ResultsLeft;
    dc.Save();
    dc.SetFont(layout.HeadingFont);
    dc.SetTextColour(kGrey);
    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});

    const std::string filterText = FilterHeading(doc.AnalysisValid ? doc.Result.FilterApplied : doc.Settings.Filter());
    dc.TextOut(x0, layout.FilterHeadingBaseline, filterText);
    const int underlineWidth = dc.TextExtent(filterText).width;
    dc.Save();
    dc.SetPen({PenStyle::Solid, Graph.RulePenWidth, Graph.GridColour});
    dc.MoveTo(x0, layout.FilterUnderlineY);
    dc.LineTo(x0 + underlineWidth, layout.FilterUnderlineY);
    dc.Restore();

    dc.TextOut(x0, layout.ReferenceBaseline, ReferenceLabel(doc.Settings.ReferenceKind));

    dc.SetFont(layout.ResultFont);
    const int F = layout.ResultFontHeight;
    const bool metric = Graph.MetricUnits;
    const std::string unit(LengthUnitSymbol(metric));
    const int decimals = LengthDecimals(metric);
    const ShownResults shown = ShowResults(doc.Result);
    const int decimalX = layout.DecimalX;
    const int unitX = layout.UnitX;
    auto length = [metric](double millimetres) { return ShownLength(millimetres, metric); };

    int baseline = layout.FirstResultBaseline;
    dc.SetTextColour(kNavy);
    DrawResultRow(dc, x0, decimalX, unitX, baseline, "Roundness:", true, length(shown.RoundnessMm), decimals, unit);
    baseline += F;
    dc.SetTextColour(kBlack);
    DrawResultRow(dc, x0, decimalX, unitX, baseline, "Eccentricity:", true, length(shown.EccentricityMm), decimals,
                  unit);
    baseline += F;
    DrawResultRow(dc, x0, decimalX, unitX, baseline, "Ecc. Angle:", shown.EccentricityAngleDeg.has_value(),
                  shown.EccentricityAngleDeg.value_or(0.0), 2, "deg");
    baseline += F;
    DrawResultRow(dc, x0, decimalX, unitX, baseline, "Concentricity:", true, length(shown.ConcentricityMm), decimals,
                  unit);
    baseline += F;
    DrawResultRow(dc, x0, decimalX, unitX, baseline, "Runout:", true, length(shown.RunoutMm), decimals, unit);
    dc.Restore();
}

namespace {

// A profile whose samples are not one closed loop at equal steps: each trace
// as its polylines, the samples at their own angles.
struct TracesApart {
    std::span<const double> Angles;  // empty: equal steps over a full turn
    std::vector<TracePath> Every;    // the raw profile: every sample, broken only at angular gaps
    std::vector<TracePath> Used;     // the filtered profile: the used samples, across removed spikes
    std::vector<TracePath> Excluded; // the samples of excluded sectors, with a neighbour on each side
    std::span<const int> Spikes;     // removed spikes, drawn as crosses
};

std::optional<TracesApart> TracesApartOf(const CKyklosDoc& doc)
{
    const Profile& profile = doc.Profile;
    const AnalysisResult& result = doc.Result;
    const std::size_t n = profile.RawRadius.size();
    const bool marked = result.Samples.Count() == static_cast<int>(n);
    const bool someUnused = marked && result.Samples.UsedCount() < static_cast<int>(n);
    const bool ownAngles = !profile.EqualSteps && profile.SampleAngle.size() == n;
    if (!ownAngles && !someUnused && result.RemovedSpikes.empty()) return std::nullopt;

    TracesApart traces;
    if (ownAngles) traces.Angles = profile.SampleAngle;
    traces.Spikes = result.RemovedSpikes;
    const std::vector<bool> gaps = AngularGaps(traces.Angles);
    std::vector<bool> spike(n, false);
    for (const int i : result.RemovedSpikes)
        if (i >= 0 && static_cast<std::size_t>(i) < n) spike[static_cast<std::size_t>(i)] = true;
    const auto used = [&](std::size_t i) { return !marked || result.Samples.IsUsed(static_cast<int>(i)); };
    // Left out by a sector, not as a spike.
    const auto sector = [&](std::size_t i) { return !used(i) && !spike[i]; };

    std::vector<TraceSample> states(n, TraceSample::Drawn);
    traces.Every = SplitTrace(states, gaps);
    for (std::size_t i = 0; i < n; ++i)
        states[i] = used(i) ? TraceSample::Drawn : spike[i] ? TraceSample::Bridged : TraceSample::Break;
    traces.Used = SplitTrace(states, gaps);
    for (std::size_t i = 0; i < n; ++i) {
        const bool besideSector = n > 1 && (sector((i + 1) % n) || sector((i + n - 1) % n));
        states[i] = sector(i) || (used(i) && besideSector) ? TraceSample::Drawn : TraceSample::Break;
    }
    traces.Excluded = SplitTrace(states, gaps);
    return traces;
}

} // namespace

void CKyklosView::DrawExcludedSectors(Canvas& dc, const CKyklosDoc& doc)
{
    for (const ExcludedSector& sector : doc.Settings.ExcludedSectors)
        Graph.FillSector(dc, sector.FromDeg * (Graph.Pi / 180.0), sector.ToDeg * (Graph.Pi / 180.0),
                         kExcludedSectorShade);
}

void CKyklosView::DrawProfileTraces(Canvas& dc, const CKyklosDoc& doc)
{
    if (!doc.AnalysisValid) return;
    const std::span<const double> raw(doc.Profile.RawRadius);
    const std::span<const double> filtered(doc.Result.FilteredRadius);
    if (filtered.size() != raw.size()) return;
    const int n = static_cast<int>(raw.size());
    const double a = doc.Result.ReferenceA, b = doc.Result.ReferenceB, c = doc.Result.ReferenceC,
                 w = doc.Result.ZoneHalfWidth;
    const bool zone = doc.Settings.ReferenceKind == ReferenceKind::MinimumZone;
    const std::optional<TracesApart> apart = TracesApartOf(doc);

    // Each trace gets its own pen; the previous one comes back afterwards.
    auto withPen = [&](Colour colour, int width, auto&& draw) {
        dc.Save();
        dc.SetPen({PenStyle::Solid, width, colour});
        draw();
        dc.Restore();
    };
    const int trace = Graph.TracePenWidth;
    const int halo = Graph.HaloPenWidth;

    // Centred: the profile as its deviation from the reference, based on the
    // circle the reference touches (inscribed inside, circumscribed outside).
    int base = Graph.ZeroRadius;
    if (doc.Settings.ReferenceKind == ReferenceKind::MaximumInscribed)
        base = Graph.InnerRadius;
    else if (doc.Settings.ReferenceKind == ReferenceKind::MinimumCircumscribed)
        base = Graph.OuterRadius;
    // Without a reference the filtered profile means nothing: the raw data alone, about the datum.
    const bool centred = doc.Result.FitValid && ShowCenteredProfile;
    const TraceFrame frame{centred, a, b, c, base};

    // One trace: a closed loop at equal steps as ever, or the given paths.
    const auto profile = [&](std::span<const double> radii, const std::vector<TracePath>& paths) {
        if (apart)
            Graph.DrawProfilePaths(dc, radii, apart->Angles, paths, frame);
        else if (centred)
            Graph.DrawCenteredProfile(dc, radii, n, a, b, c, base);
        else
            Graph.DrawProfile(dc, radii, n);
    };
    const std::vector<TracePath> none;
    // Excluded samples are drawn as raw data only, in its grey; removed spikes as crosses.
    const auto leftOut = [&](bool rawShown) {
        if (!apart) return;
        if (!rawShown) withPen(kLightGrey, trace, [&] { profile(raw, apart->Excluded); });
        withPen(kLightGrey, trace, [&] { Graph.DrawSampleCrosses(dc, raw, apart->Angles, apart->Spikes, frame); });
    };

    if (!doc.Result.FitValid) {
        withPen(kBlack, trace, [&] { profile(raw, apart ? apart->Used : none); });
        leftOut(false);
        return;
    }

    if (ShowRawData) {
        withPen(kLightGrey, trace, [&] { profile(raw, apart ? apart->Every : none); });
        withPen(kWhite, halo, [&] { profile(filtered, apart ? apart->Used : none); });
    }
    leftOut(ShowRawData);
    withPen(kNavy, trace, [&] { profile(filtered, apart ? apart->Used : none); });
    if (!ShowReferenceCircle) return;
    withPen(kBlack, trace, [&] {
        if (!centred) {
            if (zone) {
                Graph.DrawReference(dc, a, b, c - w);
                Graph.DrawReference(dc, a, b, c + w);
            } else {
                Graph.DrawReference(dc, a, b, c);
            }
            Graph.DrawCentreMark(dc, a, b);
        } else if (zone) {
            Graph.DrawReference(dc, 0.0, 0.0, c + w);
            Graph.DrawReference(dc, 0.0, 0.0, c - w);
        } else {
            Graph.DrawCircle(dc, base);
        }
    });
}

void CKyklosView::DrawResultRow(Canvas& dc, int labelX, int decimalX, int unitX, int baselineY,
                                const std::string& label, bool showValue, double value, int decimals,
                                const std::string& unit)
{
    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
    dc.TextOut(labelX, baselineY, label);

    if (showValue) {
        // The number must fit the row's 80-character field (79 characters and
        // the terminator). A value that is not finite, or so large that it
        // would not fit, is shown as a dash: a result that cannot be trusted
        // must not look like a number.
        const std::string text = FixedNumberOrDash(value, decimals, 79);

        // The integer part, minus sign included, ends at the decimal column.
        const std::size_t point = text.find('.');
        std::size_t leading;
        if (point != std::string::npos) {
            leading = point;
        } else {
            // No decimal point: every character but the last lies left of the column.
            std::size_t lastStart = text.size();
            while (lastStart > 0 && (static_cast<unsigned char>(text[--lastStart]) & 0xC0) == 0x80) {}
            leading = lastStart;
        }
        const int width = leading > 0 ? dc.TextExtent(std::string_view(text).substr(0, leading)).width : 0;
        dc.TextOut(decimalX - width, baselineY, text);
    }

    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
    dc.TextOut(unitX, baselineY, unit);
}

void CKyklosView::DrawFooter(Canvas& dc) { kyklos::DrawFooter(dc, FooterRect, MakerLogo, CollaborationLogo); }

} // namespace kyklos
