// The report page on a recording canvas (cell height = requested height,
// characters half a cell wide): page rectangle, layout, font requests, title
// line, results block and automatic scale.

#include "document/KyklosDoc.h"
#include "document/ShownResults.h"
#include "platform/RecordingCanvas.h"
#include "view/KyklosView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace kyklos {
namespace {

// A document holding a profile with chosen results; the analysis is not run.
std::unique_ptr<CKyklosDoc> MakeDocument()
{
    auto doc = std::make_unique<CKyklosDoc>();
    doc->Profile = EqualStepProfile(std::vector<double>(360, 10.0));
    doc->Result.FilteredRadius.assign(360, 10.0);
    doc->DataLoaded = true;
    doc->AnalysisValid = true;
    doc->Result.FitValid = true;
    doc->Profile.FileTitle.clear();
    doc->Profile.Identification = "Kyklos generated data";
    doc->Profile.DateText = "Mon Jan 05 10:00:00 2026";
    doc->Settings.ReferenceKind = ReferenceKind::LeastSquares;
    doc->Settings.FilterCutoffUpr = 50;
    doc->Result.NominalRadius = 10.0;
    doc->Result.ReferenceA = doc->Result.ReferenceB = 0.0;
    doc->Result.ReferenceC = 10.0;
    doc->Result.MinRawRadius = 9.994;
    doc->Result.MaxRawRadius = 10.006; // 12 µm of raw range
    doc->Result.Peak = 0.0016;
    doc->Result.Valley = -0.0016; // 3.2 µm of roundness
    doc->Result.Eccentricity = 0.0025;
    doc->Result.EccentricityAngle = 30.0;
    doc->Result.Runout = 0.0031;
    return doc;
}

std::optional<RecordedCall> FindText(const RecordingCanvas& dc, const std::string& text)
{
    for (const auto& c : dc.Calls("TextOut"))
        if (c.text == text) return c;
    return std::nullopt;
}

class ReportPageTest : public ::testing::Test {
protected:
    std::unique_ptr<CKyklosDoc> doc = MakeDocument();
    CKyklosView view{"/nonexistent-logo-directory"};
};

TEST(PrinterPage, LetterAt600DpiPortraitAndLandscape)
{
    EXPECT_EQ(CKyklosView::PrinterPageRect({0, 0, 4800, 6600}), (Rect{240, 240, 4560, 3300}));
    EXPECT_EQ(CKyklosView::PrinterPageRect({0, 0, 6600, 4800}), (Rect{330, 330, 6270, 4470}));
}

TEST_F(ReportPageTest, LayoutAndFontsOfAWidePage)
{
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});

    // The window page gets its background first: white pen of one pixel, white brush.
    ASSERT_FALSE(dc.calls.empty());
    const auto background = dc.Calls("Rectangle");
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(background[0].args, (std::vector<int>{0, 0, 1600, 1000}));
    EXPECT_EQ(background[0].pen, (Pen{PenStyle::Solid, 0, kWhite}));
    EXPECT_EQ(background[0].brush.colour, kWhite);
    EXPECT_EQ(background[0].brush.style, BrushStyle::Solid);

    // Square 800 moved down by (1000 − 840)/4 = 40.
    EXPECT_EQ(view.GraphSquare, (Rect{32, 80, 832, 880}));
    EXPECT_EQ(view.Graph.GraphRect, view.GraphSquare);
    EXPECT_EQ(view.FooterRect, (Rect{864, 600, 1568, 980}));

    // Title min(40·300/400, 800/20) = 30; heading min(37, 768/15); result min(60, 768/13).
    const auto fonts = dc.Calls("SetFont");
    ASSERT_GE(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].args[0], 30);
    EXPECT_EQ(fonts[1].args[0], 37);
    EXPECT_EQ(fonts[2].args[0], 59);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fonts[static_cast<std::size_t>(i)].font.face, "Arial");
        EXPECT_EQ(fonts[static_cast<std::size_t>(i)].font.weight, 600);
    }
    EXPECT_EQ(view.TitleFontHeight, 30);
    EXPECT_EQ(view.HeadingFontHeight, 37);
    EXPECT_EQ(view.ResultFontHeight, 59);

    // The rule at Top0 = 40 from W/100 to R − W/100.
    bool ruleFound = false;
    const auto& calls = dc.calls;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
        if (calls[i].op == "MoveTo" && calls[i].args == std::vector<int>{16, 40} && calls[i + 1].op == "LineTo" &&
            calls[i + 1].args == std::vector<int>{1584, 40}) {
            ruleFound = true;
            EXPECT_EQ(calls[i + 1].pen, (Pen{PenStyle::Solid, 1, kGrey}));
        }
    EXPECT_TRUE(ruleFound);

    // x0 = max(832 + 15, 1216 − 8·59) = 847; heading baseline 40 + 4·37.
    const auto heading = FindText(dc, "Gaussian (50%) Filtering:  50 UPR");
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->args, (std::vector<int>{847, 188}));
    EXPECT_EQ(heading->colour, kGrey);
    EXPECT_EQ(heading->align, (TextAlign{HAlign::Left, VAlign::Baseline}));
    // Underline 37/3 below, as long as the text: 33 characters of 18.5 units.
    bool underlineFound = false;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
        if (calls[i].op == "MoveTo" && calls[i].args == std::vector<int>{847, 200} && calls[i + 1].op == "LineTo" &&
            calls[i + 1].args == std::vector<int>{847 + 33 * 37 / 2, 200})
            underlineFound = true;
    EXPECT_TRUE(underlineFound);

    const auto reference = FindText(dc, "Reference: Least Squares Circle");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->args, (std::vector<int>{847, 243}));

    // Rows one result height apart; labels at x0, units at x0 + 11·59.
    const char* labels[] = {"Roundness:", "Eccentricity:", "Ecc. Angle:", "Concentricity:", "Runout:"};
    for (int row = 0; row < 5; ++row) {
        const auto label = FindText(dc, labels[row]);
        ASSERT_TRUE(label) << labels[row];
        EXPECT_EQ(label->args, (std::vector<int>{847, 243 + 2 * 59 + row * 59})) << labels[row];
        EXPECT_EQ(label->font.height, 59);
        EXPECT_EQ(label->colour, row == 0 ? kNavy : kBlack) << labels[row];
    }
    const auto units = dc.Calls("TextOut");
    EXPECT_EQ(std::count_if(units.begin(), units.end(),
                            [](const RecordedCall& c) { return c.text == "\u00B5m" && c.args[0] == 847 + 11 * 59; }),
              4);
    const auto deg = FindText(dc, "deg");
    ASSERT_TRUE(deg);
    EXPECT_EQ(deg->args[0], 847 + 11 * 59);
}

