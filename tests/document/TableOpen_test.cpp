#include "document/FakeUi.h"
#include "document/KyklosDoc.h"
#include "io/KykFile.h"
#include "io/ProfileWriter.h"
#include "io/TableTestFiles.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kyklos {
namespace {

std::string Replaced(std::string text, char from, char to)
{
    for (char& c : text)
        if (c == from) c = to;
    return text;
}

// The numbers a report shows of every reference, and the parameters.
std::vector<double> ResultNumbers(const CKyklosDoc& doc)
{
    const AnalysisResult& r = doc.Result;
    std::vector<double> numbers = {r.NominalRadius,   r.Runout,          r.Peak,
                                   r.Valley,          r.Eccentricity,    r.EccentricityAngle,
                                   r.Evaluation.RONp, r.Evaluation.RONv, r.Evaluation.RONq};
    for (const ReferenceEvaluation& reference : r.Evaluation.References) {
        numbers.insert(numbers.end(), {reference.ReferenceA, reference.ReferenceB, reference.ReferenceC,
                                       reference.RONt.value_or(-1.0)});
    }
    numbers.insert(numbers.end(), r.FilteredRadius.begin(), r.FilteredRadius.end());
    return numbers;
}

class FakeImporter final : public TableImportPort {
public:
    std::optional<TableOptions> answer;
    std::string askedPath;
    TablePreview askedPreview;
    int asked = 0;

    std::optional<TableOptions> ChooseTableReading(const std::string& path, const TablePreview& preview,
                                                   const TableOptions&) override
    {
        ++asked;
        askedPath = path;
        askedPreview = preview;
        return answer;
    }
};

class TableOpen : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc_.OpenProfile(test::ShaftPath());
        ASSERT_TRUE(doc_.AnalysisValid);
        kykNumbers_ = ResultNumbers(doc_);
    }

    FakeUi ui_;
    CKyklosDoc doc_{&ui_};
    test::TempFolder folder_;
    std::vector<double> kykNumbers_;
};

// The shaft's radii written as tables evaluate to the .kyk's numbers: bit
// for bit from micrometres, within 1e-12 mm from deviations in other units.
TEST_F(TableOpen, TablesOfTheKykRadiiEvaluateToTheKykNumbers)
{
    const std::vector<std::string> um = test::ShaftMicrometreTexts();
    const std::size_t n = um.size();
    std::string csv = "angle [deg],radius [um]\n";
    std::string german = "Pr\xFC"
                         "fbericht Welle DS-40;;\r\nWinkel [\xB0];Radius [\xB5m]\r\n";
    std::string single;
    std::string deviations = "nominal radius = 12.5\nangle [grad]\tdev [uin]\n";
    for (std::size_t i = 0; i < n; ++i) {
        const std::string angle = ShortestNumber(static_cast<double>(i) * 360.0 / static_cast<double>(n));
        csv += angle + "," + um[i] + "\n";
        german += Replaced(angle, '.', ',') + ";" + Replaced(um[i], '.', ',') + "\r\n";
        single += um[i] + "\n";
        const double deviationUin = (std::stod(um[i]) * 0.001 - 12.5) / 25.4e-6;
        deviations += ShortestNumber(static_cast<double>(i) * 400.0 / static_cast<double>(n)) + "\t" +
                      ShortestNumber(deviationUin) + "\n";
    }
    struct Case {
        std::string name, text, columns;
        std::optional<LengthUnit> lengths;
        double toleranceMm;
    };
    const Case cases[] = {
        {"header.csv", csv, "", std::nullopt, 0.0},
        {"Welle.CSV", german, "angle,radius", std::nullopt, 0.0},
        {"radii.txt", single, "radius", LengthUnit::Micrometre, 0.0},
        {"deviations.tsv", deviations, "", std::nullopt, 1e-12},
    };
    for (const Case& c : cases) {
        doc_.TableReading = {};
        if (!c.columns.empty()) doc_.TableReading.Columns = ParseTableColumns(c.columns);
        doc_.TableReading.LengthUnits = c.lengths;
        doc_.OpenProfile(folder_.Write(c.name, c.text));
        ASSERT_TRUE(doc_.AnalysisValid) << c.name << (ui_.messages.empty() ? "" : ui_.messages.back());
        EXPECT_EQ(doc_.Profile.SourceFormat, "table");
        const std::vector<double> numbers = ResultNumbers(doc_);
        ASSERT_EQ(numbers.size(), kykNumbers_.size());
        if (c.toleranceMm == 0.0) {
            EXPECT_EQ(numbers, kykNumbers_) << c.name;
            continue;
        }
        for (std::size_t k = 0; k < numbers.size(); ++k) {
            // The eccentricity's angle (degrees) is the only number not in mm.
            const double tolerance = k == 5 ? 1e-6 : c.toleranceMm;
            EXPECT_NEAR(numbers[k], kykNumbers_[k], tolerance) << c.name << " number " << k;
        }
    }
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(TableOpen, ARefusedTableKeepsTheProfileItsResultsAndItsName)
{
    const Profile before = doc_.Profile;
    struct Case {
        const char* name;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"nan.csv", "angle;radius\n0;1\n10;12,3x\n", "Line 3, column 2: \"12,3x\" is not a number."},
        {"unnamed.csv", "0,1\n1,2\n", "The table's columns are not named; give --columns."},
        {"empty.dat", "", "The table has no rows."},
        {"line.csv", "x,y\n0,0\n1,1\n2,2\n", "No circle fits the points: they lie on one line."},
        {"missing.txt", nullptr, "Cannot open the file."},
    };
    for (const Case& c : cases) {
        ui_.messages.clear();
        const std::string path = c.text ? folder_.Write(c.name, c.text) : folder_.Path(c.name);
        doc_.OpenProfile(path);
        ASSERT_EQ(ui_.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui_.messages[0], c.message);
        EXPECT_TRUE(doc_.DataLoaded && doc_.AnalysisValid) << c.name;
        EXPECT_EQ(doc_.Profile.RawRadius, before.RawRadius) << c.name;
        EXPECT_EQ(doc_.Profile.PathName, before.PathName) << c.name;
        EXPECT_EQ(ResultNumbers(doc_), kykNumbers_) << c.name;
        EXPECT_EQ(doc_.OpenDialogPath, path);
    }
}

