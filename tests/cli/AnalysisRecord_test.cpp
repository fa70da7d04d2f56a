// What a record says about the analysis beyond the cutoff (the filter
// applied, excluded samples, spikes, coverage, contacts, true circles), on
// documents whose results are set up here the way an analysis leaves them.

#include "cli/BatchSummary.h"
#include "cli/CsvTable.h"
#include "cli/ProfileRecord.h"
#include "cli/ReportText.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

namespace kyklos {
namespace {

constexpr int kDemoSamples = 3600; // the demonstration profile: 0.1° steps

// The last `count` cells of a CSV line (CR LF removed).
std::vector<std::string> LastCells(std::string line, std::size_t count)
{
    if (line.size() >= 2 && line.ends_with("\r\n")) line.resize(line.size() - 2);
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        cells.push_back(line.substr(start, comma - start));
    cells.push_back(line.substr(start));
    return {cells.end() - static_cast<std::ptrdiff_t>(count), cells.end()};
}

// A certificate's gap as the table writes it, in µm.
std::string GapCell(const CKyklosDoc& doc, ReferenceKind kind)
{
    return ShortestNumber(doc.Result.Evaluation.Reference(kind).Certificate.GapMm * 1000.0);
}

// The demonstration profile as a full turn at equal steps leaves it.
TEST(AnalysisRecord, AFullTurnAtEqualStepsAppendsItsFactsAndChangesNothingElse)
{
    CKyklosDoc doc;
    ASSERT_TRUE(doc.AnalysisValid);
    const std::string textBefore = ResultsText(doc, true);
    doc.Result.Samples = SampleSet::EqualSteps(kDemoSamples);

    const auto j = DocumentJson(doc, false);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) keys.push_back(item.key());
    const std::vector<std::string> appended{"Filter",   "Band",        "SpikesRemoved",  "LargestGap",
                                            "Coverage", "SamplesUsed", "SamplesExcluded"};
    ASSERT_GE(keys.size(), appended.size() + 1);
    EXPECT_EQ(keys[keys.size() - appended.size() - 1], "Evaluation");
    EXPECT_EQ(std::vector<std::string>(keys.end() - 7, keys.end()), appended);
    EXPECT_EQ(j["Filter"], "gaussian");
    EXPECT_TRUE(j["Band"].is_null());
    EXPECT_EQ(j["SpikesRemoved"], 0);
    EXPECT_EQ(j["SamplesUsed"], kDemoSamples);
    EXPECT_EQ(j["SamplesExcluded"], 0);
    EXPECT_NEAR(j["LargestGap"].get<double>(), 0.1, 1e-12);
    EXPECT_NEAR(j["Coverage"].get<double>(), 359.9, 1e-12);
    EXPECT_FALSE(j.contains("Circles"));
    for (const char* reference : {"LeastSquares", "MinimumZone", "MaximumInscribed", "MinimumCircumscribed"})
        EXPECT_TRUE(j["Evaluation"]["References"][reference]["Contacts"].is_array()) << reference;
    EXPECT_TRUE(j["Evaluation"]["References"]["LeastSquares"]["Contacts"].empty());

    // Nothing departs from the default: the text block has no line more.
    EXPECT_EQ(ResultsText(doc, true), textBefore);

