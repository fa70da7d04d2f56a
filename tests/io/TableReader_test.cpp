#include "io/TableReader.h"

#include "io/TableHeader.h"
#include "io/TableRows.h"
#include "io/TableTestFiles.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kyklos {
namespace {

using test::ShaftMicrometreTexts;
using test::ShaftProfile;

TableOptions WithColumns(const char* columns)
{
    TableOptions options;
    options.Columns = ParseTableColumns(columns);
    return options;
}

std::string Repeated(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

std::string Replaced(std::string text, char from, char to)
{
    for (char& c : text)
        if (c == from) c = to;
    return text;
}

void ExpectSameProfile(const TableReadResult& read, const Profile& expected, const std::string& what)
{
    ASSERT_TRUE(read.Read.has_value()) << what << ": " << read.Message;
    EXPECT_TRUE(read.Read->EqualSteps) << what;
    EXPECT_EQ(read.Read->RawRadius, expected.RawRadius) << what;
    EXPECT_EQ(read.Read->SampleAngle, expected.SampleAngle) << what;
}

TEST(TableReader, ReadsTheSampleRadiiBitForBitFromEachTableShape)
{
    const Profile kyk = ShaftProfile();
    const std::vector<std::string> um = ShaftMicrometreTexts();
    ASSERT_EQ(um.size(), kyk.RawRadius.size());
    std::string csv = "angle [deg],radius [um]\n";
    std::string german = "Pr\xFC"
                         "fbericht Welle DS-40;;\r\nWinkel [\xB0];Radius [\xB5m]\r\n"; // Windows-1252
    std::string single = "radius\n";
    for (std::size_t i = 0; i < um.size(); ++i) {
        const std::string angle = ShortestNumber(static_cast<double>(i) * 0.5);
        csv += angle + "," + um[i] + "\n";
        german += Replaced(angle, '.', ',') + ";" + Replaced(um[i], '.', ',') + "\r\n";
        single += um[i] + "\n";
    }
    ExpectSameProfile(ReadTableText(csv, {}), kyk, "CSV");
    const test::TempFolder folder;
    const TableReadResult spreadsheet = ReadTableFile(folder.Write("Welle.CSV", german), WithColumns("angle,radius"));
    ExpectSameProfile(spreadsheet, kyk, "spreadsheet");
    ASSERT_TRUE(spreadsheet.Read);
    EXPECT_EQ(spreadsheet.Read->Identification, "Pr\xFC"
                                                "fbericht Welle DS-40");
    EXPECT_EQ(spreadsheet.Read->FileTitle, "Welle");
    EXPECT_EQ(spreadsheet.Read->SourceFormat, "table");
    EXPECT_EQ(spreadsheet.Read->Columns, "angle,radius");
    EXPECT_EQ(spreadsheet.Read->SourceDescription, "CSV table: angle (deg), radius (\u00B5m)");
    TableOptions radii = WithColumns("radius");
    radii.LengthUnits = LengthUnit::Micrometre;
    ExpectSameProfile(ReadTableText(single, radii), kyk, "single column");
}

TEST(TableReader, DeviationsInEveryUnitGiveTheKykRadii)
{
    const Profile kyk = ShaftProfile();
    const std::size_t n = kyk.RawRadius.size();
    struct Case {
        const char* header; // with {} for the rows' delimiter
        char delimiter;
        AngleUnit angles;
        LengthUnit lengths;
        TableOptions options;
    };
    TableOptions nominal;
    nominal.NominalRadiusMm = 12.5;
    TableOptions given = nominal;
    given.Columns = ParseTableColumns("angle,deviation");
    given.AngleUnits = AngleUnit::Grad;
    given.LengthUnits = LengthUnit::Microinch;
    const Case cases[] = {
        {"nominal radius = 12.5 mm\nangle [deg],dev [um]\n", ',', AngleUnit::Degree, LengthUnit::Micrometre, {}},
        {"theta (rad);deviation (mm)\n", ';', AngleUnit::Radian, LengthUnit::Millimetre, nominal},
        {"phi_grad\tdev_in\n", '\t', AngleUnit::Grad, LengthUnit::Inch, nominal},
        {"", ' ', AngleUnit::Grad, LengthUnit::Microinch, given},
    };
    for (const Case& c : cases) {
        std::string text = c.header;
        for (std::size_t i = 0; i < n; ++i) {
            const double angle = c.angles == AngleUnit::Radian ? EqualStepAngles(static_cast<int>(n))[i]
                                                               : static_cast<double>(i) * TurnIn(c.angles) / n;
            text += ShortestNumber(angle) + c.delimiter +
                    ShortestNumber((kyk.RawRadius[i] - 12.5) / MillimetresPer(c.lengths)) + "\n";
        }
        const TableReadResult read = ReadTableText(text, c.options);
        ASSERT_TRUE(read.Read.has_value()) << c.header << read.Message;
        EXPECT_EQ(read.Read->SampleAngle, kyk.SampleAngle) << c.header;
        for (std::size_t i = 0; i < n; ++i) EXPECT_NEAR(read.Read->RawRadius[i], kyk.RawRadius[i], 1e-12) << c.header;
    }
}

TEST(TableReader, AnglesTurnModuloOneTurnAndSort)
{
    const double pi = 3.141592653589793;
    struct Case {
        const char* text;
        AngleDirection direction;
        std::vector<double> radii;
        std::vector<double> angles; // empty: equal steps
    };
    const auto cw = AngleDirection::Clockwise;
    const auto ccw = AngleDirection::CounterClockwise;
    const Case cases[] = {
        {"angle,r\n0,1\n90,2\n180,3\n270,4\n", cw, {1, 4, 3, 2}, {}},
        {"angle,r\n-90,4\n0,1\n450,2\n180,3\n", ccw, {1, 2, 3, 4}, {}},
        // The closing row at a full turn is dropped; within 1e-6° is still a step.
        {"angle,r\n0,1\n120,2\n240.0000009,3\n360,1\n", ccw, {1, 2, 3}, {}},
        {"angle,r\n0,1\n120,2\n240,3\n-360,1\n", cw, {1, 3, 2}, {}},
        // Any angles: the doubles nearest to 120° and 240.000002° in radians (60-digit arithmetic).
        {"angle,r\n0,1\n120,2\n240.000002,3\n", ccw, {1, 2, 3}, {0.0, 2.0943951023931957, 4.188790239692976}},
        {"angle,r\n180,3\n0,2\n45,1\n", ccw, {2, 1, 3}, {0.0, pi / 4, pi}},
    };
    for (const Case& c : cases) {
        TableOptions options;
        options.Direction = c.direction;
        const TableReadResult read = ReadTableText(c.text, options);
        ASSERT_TRUE(read.Read.has_value()) << c.text << read.Message;
        EXPECT_EQ(read.Read->RawRadius, c.radii) << c.text;
        EXPECT_EQ(read.Read->EqualSteps, c.angles.empty()) << c.text;
        const auto expected = c.angles.empty() ? EqualStepAngles(static_cast<int>(c.radii.size())) : c.angles;
        EXPECT_EQ(read.Read->SampleAngle, expected) << c.text;
    }
}

TEST(TableReader, FindsDelimiterDecimalSignColumnsAndComments)
{
    struct Case {
        const char* text;
        const char* columns;
        std::vector<double> first; // radii, or x
        std::vector<double> y;
    };
    const Case cases[] = {
        {"# exported\nangle\tradius\n0\t1.5\n# a comment among the rows\n\n180\t2.5\n", "angle,radius", {1.5, 2.5}, {}},
        {"  angle [deg]   r (mm)\n 0   1,5\n 180   2,5\n", "angle,radius", {1.5, 2.5}, {}},
        {"\xEF\xBB\xBF\"Angle\";\"Radius\"\r\n0;1,5\r\n;;\r\n180;2,5;\r\n", "angle,radius", {1.5, 2.5}, {}},
        {"x_mm,Y_MM\n1,0\n-0.5,1.5e0\n", "x,y", {1, -0.5}, {0, 1.5}},
        {"angle_deg,radius_mm,filtered_radius_mm\n0,1.5,9\n180,2.5,9\n", "angle,radius,-", {1.5, 2.5}, {}},
        {"r_um\n1500\n+2.5e3\r", "radius", {1.5, 2.5}, {}},
        {"angle\tr\r0\t1.5\r180\t2.5", "angle,radius", {1.5, 2.5}, {}},
    };
    for (const Case& c : cases) {
        const TableReadResult read = ReadTableText(c.text, {});
        ASSERT_TRUE(read.Read.has_value()) << c.text << read.Message;
        EXPECT_EQ(read.Read->Columns, c.columns) << c.text;
        const bool points = !c.y.empty();
        EXPECT_EQ(read.Read->Kind, points ? ProfileKind::Points : ProfileKind::Radial) << c.text;
        EXPECT_EQ(points ? read.Read->PointX : read.Read->RawRadius, c.first) << c.text;
        EXPECT_EQ(read.Read->PointY, c.y) << c.text;
    }
}

TEST(TableReader, HeaderBlockNamesTheProfileAndGivesTheNominalRadius)
{
    const TableReadResult read =
        ReadTableText("Shaft 7\nMeasured 2024-03-01 10:22\nnominal radius = 12,5\nangle;dev\n0;1\n180;2\n", {});
    ASSERT_TRUE(read.Read.has_value()) << read.Message;
    EXPECT_EQ(read.Read->Identification, "Shaft 7");
    EXPECT_EQ(read.Read->DateText, "Measured 2024-03-01 10:22");
    EXPECT_EQ(read.Read->RawRadius, (std::vector<double>{12.5 + 1 * 0.001, 12.5 + 2 * 0.001}));
    EXPECT_EQ(read.Read->SourceDescription, "Table: angle (deg), deviation (\u00B5m) from 12.5 mm");
    // An option overrides the header block.
    TableOptions nominal;
    nominal.NominalRadiusMm = 10;
    EXPECT_EQ(ReadTableText("nominal radius = 12.5\nangle,dev\n0,1\n", nominal).Read.value_or(Profile{}).RawRadius,
              std::vector<double>{10.001});

    const TableReadResult named = ReadTableText("Operator: Jo\nPart: Bore 3\n12 Nov 2026\n0 1\n", WithColumns("-,r"));
    ASSERT_TRUE(named.Read.has_value()) << named.Message;
    EXPECT_EQ(named.Read->Identification, "Bore 3");
    EXPECT_EQ(named.Read->DateText, "12 Nov 2026");

    for (const char* date : {"2024-03-01", "on 01.03.2024", "3/1/24", "12 Nov 2026", "March 1, 2024", "date 2024-3-1",
                             "Nov 2026 run 1234 5"})
        EXPECT_TRUE(HoldsDate(date)) << date;
    for (const char* other : {"12.505.496", "version 1.10.2", "Rev 2024", "may be 12", "1.5.2", "2024"})
        EXPECT_FALSE(HoldsDate(other)) << other;
}

TEST(TableReader, RefusesWithAMessageNamingThePlace)
{
    TableOptions decimalComma;
    decimalComma.Decimal = DecimalSign::Comma;
    decimalComma.Delimiter = TableDelimiter::Comma;
    struct Case {
        std::string text;
        TableOptions options;
        std::string message;
    };
    const Case cases[] = {
        {"", {}, "The table has no rows."},
        {"# only a header\nangle,radius\n", {}, "The table has no rows."},
        {"angle;radius\n0;1\n10;12,3x\n", {}, "Line 3, column 2: \"12,3x\" is not a number."},
        {"angle;radius\n0;1,5\n10;2.5\n", {}, "Line 3, column 2: \"2.5\" is not a number."},
        {"angle,radius\n0,1\n10,1e999\n", {}, "Line 3, column 2: \"1e999\" is not a number."},
        {"angle,radius [in]\n0,1\n10,1e308\n", {}, "Line 3, column 2: \"1e308\" is not a number."},
        {"angle,radius\n0,1\n\n10,nan\n", {}, "Line 4, column 2: \"nan\" is not a number."},
        {"angle,radius\n0,1\n1,2,3\n", {}, "Line 3 has 3 values; the table has 2 columns."},
        // A long field is quoted by its start, not cutting a character.
        {"r\n1\nx" + Repeated("\xC2\xB5", 21) + "\n",
         {},
         "Line 3, column 1: \"x" + Repeated("\u00B5", 19) + "\u2026\" is not a number."},
        {"angle,radius\n0,1\n1\n2,3\n", {}, "Line 3 has 1 value; the table has 2 columns."},
        {"0,1\n1,2\n", {}, "The table's columns are not named; give --columns."},
        {"Winkel,Radius\n0,1\n", {}, "The table's columns are not named; give --columns."},
        {"angle,dev\n0,1\n", {}, "The deviations need a nominal radius (--nominal)."},
        {"nominal radius = abc\nangle,dev\n0,1\n", {}, "Line 1: the nominal radius \"abc\" is not a number."},
        {"angle,radius\n0,1\n10,2\n370,3\n", {}, "Line 4 repeats the angle of line 3."},
        {"angle,radius\n0,1\n120,2\n240,3\n360,2\n", {}, "Line 5 repeats the angle of line 2."},
        {"angle,x\n0,1\n", {}, "The columns must be angle and radius, angle and deviation, x and y, or radius alone."},
        {"0,1\n", WithColumns("angle,angle"),
         "The columns must be angle and radius, angle and deviation, x and y, or radius alone."},
        {"0,1\n", WithColumns("radius"), "The table has 2 columns; --columns names 1."},
        {"angle [mm],radius\n0,1\n", {}, "Line 1, column 1: \"mm\" is not a unit of angle."},
        {"a\nangle,r [deg]\n0,1\n", {}, "Line 2, column 2: \"deg\" is not a unit of length."},
        {"0;1\n", decimalComma, "A decimal comma needs a delimiter other than the comma."},
    };
    for (const Case& c : cases) {
        const TableReadResult read = ReadTableText(c.text, c.options);
        EXPECT_EQ(read.Message, c.message) << c.text;
        EXPECT_FALSE(read.Read.has_value()) << c.text;
        EXPECT_EQ(read.ColumnsUnnamed, c.message.find("not named") != std::string::npos) << c.text;
    }
}

TEST(TableReader, UnnamedColumnsLeaveTheImportDialogTheFirstRows)
{
    std::string text = "Winkel [\xB0];Radius [\xB5m]\r\n";
    for (int i = 0; i < 30; ++i) text += std::to_string(i) + ",5;12505,5\r\n";
    const TableReadResult read = ReadTableText(text, {});
    EXPECT_TRUE(read.ColumnsUnnamed);
    const TablePreview& preview = read.Preview;
    EXPECT_FALSE(preview.ColumnsNamed);
    EXPECT_EQ(preview.ColumnCount, 2);
    EXPECT_EQ(preview.ColumnHeader, (std::vector<std::string>{"Winkel [\u00B0]", "Radius [\u00B5m]"}));
    EXPECT_EQ(preview.HeaderShape, "semicolon|2|winkel [\u00B0]|radius [\u00B5m]");
    EXPECT_EQ(preview.Delimiter, TableDelimiter::Semicolon);
    EXPECT_EQ(preview.Decimal, DecimalSign::Comma);
    ASSERT_EQ(preview.FirstRows.size(), static_cast<std::size_t>(kPreviewRows));
    EXPECT_EQ(preview.FirstRows[19], (std::vector<std::string>{"19,5", "12505,5"}));
    // The dialog's choice reads it; the header's units hold.
    const TableReadResult chosen = ReadTableText(text, WithColumns("angle,radius"));
    ASSERT_TRUE(chosen.Read.has_value()) << chosen.Message;
    EXPECT_EQ(chosen.Read->RawRadius[0], 12505.5 * 0.001);
    EXPECT_TRUE(chosen.Preview.ColumnsNamed == false && chosen.Preview.FirstRows.size() == 20u);
}

TEST(TableReader, HoldsAtMostThe36000SamplesOfAKykProfile)
{
    std::string radii = "radius\n";
    std::string angles = "angle,radius\n";
    for (int i = 0; i < kMaxTableRows; ++i) {
        radii += "1\n";
        angles += ShortestNumber(i * 0.01) + ",1\n";
    }
    const auto samples = [](const TableReadResult& read) { return read.Read ? read.Read->PointCount() : -1; };
    EXPECT_EQ(samples(ReadTableText(radii, {})), kMaxTableRows);
    EXPECT_EQ(samples(ReadTableText(angles + "360,1\n", {})), kMaxTableRows);
    EXPECT_EQ(ReadTableText(radii + "1\n", {}).Message, "The table has more than 36000 rows.");
    EXPECT_EQ(ReadTableText(angles + "360,2\n", {}).Message, "The table has more than 36000 rows.");
    EXPECT_EQ(ReadTableText(angles + "360,1\n1,1\n", {}).Message, "The table has more than 36000 rows.");
    // Lines above the rows (here with the column header) count apart, and never cut the rows short.
    std::string headerBlock;
    for (int i = 1; i < kMaxTableHeaderLines; ++i) headerBlock += "line\n";
    EXPECT_EQ(samples(ReadTableText(headerBlock + angles, {})), kMaxTableRows);
    EXPECT_EQ(ReadTableText("more\n" + headerBlock + radii, {}).Message,
              "The table has more than 10000 lines above its rows.");
    EXPECT_EQ(ReadTableText(headerBlock + radii + "1\n2\n", {}).Message, "The table has more than 36000 rows.");
}

TEST(TableReader, ReadsFilesByTheirName)
{
    for (const char* name : {"a.csv", "b.TXT", "c.Tsv", "dir.x/d.dat"}) EXPECT_TRUE(IsTableFileName(name)) << name;
    for (const char* name : {"a.kyk", "b.csv.bak", "csv", "a.xlsx"}) EXPECT_FALSE(IsTableFileName(name)) << name;
    const test::TempFolder folder;
    EXPECT_EQ(ReadTableFile(folder.Path("missing.csv"), {}).Message, "Cannot open the file.");
    EXPECT_EQ(ReadTableFile(folder.Path(""), {}).Message, "Cannot open the file.");
    const std::string large = folder.Write("large.txt", "radius\n1\n");
    std::filesystem::resize_file(large, kMaxTableFileBytes + 1);
    EXPECT_EQ(ReadTableFile(large, {}).Message, "The file is too large for a table.");
    const std::string path = folder.Write("bore.dat", "r\n1\n");
    const TableReadResult read = ReadTableFile(path, {});
    ASSERT_TRUE(read.Read.has_value()) << read.Message;
    EXPECT_EQ(read.Read->PathName, path);
    EXPECT_EQ(read.Read->FileTitle, "bore");
    EXPECT_EQ(read.Read->SourceDescription, "Data table: radius (mm)");
}

TEST(TableOptions, ParsesAndWritesTheOptionWords)
{
    EXPECT_EQ(TableColumnsText(*ParseTableColumns("theta, R,-")), "angle,radius,-");
    EXPECT_EQ(TableColumnsText(*ParseTableColumns("-,X,y")), "-,x,y");
    EXPECT_EQ(TableColumnsText(*ParseTableColumns("Dev,phi")), "deviation,angle");
    for (const char* bad : {"", "angle,", "angle,foo", "angle;radius"}) EXPECT_FALSE(ParseTableColumns(bad)) << bad;
    EXPECT_EQ(ParseTableDelimiter("Semicolon"), TableDelimiter::Semicolon);
    EXPECT_EQ(ParseTableDelimiter("tab"), TableDelimiter::Tab);
    EXPECT_FALSE(ParseTableDelimiter(";"));
    EXPECT_EQ(ParseDecimalSign("comma"), DecimalSign::Comma);
    EXPECT_EQ(ParseAngleUnit("GRAD"), AngleUnit::Grad);
    EXPECT_EQ(ParseAngleUnit("\u00B0"), AngleUnit::Degree);
    EXPECT_FALSE(ParseAngleUnit("gon"));
    EXPECT_EQ(ParseAngleDirection("cw"), AngleDirection::Clockwise);
    EXPECT_FALSE(ParseAngleDirection("clockwise"));
    EXPECT_EQ(ParseLengthUnit("\u00B5in"), LengthUnit::Microinch);
    EXPECT_EQ(ParseLengthUnit("\u03BCm"), LengthUnit::Micrometre);
    EXPECT_EQ(ParseLengthUnit("UM"), LengthUnit::Micrometre);
    EXPECT_FALSE(ParseLengthUnit("cm"));
    EXPECT_EQ(MillimetresPer(LengthUnit::Inch), 25.4);
}

} // namespace
} // namespace kyklos