TEST_F(TableOpen, TheImportDialogNamesTheColumnsOfThisTableOnly)
{
    FakeImporter importer;
    doc_.SetTableImportPort(&importer);
    const std::string path = folder_.Write("unnamed.csv", "Bore 3\nWinkel;Radius\n0;10,5\n180;10,25\n");
    // Escape: nothing changes, nothing is said.
    doc_.OpenProfile(path);
    EXPECT_EQ(importer.asked, 1);
    EXPECT_EQ(importer.askedPath, path);
    EXPECT_EQ(importer.askedPreview.FirstRows.size(), 2u);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ResultNumbers(doc_), kykNumbers_);
    EXPECT_EQ(doc_.Profile.FileTitle, "shaft");

    importer.answer = TableOptions{};
    importer.answer->Columns = ParseTableColumns("angle,radius");
    doc_.OpenProfile(path);
    EXPECT_EQ(importer.asked, 2);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(doc_.Profile.RawRadius, (std::vector<double>{10.5, 10.25}));
    EXPECT_EQ(doc_.Profile.Identification, "Bore 3");
    EXPECT_EQ(doc_.Profile.Columns, "angle,radius");
    EXPECT_FALSE(doc_.TableReading.Columns.has_value()); // the next table is asked about again

    // A choice that does not fit the table is refused as any table is.
    importer.answer->Columns = ParseTableColumns("radius");
    doc_.OpenProfile(path);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "The table has 2 columns; --columns names 1.");
    EXPECT_EQ(doc_.Profile.RawRadius, (std::vector<double>{10.5, 10.25}));
}

TEST_F(TableOpen, APointSetIsReadAboutItsCircleAndAnyAnglesKeepTheirOrder)
{
    doc_.OpenProfile(folder_.Write("points.csv", "x_mm,y_mm\n1012.5,-20\n1000,-7.5\n987.5,-20\n1000,-32.5\n"));
    ASSERT_TRUE(ui_.messages.empty()) << ui_.messages.front();
    EXPECT_EQ(doc_.Profile.Kind, ProfileKind::Points);
    EXPECT_FALSE(doc_.Profile.EqualSteps);
    EXPECT_NEAR(doc_.Profile.CentreX, 1000.0, 1e-9);
    EXPECT_NEAR(doc_.Profile.CentreY, -20.0, 1e-9);
    EXPECT_EQ(doc_.Profile.PointIndex, (std::vector<int>{0, 1, 2, 3}));
    ASSERT_EQ(doc_.Profile.RawRadius.size(), 4u);
    for (double r : doc_.Profile.RawRadius) EXPECT_NEAR(r, 12.5, 1e-9);

    doc_.OpenProfile(folder_.Write("arc.csv", "angle,radius\n90,10.5\n0,10.25\n45,10\n"));
    ASSERT_TRUE(ui_.messages.empty()) << ui_.messages.front();
    EXPECT_FALSE(doc_.Profile.EqualSteps);
    EXPECT_EQ(doc_.Profile.RawRadius, (std::vector<double>{10.25, 10, 10.5}));
    EXPECT_EQ(doc_.Profile.SourceFormat, "table");
}

// Saved as a table, a profile reads back as itself and evaluates as before;
// as .kyk only a profile at equal steps over a full turn.
TEST_F(TableOpen, SaveProfileAsWritesWhatReadsBack)
{
    const std::string csv = folder_.Path("saved.csv");
    EXPECT_EQ(doc_.SaveProfileAs(csv), "");
    std::ifstream in(csv);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("angle_deg,radius_mm,filtered_radius_mm\n"), std::string::npos);
    const std::vector<double> radii = doc_.Profile.RawRadius;
    doc_.OpenProfile(csv);
    EXPECT_EQ(doc_.Profile.RawRadius, radii);
    EXPECT_EQ(ResultNumbers(doc_), kykNumbers_);

    const std::string kyk = folder_.Path("saved.kyk");
    EXPECT_EQ(doc_.SaveProfileAs(kyk), "");
    EXPECT_EQ(ReadKykFile(kyk).Read.value_or(Profile{}).RawRadius, radii);

    doc_.OpenProfile(folder_.Write("arc.csv", "angle,radius\n90,10.5\n0,10.25\n45,10\n"));
    ui_.messages.clear();
    EXPECT_EQ(doc_.SaveProfileAs(folder_.Path("arc.kyk")), kOnlyEqualStepsAsKyk);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{std::string(kOnlyEqualStepsAsKyk)});
    EXPECT_EQ(doc_.SaveProfileAs(folder_.Path("no folder/arc.csv")), "Cannot write the file.");
}

} // namespace
} // namespace kyklos