    const ProfileRecord record = RecordOfDocument(doc, "demo.kyk");
    EXPECT_TRUE(CsvHeader(true).ends_with(
        ",ront_mc_max_um,source_format,columns,filter,band_low_upr,band_high_upr,spikes_removed,"
        "largest_gap_deg,coverage_deg,samples_used,samples_excluded,mz_gap_um,mi_gap_um,mc_gap_um\r\n"));
    const auto cells = LastCells(CsvRow(record, true), 11);
    EXPECT_EQ(cells, (std::vector<std::string>{"gaussian", "", "", "0", ShortestNumber(j["LargestGap"].get<double>()),
                                               ShortestNumber(j["Coverage"].get<double>()), "3600", "0",
                                               GapCell(doc, ReferenceKind::MinimumZone),
                                               GapCell(doc, ReferenceKind::MaximumInscribed),
                                               GapCell(doc, ReferenceKind::MinimumCircumscribed)}));
}

// True circles as an analysis hands them up: an inscribed circle the
// coverage rule left out, a circumscribed one that failed its check.
TrueCircles SomeCircles()
{
    TrueCircles c;
    c.LeastSquares = {1.25, -0.5, 10.000125, 9.996, 10.004, 0.008, {}, true};
    c.MinimumZone = {
        1.2501, -0.5002, 10.0001, 9.9965, 10.0037, 0.0072, {{7, 0.5, CircleSide::Outer}, {900, 1.6, CircleSide::Inner}},
        true};
    c.MinimumCircumscribed = TrueCircle{};
    return c;
}

// The demonstration profile with the sector 350:10 excluded, two spikes
// removed, a band applied and the true circles fitted.
TEST(AnalysisRecord, SectorsSpikesBandContactsAndCirclesInJsonCsvAndText)
{
    CKyklosDoc doc;
    doc.Settings.ExcludedSectors = {{350.0, 10.0}};
    doc.Settings.SpikeDeviations = 5.0;
    doc.Settings.FilterKind = FilterKind::Band;
    doc.Settings.WithCircles = true;
    AnalysisResult& r = doc.Result;
    // Samples 3500 … 3599 and 0 … 100 lie in the sector (ends included): 201.
    std::vector<bool> used(kDemoSamples, true);
    for (int i = 0; i < kDemoSamples; ++i)
        used[static_cast<std::size_t>(i)] = !SectorHoldsAngle({350.0, 10.0}, i * (2.0 * std::numbers::pi / 3600.0));
    r.RemovedSpikes = {1000, 2000};
    for (const int spike : r.RemovedSpikes) used[static_cast<std::size_t>(spike)] = false;
    r.Samples = SampleSet::EqualSteps(kDemoSamples, used);
    r.SamplesExcluded = 203;
    r.FilterApplied = doc.Settings.Filter();
    r.Circles = SomeCircles();
    r.Evaluation.References[1].Contacts = {{12, 0.25, ReferenceSide::Outer}, {1800, 3.5, ReferenceSide::Inner}};

    const auto j = DocumentJson(doc, false);
    EXPECT_EQ(j["Filter"], "band");
    EXPECT_EQ(j["Band"], nlohmann::ordered_json::parse("[15,150]"));
    EXPECT_EQ(j["FilterCutoffUpr"], 150);
    EXPECT_EQ(j["SpikesRemoved"], 2);
    EXPECT_EQ(j["SamplesUsed"], 3600 - 203);
    EXPECT_EQ(j["SamplesExcluded"], 203);
    // Used from 10.1° round to 349.9°: the gap through 0 is 20.2°.
    EXPECT_NEAR(j["LargestGap"].get<double>(), 20.2, 1e-9);
    EXPECT_NEAR(j["Coverage"].get<double>(), 339.8, 1e-9);
    EXPECT_EQ(j["Evaluation"]["References"]["MinimumZone"]["Contacts"],
              nlohmann::ordered_json::parse(R"([{"Index":12,"Angle":0.25,"Side":"outer"},
                                        {"Index":1800,"Angle":3.5,"Side":"inner"}])"));
    const auto& circles = j["Circles"];
    EXPECT_EQ(circles["LeastSquares"],
              nlohmann::ordered_json::parse(R"({"CentreX":1.25,"CentreY":-0.5,"Radius":10.000125,
                                                                 "RONt":0.008,"Contacts":[],
                                                                 "Certificate":{"Checked":"none","Violation":null,
                                                                 "Gap":null,"Optimal":false}})"));
    EXPECT_EQ(circles["MinimumZone"],
              nlohmann::ordered_json::parse(R"({"CentreX":1.2501,"CentreY":-0.5002,"InnerRadius":9.9965,
                                        "OuterRadius":10.0037,"RONt":0.0072,
                                        "Contacts":[{"Index":7,"Angle":0.5,"Side":"outer"},
                                                    {"Index":900,"Angle":1.6,"Side":"inner"}],
                                        "Certificate":{"Checked":"none","Violation":null,"Gap":null,"Optimal":false}})"));
    EXPECT_TRUE(circles["MaximumInscribed"].is_null());
    EXPECT_TRUE(circles["MinimumCircumscribed"].is_null());

    const std::string text = ResultsText(doc, true);
    // After the runout, in the rows' layout: the label in 16 columns, the value right-aligned in 12.
    const std::size_t runout = text.find("\nRunout:");
    ASSERT_NE(runout, std::string::npos);
    const std::string excluded = "\nExcluded:        350:10 deg\n";
    EXPECT_EQ(text.substr(text.find('\n', runout + 1), excluded.size()), excluded);
    const std::string lines[] = {"\nSpikes removed:  2 (beyond 5 \u03C3)\n",
                                 "\nSamples used:    3397 of 3600\n",
                                 "\nCoverage:        339.8 deg (largest gap 20.2 deg)\n",
                                 "\nTrue LSCI:             8.000 \u00B5m\n",
                                 "\nTrue MZCI:             7.200 \u00B5m\n",
                                 "\nTrue MICI:                 \u2014 \u00B5m\n"};
    for (const std::string& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << text;

    // CSV: the circles' columns only in a run that asks for them, lengths in the run's unit, centres and radii in mm.
    const ProfileRecord record = RecordOfDocument(doc, "demo.kyk");
    EXPECT_EQ(CsvHeader(true).find(",ls_centre_x_mm"), std::string::npos);
    EXPECT_TRUE(CsvHeader(false, true)
                    .ends_with(",samples_excluded,mz_gap_uin,mi_gap_uin,mc_gap_uin,ls_centre_x_mm,ls_centre_y_mm,ls_"
                               "radius_mm,ls_ront_uin,mz_inner_radius_mm,"
                               "mz_outer_radius_mm,mz_ront_uin,mi_radius_mm,mi_ront_uin,mc_radius_mm,mc_ront_uin\r\n"));
    EXPECT_EQ(LastCells(CsvRow(record, true, true, true), 22),
              (std::vector<std::string>{"band",
                                        "15",
                                        "150",
                                        "2",
                                        ShortestNumber(j["LargestGap"].get<double>()),
                                        ShortestNumber(j["Coverage"].get<double>()),
                                        "3397",
                                        "203",
                                        GapCell(doc, ReferenceKind::MinimumZone),
                                        GapCell(doc, ReferenceKind::MaximumInscribed),
                                        GapCell(doc, ReferenceKind::MinimumCircumscribed),
                                        "1.25",
                                        "-0.5",
                                        "10.000125",
                                        ShortestNumber(0.008 * 1000.0),
                                        "9.9965",
                                        "10.0037",
                                        ShortestNumber(0.0072 * 1000.0),
                                        "",
                                        "",
                                        "",
                                        ""}));
    EXPECT_EQ(LastCells(CsvRow(record, false, true, true), 11)[3], ShortestNumber(0.008 / 25.4e-6));
    EXPECT_EQ(LastCells(CsvRow(record, false, true, true), 11)[2], "10.000125");

    BatchSummary withCircles(true, std::nullopt, true);
    withCircles.Add(record);
    EXPECT_EQ(withCircles.Json()["columns"]["mz_inner_radius_mm"]["mean"], 9.9965);
    EXPECT_FALSE(BatchSummary(true, std::nullopt).Json()["columns"].contains("ls_ront_um"));
}

} // namespace
} // namespace kyklos
