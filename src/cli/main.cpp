// kyklos-report: the headless front end. Evaluates .kyk profiles (or the
// demonstration profile) with the chosen reference and cutoff, any number of
// them on every core, and prints the results as text, JSON, JSON Lines or CSV,
// or writes the report pages to PNG, PDF or SVG.

#include "cli/BatchInputs.h"
#include "cli/BatchRunner.h"
#include "cli/BatchSummary.h"
#include "cli/CsvTable.h"
#include "cli/ProfileEvaluator.h"
#include "cli/ProgressBar.h"
#include "cli/ReportText.h"
#include "document/GaussianNoiseSource.h"
#include "platform/TextEncoding.h"
#include "platform/Version.h"
#include "view/DisplayScale.h"
#include "view/KyklosView.h"
#include "view/qt/MetafilePreview.h"
#include "view/qt/PageExport.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace kyklos;

// Exit statuses.
constexpr int kSuccess = 0;
constexpr int kFileFailed = 1;   // a file could not be evaluated, or the output not written
constexpr int kUsage = 2;        // the command line was refused
constexpr int kVerdictFail = 3;  // every file evaluated, and a verdict was "Fail"

enum class Format { None, Text, Json, JsonLines, Csv };

struct Options {
    std::vector<std::string> files;
    std::string format;
    bool json = false;
    bool demo = false;
    bool raw = false;
    bool recursive = false;
    int jobs = 0;
    bool quiet = false;
    bool summary = false;
    bool summaryOnly = false;
    bool noHeader = false;
    std::string reference = "ls";
    int cutoff = 50;
    std::string output;
    std::string size = "1600x1000";
    int dpi = 0;
    std::string paper = "a4";
    bool inch = false;
    bool centered = false;
    bool noRaw = false;
    bool noReference = false;
    std::optional<double> scale;
    std::string metafile;
    std::optional<std::string> tolerance;
    std::string harmonics = "500";
    bool evaluationPage = false;
};

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

void Write(const std::string& text)
{
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stdout);
}

// A failure of the whole run (not of one file): one JSON object or one line on standard error.
int Fail(Format format, const std::string& message, int status)
{
    if (format == Format::Json || format == Format::JsonLines) {
        nlohmann::ordered_json j;
        j["ok"] = false;
        j["message"] = DisplayText(message);
        Write(JsonText(j, format == Format::Json ? 2 : -1) + "\n");
        std::fflush(stdout);
    } else {
        std::cerr << "kyklos-report: " << DisplayText(message) << '\n';
    }
    return status;
}

// Every line after the first moves right by `spaces`, to nest a JSON text in an array.
std::string Indented(const std::string& text, int spaces)
{
    const std::string pad(static_cast<std::size_t>(spaces), ' ');
    std::string out = pad;
    for (const char c : text) {
        out += c;
        if (c == '\n') out += pad;
    }
    return out;
}

