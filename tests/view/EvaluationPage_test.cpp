// The evaluation page on a recording canvas (cell height = requested height,
// characters half a cell wide): the selected reference, failed fits, the
// verdict naming what it judged and its margin, microinches, the largest
// harmonics of the filtered profile, the conditions that let the page stand
// alone, and a layout that stays on the page at screen and printer
// resolutions with the spectrum across its lower part.

#include "document/ShownCertificate.h"
#include "platform/RecordingCanvas.h"
#include "view/EvaluationPage.h"
#include "view/KyklosView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <numbers>

namespace kyklos {
namespace {

using Texts = std::vector<std::string>;
const std::string kDash = "\u2014";

// RONt 3.4, 3.2, 3.6 and 3.5 µm, the minimum zone selected; 60 harmonics of 1 nm; 3600 points at 50 UPR.
RoundnessEvaluation MakeEvaluation()
{
    RoundnessEvaluation e;
    e.Valid = true;
    e.PointCount = 3600;
    e.CutoffUpr = 50;
    e.SelectedReference = ReferenceKind::MinimumZone;
    const double ront[4] = {0.0034, 0.0032, 0.0036, 0.0035};
    for (std::size_t k = 0; k < 4; ++k)
        e.References[k] = {
            true, 0.0, 0.0, 0.0, 0.0025 + 0.0001 * static_cast<double>(k), 30.0 + static_cast<double>(k), ront[k]};
    e.RONp = 0.0018;
    e.RONv = 0.0016;
    e.RONq = 0.0009;
    for (int k = 1; k <= 60; ++k) e.Harmonics.push_back({k, 1e-6, 0.0, 1e-6, 1.0});
    return e;
}

void FailFit(RoundnessEvaluation& e, ReferenceKind kind)
{
    e.References[static_cast<std::size_t>(ReferenceIndex(kind))].FitValid = false;
    e.References[static_cast<std::size_t>(ReferenceIndex(kind))].RONt.reset();
}

class EvaluationPageTest : public ::testing::Test {
protected:
    void Draw(const RoundnessEvaluation& e, bool metric = true)
    {
        dc = RecordingCanvas();
        layout = DrawEvaluationPage(dc, *doc, e, {metric, {}}, {0, 0, 1600, 1000});
    }

    RecordedCall Text(const std::string& text) const
    {
        for (const auto& c : dc.Calls("TextOut"))
            if (c.text == text) return c;
        ADD_FAILURE() << "no text " << text;
        return {};
    }

    // The texts on the baseline of `label`, left to right, up to the next
    // block (the references' rows share their baselines with the parameters).
    std::vector<RecordedCall> Row(const std::string& label) const
    {
        const RecordedCall first = Text(label);
        if (first.args.empty()) return {};
        const int end = first.args[0] < layout.Parameters.left ? layout.Parameters.left : INT_MAX;
        std::vector<RecordedCall> row;
        for (const auto& c : dc.Calls("TextOut"))
            if (c.args[1] == first.args[1] && c.args[0] >= first.args[0] && c.args[0] < end) row.push_back(c);
        std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.args[0] < b.args[0]; });
        return row;
    }

    Texts RowTexts(const std::string& label) const
    {
        Texts texts;
        for (const auto& c : Row(label)) texts.push_back(c.text);
        return texts;
    }

    std::unique_ptr<CKyklosDoc> doc = std::make_unique<CKyklosDoc>();
    RecordingCanvas dc;
    EvaluationPageLayout layout;
};

TEST_F(EvaluationPageTest, TheSelectedReferenceIsMarkedAndAFailedFitShowsDashes)
{
    RoundnessEvaluation e = MakeEvaluation();
    e.SelectedReference = ReferenceKind::MaximumInscribed;
    FailFit(e, ReferenceKind::MinimumZone);
    Draw(e);

    EXPECT_EQ(RowTexts("Least Squares"), (Texts{"Least Squares", "3.400", "2.500", "30.00"}));
    EXPECT_EQ(RowTexts("Minimum Zone"), (Texts{"Minimum Zone", kDash, kDash, kDash}));
    EXPECT_EQ(RowTexts("Maximum Inscribed"), (Texts{"Maximum Inscribed", "3.600", "2.700", "32.00"}));
    for (const char* name : {"Least Squares", "Minimum Zone", "Maximum Inscribed", "Minimum Circumscribed"})
        for (const auto& c : Row(name)) EXPECT_EQ(c.colour, name == std::string("Maximum Inscribed") ? kNavy : kBlack);

    // One navy marker, left of the selected name and within its line.
    const auto markers = dc.Calls("Polygon");
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].colour, kNavy);
    const RecordedCall name = Text("Maximum Inscribed");
    EXPECT_LT(markers[0].args[2], name.args[0]);
    EXPECT_TRUE(markers[0].args[3] < name.args[1] && markers[0].args[3] > name.args[1] - name.font.height);
}

