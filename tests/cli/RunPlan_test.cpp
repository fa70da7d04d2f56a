// The run plan of an argument list: what it decides and what it refuses,
// with the message, the exit status and where the message goes.

#include "cli/RecordStream.h"
#include "cli/RunPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

namespace kyklos {
namespace {

std::variant<RunPlan, Refusal> Plan(std::vector<const char*> arguments, const std::string& list = {})
{
    arguments.insert(arguments.begin(), "kyklos-report");
    Options options;
    std::ostringstream out, err;
    const auto status = ParseOptions(static_cast<int>(arguments.size()), arguments.data(), options, out, err);
    EXPECT_FALSE(status) << err.str();
    std::istringstream names(list);
    return PlanRun(options, names);
}

RunPlan Accepted(std::vector<const char*> arguments, const std::string& list = {})
{
    auto planned = Plan(std::move(arguments), list);
    if (const Refusal* refusal = std::get_if<Refusal>(&planned)) ADD_FAILURE() << refusal->Message;
    return std::holds_alternative<RunPlan>(planned) ? std::get<RunPlan>(planned) : RunPlan{};
}

Refusal Refused(std::vector<const char*> arguments)
{
    auto planned = Plan(std::move(arguments));
    EXPECT_TRUE(std::holds_alternative<Refusal>(planned));
    return std::holds_alternative<Refusal>(planned) ? std::get<Refusal>(planned) : Refusal{};
}

TEST(RunPlan, FormatAndWhetherTheEvaluationNeedsItsHarmonics)
{
    struct Row {
        std::vector<const char*> arguments;
        OutputFormat format;
        bool harmonics;
    };
    const Row rows[] = {
        {{"--demo"}, OutputFormat::Text, true},
        {{"--demo", "--format", "csv"}, OutputFormat::Csv, false},
        {{"--demo", "--format", "csv", "-o", "r.pdf"}, OutputFormat::Csv, true}, // the pages show them
        {{"--demo", "--json"}, OutputFormat::Json, true},
        {{"--demo", "--json", "--format", "json", "--harmonics", "0"}, OutputFormat::Json, false},
        {{"--demo", "--format", "jsonl", "--harmonics", "all"}, OutputFormat::JsonLines, true},
        {{"--demo", "--summary-only"}, OutputFormat::Text, false},
        {{"--demo", "--summary"}, OutputFormat::Text, true},
        {{"--demo", "-o", "r.png"}, OutputFormat::None, true},
        {{"--demo", "-o", "r.png", "--summary"}, OutputFormat::Text, true},
        {{"--demo", "-o", "r.png", "--format", "text"}, OutputFormat::Text, true},
    };
    for (const Row& row : rows) {
        const RunPlan plan = Accepted(row.arguments);
        EXPECT_EQ(plan.Format, row.format) << row.arguments.size();
        EXPECT_EQ(plan.Analysis.WithHarmonics, row.harmonics) << row.arguments.size();
    }
    EXPECT_EQ(Accepted({"--demo", "--summary-only", "--summary"}).Summary, SummaryMode::Only);
    EXPECT_EQ(Accepted({"--demo", "--harmonics", "all"}).HarmonicLimit, kAllHarmonics);
}

TEST(RunPlan, SettingsUnitsPagesAndInputsInOrder)
{
    const RunPlan plan = Accepted(
        {"a.kyk", "-",  "--demo", "--reference", "mi",     "--cutoff", "150", "--inch",   "--tolerance", "40",     "-j",
         "3",     "-o", "r.pdf",  "--paper",     "letter", "--scale",  "5",   "--no-raw", "--size",      "800X600"},
        "b.kyk\r\n\nc.kyk\n");
    EXPECT_EQ(plan.Analysis.ReferenceKind, ReferenceKind::MaximumInscribed);
    EXPECT_EQ(plan.Analysis.FilterCutoffUpr, 150);
    EXPECT_FALSE(plan.Metric);
    EXPECT_EQ(plan.Analysis.Tolerance, (RoundnessTolerance{40.0, false}));
    EXPECT_EQ(plan.Workers, 3);
    EXPECT_EQ(plan.Pages.Export.Paper, PaperSize::Letter);
    EXPECT_EQ(plan.Pages.Export.ImageWidth, 800);
    EXPECT_EQ(plan.Pages.Export.ImageHeight, 600);
    EXPECT_DOUBLE_EQ(*plan.Pages.FixedBandRange, 10.0 * 0.0254); // two divisions of 5 µin, in µm
    EXPECT_FALSE(plan.Pages.ShowRawData);
    EXPECT_TRUE(plan.Pages.ShowReferenceCircle);
    // The demonstration first, then the files in the order named.
    EXPECT_TRUE(plan.Demo);
    ASSERT_EQ(plan.Files.size(), 3u);
    EXPECT_EQ(plan.Files[0].Path, "a.kyk");
    EXPECT_EQ(plan.Files[2].Path, "c.kyk");
    EXPECT_EQ(plan.RecordCount(), 4u);
    EXPECT_GE(Accepted({"--demo"}).Workers, 1);

    // Workers: no more than files, nor than four per core.
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_EQ(Accepted({"-j", "1000", "a.kyk", "b.kyk"}).Workers, 2);
    std::string many;
    for (int i = 0; i < 200; ++i) many += "p" + std::to_string(i) + ".kyk\n";
    EXPECT_EQ(Accepted({"-j", "1000", "-"}, many).Workers, std::min(200, 4 * cores));
    EXPECT_EQ(Accepted({"-j", "1", "-"}, many).Workers, 1);

    // -0: NUL-separated names, read from standard input even when - is not named.
    const RunPlan nul = Accepted({"-0", "a.kyk"}, std::string("b\nc.kyk\0d.kyk\0", 13));
    ASSERT_EQ(nul.Files.size(), 3u);
    EXPECT_EQ(nul.Files[1].Path, "b\nc.kyk");

    // The summary: after the records, beside a CSV table on standard error, or in its file.
    EXPECT_EQ(Accepted({"--demo", "--summary"}).SummaryTo, SummaryTarget::Output);
    EXPECT_EQ(Accepted({"--demo", "--summary", "--format", "csv"}).SummaryTo, SummaryTarget::Errors);
    EXPECT_EQ(Accepted({"--demo", "--summary-only", "--format", "csv"}).SummaryTo, SummaryTarget::Output);
    const RunPlan filed = Accepted({"--demo", "--format", "csv", "--summary-file", "s.csv"});
    EXPECT_EQ(filed.Summary, SummaryMode::AfterRecords);
    EXPECT_EQ(filed.SummaryTo, SummaryTarget::File);
    EXPECT_EQ(filed.SummaryPath, "s.csv");
    EXPECT_FALSE(Accepted({"--demo", "--format", "csv", "--csv-raw"}).CsvGuardFormulas);
}

TEST(RunPlan, RefusalsInTheOrderTheOptionsAreCheckedAndInTheRunsFormat)
{
    struct Row {
        std::vector<const char*> arguments;
        std::string message;
        int status;
        OutputFormat format;
    };
    const Row rows[] = {
        {{"--demo", "--json", "--format", "csv", "--size", "1"},
         "--json and --format csv disagree.",
         2,
         OutputFormat::Text},
        {{"--demo", "--json", "--size", "15x1000", "--tolerance", "0"},
         "Invalid --size: use WxH, for example 1600x1000.",
         2,
         OutputFormat::Json},
        {{"--demo", "--format", "csv", "--scale", "0", "--tolerance", "0"},
         "--scale: Please enter a positive number.",
         2,
         OutputFormat::Csv},
        {{"--demo", "--format", "jsonl", "--tolerance", "0", "--harmonics", "x"},
         "--tolerance: The tolerance must be a positive number.",
         2,
         OutputFormat::JsonLines},
        {{"--demo", "--harmonics", "-1"},
         "--harmonics: use a whole number of 0 or more, or all.",
         2,
         OutputFormat::Text},
        {{"--metafile", "logo.wmf", "--evaluation-page"},
         "--metafile needs -o picture.png, .svg or .pdf.",
         2,
         OutputFormat::Text},
        {{"--demo", "--evaluation-page"},
         "--evaluation-page needs -o report.pdf, .png or .svg.",
         2,
         OutputFormat::Text},
        {{"-o", "r.png"},
         "Nothing to evaluate: name a .kyk file or a folder, or use --demo (see --help).",
         2,
         OutputFormat::None},
        {{"-", "--json"}, "No .kyk file found in the inputs.", 1, OutputFormat::Json},
        // An option that changes only another format's output, before any value is read.
        {{"--demo", "--raw", "--size", "1"}, "--raw needs --format json or jsonl.", 2, OutputFormat::Text},
        {{"--demo", "--raw", "--format", "csv"}, "--raw needs --format json or jsonl.", 2, OutputFormat::Csv},
        {{"--demo", "--raw", "-o", "r.pdf"}, "--raw needs --format json or jsonl.", 2, OutputFormat::None},
        {{"--demo", "--no-header", "--json"}, "--no-header needs --format csv.", 2, OutputFormat::Json},
        {{"--demo", "--csv-raw", "--format", "jsonl"}, "--csv-raw needs --format csv.", 2, OutputFormat::JsonLines},
        {{"--demo", "--tolerance", "0x10"},
         "--tolerance: The tolerance must be a positive number.",
         2,
         OutputFormat::Text},
        // The pages' format, from the name, before any work.
        {{"--demo", "-o", "r.bmp", "--evaluation-page"},
         "unknown output format '.bmp' (use .pdf, .png or .svg)",
         2,
         OutputFormat::None},
        {{"--metafile", "logo.wmf", "-o", "logo"},
         "-o logo: name the format by the extension (.pdf, .png or .svg).",
         2,
         OutputFormat::None},
    };
    for (const Row& row : rows) {
        const Refusal refusal = Refused(row.arguments);
        EXPECT_EQ(refusal.Message, row.message);
        EXPECT_EQ(refusal.ExitStatus, row.status) << row.message;
        EXPECT_EQ(refusal.Format, row.format) << row.message;
    }
    // A metafile is drawn alone: the evaluation page's -o check and the inputs are not reached.
    const RunPlan logo = Accepted({"--metafile", "logo.wmf", "-o", "l.svg", "--evaluation-page", "-"}, "a.kyk\n");
    EXPECT_EQ(logo.Metafile, "logo.wmf");
    EXPECT_TRUE(logo.Files.empty());
}

TEST(RunPlan, SectorsFilterKindsSpikesAndCircles)
{
    // Off by default: the settings of a run without the options are the document's defaults.
    const AnalysisSettings plain = Accepted({"--demo", "--cutoff", "15"}).Analysis;
    EXPECT_EQ(plain.Filter(), (FilterSpec{FilterKind::Gaussian, 15, 15, 150}));
    EXPECT_TRUE(plain.ExcludedSectors.empty());
    EXPECT_FALSE(plain.SpikeDeviations);
    EXPECT_FALSE(plain.WithCircles);

    // Sectors in the order given, a negative end and one through 0 included;
    // the flag without "=K" leaves the file after it a file.
    const RunPlan plan = Accepted({"--exclude", "30:60.5", "--exclude", "-10:20", "--exclude=350:10", "--circles",
                                   "--filter", "robust", "--remove-spikes", "a.kyk"});
    EXPECT_EQ(plan.Analysis.ExcludedSectors, (std::vector<ExcludedSector>{{30.0, 60.5}, {-10.0, 20.0}, {350.0, 10.0}}));
    EXPECT_TRUE(plan.Analysis.WithCircles);
    EXPECT_EQ(plan.Analysis.FilterKind, FilterKind::Robust);
    EXPECT_EQ(plan.Analysis.SpikeDeviations, kDefaultSpikeDeviations);
    ASSERT_EQ(plan.Files.size(), 1u);
    EXPECT_EQ(plan.Files[0].Path, "a.kyk");

    EXPECT_EQ(Accepted({"--demo", "--remove-spikes=3.5"}).Analysis.SpikeDeviations, 3.5);
    for (const char* kind : {"gaussian", "gaussian-exact", "robust", "2rc", "none"})
        EXPECT_EQ(FilterName(Accepted({"--demo", "--filter", kind}).Analysis.FilterKind), kind);
    const AnalysisSettings band = Accepted({"--demo", "--band", "15:150"}).Analysis;
    EXPECT_EQ(band.Filter(), (FilterSpec{FilterKind::Band, 50, 15, 150}));
    EXPECT_EQ(UpperCutoffUpr(band.Filter()), 150);
    EXPECT_EQ(Accepted({"--demo", "--filter", "band", "--band", "1:18000"}).Analysis.BandHighUpr, 18000);
}

TEST(RunPlan, RefusedSectorsBandsAndSpikeLimits)
{
    const std::pair<std::vector<const char*>, std::string> rows[] = {
        {{"--demo", "--exclude", "30-60"},
         "--exclude 30-60: use FROM:TO in degrees, for example 30:60 (350:10 through 0)."},
        {{"--demo", "--exclude", "30:"},
         "--exclude 30:: use FROM:TO in degrees, for example 30:60 (350:10 through 0)."},
        {{"--demo", "--exclude", "10:20", "--exclude", "a:b"},
         "--exclude a:b: use FROM:TO in degrees, for example 30:60 (350:10 through 0)."},
        {{"--demo", "--band", "150:15"}, "--band: The band's low cutoff must be below its high cutoff."},
        {{"--demo", "--band", "15:15"}, "--band: The band's low cutoff must be below its high cutoff."},
        {{"--demo", "--band", "0:15"}, "--band 0:15: use LOW:HIGH, two whole UPR from 1 to 18000, for example 15:150."},
        {{"--demo", "--band", "15:18001"},
         "--band 15:18001: use LOW:HIGH, two whole UPR from 1 to 18000, for example 15:150."},
        {{"--demo", "--band", "15.5:150"},
         "--band 15.5:150: use LOW:HIGH, two whole UPR from 1 to 18000, for example 15:150."},
        {{"--demo", "--band", "15:150", "--filter", "robust"},
         "--band and --filter robust disagree: a band is a filter kind of its own."},
        {{"--demo", "--band", "15:150", "--cutoff", "50"},
         "--cutoff and --band disagree: the band's cutoffs are its LOW:HIGH."},
        {{"--demo", "--filter", "band"}, "--filter band needs --band LOW:HIGH."},
        {{"--demo", "--remove-spikes=0"},
         "--remove-spikes=0: K must be a positive number of standard deviations, for example --remove-spikes=5."},
        {{"--demo", "--remove-spikes=-2"},
         "--remove-spikes=-2: K must be a positive number of standard deviations, for example --remove-spikes=5."},
        {{"--demo", "--remove-spikes=nan"},
         "--remove-spikes=nan: K must be a positive number of standard deviations, for example --remove-spikes=5."},
        {{"--demo", "--remove-spikes=5,5"},
         "--remove-spikes=5,5: K must be a positive number of standard deviations, for example --remove-spikes=5."},
    };
    for (const auto& [arguments, message] : rows) {
        const Refusal refusal = Refused(arguments);
        EXPECT_EQ(refusal.Message, message);
        EXPECT_EQ(refusal.ExitStatus, 2) << message;
    }
}

// A file whose samples cannot take the filter kind is that file's record;
// the run goes on and ends with the usage status, above a file's failure.
TEST(RecordStream, AFilterKindAFileCannotTakeEndsTheRunWithTheUsageStatus)
{
    AnalysisSettings settings;
    settings.FilterKind = FilterKind::TwoRC;
    const auto finish = [&](const std::vector<std::string>& messages) {
        RunPlan plan;
        plan.Format = OutputFormat::None;
        plan.ShowProgress = false;
        plan.Files.resize(messages.size());
        RecordStream stream(plan, nullptr);
        EXPECT_TRUE(stream.Begin());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            ProfileRecord record = FailedRecord("f" + std::to_string(i) + ".csv", messages[i]);
            MarkFilterRefusal(record, settings);
            stream.Take(i, record, {}, nullptr);
        }
        return stream.Finish();
    };
    const std::string refusal = EqualStepsRefusal(FilterKind::TwoRC);
    EXPECT_EQ(finish({"Invalid file format.", refusal}), kExitUsage);
    EXPECT_EQ(finish({"Invalid file format."}), kExitFileFailed);
    // Another kind's refusal is not this run's.
    EXPECT_EQ(finish({EqualStepsRefusal(FilterKind::Band)}), kExitFileFailed);
    settings.FilterKind = FilterKind::Robust; // works on any angles: never refused for its steps
    EXPECT_EQ(finish({EqualStepsRefusal(FilterKind::Robust)}), kExitFileFailed);
}

TEST(Options, HelpAndRefusedValuesEndTheRunWithTheirStatus)
{
    auto status = [](std::vector<const char*> arguments, std::string* out = nullptr) {
        arguments.insert(arguments.begin(), "kyklos-report");
        Options options;
        std::ostringstream text, errors;
        const auto ended = ParseOptions(static_cast<int>(arguments.size()), arguments.data(), options, text, errors);
        if (out) *out = text.str();
        return ended.value_or(-1);
    };
    std::string help;
    EXPECT_EQ(status({"--help"}, &help), 0);
    for (const char* option :
         {"--evaluation-page", "--exclude FROM:TO", "--band LOW:HIGH", "--filter", "--remove-spikes", "--circles"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_EQ(status({"--filter", "gauss"}), 2);
    EXPECT_EQ(status({"--cutoff", "18001"}), 2);
    EXPECT_EQ(status({"--cutoff", "18000"}), -1);
    EXPECT_EQ(status({"--reference", "xx"}), 2);
    EXPECT_EQ(status({"-j", "0"}), 2);
}

} // namespace
} // namespace kyklos
