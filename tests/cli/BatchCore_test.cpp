// The batch's pieces that carry numbers: the summary statistics, the CSV
// fields and the number texts.

#include "cli/BatchInputs.h"
#include "cli/BatchSummary.h"
#include "cli/CsvTable.h"
#include "cli/PathBytes.h"
#include "cli/ProgressBar.h"
#include "platform/NumberText.h"
#include "platform/Units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace kyklos {
namespace {

ProfileRecord Roundness(double mm)
{
    ProfileRecord r;
    r.Ok = true;
    r.RoundnessMm = mm;
    return r;
}

TEST(RunningStatistics, ExactMeanAndSpreadIncludingAConstantSetAndALargeOffset)
{
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, Σ(x − 5)² = 32, s = √(32/7).
    RunningStatistics s;
    for (double x : {2.0, 4.0, 4.0, 4.0, 5.0, 5.0, 7.0, 9.0}) s.Add(x);
    EXPECT_EQ(s.Count(), 8);
    EXPECT_DOUBLE_EQ(s.Mean(), 5.0);
    EXPECT_DOUBLE_EQ(*s.StandardDeviation(), std::sqrt(32.0 / 7.0));
    EXPECT_EQ(s.Min(), 2.0);
    EXPECT_EQ(s.Max(), 9.0);

    RunningStatistics constant;
    for (int i = 0; i < 1000; ++i) constant.Add(0.1);
    EXPECT_EQ(*constant.StandardDeviation(), 0.0); // not NaN, not a rounding residue
    EXPECT_EQ(constant.Mean(), 0.1);

    // 1e8 + 1 … 1e8 + 5: a sum of squares would lose the spread (its terms are 1e16).
    RunningStatistics offset;
    for (int k = 1; k <= 5; ++k) offset.Add(1e8 + k);
    EXPECT_DOUBLE_EQ(offset.Mean(), 1e8 + 3.0);
    EXPECT_NEAR(*offset.StandardDeviation(), std::sqrt(2.5), 1e-9);

    RunningStatistics one;
    one.Add(3.0);
    EXPECT_FALSE(one.StandardDeviation().has_value());
}

TEST(BatchSummary, CountsVerdictsFailuresAndTheCapabilityOfTheRoundness)
{
    // Roundness 1, 2, 3 µm (s = 1) against a tolerance of 8 µm: (8 − 2)/(3·1) = 2.
    BatchSummary summary(true, RoundnessTolerance{8.0, true});
    for (double mm : {0.001, 0.002, 0.003}) {
        ProfileRecord r = Roundness(mm);
        r.Pass = mm < 0.0025;
        summary.Add(r);
    }
    summary.Add(FailedRecord("bad.kyk", "Invalid file format."));
    EXPECT_EQ(summary.Files(), 4);
    EXPECT_EQ(summary.Failed(), 1);
    EXPECT_EQ(summary.Passed(), 2);
    EXPECT_EQ(summary.FailedVerdicts(), 1);
    ASSERT_TRUE(summary.Capability().has_value());
    EXPECT_NEAR(*summary.Capability(), 2.0, 1e-12);

    const auto j = summary.Json();
    EXPECT_EQ(j["columns"]["roundness_um"]["count"], 3);
    EXPECT_NEAR(j["columns"]["roundness_um"]["mean"].get<double>(), 2.0, 1e-12);
    EXPECT_TRUE(j["columns"]["runout_um"]["mean"].is_null()); // no values: no mean
    EXPECT_NE(summary.Csv().find("\r\nroundness_um,3,2,1,1,3,2\r\n"), std::string::npos) << summary.Csv();

    // In microinches the tolerance converts with the values: the capability stays.
    BatchSummary inch(false, RoundnessTolerance{8.0, true});
    for (double mm : {0.001, 0.002, 0.003}) inch.Add(Roundness(mm));
    EXPECT_NEAR(*inch.Capability(), 2.0, 1e-12);
    EXPECT_FALSE(BatchSummary(true, std::nullopt).Capability().has_value());
}

TEST(BatchSummary, TheEccentricityAngleIsAveragedOnTheCircle)
{
    // 350° and 10° lie 20° apart around 0°: the mean is 0°, not 180°, and the
    // circular standard deviation is √(−2 ln R̄) with R̄ = cos 10°.
    const auto angleColumn = [](const BatchSummary& summary) {
        return summary.Json()["columns"]["eccentricity_angle_deg"];
    };
    BatchSummary across(true, std::nullopt);
    for (double degrees : {350.0, 10.0}) {
        ProfileRecord r = Roundness(0.001);
        r.EccentricityAngleDeg = degrees;
        across.Add(r);
    }
    const auto column = angleColumn(across);
    EXPECT_NEAR(column["mean"].get<double>(), 0.0, 1e-9);
    EXPECT_NEAR(column["sd"].get<double>(), std::sqrt(-2.0 * std::log(std::cos(10.0 * M_PI / 180.0))) * 180.0 / M_PI,
                1e-9);
    EXPECT_EQ(column["min"].get<double>(), 10.0); // the values as written
    EXPECT_EQ(column["max"].get<double>(), 350.0);

    // 80°, 90°, 100° and 270°: a mean of 90° only on the circle (the
    // arithmetic one is 135°); opposite angles alone point nowhere.
    BatchSummary spread(true, std::nullopt);
    for (double degrees : {80.0, 90.0, 100.0}) {
        ProfileRecord r = Roundness(0.001);
        r.EccentricityAngleDeg = degrees;
        spread.Add(r);
    }
    EXPECT_NEAR(angleColumn(spread)["mean"].get<double>(), 90.0, 1e-9);
    BatchSummary opposite(true, std::nullopt);
    for (double degrees : {90.0, 270.0}) {
        ProfileRecord r = Roundness(0.001);
        r.EccentricityAngleDeg = degrees;
        opposite.Add(r);
    }
    EXPECT_TRUE(angleColumn(opposite)["mean"].is_null());
    EXPECT_NE(opposite.Csv().find("\r\neccentricity_angle_deg,2,,,90,270,\r\n"), std::string::npos) << opposite.Csv();
}

TEST(CsvTable, FieldsAreQuotedByTheRulesAndNumbersReadBackExactly)
{
    EXPECT_EQ(CsvField("Shaft 7"), "Shaft 7");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("6\" bore"), "\"6\"\" bore\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");