// The certificates in the free row under the references: texts alike
// together, a gap rounded up in the shown unit, and nothing below moved.
TEST_F(EvaluationPageTest, CertificatesInTheRowUnderTheReferences)
{
    RoundnessEvaluation e = MakeEvaluation();
    Draw(e);
    const Rect warningsBefore = layout.Warnings;
    EXPECT_TRUE(layout.CertificateLines.empty());

    const auto certify = [&](ReferenceKind kind, double gapMm) {
        e.References[static_cast<std::size_t>(ReferenceIndex(kind))].Certificate = {CertificateLevel::Exact, 0.0, gapMm,
                                                                                    gapMm <= kOptimalGapMm};
    };
    certify(ReferenceKind::MinimumZone, 0.0);
    certify(ReferenceKind::MaximumInscribed, 1.234e-7);
    certify(ReferenceKind::MinimumCircumscribed, 0.0);
    // Each its own text where that fits the row, else all under the largest bound.
    const std::string own = "MZCI, MCCI: optimal (proved); MICI: optimal within 0.000124 \u00B5m";
    const std::string together = "MZCI, MICI, MCCI: optimal within 0.000124 \u00B5m";
    EXPECT_EQ(CertificateNote(e, true), own);
    EXPECT_EQ(CertificateNote(e, true, true), together);
    EXPECT_EQ(CertificateNote(e, false), "MZCI, MCCI: optimal (proved); MICI: optimal within 0.00486 \u00B5in");
    Draw(e);
    ASSERT_EQ(layout.CertificateLines.size(), 1u);
    const std::string note = layout.CertificateLines[0];
    EXPECT_TRUE(note == own || note == together) << note;
    EXPECT_EQ(Text(note).args[1], Text("Minimum Circumscribed").args[1] + layout.RowPitch);
    EXPECT_EQ(Text(note).colour, kGrey);
    EXPECT_EQ(layout.Warnings, warningsBefore);

    // The words themselves: a gap of 0, a bound rounded up, and nothing where nothing was checked.
    EXPECT_EQ(CertificateText({CertificateLevel::Exact, 0.0, 0.0, true}, true), "optimal (proved)");
    EXPECT_EQ(CertificateText({CertificateLevel::Exact, 0.0, 1e-6, false}, true), "optimal within 0.00100 \u00B5m");
    EXPECT_EQ(CertificateText({CertificateLevel::Exact, 0.0, 2.0001e-10, true}, true),
              "optimal within 2.01e-7 \u00B5m");
    EXPECT_EQ(CertificateText({CertificateLevel::Exact, 0.0, 9.9951e-14, true}, true),
              "optimal within 1.00e-10 \u00B5m");
    EXPECT_EQ(CertificateText(Certificate{}, true), "");
    // A withdrawn reference has no note.
    FailFit(e, ReferenceKind::MaximumInscribed);
    EXPECT_EQ(CertificateNote(e, true), "MZCI, MCCI: optimal (proved)");
}