// A device whose fonts come out a tenth smaller than asked: the page must lay
// itself out on the heights it measured, not on the heights it asked for.
class ShrinkingFontCanvas : public RecordingCanvas {
public:
    int SetFont(const FontSpec& font) override
    {
        const int asked = RecordingCanvas::SetFont(font);
        return asked - asked / 10;
    }
};

TEST_F(ReportPageTest, LayoutFollowsTheMeasuredFontHeights)
{
    ShrinkingFontCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});

    // Title asks 30 and gets 27; heading asks min(27·25/20, 768/15) = 33 and
    // gets 30; result asks min(2·27, 768/13) = 54 and gets 49.
    const auto fonts = dc.Calls("SetFont");
    ASSERT_GE(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].args[0], 30);
    EXPECT_EQ(fonts[1].args[0], 33);
    EXPECT_EQ(fonts[2].args[0], 54);
    EXPECT_EQ(view.TitleFontHeight, 27);
    EXPECT_EQ(view.HeadingFontHeight, 30);
    EXPECT_EQ(view.ResultFontHeight, 49);

    // Title baseline Top0 − 27/4, indented by 27 at both ends.
    const auto identification = FindText(dc, "Kyklos generated data");
    ASSERT_TRUE(identification);
    EXPECT_EQ(identification->args, (std::vector<int>{27, 34}));
    const auto date = FindText(dc, doc->Profile.DateText);
    ASSERT_TRUE(date);
    EXPECT_EQ(date->args, (std::vector<int>{1573, 34}));

    // x0 = max(832 + 27/2, 1216 − 8·49) = 845; heading at 40 + 4·30, reference 3·30/2 lower.
    const auto heading = FindText(dc, "Gaussian (50%) Filtering:  50 UPR");
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->args, (std::vector<int>{845, 160}));
    bool underlineFound = false;
    const auto& calls = dc.calls;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
        if (calls[i].op == "MoveTo" && calls[i].args == std::vector<int>{845, 170} && calls[i + 1].op == "LineTo" &&
            calls[i + 1].args[1] == 170)
            underlineFound = true;
    EXPECT_TRUE(underlineFound);
    const auto reference = FindText(dc, "Reference: Least Squares Circle");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->args, (std::vector<int>{845, 205}));

    // Rows 49 apart from 205 + 2·49; units at x0 + 11·49.
    const char* labels[] = {"Roundness:", "Eccentricity:", "Ecc. Angle:", "Concentricity:", "Runout:"};
    for (int row = 0; row < 5; ++row) {
        const auto label = FindText(dc, labels[row]);
        ASSERT_TRUE(label) << labels[row];
        EXPECT_EQ(label->args, (std::vector<int>{845, 303 + row * 49})) << labels[row];
    }
    const auto deg = FindText(dc, "deg");
    ASSERT_TRUE(deg);
    EXPECT_EQ(deg->args, (std::vector<int>{845 + 11 * 49, 303 + 2 * 49}));
}