    for (double x : {0.1, 1.0 / 3.0, 4.2926145411446015, -7.5e-300, 1e21, 3600.0}) {
        const std::string text = ShortestNumber(x);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), x) << text;
        EXPECT_EQ(text.find(','), std::string::npos);
    }
    EXPECT_EQ(ShortestNumber(3600.0), "3600");
    EXPECT_EQ(ShortestNumber(INFINITY), "");
    EXPECT_EQ(FixedNumber(-0.0001, 3), "-0.000");
    EXPECT_EQ(FixedNumber(2.0005, 3), "2.001"); // 2.0005 is stored just above the half
    EXPECT_EQ(FixedNumber(1e300, 3).size(), 305u);

    ProfileRecord r = Roundness(0.0042);
    r.File = "a,b.kyk";
    const std::string row = CsvRow(r, false);
    EXPECT_EQ(row.rfind("\"a,b.kyk\",true,", 0), 0u) << row;
    EXPECT_NE(row.find("," + ShortestNumber(0.0042 * 1000.0 * 39.37007874015748) + ","), std::string::npos) << row;
    EXPECT_EQ(row.substr(row.size() - 2), "\r\n");
    EXPECT_NE(CsvHeader(false).find("roundness_uin,"), std::string::npos);
}

TEST(CsvTable, TextCellsAFormulaWouldRunAreGuardedNumbersAreNot)
{
    for (const char* text : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx", "\rx"}) {
        EXPECT_EQ(CsvTextField(text, true).find('\''), text[0] == '\r' ? 1u : 0u) << text; // a CR also quotes
        EXPECT_EQ(CsvTextField(text, false), CsvField(text)) << text;
    }
    EXPECT_EQ(CsvTextField("=A1,B1", true), "\"'=A1,B1\"");
    EXPECT_EQ(CsvTextField("a=b", true), "a=b");
    EXPECT_EQ(CsvTextField("", true), "");

    ProfileRecord r = Roundness(0.002);
    r.File = "-part.kyk";
    r.Identification = "=HYPERLINK(\"x\")";
    r.EccentricityMm = -0.001; // a number, even negative, is no text cell
    const std::string guarded = CsvRow(r, true);
    EXPECT_EQ(guarded.rfind("'-part.kyk,true,,\"'=HYPERLINK(\"\"x\"\")\",", 0), 0u) << guarded;
    EXPECT_NE(guarded.find(",2,-1,"), std::string::npos) << guarded;
    EXPECT_EQ(CsvRow(r, true, false).rfind("-part.kyk,true,,\"=HYPERLINK(", 0), 0u);
}

