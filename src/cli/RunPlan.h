#pragma once
// What a kyklos-report run will do, decided from its options before any
// work: the output format and units, the pages, the analysis settings, the
// summary, the inputs and the workers; or why the command line is refused.
// Nothing is evaluated or written here, so a test can plan a run.

#include "cli/BatchInputs.h"
#include "cli/ExitStatus.h"
#include "cli/Options.h"
#include "cli/ReportText.h"
#include "cli/TablePlan.h"
#include "document/AnalysisSettings.h"
#include "document/Uncertainty.h"
#include "view/qt/PageExport.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kyklos {

// None: no records on standard output (pages only, with -o).
enum class OutputFormat {
    None,
    Text,
    Json,
    JsonLines,
    Csv
};

enum class SummaryMode {
    None,
    AfterRecords,
    Only
};

// Where the summary goes: standard output (after the records, or alone),
// standard error (beside a CSV table, which it would break), or a file.
enum class SummaryTarget {
    Output,
    Errors,
    File
};

// The report pages of -o and how their graph is drawn.
struct PagePlan {
    std::string Path; // empty: no pages
    PageExportOptions Export;
    bool ShowCenteredProfile = false;
    bool ShowRawData = true;
    bool ShowReferenceCircle = true;
    std::optional<double> FixedBandRange; // µm, two divisions of --scale; none: automatic scaling
};

struct RunPlan {
    // Not empty: draw this logo metafile alone into Pages.Path (at the
    // page's image size) and evaluate nothing.
    std::string Metafile;
    OutputFormat Format = OutputFormat::Text;
    bool Metric = true;                        // micrometres, else microinches
    bool RawSamples = false;                   // JSON records carry the raw and filtered samples
    int HarmonicLimit = kDefaultHarmonicLimit; // harmonics a JSON record lists; kAllHarmonics: all
    SummaryMode Summary = SummaryMode::None;
    SummaryTarget SummaryTo = SummaryTarget::Output;
    std::string SummaryPath; // SummaryTarget::File
    bool CsvHeader = true;
    bool CsvGuardFormulas = true; // a text cell a spreadsheet would run as a formula gets a leading quote
    bool ShowProgress = true;     // the progress bar, drawn only on a terminal, for more than one record
    PagePlan Pages;
    AnalysisSettings Analysis;
    bool Demo = false; // the demonstration profile, before the files
    std::vector<BatchInput> Files;
    TablePlan Tables; // how tables are read, folders' tables, --save-profile
    // The workers: as many as asked (or one per core), at most four per core
    // and one per file, so that a -j far above the cores costs no memory.
    int Workers = 1;
    // With --uncertainty: every analysis' uncertainty, its draws on threads of their own.
    std::optional<UncertaintyRequest> Uncertainty;

    std::size_t RecordCount() const { return Files.size() + (Demo ? 1 : 0); }
};

// A command line that cannot run, with the message and exit status it ends
// with; the format says where the message goes (see WriteRunFailure).
struct Refusal {
    std::string Message;
    int ExitStatus = kExitUsage;
    OutputFormat Format = OutputFormat::Text;
};

// The plan of `options`, or the first refusal in the order the options are
// checked. Folders are listed, and names read from `list` for "-", only once
// everything else is accepted.
std::variant<RunPlan, Refusal> PlanRun(const Options& options, std::istream& list);

} // namespace kyklos