TEST_F(ReportPageTest, OneCharacterFileTitleCountsAsNoFileName)
{
    doc->Profile.FileTitle = "a";
    doc->Profile.Identification = "Ring 3";
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_FALSE(FindText(dc, "a"));
    const auto identification = FindText(dc, "Ring 3");
    ASSERT_TRUE(identification);
    EXPECT_EQ(identification->args, (std::vector<int>{30, 33}));
    EXPECT_EQ(identification->align, (TextAlign{HAlign::Left, VAlign::Bottom}));
}

TEST_F(ReportPageTest, TitleTextsFromAWindowsFileAreDrawnAsTheirCharacters)
{
    // Windows-1252 bytes: "µm" is two characters in two bytes, so it is a
    // file name (0xB5 is not a UTF-8 continuation to be skipped); Ø and ° follow.
    doc->Profile.FileTitle = "\xB5m";
    doc->Profile.Identification = "Ring \xD8 12 \xB1 0.5\xB0";
    doc->Profile.DateText = "M\xE4r 05 2026";
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    const auto title = FindText(dc, "\u00B5m");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->args, (std::vector<int>{30, 33}));
    const auto identification = FindText(dc, "Ring \u00D8 12 \u00B1 0.5\u00B0");
    ASSERT_TRUE(identification);
    EXPECT_EQ(identification->args, (std::vector<int>{800, 33}));
    const auto date = FindText(dc, "M\u00E4r 05 2026");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->args, (std::vector<int>{1570, 33}));

    // A UTF-8 name of one character (two bytes) is no file name; the text stays as it is.
    doc->Profile.FileTitle = "\u00E9";
    doc->Profile.Identification = "Welle \u00D8 12";
    RecordingCanvas utf8;
    view.OnDraw(utf8, *doc, {0, 0, 1600, 1000});
    EXPECT_FALSE(FindText(utf8, "\u00E9"));
    const auto left = FindText(utf8, "Welle \u00D8 12");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->args, (std::vector<int>{30, 33}));
}

TEST_F(ReportPageTest, PortraitAndNarrowWindowsShrinkTheFonts)
{
    RecordingCanvas portrait;
    view.OnDraw(portrait, *doc, {0, 0, 800, 1200});
    EXPECT_EQ(view.GraphSquare, (Rect{16, 216, 496, 696}));
    EXPECT_EQ(view.TitleFontHeight, 24);
    EXPECT_EQ(view.HeadingFontHeight, 20); // (800 − 496)/15
    EXPECT_EQ(view.ResultFontHeight, 23);  // (800 − 496)/13

    // Little room right of the graph: x0 is held at gR + TitleFontHeight/2.
    RecordingCanvas narrow;
    view.OnDraw(narrow, *doc, {0, 0, 600, 900});
    EXPECT_EQ(view.GraphSquare.right, 372);
    EXPECT_EQ(view.TitleFontHeight, 18);
    EXPECT_EQ(view.HeadingFontHeight, 15);
    EXPECT_EQ(view.ResultFontHeight, 17);
    const auto label = FindText(narrow, "Roundness:");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->args[0], 372 + 9);

    // A window too small to read still asks for fonts of at least one unit.
    RecordingCanvas tiny;
    view.OnDraw(tiny, *doc, {0, 0, 20, 20});
    for (const auto& font : tiny.Calls("SetFont")) EXPECT_GE(font.args[0], 1);
}