TEST(PathBytes, BytesThatAreNotUtf8AreEscapedAndNoTwoNamesMeet)
{
    EXPECT_EQ(EscapedPathBytes("/data/shaft 7.kyk"), "/data/shaft 7.kyk");
    EXPECT_EQ(EscapedPathBytes("caf\xC3\xA9.kyk"), "caf\xC3\xA9.kyk"); // UTF-8 stays
    EXPECT_EQ(EscapedPathBytes("caf\xE9.kyk"), "caf\\xe9.kyk");        // Latin-1 é
    EXPECT_EQ(EscapedPathBytes("caf\\xe9.kyk"), "caf\\\\xe9.kyk");     // a backslash typed
    // A cut character, an overlong form, a surrogate, beyond U+10FFFF: each byte on its own.
    EXPECT_EQ(EscapedPathBytes("a\xC3"), "a\\xc3");
    EXPECT_EQ(EscapedPathBytes("\xC0\xAF"), "\\xc0\\xaf");
    EXPECT_EQ(EscapedPathBytes("\xED\xA0\x80"), "\\xed\\xa0\\x80");
    EXPECT_EQ(EscapedPathBytes("\xF4\x90\x80\x80"), "\\xf4\\x90\\x80\\x80");
    EXPECT_EQ(EscapedPathBytes("\xF0\x9F\x98\x80\xFF"), "\xF0\x9F\x98\x80\\xff");
}