TEST_F(EvaluationPageTest, VerdictToleranceAndMarginInBothUnits)
{
    // The minimum zone is selected, RONt 3.2 µm; margin t − RONt; no unit
    // after a dash. The verdict names the reference and the tolerance in the
    // unit it was typed in.
    struct Case {
        std::optional<RoundnessTolerance> tolerance_;
        ToleranceVerdict verdict;
        bool fitValid, metric;
        Texts tolerance, verdict_, margin;
    };
    const std::string pass = "RONt MZCI \u2264 5.000 \u00B5m: Pass";
    const Case cases[] = {
        {RoundnessTolerance{5.0, true},
         ToleranceVerdict::Pass,
         true,
         true,
         {"5.000", "\u00B5m"},
         {pass},
         {"1.800", "\u00B5m"}},
        {RoundnessTolerance{3.0, true},
         ToleranceVerdict::Fail,
         true,
         true,
         {"3.000", "\u00B5m"},
         {"RONt MZCI > 3.000 \u00B5m: Fail"},
         {"-0.200", "\u00B5m"}},
        {RoundnessTolerance{5.0, true},
         ToleranceVerdict::Pass,
         true,
         false,
         {"196.85", "\u00B5in"},
         {pass},
         {"70.87", "\u00B5in"}},
        // Typed in microinches and shown so: the value as typed, not converted there and back.
        {RoundnessTolerance{196.85, false},
         ToleranceVerdict::Pass,
         true,
         false,
         {"196.85", "\u00B5in"},
         {"RONt MZCI \u2264 196.85 \u00B5in: Pass"},
         {"70.87", "\u00B5in"}},
        // Typed with a fourth decimal: RONt carries it too.
        {RoundnessTolerance{3.2001, true},
         ToleranceVerdict::Pass,
         true,
         true,
         {"3.2001", "\u00B5m"},
         {"RONt MZCI \u2264 3.2001 \u00B5m: Pass"},
         {"0.0001", "\u00B5m"}},
        {std::nullopt, ToleranceVerdict::None, true, true, {kDash}, {kDash}, {kDash}},
        {RoundnessTolerance{5.0, true}, ToleranceVerdict::None, false, true, {"5.000", "\u00B5m"}, {kDash}, {kDash}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tolerance[0] + " " + c.verdict_[0]);
        RoundnessEvaluation e = MakeEvaluation();
        if (!c.fitValid) FailFit(e, ReferenceKind::MinimumZone);
        JudgeTolerance(e, c.tolerance_);
        EXPECT_EQ(e.Verdict, c.verdict);
        Draw(e, c.metric);
        auto values = [&](const char* label) {
            Texts row = RowTexts(label);
            return Texts(row.begin() + 1, row.end());
        };
        EXPECT_EQ(values("Tolerance:"), c.tolerance);
        EXPECT_EQ(values("Verdict:"), c.verdict_);
        EXPECT_EQ(values("Margin:"), c.margin);
        // Green and red on paper as in the panel.
        const Colour verdictColour = c.verdict == ToleranceVerdict::Pass   ? Colour{0, 128, 0}
                                     : c.verdict == ToleranceVerdict::Fail ? Colour{192, 0, 0}
                                                                           : kBlack;
        if (c.verdict != ToleranceVerdict::None) {
            EXPECT_EQ(Text(c.verdict_[0]).colour, verdictColour);
        }
        if (c.tolerance_ && c.tolerance_->Value == 3.2001 && c.fitValid) {
            EXPECT_EQ(RowTexts("Minimum Zone")[1], "3.2000");
        }
    }

    // Microinches in the table, the parameters and the headers too.
    Draw(MakeEvaluation(), false);
    EXPECT_EQ(RowTexts("Minimum Zone"), (Texts{"Minimum Zone", "125.98", "102.36", "31.00"}));
    EXPECT_EQ(RowTexts("RONp:"), (Texts{"RONp:", "70.87", "\u00B5in"}));
    EXPECT_EQ(Text("Filtered (\u00B5in)").colour, kGrey);
}