TEST_F(ReportPageTest, TitleLineForFilesAndForGeneratedData)
{
    RecordingCanvas generated;
    view.OnDraw(generated, *doc, {0, 0, 1600, 1000});
    // y = Top0 − 30/4 = 33, bottom aligned.
    auto identification = FindText(generated, "Kyklos generated data");
    ASSERT_TRUE(identification);
    EXPECT_EQ(identification->args, (std::vector<int>{30, 33}));
    EXPECT_EQ(identification->align, (TextAlign{HAlign::Left, VAlign::Bottom}));
    auto date = FindText(generated, doc->Profile.DateText);
    ASSERT_TRUE(date);
    EXPECT_EQ(date->args, (std::vector<int>{1570, 33}));
    EXPECT_EQ(date->align, (TextAlign{HAlign::Right, VAlign::Bottom}));
    EXPECT_EQ(date->colour, kBlack);

    doc->Profile.FileTitle = "shaft.kyk";
    doc->Profile.Identification = "Shaft 12";
    RecordingCanvas file;
    view.OnDraw(file, *doc, {0, 0, 1600, 1000});
    const auto title = FindText(file, "shaft.kyk");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->args, (std::vector<int>{30, 33}));
    identification = FindText(file, "Shaft 12");
    ASSERT_TRUE(identification);
    EXPECT_EQ(identification->args, (std::vector<int>{800, 33}));
    EXPECT_EQ(identification->align, (TextAlign{HAlign::Centre, VAlign::Bottom}));
}

TEST_F(ReportPageTest, NoProfileShowsOnlyGridRuleAndFooter)
{
    doc->DataLoaded = false;
    doc->AnalysisValid = false;
    view.Graph.BandRange = 3.0;
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_DOUBLE_EQ(view.Graph.BandRange, 3.0);
    EXPECT_DOUBLE_EQ(view.Graph.DatumRadius, 10.0);
    EXPECT_FALSE(FindText(dc, "Kyklos generated data"));
    EXPECT_FALSE(FindText(dc, "Roundness:"));
    EXPECT_TRUE(FindText(dc, "1.50 \u00B5m"));
    for (const auto& line : dc.Calls("LineTo")) EXPECT_NE(line.pen.colour, kNavy);
    EXPECT_GT(dc.Count("SetPixel"), 0);
}

TEST_F(ReportPageTest, PrintedPageUsesThePrinterRuleAndNoBackground)
{
    view.PrintPageRect = {0, 0, 4800, 6600};
    RecordingCanvas printer(600, 600, true);
    view.OnDraw(printer, *doc, {0, 0, 123, 45});
    EXPECT_EQ(printer.Count("Rectangle"), 0);
    // Page (240, 240, 4560, 3300): W = 4320, H = 3060.
    EXPECT_EQ(view.GraphSquare.left, 240 + 4320 / 50);
    const int top0 = 240 + 3060 / 25;
    const auto date = FindText(printer, doc->Profile.DateText);
    ASSERT_TRUE(date);
    EXPECT_EQ(date->args[1], top0 - view.TitleFontHeight / 4);

    // While Edit Copy records its picture no background is drawn either.
    view.DrawDirect = true;
    RecordingCanvas copy;
    view.OnDraw(copy, *doc, {0, 0, 1600, 1000});
    EXPECT_EQ(copy.Count("Rectangle"), 0);
}

TEST_F(ReportPageTest, ResultValuesInBothUnitSystems)
{
    doc->Result.Peak = 0.001;
    doc->Result.Valley = -0.001;
    RecordingCanvas metric;
    view.OnDraw(metric, *doc, {0, 0, 1600, 1000});
    EXPECT_TRUE(FindText(metric, "2.000")); // roundness
    EXPECT_TRUE(FindText(metric, "2.500")); // eccentricity
    EXPECT_TRUE(FindText(metric, "30.00")); // angle
    EXPECT_TRUE(FindText(metric, "5.000")); // concentricity
    EXPECT_TRUE(FindText(metric, "3.100")); // runout
    // The decimal point of every value sits at x0 + 8·59.
    const auto value = FindText(metric, "2.000");
    EXPECT_EQ(value->args[0], 847 + 8 * 59 - 59 / 2);
    EXPECT_EQ(value->colour, kNavy);

    view.Graph.MetricUnits = false;
    RecordingCanvas inch;
    view.OnDraw(inch, *doc, {0, 0, 1600, 1000});
    EXPECT_TRUE(FindText(inch, "78.74"));
    EXPECT_TRUE(FindText(inch, "\u00B5in"));
    const auto inchValue = FindText(inch, "78.74");
    EXPECT_EQ(inchValue->args[0], 847 + 9 * 59 - 2 * 59 / 2);
}

