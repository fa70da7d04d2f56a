#include "view/KyklosView.h"

#include "document/ShownResults.h"
#include "platform/NumberText.h"
#include "platform/Units.h"
#include "platform/DataFiles.h"
#include "platform/TextEncoding.h"
#include "view/Footer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace kyklos {

namespace {

constexpr Colour kWindowColour = kWhite;

// Selects the font only long enough to measure its cell height, as the
// layout needs the height the device actually gives.
int MeasureFont(Canvas& dc, const FontSpec& font)
{
    dc.Save();
    const int height = dc.SetFont(font);
    dc.Restore();
    return height;
}

// Characters of a UTF-8 text: every byte that does not continue a sequence.
int CodePointCount(std::string_view text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(),
        [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

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
    const int L = page.left, T = page.top, R = page.right, B = page.bottom;

    // Paper and the clipboard picture keep their own background.
    if (!dc.IsPrinting() && !DrawDirect) {
        dc.Save();
        dc.SetPen({PenStyle::Solid, 0, kWindowColour});
        dc.SetBrush({BrushStyle::Solid, kWindowColour, HatchStyle::Horizontal});
        dc.Rectangle(page);
        dc.Restore();
    }

    // Layout: the graph square on the left, moved down by a quarter of the
    // room below it; title, rule and results keep the upper edge Top0.
    const int W = R - L;
    const int H = B - T;
    const int gL = L + W / 50;
    const int top0 = T + H / 25;
    const int size = std::min(W * 60 / 100, H * 80 / 100);
    const int gR = gL + size;
    int gB = top0 + size;
    int gT = top0;
    const int shift = (B - gB) / 4;
    if (shift > 0) {
        gT = top0 + shift;
        gB = gB + shift;
    }
    GraphSquare = {gL, gT, gR, gB};

    // Fonts are asked for by cell height; a request below one unit (a page
    // too small to read) asks for the smallest font instead of the device default.
    TitleFont = ReportFont(std::max(1, std::min((top0 - T) * 300 / 400, size / 20)));
    TitleFontHeight = MeasureFont(dc, TitleFont);
    HeadingFont = ReportFont(std::max(1, std::min(TitleFontHeight * 25 / 20, (R - gR) / 15)));
    HeadingFontHeight = MeasureFont(dc, HeadingFont);
    ResultFont = ReportFont(std::max(1, std::min(2 * TitleFontHeight, (R - gR) / 13)));
    ResultFontHeight = MeasureFont(dc, ResultFont);

    Graph.DatumRadius = doc.AnalysisValid ? doc.Result.NominalRadius : 10.0;
    if (doc.AnalysisValid && AutoScale) {
        // With the raw trace shown the band must hold the eccentric raw loop too.
        if (ShowRawData)
            Graph.FitScaleToRange(doc.Result.MaxRawRadius * kMicrometresPerMillimetre,
                                  doc.Result.MinRawRadius * kMicrometresPerMillimetre);
        else
            Graph.FitScaleToRange(doc.Result.Peak * kMicrometresPerMillimetre, doc.Result.Valley * kMicrometresPerMillimetre);
    }
    Graph.GraphRect = GraphSquare;
    Graph.DrawGraph(dc);

    dc.Save();
    dc.SetPen({PenStyle::Solid, Graph.RulePenWidth, Graph.GridColour});
    dc.MoveTo(L + W / 100, top0);
    dc.LineTo(R - W / 100, top0);
    dc.Restore();

    FooterRect = {gR + W / 50, B + (T - B) * 40 / 100, R - W / 50, B - H / 50};

    if (doc.AnalysisValid) DrawProfileTraces(dc, doc);

    if (doc.DataLoaded) {
        dc.Save();
        DrawTitleTexts(dc, doc, TitleFont, TitleFontHeight, L, R, top0 - TitleFontHeight / 4);
        dc.Restore();
    }

    if (doc.AnalysisValid) {
        dc.Save();
        dc.SetFont(HeadingFont);
        dc.SetTextColour(kGrey);
        dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
        const int x0 = std::max(gR + TitleFontHeight / 2, (gR + R) / 2 - 8 * ResultFontHeight);
        int y = top0 + 4 * HeadingFontHeight;

        const std::string filterText = FilterHeading(doc.Settings.FilterCutoffUpr);
        dc.TextOut(x0, y, filterText);
        const int underlineY = y + HeadingFontHeight / 3;
        const int underlineWidth = dc.TextExtent(filterText).width;
        dc.Save();
        dc.SetPen({PenStyle::Solid, Graph.RulePenWidth, Graph.GridColour});
        dc.MoveTo(x0, underlineY);
        dc.LineTo(x0 + underlineWidth, underlineY);
        dc.Restore();

        y = y + 3 * HeadingFontHeight / 2;
        dc.TextOut(x0, y, ReferenceLabel(doc.Settings.ReferenceKind));

        dc.SetFont(ResultFont);
        const int F = ResultFontHeight;
        const bool metric = Graph.MetricUnits;
        const std::string unit(LengthUnitSymbol(metric));
        const int decimals = LengthDecimals(metric);
        const int c = metric ? 8 : 9;
        const ShownResults shown = ShowResults(doc.Result);
        const int decimalX = x0 + c * F;
        const int unitX = x0 + 11 * F;
        auto length = [metric](double millimetres) { return ShownLength(millimetres, metric); };

        int baseline = y + 2 * F;
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
        DrawResultRow(dc, x0, decimalX, unitX, baseline, "Concentricity:", true, length(shown.ConcentricityMm),
                      decimals, unit);
        baseline += F;
        DrawResultRow(dc, x0, decimalX, unitX, baseline, "Runout:", true, length(shown.RunoutMm), decimals, unit);
        dc.Restore();
    }

    DrawFooter(dc);
}

void CKyklosView::DrawProfileTraces(Canvas& dc, const CKyklosDoc& doc)
{
    if (!doc.AnalysisValid) return;
    const std::span<const double> raw(doc.Profile.RawRadius);
    const std::span<const double> filtered(doc.Result.FilteredRadius);
    if (filtered.size() != raw.size()) return;
    const int n = static_cast<int>(raw.size());
    const double a = doc.Result.ReferenceA, b = doc.Result.ReferenceB, c = doc.Result.ReferenceC, w = doc.Result.ZoneHalfWidth;
    const bool zone = doc.Settings.ReferenceKind == ReferenceKind::MinimumZone;

    // Each trace gets its own pen; the previous one comes back afterwards.
    auto withPen = [&](Colour colour, int width, auto&& draw) {
        dc.Save();
        dc.SetPen({PenStyle::Solid, width, colour});
        draw();
        dc.Restore();
    };
    const int trace = Graph.TracePenWidth;
    const int halo = Graph.HaloPenWidth;

    if (!doc.Result.FitValid) {
        // Without a reference the filtered profile means nothing: show the raw data alone.
        withPen(kBlack, trace, [&] { Graph.DrawProfile(dc, raw, n); });
        return;
    }

    if (!ShowCenteredProfile) {
        if (ShowRawData) {
            withPen(kLightGrey, trace, [&] { Graph.DrawProfile(dc, raw, n); });
            withPen(kWhite, halo, [&] { Graph.DrawProfile(dc, filtered, n); });
        }
        withPen(kNavy, trace, [&] { Graph.DrawProfile(dc, filtered, n); });
        if (ShowReferenceCircle) {
            withPen(kBlack, trace, [&] {
                if (zone) {
                    Graph.DrawReference(dc, a, b, c - w);
                    Graph.DrawReference(dc, a, b, c + w);
                } else {
                    Graph.DrawReference(dc, a, b, c);
                }
                Graph.DrawCentreMark(dc, a, b);
            });
        }
        return;
    }

    // Centred: the profile as its deviation from the reference, based on the
    // circle the reference touches (inscribed inside, circumscribed outside).
    int base = Graph.ZeroRadius;
    if (doc.Settings.ReferenceKind == ReferenceKind::MaximumInscribed) base = Graph.InnerRadius;
    else if (doc.Settings.ReferenceKind == ReferenceKind::MinimumCircumscribed) base = Graph.OuterRadius;

    if (ShowRawData) {
        withPen(kLightGrey, trace, [&] { Graph.DrawCenteredProfile(dc, raw, n, a, b, c, base); });
        withPen(kWhite, halo, [&] { Graph.DrawCenteredProfile(dc, filtered, n, a, b, c, base); });
    }
    withPen(kNavy, trace, [&] { Graph.DrawCenteredProfile(dc, filtered, n, a, b, c, base); });
    if (ShowReferenceCircle) {
        withPen(kBlack, trace, [&] {
            if (zone) {
                Graph.DrawReference(dc, 0.0, 0.0, c + w);
                Graph.DrawReference(dc, 0.0, 0.0, c - w);
            } else {
                Graph.DrawCircle(dc, base);
            }
        });
    }
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
            while (lastStart > 0 && (static_cast<unsigned char>(text[--lastStart]) & 0xC0) == 0x80) {
            }
            leading = lastStart;
        }
        const int width = leading > 0 ? dc.TextExtent(std::string_view(text).substr(0, leading)).width : 0;
        dc.TextOut(decimalX - width, baselineY, text);
    }

    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
    dc.TextOut(unitX, baselineY, unit);
}

