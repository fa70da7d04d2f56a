#include "cli/Options.h"

#include "platform/Version.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace kyklos {

namespace {

void AddRunOptions(CLI::App& cli, Options& options)
{
    cli.add_option("files", options.Files,
                   "Profile files (.kyk, or tables: .csv, .tsv, .txt, .dat), folders of .kyk files, or - to read names "
                   "from standard input, one per line");
    cli.add_option("--format", options.Format,
                   "Output: text (result blocks), json (one object, or an array for several files), jsonl (one "
                   "object per line) or csv (one row per file)")
        ->check(CLI::IsMember({"text", "json", "jsonl", "csv"}));
    cli.add_flag("--json", options.Json, "Same as --format json (millimetres, radians, degrees)");
    cli.add_flag("--demo", options.Demo, "Evaluate the demonstration profile (before any files)");
    cli.add_flag("--raw", options.Raw, "With json or jsonl: also print the raw and filtered samples");
    cli.add_flag("-r,--recursive", options.Recursive,
                 "Also take the .kyk files in the subfolders of a folder, following links to folders (each real "
                 "folder once)");
    cli.add_flag("-0,--null", options.Null,
                 "Names on standard input are separated by NUL bytes, as find -print0 writes them (standard input "
                 "is read even when - is not named)");
    cli.add_option("-j,--jobs", options.Jobs,
                   "Profiles evaluated at once (default: the number of cores; at most four per core and one per file)")
        ->check(CLI::Range(1, 1024));
    cli.add_flag("-q,--quiet", options.Quiet, "No progress bar on the terminal");
    cli.add_flag("--summary", options.Summary,
                 "After the records: count, mean, standard deviation, minimum and maximum of every numeric column "
                 "(the eccentricity angle: circular mean and circular standard deviation); with csv on standard "
                 "error, not into the table");
    cli.add_flag("--summary-only", options.SummaryOnly, "The summary without the records");
    cli.add_option("--summary-file", options.SummaryFile,
                   "Write the summary, in the run's format, to this file instead (implies --summary)");
    cli.add_flag("--no-header", options.NoHeader, "CSV without its header row (for shards that are joined)");
    cli.add_flag("--csv-raw", options.CsvRaw,
                 "CSV text cells as they are: without it a cell starting with = + - @, a tab or a carriage return "
                 "gets a leading ' so that a spreadsheet does not run it as a formula");
}

void AddAnalysisOptions(CLI::App& cli, Options& options)
{
    cli.add_option(
           "--reference", options.Reference,
           "Reference circle: ls least squares, mz minimum zone, mi maximum inscribed, mc minimum circumscribed")
        ->check(CLI::IsMember({"ls", "mz", "mi", "mc"}))
        ->default_str("ls");
    cli.add_option("--cutoff", options.CutoffUpr,
                   "Filter cutoff in undulations per revolution, a whole number from 1 to 18000")
        ->check(CLI::Range(1, 18000))
        ->default_str("50");
}

void AddPageOptions(CLI::App& cli, Options& options)
{
    cli.add_option("-o,--output", options.Output,
                   "Write the report pages to this file: .png, .pdf or .svg (several profiles: one PDF page "
                   "each, or one image per profile named NAME-1.png, NAME-2.png, ... by input position); each "
                   "file is written as NAME.part and renamed when complete");
    cli.add_option("--size", options.Size, "Page size of PNG and SVG output in pixels, WxH")->default_str("1600x1000");
    cli.add_option("--dpi", options.Dpi,
                   "Resolution the page is drawn for (pens and fonts); PDF default 600, images 96")
        ->check(CLI::Range(24, 2400));
    cli.add_option("--paper", options.Paper, "PDF sheet: a4 or letter")
        ->check(CLI::IsMember({"a4", "letter"}))
        ->default_str("a4");
    cli.add_flag("--inch", options.Inch, "Show results and scale in microinches");
    cli.add_flag("--centered", options.Centered, "Draw the profile centred on the reference");
    cli.add_flag("--no-raw", options.NoRaw, "Do not draw the unfiltered profile");
    cli.add_flag("--no-reference", options.NoReference, "Do not draw the reference circle");
    cli.add_option("--scale", options.Scale,
                   "Scale per division, micrometres (microinches with --inch); turns automatic scaling off");
    cli.add_flag("--evaluation-page", options.EvaluationPage,
                 "With -o: after each report page an evaluation page (references, RONp/RONv/RONq, verdict, "
                 "harmonic spectrum): the next PDF page, or NAME-evaluation.png/.svg beside each image");
    cli.add_option("--metafile", options.Metafile, "Draw a logo metafile alone into -o picture.png, .svg or .pdf");
}

void AddEvaluationOptions(CLI::App& cli, Options& options)
{
    cli.add_option("--tolerance", options.Tolerance,
                   "Roundness tolerance in micrometres (microinches with --inch): each profile gets the verdict "
                   "\"Pass\" when its roundness is at most this, else \"Fail\" (exit status 3)");
    cli.add_option("--harmonics", options.Harmonics,
                   "Harmonics listed in the JSON evaluation: the first H (0: none), or all")
        ->default_str("500");
}

void AddUncertaintyOptions(CLI::App& cli, Options& options)
{
    cli.add_option("--uncertainty", options.Uncertainty,
                   "Simulate the uncertainty of every result: noise=S (probe noise per sample), angle=D (angular "
                   "noise, degrees), calibration=C (one radial offset per draw), resolution=Q (each sample "
                   "uniform within ±Q/2), comma-separated; lengths in micrometres (microinches with --inch), each "
                   "0 unless given. With --tolerance each profile also gets the ISO 14253-1 decision");
    cli.add_option("--draws", options.Draws, "Draws of the uncertainty simulation (default 10000)")
        ->check(CLI::Range(10, 10000000));
    cli.add_option("--seed", options.Seed,
                   "Seed of the uncertainty simulation (default 1): the same seed, the same "
                   "results for any -j");
}

void AddTableOptions(CLI::App& cli, TableOptionWords& table)
{
    CLI::Option_group* group = cli.add_option_group("Tables", "Profiles from other instruments");
    group->add_option("--columns", table.Columns,
                      "What the columns of every table hold, in order: angle,radius, angle,deviation, x,y or "
                      "radius, with - for a column that is skipped (default: the table's column header names them)");
    group->add_option("--delimiter", table.Delimiter,
                      "Field delimiter of the tables: comma, semicolon, tab or space (default: found in the file)");
    group->add_option("--decimal", table.Decimal,
                      "Decimal sign of the tables: point or comma (a comma only with another delimiter; default: "
                      "found in the file)");
    group->add_option("--angle-unit", table.AngleUnits,
                      "Unit of the angles: deg, rad or grad (default: the column header's, else deg)");
    group->add_option("--angle-direction", table.Direction,
                      "Direction of the angles: ccw (counter-clockwise, the default) or cw");
    group->add_option("--length-unit", table.LengthUnits,
                      "Unit of radii, deviations and points: mm, um or µm, in, uin or µin (default: the column "
                      "header's, else mm, and um for deviations)");
    group->add_option("--nominal", table.NominalMm,
                      "Nominal radius in millimetres that deviations are measured from (default: a header block "
                      "line \"nominal radius = R\")");
    group->add_flag("--tables", table.Tables,
                    "Folders (and -r) also take the tables in them: .csv, .tsv, .txt and .dat files (files named "
                    "on the command line are always read by their extension)");
    group->add_option("--save-profile", table.SaveProfile,
                      "Write each profile read to this file: .kyk (only a profile at equal steps over a full turn) "
                      "or a CSV table (any other name; with the filtered radii); several profiles: NAME-1.csv, "
                      "NAME-2.csv, ... by input position");
}

// Sectors, filter kinds, spikes and true circles: what is analysed beside the cutoff.
void AddProfileAnalysisOptions(CLI::App& cli, Options& options)
{
    cli.add_option("--exclude", options.Exclude,
                   "Leave the sector FROM:TO out of the filter, the fits and every parameter: degrees in the "
                   "profile's own angles, counter-clockwise, both ends included, through 0 when TO is below FROM "
                   "(350:10); repeat for several sectors")
        ->type_name("FROM:TO")
        ->allow_extra_args(false);
    cli.add_option("--filter", options.Filter,
                   "Filter kind: gaussian (the sampled Gaussian, default), gaussian-exact (the Gaussian "
                   "transmission per harmonic), robust (robust Gaussian), 2rc (two RC stages, 75% at the cutoff), "
                   "none, or band (with --band); each with --cutoff. gaussian-exact, 2rc and band need samples at "
                   "equal steps over a full turn: another profile gets its refusal as its record, and the run ends "
                   "with exit status 2")
        ->check(CLI::IsMember({"gaussian", "gaussian-exact", "robust", "2rc", "band", "none"}));
    cli.add_option("--band", options.Band,
                   "Band-pass filter between the whole cutoffs LOW and HIGH in UPR (15:150: the undulations the "
                   "form and the roughness leave between them); replaces --cutoff, and --filter may only be band")
        ->type_name("LOW:HIGH");
    cli.add_flag("--remove-spikes", options.RemoveSpikes,
                 "Before the filter, take out as excluded samples those further than K standard deviations "
                 "(1.4826 x the median absolute deviation) from the robust profile of the same cutoff; K is 5 "
                 "unless given as --remove-spikes=K (only after =)");
    cli.add_flag("--circles", options.Circles,
                 "Also fit the four true circles to the used samples taken as points about the measurement axis: "
                 "\"Circles\" in JSON, ls_/mz_/mi_/mc_ columns in CSV (centres and radii in mm)");
    cli.add_flag("--no-certificate", options.NoCertificate,
                 "Skip the exact check that proves how far the minimum zone, inscribed and circumscribed results "
                 "(and the true circles) lie from their optimum: \"Certificate\" says \"none\" in JSON, and the "
                 "mz_gap, mi_gap and mc_gap columns stay empty");
}

} // namespace

std::optional<int> ParseOptions(int argc, const char* const* argv, Options& options, std::ostream& out,
                                std::ostream& err)
{
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
               "2 the command line was refused, or a profile could not take the --filter kind (its record says\n"
               "why; the other files are still evaluated); 3 every file evaluated and a verdict was \"Fail\".\n"
               "With --uncertainty: 1 a file failed; else 3 a profile does not conform; else 4 a profile is\n"
               "undecided; else 0.\n"
               "Interrupted by SIGINT or SIGTERM, the run finishes the record it is writing, closes the JSON\n"
               "array and ends by that signal.");
    AddRunOptions(cli, options);
    AddAnalysisOptions(cli, options);
    AddPageOptions(cli, options);
    AddEvaluationOptions(cli, options);
    AddUncertaintyOptions(cli, options);
    AddTableOptions(cli, options.Table);
    AddProfileAnalysisOptions(cli, options);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help (and the version) end well; anything else is a refused command line.
        return cli.exit(error, out, err) == 0 ? 0 : 2;
    }
    options.CutoffGiven = cli.count("--cutoff") > 0;
    return std::nullopt;
}

} // namespace kyklos
