#pragma once
// kyklos-report's command line as typed: every option's value after CLI11
// has checked its form, nothing decided yet (RunPlan decides). The help text
// is also the source of the manual page (help2man), so every option keeps it.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kyklos {

// The table options as typed: how every table of the run is read (each a
// word RunPlan checks), whether folders take tables, and where profiles are saved.
struct TableOptionWords {
    std::string Columns;
    std::string Delimiter;
    std::string Decimal;
    std::string AngleUnits;
    std::string Direction;
    std::string LengthUnits;
    std::optional<double> NominalMm;
    bool Tables = false;     // folders and -r take table files beside .kyk
    std::string SaveProfile; // --save-profile FILE
};

struct Options {
    std::vector<std::string> Files; // files, folders, or "-" for names on standard input
    std::string Format;             // "", "text", "json", "jsonl" or "csv"
    bool Json = false;
    bool Demo = false;
    bool Raw = false;
    bool Recursive = false;
    int Jobs = 0; // 0: one per core
    bool Quiet = false;
    bool Summary = false;
    bool SummaryOnly = false;
    bool NoHeader = false;
    bool CsvRaw = false;
    std::string SummaryFile;
    bool Null = false;            // names on standard input are separated by NUL bytes
    std::string Reference = "ls"; // "ls", "mz", "mi" or "mc"
    int CutoffUpr = 50;
    std::string Output;
    std::string Size = "1600x1000";
    int Dpi = 0; // 0: the format's own
    std::string Paper = "a4";
    bool Inch = false;
    bool Centered = false;
    bool NoRaw = false;
    bool NoReference = false;
    std::optional<double> Scale; // per division, in the shown unit
    std::string Metafile;
    std::optional<std::string> Tolerance; // as typed, in the shown unit
    std::string Harmonics = "500";
    bool EvaluationPage = false;
    // The uncertainty simulation: the model as typed, the draws and the seed.
    std::optional<std::string> Uncertainty;
    std::optional<int> Draws;
    std::optional<std::uint64_t> Seed;
    TableOptionWords Table;
    // The analysis beyond the cutoff, as typed (RunPlan checks the forms).
    std::vector<std::string> Exclude;        // FROM:TO in degrees, one per --exclude
    std::string Filter;                      // "": the Gaussian; else a filter kind's name
    std::string Band;                        // LOW:HIGH in UPR; empty: no band
    std::optional<std::string> RemoveSpikes; // "true" without a value, else K as typed after "="
    bool Circles = false;
    bool NoCertificate = false;
    bool CutoffGiven = false; // --cutoff was typed (a band has cutoffs of its own)
};

// Parses argv (the program's name first) into `options`. Help and the
// version are printed to `out`, a refused command line to `err`; then the
// exit status to end with is returned (0 after help or the version, 2 for a
// refusal), else nothing.
std::optional<int> ParseOptions(int argc, const char* const* argv, Options& options, std::ostream& out,
                                std::ostream& err);

} // namespace kyklos