TEST_F(EvaluationPageTest, TheFiveLargestHarmonicsLeaveOutEccentricityAndRoundingNoise)
{
    RoundnessEvaluation e = MakeEvaluation();
    // UPR 1 is the largest but eccentricity; UPR 30 is the sixth.
    for (const auto& [k, a] :
         {std::pair{1, 0.010}, {7, 0.004}, {3, 0.003}, {22, 0.0025}, {9, 0.002}, {15, 0.0015}, {30, 0.0014}})
        e.Harmonics[static_cast<std::size_t>(k - 1)].Amplitude =
            e.Harmonics[static_cast<std::size_t>(k - 1)].FilteredAmplitude = a;
    e.Harmonics[6].Amplitude = 0.008; // the filter took half of it
    e.Harmonics[6].FirstPeakAngle = std::numbers::pi / 4;
    e.Harmonics[2].FirstPeakAngle = std::numbers::pi / 3;
    auto uprs = [&] {
        std::vector<int> upr;
        for (const auto& h : LargestHarmonics(e, 5)) upr.push_back(h.Upr);
        return upr;
    };
    EXPECT_EQ(uprs(), (std::vector<int>{7, 3, 22, 9, 15}));

    // On the page: UPR, ½ peak-to-valley filtered and raw (µm), first peak (degrees), the largest first.
    Draw(e);
    Texts listed;
    for (const auto& c : dc.Calls("TextOut"))
        if (layout.LargestHarmonics.Contains({c.args[0] - 1, c.args[1]}) && c.colour == kBlack)
            listed.push_back(c.text);
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(Texts(listed.begin(), listed.begin() + 8),
              (Texts{"7", "4.000", "8.000", "45.00", "3", "3.000", "3.000", "60.00"}));
    EXPECT_EQ(listed[16], "15");
    EXPECT_EQ(Text("Largest Harmonics (\u00BD Peak-to-Valley)").colour, kGrey);
    EXPECT_EQ(Text("First peak (deg)").colour, kGrey);

    // What the transform leaves of absent harmonics (below 1 pm) is not listed.
    for (auto& h : e.Harmonics) h.Amplitude = h.FilteredAmplitude = h.Upr == 4 || h.Upr == 11 ? 0.001 : 3e-16;
    EXPECT_EQ(uprs(), (std::vector<int>{4, 11}));
}

TEST_F(EvaluationPageTest, LayoutStaysOnThePageAndFollowsThePageNotTheResolution)
{
    RoundnessEvaluation e = MakeEvaluation();
    e.Warnings = {"The profile has 200 points; the filter needs at least 7 \u00D7 150 = 1050 points for a 150 UPR "
                  "cutoff.",
                  "The filter's weights summed to 1.5978 instead of 1 and were scaled to unit gain to keep the mean "
                  "radius."};
    // A window; an A4 landscape and a letter portrait sheet; the window's size at 600 dpi.
    const std::pair<Rect, int> sheets[] = {{{0, 0, 1200, 750}, 96},
                                           {EvaluationPageRect({0, 0, 7016, 4961}), 600},
                                           {EvaluationPageRect({0, 0, 5100, 6600}), 600},
                                           {{0, 0, 1200, 750}, 600}};
    std::vector<EvaluationPageLayout> layouts;
    for (const auto& [page, dpi] : sheets) {
        SCOPED_TRACE(page.right);
        RecordingCanvas canvas(dpi, dpi, dpi == 600);
        const EvaluationPageLayout l = DrawEvaluationPage(canvas, *doc, e, {}, page);
        layouts.push_back(l);
        for (const auto& c : canvas.Calls("TextOut")) {
            // As the recording canvas measures: half a cell per character.
            const auto characters =
                std::count_if(c.text.begin(), c.text.end(), [](unsigned char b) { return (b & 0xC0) != 0x80; });
            const int width = static_cast<int>(characters) * c.font.height / 2;
            const int left = c.align.h == HAlign::Left    ? c.args[0]
                             : c.align.h == HAlign::Right ? c.args[0] - width
                                                          : c.args[0] - width / 2;
            EXPECT_TRUE(left >= page.left && left + width <= page.right) << c.text;
            EXPECT_TRUE(c.args[1] >= page.top && c.args[1] <= page.bottom) << c.text;
        }
        // Two columns of tables; the spectrum below the left one and beside the
        // right one or across the page below both, given a third of it and more.
        EXPECT_GE(l.ChartFrame.top, std::max({l.ReferenceTable.bottom, l.Conditions.bottom, l.Warnings.bottom}));
        EXPECT_TRUE(l.ChartFrame.right <= l.Parameters.left ||
                    l.ChartFrame.top >= std::max(l.Parameters.bottom, l.LargestHarmonics.bottom));
        EXPECT_LE(std::max(l.ReferenceTable.right, l.Warnings.right), l.Parameters.left);
        // The conditions beside the heading, under the title's rule.
        EXPECT_GT(l.Conditions.top, l.Top0);
        EXPECT_LE(l.Conditions.bottom, l.ReferenceTable.top);
        EXPECT_GE(l.Conditions.left, l.HeadingUnderlineRight);
        EXPECT_LE(l.Conditions.right, page.right);
        EXPECT_GE(l.LargestHarmonics.top, l.Parameters.bottom);
        EXPECT_LE(std::max(l.Parameters.right, l.LargestHarmonics.right), page.right);
        EXPECT_LE(l.ChartFrame.bottom, page.bottom);
        EXPECT_GT(l.ChartFrame.Width(), page.Width() / 2);
        EXPECT_GT(l.ChartFrame.Height(), page.Height() / 3);
    }
    // On a sheet taller than wide the page takes the whole sheet and the spectrum its lower half.
    const Rect portrait = EvaluationPageRect({0, 0, 5100, 6600});
    EXPECT_EQ(portrait, (Rect{255, 255, 4845, 6345}));
    EXPECT_LE(layouts[2].ChartFrame.top, (portrait.top + portrait.bottom) / 2);
    EXPECT_GE(layouts[2].ChartFrame.top, layouts[2].LargestHarmonics.bottom);
    EXPECT_GT(layouts[2].ChartFrame.Width(), portrait.Width() * 9 / 10);
    EXPECT_EQ(EvaluationPageRect({0, 0, 7016, 4961}), CKyklosView::PrinterPageRect({0, 0, 7016, 4961}));
    // The same rectangle at 96 and at 600 dpi is laid out alike.
    EXPECT_EQ(layouts[3].TableFontHeight, layouts[0].TableFontHeight);
    EXPECT_EQ(layouts[3].Parameters, layouts[0].Parameters);
    EXPECT_EQ(layouts[3].ChartFrame, layouts[0].ChartFrame);
    EXPECT_EQ(layouts[3].Chart.Plot, layouts[0].Chart.Plot);
}