void CKyklosView::DrawFooter(Canvas& dc)
{
    kyklos::DrawFooter(dc, FooterRect, MakerLogo, CollaborationLogo);
}

void DrawTitleTexts(Canvas& dc, const CKyklosDoc& doc, const FontSpec& titleFont, int titleFontHeight, int left,
                    int right, int bottomY)
{
    // The three texts are bytes from the file and its name (Windows-1252 or
    // UTF-8); the canvas draws UTF-8, and a name's length is counted in
    // characters, not bytes.
    const std::string fileTitle = DisplayText(doc.Profile.FileTitle);
    const std::string identification = DisplayText(doc.Profile.Identification);
    const std::string date = DisplayText(doc.Profile.DateText);
    dc.SetFont(titleFont);
    dc.SetTextColour(kBlack);
    if (CodePointCount(fileTitle) >= 2) {
        dc.SetTextAlign({HAlign::Left, VAlign::Bottom});
        dc.TextOut(left + titleFontHeight, bottomY, fileTitle);
        dc.SetTextAlign({HAlign::Centre, VAlign::Bottom});
        dc.TextOut((left + right) / 2, bottomY, identification);
    } else {
        dc.SetTextAlign({HAlign::Left, VAlign::Bottom});
        dc.TextOut(left + titleFontHeight, bottomY, identification);
    }
    dc.SetTextAlign({HAlign::Right, VAlign::Bottom});
    dc.TextOut(right - titleFontHeight, bottomY, date);
}

} // namespace kyklos