// After a failed fit the page shows the results about the measurement axis,
// the same numbers as every other output (ShowResults).
TEST_F(ReportPageTest, AFailedFitShowsTheResultsAboutTheMeasurementAxis)
{
    doc->Result.FitValid = false;
    doc->Result.Peak = 0.00155;
    doc->Result.Valley = -0.00155; // about the axis: the runout
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    const auto values = dc.Calls("TextOut");
    const auto count = std::count_if(values.begin(), values.end(), [](const auto& c) { return c.text == "3.100"; });
    EXPECT_EQ(count, 2); // roundness and runout
    const ShownResults shown = ShowResults(doc->Result);
    EXPECT_TRUE(shown.AboutMeasurementAxis);
    EXPECT_EQ(shown.RoundnessMm, shown.RunoutMm);
    EXPECT_TRUE(FindText(dc, "2.500")); // the eccentricity the fit left
}

TEST_F(ReportPageTest, TinyEccentricityHidesTheAngleOnly)
{
    doc->Result.Eccentricity = 0.5e-7;
    doc->Result.EccentricityAngle = 123.0;
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_TRUE(FindText(dc, "Ecc. Angle:"));
    EXPECT_TRUE(FindText(dc, "deg"));
    EXPECT_FALSE(FindText(dc, "123.00"));
    EXPECT_TRUE(FindText(dc, "0.000")); // eccentricity still shown
}

TEST_F(ReportPageTest, AngleShownFromOneTenthOfANanometreOfEccentricity)
{
    doc->Result.Eccentricity = 1e-7;
    doc->Result.EccentricityAngle = 123.0;
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_TRUE(FindText(dc, "123.00"));
}

TEST_F(ReportPageTest, RuleAndUnderlineUseTheRulePenOnAFinePrinter)
{
    // At 1200 dpi the rule pen is 2 dots and the trace pen 3: the two grey
    // lines of the page, and only they, take the rule pen.
    view.PrintPageRect = {0, 0, 9600, 13200};
    RecordingCanvas printer(1200, 1200, true);
    view.OnDraw(printer, *doc, {0, 0, 1, 1});
    std::vector<RecordedCall> grey;
    for (const auto& line : printer.Calls("LineTo"))
        if (line.pen.colour == kGrey) grey.push_back(line);
    ASSERT_EQ(grey.size(), 2u);
    for (const auto& line : grey) EXPECT_EQ(line.pen, (Pen{PenStyle::Solid, 2, kGrey}));
    // Page (480, 480, 9120, 6600): the rule runs at Top0 = 480 + 6120/25 from 480 + 86 to 9120 − 86.
    EXPECT_EQ(grey[0].args, (std::vector<int>{9034, 724}));
}

TEST_F(ReportPageTest, AutomaticScaleFollowsRawOrRoundness)
{
    RecordingCanvas dc;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_NEAR(view.Graph.BandRange, 20.0, 1e-9); // 12 µm raw range
    view.ShowRawData = false;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_NEAR(view.Graph.BandRange, 4.0, 1e-9); // 3.2 µm roundness
    view.AutoScale = false;
    view.Graph.BandRange = 7.5;
    view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
    EXPECT_DOUBLE_EQ(view.Graph.BandRange, 7.5);
}

TEST_F(ReportPageTest, ReferenceNamesAndFilterCutoff)
{
    const std::pair<ReferenceKind, const char*> kinds[] = {
        {ReferenceKind::LeastSquares, "Reference: Least Squares Circle"},
        {ReferenceKind::MinimumZone, "Reference: Minimum Zone Center"},
        {ReferenceKind::MaximumInscribed, "Reference: Maximum Inscribed Circle"},
        {ReferenceKind::MinimumCircumscribed, "Reference: Minimum Circumscribed Circle"}};
    for (const auto& [kind, text] : kinds) {
        doc->Settings.ReferenceKind = kind;
        doc->Settings.FilterCutoffUpr = 150;
        doc->AnalyzeProfile(); // the heading names the filter the analysis applied
        RecordingCanvas dc;
        view.OnDraw(dc, *doc, {0, 0, 1600, 1000});
        EXPECT_TRUE(FindText(dc, text)) << ReferenceIndex(kind);
        EXPECT_TRUE(FindText(dc, "Gaussian (50%) Filtering:  150 UPR"));
    }
}

} // namespace
} // namespace kyklos