TEST_F(EvaluationPageTest, WithoutAnAnalysedProfileOnlyTheTitleLineAndHeading)
{
    doc->Profile.DateText = "Mon Jan 05 10:00:00 2026";
    Draw(RoundnessEvaluation{});
    Texts texts;
    for (const auto& c : dc.Calls("TextOut")) texts.push_back(c.text);
    EXPECT_EQ(texts, (Texts{"Kyklos generated data", "Mon Jan 05 10:00:00 2026", "Evaluation"}));

    // A page too small to read draws without harm and leaves the canvas as it found it.
    for (const Rect page : {Rect{0, 0, 16, 16}, Rect{0, 0, 0, 0}, Rect{50, 50, 10, 10}}) {
        RecordingCanvas small;
        DrawEvaluationPage(small, *doc, MakeEvaluation(), {}, page);
        EXPECT_EQ(small.SaveDepth(), 0);
    }
}

TEST_F(EvaluationPageTest, LaidOutWithoutDrawingAndMovedWithThePage)
{
    RoundnessEvaluation e = MakeEvaluation();
    const std::string warning = "The filter's weights summed to 1.5978 instead of 1 and were scaled to unit gain to "
                                "keep the mean radius of the profile.";
    e.Warnings = {warning};
    const Rect page{0, 0, 1600, 1000};
    RecordingCanvas measuring;
    const EvaluationPageLayout a = LayoutEvaluationPage(measuring, std::nullopt, e, {}, page);
    for (const auto& call : measuring.calls)
        EXPECT_TRUE(call.op == "Save" || call.op == "Restore" || call.op == "SetFont" || call.op == "TextExtent")
            << call.op;
    EXPECT_EQ(measuring.SaveDepth(), 0);

    // The warning wrapped to the left column loses no word; the box holds its lines.
    ASSERT_GE(a.WarningLines.size(), 2u);
    std::string joined;
    for (const auto& line : a.WarningLines) joined += (joined.empty() ? "" : " ") + line;
    EXPECT_EQ(joined, warning);
    const int F = a.TableFontHeight;
    EXPECT_EQ(a.Warnings.bottom, a.Warnings.top + F + static_cast<int>(a.WarningLines.size()) * a.RowPitch + F / 4);

    const int dx = 57, dy = 23;
    auto moved = [&](Rect r) { return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; };
    RecordingCanvas elsewhere;
    const EvaluationPageLayout b = LayoutEvaluationPage(elsewhere, std::nullopt, e, {}, moved(page));
    EXPECT_EQ(b.TitleBand.Top0, a.TitleBand.Top0 + dy);
    EXPECT_EQ(b.HeadingBaseline, a.HeadingBaseline + dy);
    EXPECT_EQ(b.HeadingUnderlineRight, a.HeadingUnderlineRight + dx);
    EXPECT_EQ(b.ReferenceTable, moved(a.ReferenceTable));
    EXPECT_EQ(b.Parameters, moved(a.Parameters));
    EXPECT_EQ(b.Warnings, moved(a.Warnings));
    EXPECT_EQ(b.Conditions, moved(a.Conditions));
    EXPECT_EQ(b.LargestHarmonics, moved(a.LargestHarmonics));
    EXPECT_EQ(b.ChartFrame, moved(a.ChartFrame));
    EXPECT_EQ(b.Chart.Plot, moved(a.Chart.Plot));
    EXPECT_EQ(b.WarningLines, a.WarningLines);
    for (const auto& [x, x0] : {std::pair{b.NameX, a.NameX},
                                {b.RontRight, a.RontRight},
                                {b.EccentricityRight, a.EccentricityRight},
                                {b.AngleRight, a.AngleRight},
                                {b.ValueRight, a.ValueRight},
                                {b.UnitX, a.UnitX},
                                {b.VerdictX, a.VerdictX},
                                {b.UprRight, a.UprRight},
                                {b.FilteredRight, a.FilteredRight},
                                {b.RawRight, a.RawRight},
                                {b.FirstPeakRight, a.FirstPeakRight}})
        EXPECT_EQ(x, x0 + dx);
}

