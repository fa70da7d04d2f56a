#include "cli/RunPlan.h"

#include "cli/UncertaintyReport.h"
#include "platform/NumberText.h"
#include "view/DisplayScale.h"
#include "view/qt/OutputFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>
#include <utility>

namespace kyklos {

namespace {

bool ParseSize(const std::string& text, int& width, int& height)
{
    int w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X')) return false;
    if (w < 16 || h < 16 || w > 20000 || h > 20000) return false;
    width = w;
    height = h;
    return true;
}

// The harmonics limit of --harmonics: a whole number from 0, or "all"; empty when refused.
std::optional<int> ParseHarmonicLimit(const std::string& text)
{
    if (text == "all") return kAllHarmonics;
    int limit = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
    if (error != std::errc() || end != text.data() + text.size() || limit < 0) return std::nullopt;
    return limit;
}

ReferenceKind ReferenceOfOption(const std::string& name)
{
    if (name == "mz") return ReferenceKind::MinimumZone;
    if (name == "mi") return ReferenceKind::MaximumInscribed;
    if (name == "mc") return ReferenceKind::MinimumCircumscribed;
    return ReferenceKind::LeastSquares;
}

// Records go to standard output unless only pages were asked for.
OutputFormat FormatOfOptions(const Options& options)
{
    if (options.Json || options.Format == "json") return OutputFormat::Json;
    if (options.Format == "jsonl") return OutputFormat::JsonLines;
    if (options.Format == "csv") return OutputFormat::Csv;
    const bool summary = options.Summary || options.SummaryOnly || !options.SummaryFile.empty();
    if (options.Format == "text" || options.Output.empty() || summary) return OutputFormat::Text;
    return OutputFormat::None;
}

// The values typed as text, checked in the order the messages are given:
// the page size, the scale, the tolerance and the harmonics limit. The
// refusal's message, or nothing with `plan` filled in.
std::optional<std::string> PlanValues(const Options& options, RunPlan& plan)
{
    PageExportOptions& page = plan.Pages.Export;
    if (!ParseSize(options.Size, page.ImageWidth, page.ImageHeight))
        return "Invalid --size: use WxH, for example 1600x1000.";
    if (options.Scale) {
        const std::string refusal = ScaleRefusal(*options.Scale, plan.Metric);
        if (!refusal.empty()) return "--scale: " + refusal;
        plan.Pages.FixedBandRange = BandRangeOfScale(*options.Scale, plan.Metric);
    }
    if (options.Tolerance) {
        const std::optional<double> value = ParseTolerance(*options.Tolerance);
        if (!value) return "--tolerance: " + std::string(kToleranceRefusal);
        plan.Analysis.Tolerance = RoundnessTolerance{*value, plan.Metric};
    }
    const std::optional<int> limit = ParseHarmonicLimit(options.Harmonics);
    if (!limit) return "--harmonics: use a whole number of 0 or more, or all.";
    plan.HarmonicLimit = *limit;
    return std::nullopt;
}

// --uncertainty's model, draws and seed; the refusal's message, or nothing.
std::optional<std::string> PlanUncertainty(const Options& options, RunPlan& plan)
{
    if (!options.Uncertainty) {
        if (options.Draws) return "--draws needs --uncertainty.";
        if (options.Seed) return "--seed needs --uncertainty.";
        return std::nullopt;
    }
    std::string error;
    const std::optional<UncertaintyModel> model = ParseUncertaintyModel(*options.Uncertainty, plan.Metric, error);
    if (!model) return error;
    UncertaintyRequest request;
    request.Model = *model;
    request.Draws = options.Draws.value_or(kDefaultDraws);
    request.Seed = options.Seed.value_or(kDefaultSeed);
    plan.Uncertainty = request;
    return std::nullopt;
}

// "LOW:HIGH" of --band: two whole cutoffs in the range --cutoff takes, or nothing.
std::optional<std::pair<int, int>> ParseBand(const std::string& text)
{
    const auto whole = [](std::string_view part) -> std::optional<int> {
        int value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc() || end != part.data() + part.size() || value < 1 || value > 18000) return std::nullopt;
        return value;
    };
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const auto low = whole(std::string_view(text).substr(0, colon));
    const auto high = whole(std::string_view(text).substr(colon + 1));
    if (!low || !high) return std::nullopt;
    return std::pair{*low, *high};
}

// The filter kind of --filter and --band. A band carries its own two
// cutoffs, so --cutoff and another --filter kind beside it are refused
// rather than silently ignored.
std::optional<std::string> PlanFilterKind(const Options& options, AnalysisSettings& analysis)
{
    if (!options.Filter.empty()) analysis.FilterKind = *FilterKindFromName(options.Filter);
    if (options.Band.empty()) {
        if (analysis.FilterKind == FilterKind::Band) return "--filter band needs --band LOW:HIGH.";
        return std::nullopt;
    }
    if (!options.Filter.empty() && analysis.FilterKind != FilterKind::Band)
        return "--band and --filter " + options.Filter + " disagree: a band is a filter kind of its own.";
    if (options.CutoffGiven) return "--cutoff and --band disagree: the band's cutoffs are its LOW:HIGH.";
    const auto band = ParseBand(options.Band);
    if (!band) return "--band " + options.Band + ": use LOW:HIGH, two whole UPR from 1 to 18000, for example 15:150.";
    analysis.FilterKind = FilterKind::Band;
    analysis.BandLowUpr = band->first;
    analysis.BandHighUpr = band->second;
    if (const auto refusal = FilterSpecRefusal(analysis.Filter())) return "--band: " + std::string(*refusal);
    return std::nullopt;
}

// Sectors, filter kind, spike removal and true circles, in the order the
// messages are given.
std::optional<std::string> PlanProfileAnalysis(const Options& options, AnalysisSettings& analysis)
{
    for (const std::string& text : options.Exclude) {
        const std::optional<ExcludedSector> sector = ParseExcludedSector(text);
        if (!sector) return "--exclude " + text + ": use FROM:TO in degrees, for example 30:60 (350:10 through 0).";
        analysis.ExcludedSectors.push_back(*sector);
    }
    if (auto refusal = PlanFilterKind(options, analysis)) return refusal;
    if (options.RemoveSpikes) {
        // Without "=K" the flag's value is CLI11's "true".
        const std::string& text = *options.RemoveSpikes;
        const std::optional<double> k = text == "true" ? kDefaultSpikeDeviations : ParseNumber(text);
        if (!k || !std::isfinite(*k) || *k <= 0.0)
            return "--remove-spikes=" + text +
                   ": K must be a positive number of standard deviations, for example "
                   "--remove-spikes=5.";
        analysis.SpikeDeviations = *k;
    }
    analysis.WithCircles = options.Circles;
    analysis.WithCertificates = !options.NoCertificate;
    return std::nullopt;
}

// Options that change only one format's output are refused with another,
// so that a run never seems to honour what it ignores.
std::optional<std::string> FormatOptionRefusal(const Options& options, OutputFormat format)
{
    if (options.Raw && format != OutputFormat::Json && format != OutputFormat::JsonLines)
        return "--raw needs --format json or jsonl.";
    if (options.NoHeader && format != OutputFormat::Csv) return "--no-header needs --format csv.";
    if (options.CsvRaw && format != OutputFormat::Csv) return "--csv-raw needs --format csv.";
    return std::nullopt;
}

// The format of -o and of --metafile's picture, known before any work.
std::optional<std::string> OutputNameRefusal(const std::string& output)
{
    if (output.empty()) return std::nullopt;
    const std::string extension = LowerExtension(output);
    if (extension == ".pdf" || extension == ".png" || extension == ".svg") return std::nullopt;
    if (extension.empty()) return "-o " + output + ": name the format by the extension (.pdf, .png or .svg).";
    return "unknown output format '" + std::filesystem::path(output).extension().string() +
           "' (use .pdf, .png or .svg)";
}

void PlanSummary(const Options& options, RunPlan& plan)
{
    plan.Summary = options.SummaryOnly                               ? SummaryMode::Only
                   : options.Summary || !options.SummaryFile.empty() ? SummaryMode::AfterRecords
                                                                     : SummaryMode::None;
    if (!options.SummaryFile.empty()) {
        plan.SummaryTo = SummaryTarget::File;
        plan.SummaryPath = options.SummaryFile;
    } else if (plan.Summary == SummaryMode::AfterRecords && plan.Format == OutputFormat::Csv) {
        plan.SummaryTo = SummaryTarget::Errors;
    }
}

void PlanPages(const Options& options, PagePlan& pages)
{
    pages.Path = options.Output;
    pages.Export.Dpi = options.Dpi;
    pages.Export.Paper = options.Paper == "letter" ? PaperSize::Letter : PaperSize::A4;
    pages.Export.EvaluationPage = options.EvaluationPage;
    pages.ShowCenteredProfile = options.Centered;
    pages.ShowRawData = !options.NoRaw;
    pages.ShowReferenceCircle = !options.NoReference;
}

// Only pages, text records and JSON records with harmonics show the
// spectra; a table row and the summary need none, and they would cost a
// quarter of a table run.
bool NeedsHarmonics(const RunPlan& plan)
{
    if (!plan.Pages.Path.empty()) return true;
    if (plan.Summary == SummaryMode::Only) return false;
    const bool json = plan.Format == OutputFormat::Json || plan.Format == OutputFormat::JsonLines;
    return plan.Format == OutputFormat::Text || (json && plan.HarmonicLimit != 0);
}

// The evaluation's settings and its inputs, once the options are accepted.
void PlanEvaluation(const Options& options, std::vector<BatchInput> files, RunPlan& plan)
{
    plan.Analysis.ReferenceKind = ReferenceOfOption(options.Reference);
    plan.Analysis.FilterCutoffUpr = options.CutoffUpr;
    plan.Analysis.WithHarmonics = NeedsHarmonics(plan);
    plan.Demo = options.Demo;
    plan.Files = std::move(files);
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int fileCount = static_cast<int>(std::min<std::size_t>(plan.Files.size(), 1u << 20));
    plan.Workers = std::max(1, std::min({options.Jobs > 0 ? options.Jobs : cores, 4 * cores, fileCount}));
}

// The inputs as named; with -0 standard input is among them.
std::vector<std::string> InputNames(const Options& options)
{
    std::vector<std::string> names = options.Files;
    if (options.Null && std::find(names.begin(), names.end(), "-") == names.end()) names.emplace_back("-");
    return names;
}

} // namespace