TEST(ProfileRecord, EvaluationColumnsKeepTheToleranceAsTypedAndLeaveMissingResultsEmpty)
{
    RoundnessEvaluation e;
    e.Valid = true;
    e.References[ReferenceIndex(ReferenceKind::LeastSquares)].FitValid = true;
    e.References[ReferenceIndex(ReferenceKind::LeastSquares)].RONt = 0.004;
    e.References[ReferenceIndex(ReferenceKind::MinimumZone)].RONt = 0.0035;
    e.References[ReferenceIndex(ReferenceKind::MaximumInscribed)].FitValid = false; // no RONt
    e.References[ReferenceIndex(ReferenceKind::MinimumCircumscribed)].RONt = 0.0045;
    e.References[ReferenceIndex(ReferenceKind::MinimumCircumscribed)].FitValid = true;
    e.References[ReferenceIndex(ReferenceKind::MinimumCircumscribed)].ReferenceC = 10.0045;
    e.References[ReferenceIndex(ReferenceKind::MinimumCircumscribed)].Certificate = {CertificateLevel::Exact, 0.0, 2e-7,
                                                                                     false};
    e.RONp = 0.0021;
    e.RONv = 0.0019;
    e.RONq = 0.0012;
    // 3 µin to micrometres and back gives 2.9999999999999996 µin: the column shows the 3 typed.
    JudgeTolerance(e, RoundnessTolerance{3.0, false});
    ASSERT_EQ(e.Verdict, ToleranceVerdict::Fail);
    ProfileRecord r;
    r.Ok = true;
    FillEvaluation(r, e);
    auto cells = [](const std::string& row) {
        std::vector<std::string> fields;
        std::istringstream in(row.substr(0, row.size() - 2));
        for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
        if (row.size() > 2 && row[row.size() - 3] == ',') fields.emplace_back();
        return fields;
    };
    const auto inch = cells(CsvRow(r, false));
    // 29, the source and columns, then the filter, band, spikes, gap, coverage and samples, then the certificates' gaps
    ASSERT_EQ(inch.size(), 42u);
    EXPECT_EQ(inch[13], ShortestNumber(ShownLength(0.004, false)));
    EXPECT_EQ(inch[14], ShortestNumber(ShownLength(0.0035, false)));
    EXPECT_EQ(inch[15], "");
    EXPECT_EQ(inch[16], ShortestNumber(ShownLength(0.0045, false)));
    EXPECT_EQ(inch[17], ShortestNumber(ShownLength(0.0021, false)));
    EXPECT_EQ(inch[20], "3");
    EXPECT_EQ(inch[21], "Fail");
    EXPECT_EQ(inch[22], "LSCI");
    EXPECT_EQ(inch[23], ""); // the inscribed circle was not found
    EXPECT_EQ(inch[24], ShortestNumber(ShownLength(2 * 10.0045, false)));
    // Only the circumscribed reference was checked.
    EXPECT_EQ(inch[39], "");
    EXPECT_EQ(inch[40], "");
    EXPECT_EQ(inch[41], ShortestNumber(ShownLength(2e-7, false)));

    // No least squares circle: no RONp, RONv, RONq. No verdict, no tolerance: empty cells.
    e.References[ReferenceIndex(ReferenceKind::LeastSquares)] = {};
    JudgeTolerance(e, std::nullopt);
    ProfileRecord none;
    none.Ok = true;
    FillEvaluation(none, e);
    const auto metric = cells(CsvRow(none, true));
    for (std::size_t i : {13u, 15u, 17u, 18u, 19u, 20u, 21u, 22u, 23u}) EXPECT_EQ(metric[i], "") << i;
    EXPECT_EQ(metric[14], ShortestNumber(3.5));
}

TEST(BatchInputs, ProfileExtensionInAnyCase)
{
    EXPECT_TRUE(HasProfileExtension("a.kyk"));
    EXPECT_TRUE(HasProfileExtension("A.KYK"));
    EXPECT_TRUE(HasProfileExtension("b.Kyk"));
    EXPECT_FALSE(HasProfileExtension("kyk"));
    EXPECT_FALSE(HasProfileExtension("a.kyk.txt"));
    EXPECT_FALSE(HasProfileExtension("a_kyk"));
    std::istringstream none;
    EXPECT_EQ(ExpandInputs({"x.kyk"}, false, none).at(0).Path, "x.kyk");

    // Names on standard input: by line (a CR before the LF dropped), or by NUL, where a line break is part of a name.
    std::istringstream lines("a.kyk\r\n\nb c.kyk\n");
    const auto byLine = ExpandInputs({"-"}, false, lines);
    ASSERT_EQ(byLine.size(), 2u);
    EXPECT_EQ(byLine[1].Path, "b c.kyk");
    std::istringstream nul(std::string("a\nb.kyk\0\0c\r.kyk\0", 16));
    const auto byNul = ExpandInputs({"-"}, false, nul, '\0');
    ASSERT_EQ(byNul.size(), 2u);
    EXPECT_EQ(byNul[0].Path, "a\nb.kyk");
    EXPECT_EQ(byNul[1].Path, "c\r.kyk");
}

TEST(ProgressBar, DoneOfTotalRateAndTimeLeft)
{
    // 2500 of 10000 in 1.25 s: 2000 files/s, 7500 left take 3.75 s.
    EXPECT_EQ(ProgressBar::Line(2500, 10000, 1.25),
              "[#######.......................] 2500/10000  2000 files/s  0:04 left");
    EXPECT_EQ(ProgressBar::Line(0, 4, 0.0), "[..............................] 0/4");
    EXPECT_NE(ProgressBar::Line(1, 6001, 1.0).find("  1 files/s  1:40:00 left"), std::string::npos);
    EXPECT_NE(ProgressBar::Line(1, 1000000, 1.0).find("--:-- left"), std::string::npos); // beyond 100 hours
}

} // namespace
} // namespace kyklos