TEST_F(EvaluationPageTest, ThePageNamesWhatItWasEvaluatedUnder)
{
    RoundnessEvaluation e = MakeEvaluation();
    e.SelectedReference = ReferenceKind::MaximumInscribed;
    Draw(e);
    // Filter and cutoff, points, reference, the tolerance rule, the angle convention.
    std::string joined;
    for (const auto& line : layout.ConditionLines) joined += (joined.empty() ? "" : " ") + line;
    EXPECT_EQ(joined, "Gaussian (50%) filter, 50 UPR cutoff, 3600 points. Reference: Maximum Inscribed Circle. "
                      "Tolerance t: RONt \u2264 t passes. Angles are counter-clockwise from sample 0.");
    ASSERT_EQ(layout.ConditionLines.size(), 2u);
    EXPECT_EQ(Text(layout.ConditionLines[1]).args[1], layout.HeadingBaseline);
    // In a face too wide for them beside the heading: wrapped under the references.
    struct WideCanvas : RecordingCanvas {
        Size TextExtent(std::string_view text) override
        {
            const Size natural = RecordingCanvas::TextExtent(text);
            return {natural.width * 3 / 2, natural.height};
        }
    } wide;
    const EvaluationPageLayout narrow = LayoutEvaluationPage(wide, std::nullopt, e, {}, {0, 0, 1600, 1000});
    EXPECT_GT(narrow.ConditionLines.size(), 2u);
    EXPECT_GE(narrow.Conditions.top, narrow.ReferenceTable.bottom);
    EXPECT_EQ(narrow.Conditions.left, narrow.NameX);
    EXPECT_GE(narrow.Warnings.top, narrow.Conditions.bottom);
    // The spectrum marks the cutoff.
    ASSERT_TRUE(layout.Chart.CutoffX);
    EXPECT_EQ(layout.Chart.CutoffUpr, 50);
}