// A batch tool prints its results and its one-line errors, not Qt's
// diagnostics about the desktop session it does not have.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    CLI::App cli{"kyklos-report: roundness evaluation of .kyk profiles without a window.\n"
                 "Reads each FILE (a folder: the .kyk files in it; -: one name per line from standard input),\n"
                 "or makes the demonstration profile with --demo, filters it with the Gaussian filter, fits the\n"
                 "chosen reference circle and prints the results, or writes the report pages with -o.",
                 "kyklos-report"};
    cli.set_version_flag("--version", "kyklos-report " KYKLOS_VERSION, "Print the version and exit");
    // Wide enough that every option and its description stay apart: the
    // manual page is made from this help by help2man, which needs the gap.
    cli.get_formatter()->column_width(34);
    cli.footer("Exit status: 0 all files evaluated (and every verdict \"Pass\", or no --tolerance); 1 a file could\n"
               "not be read or evaluated, or the output not written (the other files are still evaluated);\n"
               "2 the command line was refused; 3 every file evaluated and a verdict was \"Fail\".");
    cli.add_option("files", options.files, "Profile files (.kyk), folders of them, or - to read names from standard input");
    cli.add_option("--format", options.format,
                   "Output: text (result blocks), json (one object, or an array for several files), jsonl (one "
                   "object per line) or csv (one row per file)")
        ->check(CLI::IsMember({"text", "json", "jsonl", "csv"}));
    cli.add_flag("--json", options.json, "Same as --format json (millimetres, radians, degrees)");
    cli.add_flag("--demo", options.demo, "Evaluate the demonstration profile (before any files)");
    cli.add_flag("--raw", options.raw, "With json or jsonl: also print the raw and filtered samples");
    cli.add_flag("-r,--recursive", options.recursive, "Also take the .kyk files in the subfolders of a folder");
    cli.add_option("-j,--jobs", options.jobs, "Profiles evaluated at once (default: the number of cores)")
        ->check(CLI::Range(1, 1024));
    cli.add_flag("-q,--quiet", options.quiet, "No progress bar on the terminal");
    cli.add_flag("--summary", options.summary,
                 "After the records: count, mean, standard deviation, minimum and maximum of every numeric column");
    cli.add_flag("--summary-only", options.summaryOnly, "The summary without the records");
    cli.add_flag("--no-header", options.noHeader, "CSV without its header row (for shards that are joined)");
    const std::map<std::string, ReferenceKind> references{{"ls", ReferenceKind::LeastSquares},
                                                          {"mz", ReferenceKind::MinimumZone},
                                                          {"mi", ReferenceKind::MaximumInscribed},
                                                          {"mc", ReferenceKind::MinimumCircumscribed}};
    cli.add_option("--reference", options.reference,
                   "Reference circle: ls least squares, mz minimum zone, mi maximum inscribed, mc minimum circumscribed")
        ->check(CLI::IsMember({"ls", "mz", "mi", "mc"}))
        ->default_str("ls");
    cli.add_option("--cutoff", options.cutoff,
                   "Gaussian filter cutoff in undulations per revolution, a whole number from 1 to 18000")
        ->check(CLI::Range(1, 18000))
        ->default_str("50");
    cli.add_option("-o,--output", options.output,
                   "Write the report pages to this file: .png, .pdf or .svg (several profiles: one PDF page "
                   "each, or one image per profile named NAME-1.png, NAME-2.png, ... by input position)");
    cli.add_option("--size", options.size, "Page size of PNG and SVG output in pixels, WxH")->default_str("1600x1000");
    cli.add_option("--dpi", options.dpi, "Resolution the page is drawn for (pens and fonts); PDF default 600, images 96")
        ->check(CLI::Range(24, 2400));
    cli.add_option("--paper", options.paper, "PDF sheet: a4 or letter")
        ->check(CLI::IsMember({"a4", "letter"}))
        ->default_str("a4");
    cli.add_flag("--inch", options.inch, "Show results and scale in microinches");
    cli.add_flag("--centered", options.centered, "Draw the profile centred on the reference");
    cli.add_flag("--no-raw", options.noRaw, "Do not draw the unfiltered profile");
    cli.add_flag("--no-reference", options.noReference, "Do not draw the reference circle");
    cli.add_option("--scale", options.scale,
                   "Scale per division, micrometres (microinches with --inch); turns automatic scaling off");
    cli.add_flag("--evaluation-page", options.evaluationPage,
                 "With -o: after each report page an evaluation page (references, RONp/RONv/RONq, verdict, "
                 "harmonic spectrum): the next PDF page, or NAME-evaluation.png/.svg beside each image");
    cli.add_option("--metafile", options.metafile, "Draw a logo metafile alone into -o picture.png, .svg or .pdf");
    cli.add_option("--tolerance", options.tolerance,
                   "Roundness tolerance in micrometres (microinches with --inch): each profile gets the verdict "
                   "\"Pass\" when its roundness is at most this, else \"Fail\" (exit status 3)");
    cli.add_option("--harmonics", options.harmonics,
                   "Harmonics listed in the JSON evaluation: the first H (0: none), or all")
        ->default_str("500");

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help (and a version) end well; anything else is a refused command line.
        return cli.exit(error) == 0 ? kSuccess : kUsage;
    }

    Format format = Format::None;
    if (options.json && !options.format.empty() && options.format != "json")
        return Fail(Format::Text, "--json and --format " + options.format + " disagree.", kUsage);
    if (options.json || options.format == "json")
        format = Format::Json;
    else if (options.format == "jsonl")
        format = Format::JsonLines;
    else if (options.format == "csv")
        format = Format::Csv;
    const bool summary = options.summary || options.summaryOnly;
    if (format == Format::None && (options.format == "text" || options.output.empty() || summary))
        format = Format::Text;
    const bool metric = !options.inch;

    int width = 1600, height = 1000;
    if (!ParseSize(options.size, width, height))
        return Fail(format, "Invalid --size: use WxH, for example 1600x1000.", kUsage);
    if (options.scale) {
        const std::string refusal = ScaleRefusal(*options.scale, metric);
        if (!refusal.empty()) return Fail(format, "--scale: " + refusal, kUsage);
    }
    std::optional<RoundnessTolerance> tolerance;
    if (options.tolerance) {
        const std::optional<double> value = ParseTolerance(*options.tolerance);
        if (!value) return Fail(format, "--tolerance: " + std::string(kToleranceRefusal), kUsage);
        tolerance = RoundnessTolerance{*value, metric};
    }
    const std::optional<int> harmonicLimit = ParseHarmonicLimit(options.harmonics);
    if (!harmonicLimit)
        return Fail(format, "--harmonics: use a whole number of 0 or more, or all.", kUsage);

    // Qt's painting needs a GUI application object even without a screen;
    // a run that draws no page does without one.
    std::unique_ptr<QGuiApplication> app;
    auto startQt = [&] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtMessages);
        app = std::make_unique<QGuiApplication>(argc, argv);
    };

    if (!options.metafile.empty()) {
        if (options.output.empty()) return Fail(format, "--metafile needs -o picture.png, .svg or .pdf.", kUsage);
        startQt();
        std::string error;
        if (!RenderMetafile(options.metafile, options.output, width, height, error))
            return Fail(format, error, kFileFailed);
        return kSuccess;
    }

    if (options.evaluationPage && options.output.empty())
        return Fail(format, "--evaluation-page needs -o report.pdf, .png or .svg.", kUsage);

    if (options.files.empty() && !options.demo)
        return Fail(format, "Nothing to evaluate: name a .kyk file or a folder, or use --demo (see --help).", kUsage);

    const std::vector<BatchInput> inputs = ExpandInputs(options.files, options.recursive, std::cin);
    const std::size_t offset = options.demo ? 1 : 0;
    const std::size_t total = inputs.size() + offset;
    if (total == 0) return Fail(format, "No .kyk file found in the inputs.", kFileFailed);

    // Pages, when asked for, are drawn one at a time as the records come.
    std::unique_ptr<CKyklosView> view;
    std::unique_ptr<ReportPageWriter> pages;
    if (!options.output.empty()) {
        startQt();
        view = std::make_unique<CKyklosView>();
        view->Graph.MetricUnits = metric;
        view->ShowCenteredProfile = options.centered;
        view->ShowRawData = !options.noRaw;
        view->ShowReferenceCircle = !options.noReference;
        if (options.scale) {
            view->AutoScale = false;
            // Two divisions make the band, in micrometres.
            view->Graph.BandRange = BandRangeOfScale(*options.scale, metric);
        }
        PageExportOptions exportOptions;
        exportOptions.ImageWidth = width;
        exportOptions.ImageHeight = height;
        exportOptions.Dpi = options.dpi;
        exportOptions.Paper = options.paper == "letter" ? PaperSize::Letter : PaperSize::A4;
        exportOptions.EvaluationPage = options.evaluationPage;
        pages = std::make_unique<ReportPageWriter>(*view, options.output, exportOptions, total);
        std::string error;
        if (!pages->Open(error)) return Fail(format, error, kFileFailed);
    }

    // The records' layout: a JSON array (inside an object with the summary)
    // when there is more than one record or a summary follows.
    const bool jsonArray = format == Format::Json && (total > 1 || summary);
    const int jsonIndent = summary ? 4 : 2;
    const RecordFormatter formatRecord = [&](const ProfileRecord& record, const CKyklosDoc* doc) -> std::string {
        if (options.summaryOnly) return {};
        switch (format) {
        case Format::Json:
        case Format::JsonLines: {
            const auto j = doc ? DocumentJson(*doc, options.raw, *harmonicLimit)
                               : FailureJson(record.File, record.Message);
            if (format == Format::JsonLines) return JsonText(j, -1) + "\n";
            return jsonArray ? Indented(JsonText(j, 2), jsonIndent) : JsonText(j, 2) + "\n";
        }
        case Format::Text:
            return (doc ? ResultsText(*doc, metric) : FailureText(record.File, record.Message)) + "\n";
        case Format::Csv: return CsvRow(record, metric);
        case Format::None: return {};
        }
        return {};
    };

    if (!options.summaryOnly) {
        if (format == Format::Csv && !options.noHeader) Write(CsvHeader(metric));
        if (jsonArray) Write(summary ? "{\n  \"records\": [\n" : "[\n");
    }

    // Only text records, JSON records with --harmonics above 0 and pages
    // show harmonics; the table and the summary need none, and their spectra
    // would cost a quarter of a table run.
    const bool jsonHarmonics = (format == Format::Json || format == Format::JsonLines) && *harmonicLimit != 0;
    const bool withHarmonics = pages != nullptr || (!options.summaryOnly && (format == Format::Text || jsonHarmonics));
    BatchSummary statistics(metric, tolerance);
    ProgressBar progress(!options.quiet && total > 1 && isatty(fileno(stderr)) ? stderr : nullptr, total);
    bool anyFailed = false;
    bool anyVerdictFail = false;
    bool pagesFailed = false;
    auto take = [&](std::size_t index, const ProfileRecord& record, const std::string& text, const CKyklosDoc* doc) {
        if (jsonArray && !options.summaryOnly && index > 0) Write(",\n");
        Write(text);
        if (!record.Ok) {
            anyFailed = true;
            progress.Clear();
            std::fprintf(stderr, "kyklos-report: %s: %s\n", record.File.c_str(), record.Message.c_str());
        }
        if (record.Pass && !*record.Pass) anyVerdictFail = true;
        if (pages && doc && !pagesFailed) {
            std::string error;
            if (!pages->Write(*doc, index, error)) {
                pagesFailed = anyFailed = true;
                progress.Clear();
                std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
            }
        }
        statistics.Add(record);
        progress.Update(index + 1);
    };

    AnalysisSettings analysis;
    analysis.ReferenceKind = references.at(options.reference);
    analysis.FilterCutoffUpr = options.cutoff;
    analysis.Tolerance = tolerance;
    analysis.WithHarmonics = withHarmonics;

    // The demonstration profile comes first, made by the process-wide
    // generator as in the window, so it is the same in every run.
    if (options.demo) {
        const ProfileEvaluator demo(analysis, &ProcessNoise());
        const ProfileRecord record = demo.DemonstrationRecord();
        const CKyklosDoc* doc = record.Ok ? &demo.Document() : nullptr;
        take(0, record, formatRecord(record, doc), doc);
    }

    BatchSettings settings;
    settings.Workers = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    settings.Analysis = analysis;
    settings.KeepDocuments = pages != nullptr;
    RunBatch(inputs, settings, formatRecord, [&](std::size_t index, const EvaluatedProfile& result) {
        take(index + offset, result.Record, result.Output, result.Document);
    });
    progress.Finish();

    if (pages) {
        std::string error;
        if (!pages->Close(error)) {
            anyFailed = true;
            std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
        }
    }

    switch (format) {
    case Format::Json:
        if (options.summaryOnly) {
            nlohmann::ordered_json j;
            j["summary"] = statistics.Json();
            Write(JsonText(j, 2) + "\n");
        } else if (summary) {
            Write("\n  ],\n  \"summary\": " + Indented(JsonText(statistics.Json(), 2), 2).substr(2) + "\n}\n");
        } else if (jsonArray) {
            Write("\n]\n");
        }
        break;
    case Format::JsonLines:
        if (summary) {
            nlohmann::ordered_json j;
            j["summary"] = statistics.Json();
            Write(JsonText(j, -1) + "\n");
        }
        break;
    case Format::Csv:
        if (summary) Write((options.summaryOnly ? "" : "\r\n") + statistics.Csv());
        break;
    case Format::Text:
        if (summary) Write(statistics.Text());
        break;
    case Format::None: break;
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "kyklos-report: cannot write the output\n";
        return kFileFailed;
    }
    if (anyFailed) return kFileFailed;
    return anyVerdictFail ? kVerdictFail : kSuccess;
}