std::variant<RunPlan, Refusal> PlanRun(const Options& options, std::istream& list)
{
    if (options.Json && !options.Format.empty() && options.Format != "json")
        return Refusal{"--json and --format " + options.Format + " disagree.", kExitUsage, OutputFormat::Text};
    RunPlan plan;
    plan.Format = FormatOfOptions(options);
    plan.Metric = !options.Inch;
    plan.RawSamples = options.Raw;
    PlanSummary(options, plan);
    plan.CsvHeader = !options.NoHeader;
    plan.CsvGuardFormulas = !options.CsvRaw;
    plan.ShowProgress = !options.Quiet;
    const auto refuse = [&](std::string message, int status = kExitUsage) {
        return Refusal{std::move(message), status, plan.Format};
    };
    if (auto refusal = FormatOptionRefusal(options, plan.Format)) return refuse(std::move(*refusal));
    if (auto refusal = PlanValues(options, plan)) return refuse(std::move(*refusal));
    if (auto refusal = PlanUncertainty(options, plan)) return refuse(std::move(*refusal));
    if (auto refusal = PlanProfileAnalysis(options, plan.Analysis)) return refuse(std::move(*refusal));
    if (auto refusal = OutputNameRefusal(options.Output)) return refuse(std::move(*refusal));
    if (auto refusal = PlanTables(options.Table, plan.Tables)) return refuse(std::move(*refusal));
    PlanPages(options, plan.Pages);

    if (!options.Metafile.empty()) {
        if (options.Output.empty()) return refuse("--metafile needs -o picture.png, .svg or .pdf.");
        plan.Metafile = options.Metafile;
        return plan;
    }
    if (options.EvaluationPage && options.Output.empty())
        return refuse("--evaluation-page needs -o report.pdf, .png or .svg.");
    const std::vector<std::string> names = InputNames(options);
    if (names.empty() && !options.Demo)
        return refuse("Nothing to evaluate: name a .kyk file or a folder, or use --demo (see --help).");
    PlanEvaluation(
        options,
        ExpandInputs(names, options.Recursive, list, options.Null ? '\0' : '\n', plan.Tables.FoldersTakeTables), plan);
    if (plan.RecordCount() == 0) return refuse("No .kyk file found in the inputs.", kExitFileFailed);
    return plan;
}

} // namespace kyklos