TEST_F(EvaluationPageTest, NotesBeyondTheDefaultALineEach)
{
    RoundnessEvaluation e = MakeEvaluation();
    // A full turn at equal steps leaves one step as its largest gap: nothing to note.
    e.SamplesUsed = 3600;
    e.LargestGapDeg = 0.1;
    e.CoverageDeg = 359.9;
    EXPECT_TRUE(EvaluationNotes(e).empty());

    e.Filter = e.FilterApplied = {FilterKind::Band, 50, 15, 150};
    e.SpikesRemoved = 3;
    e.SamplesUsed = 3296;
    e.SamplesExcluded = 304;
    e.LargestGapDeg = 30.2;
    e.CoverageDeg = 329.8;
    EXPECT_EQ(EvaluationNotes(e),
              (Texts{"Band 15\u2013150 UPR", "Spikes removed: 3", "Samples used: 3296 of 3600, 304 excluded",
                     "Coverage: 329.8\u00B0, largest gap 30.2\u00B0"}));
    // Too sparse for the filter asked for: what was applied, and instead of what.
    e.Filter = {FilterKind::Gaussian, 500, 15, 150};
    e.FilterApplied = {FilterKind::None, 500, 15, 150};
    EXPECT_EQ(EvaluationNotes(e).front(), "No Filtering instead of Gaussian (50%) Filtering:  500 UPR");
    // On the page the first condition no longer names a Gaussian filter, and the notes follow it.
    Draw(e);
    ASSERT_GE(layout.ConditionLines.size(), 3u);
    std::string joined;
    for (const auto& line : layout.ConditionLines) joined += line + " ";
    EXPECT_EQ(joined.find("Gaussian (50%) filter"), std::string::npos);
    EXPECT_NE(joined.find("3600 points. Reference: Minimum Zone Center. No Filtering instead of"), std::string::npos);
    EXPECT_GE(layout.Conditions.top, layout.ReferenceTable.bottom);
}

TEST(EvaluationPageRange, ShowsThreeTimesTheCutoff)
{
    const std::pair<int, HarmonicRange> cases[] = {{16, HarmonicRange::Upr50},   {17, HarmonicRange::Upr150},
                                                   {50, HarmonicRange::Upr150},  {51, HarmonicRange::Upr500},
                                                   {166, HarmonicRange::Upr500}, {167, HarmonicRange::All}};
    for (const auto& [cutoff, range] : cases) EXPECT_EQ(HarmonicRangeForCutoff(cutoff), range) << cutoff;
}

} // namespace
} // namespace kyklos

namespace kyklos {
namespace {

// With a simulated uncertainty: U and the decision under the margin, the
// harmonics two rows lower; without one (or for another evaluation than the
// document's) the page as before.
TEST_F(EvaluationPageTest, UncertaintyAddsUAndTheDecisionUnderTheMargin)
{
    RoundnessEvaluation e = MakeEvaluation();
    e.Tolerance = RoundnessTolerance{3.5, true};
    Draw(e);
    const int titleBefore = layout.HarmonicsTitleBaseline;
    for (const auto& c : dc.Calls("TextOut")) EXPECT_NE(c.text, "Decision:");

    UncertaintyResult u;
    u.ExpandedUncertainty = 0.00045; // 0.450 µm: 3.2 + 0.45 > 3.5 ≥ 3.2 − 0.45
    u.Decision = ConformityDecision::Undecided;
    doc->Uncertainty = u;
    Draw(e); // not the document's evaluation
    EXPECT_EQ(layout.HarmonicsTitleBaseline, titleBefore);

    dc = RecordingCanvas();
    layout = DrawEvaluationPage(dc, *doc, e, {true, {}, &u}, {0, 0, 1600, 1000});
    EXPECT_EQ(RowTexts("U (k = 2):"), (Texts{"U (k = 2):", "0.450", "\u00B5m"}));
    EXPECT_EQ(RowTexts("Decision:"), (Texts{"Decision:", "Undecided"}));
    EXPECT_EQ(Text("U (k = 2):").args[1] - Text("Margin:").args[1], layout.RowPitch);
    EXPECT_EQ(layout.HarmonicsTitleBaseline, titleBefore + 2 * layout.RowPitch);
    EXPECT_GE(layout.Parameters.bottom, Text("Decision:").args[1]);
    EXPECT_LT(layout.Parameters.bottom, layout.LargestHarmonics.top);

    u.Decision = ConformityDecision::DoesNotConform;
    dc = RecordingCanvas();
    layout = DrawEvaluationPage(dc, *doc, e, {false, {}, &u}, {0, 0, 1600, 1000});
    EXPECT_EQ(RowTexts("U (k = 2):"), (Texts{"U (k = 2):", "17.72", "\u00B5in"}));
    EXPECT_EQ(Text("Does not conform").colour, (Colour{192, 0, 0}));
}

} // namespace
} // namespace kyklos
