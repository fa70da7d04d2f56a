// kyklos-report: the headless front end. Reads .kyk profiles (or makes the
// demonstration profile), analyses them with the chosen reference and cutoff,
// and prints the results or writes the report page to PNG, PDF or SVG.

#include "cli/ReportText.h"
#include "document/KyklosDoc.h"
#include "platform/Version.h"
#include "view/qt/MetafilePreview.h"
#include "view/qt/PageExport.h"
#include "view/KyklosView.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace kyklos;

// Messages of the profile reader are collected, not shown: the report
// program prints the first one and fails.
class CollectingUi final : public UiPort {
public:
    std::vector<std::string> messages;
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> ChooseFileToOpen(std::string_view) override { return std::nullopt; }
    std::optional<int> ChooseReference(int) override { return std::nullopt; }
    std::optional<int> ChooseFilterIndex(int) override { return std::nullopt; }
    void UpdateAllViews() override {}
};

struct Options {
    std::vector<std::string> files;
    bool json = false;
    bool demo = false;
    bool raw = false;
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

int Fail(const Options& options, const std::string& message)
{
    if (options.json) {
        nlohmann::ordered_json j;
        j["ok"] = false;
        j["message"] = message;
        std::cout << j.dump(2) << '\n';
    } else {
        std::cerr << "kyklos-report: " << message << '\n';
    }
    return 1;
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
                 "Reads each FILE (or makes the demonstration profile with --demo), filters it with the\n"
                 "Gaussian filter, fits the chosen reference circle and prints the results, or writes\n"
                 "the report page with -o.",
                 "kyklos-report"};
    cli.set_version_flag("--version", "kyklos-report " KYKLOS_VERSION, "Print the version and exit");
    cli.add_option("files", options.files, "Profile files (.kyk) to evaluate");
    cli.add_flag("--json", options.json, "Print every result as JSON (millimetres, radians, degrees)");
    cli.add_flag("--demo", options.demo, "Evaluate the demonstration profile instead of a file");
    cli.add_flag("--raw", options.raw, "With --json: also print the raw and filtered samples");
    const std::map<std::string, int> references{{"ls", LeastSquares}, {"mz", MinimumZone}, {"mi", MaximumInscribed},
                                                {"mc", MinimumCircumscribed}};
    cli.add_option("--reference", options.reference,
                   "Reference circle: ls least squares, mz minimum zone, mi maximum inscribed, mc minimum circumscribed")
        ->check(CLI::IsMember({"ls", "mz", "mi", "mc"}))
        ->default_str("ls");
    cli.add_option("--cutoff", options.cutoff, "Gaussian filter cutoff in undulations per revolution")
        ->check(CLI::IsMember({5, 15, 50, 150, 500}))
        ->default_str("50");
    cli.add_option("-o,--output", options.output,
                   "Write the report page to this file: .png, .pdf or .svg (several profiles: one PDF page "
                   "each, or one image per profile named NAME-1.png, NAME-2.png, ...)");
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
    cli.add_option("--scale", options.scale, "Scale in micrometres per division (turns automatic scaling off)")
        ->check(CLI::PositiveNumber);
    cli.add_option("--metafile", options.metafile, "Preview a logo metafile alone (with -o picture.png)");

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return cli.exit(error);
    }

    int width = 1600, height = 1000;
    if (!ParseSize(options.size, width, height)) return Fail(options, "Invalid --size: use WxH, for example 1600x1000.");

    // Qt's painting needs a GUI application object even without a screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    QGuiApplication app(argc, argv);

    if (!options.metafile.empty()) {
        if (options.output.empty()) return Fail(options, "--metafile needs -o picture.png.");
        std::string error;
        if (!RenderMetafileToImage(options.metafile, options.output, width, height, error)) return Fail(options, error);
        return 0;
    }

    if (options.files.empty() && !options.demo)
        return Fail(options, "Nothing to evaluate: name a .kyk file or use --demo (see --help).");

    CollectingUi ui;
    std::vector<std::unique_ptr<CKyklosDoc>> documents;
    auto makeDocument = [&]() {
        auto doc = std::make_unique<CKyklosDoc>(&ui);
        doc->ReferenceKind = references.at(options.reference);
        doc->FilterCutoffUpr = options.cutoff;
        return doc;
    };
    if (options.demo) {
        auto doc = makeDocument();
        doc->AnalyzeProfile();  // the demonstration profile, with the chosen settings
        documents.push_back(std::move(doc));
    }
    for (const auto& file : options.files) {
        auto doc = makeDocument();
        ui.messages.clear();
        doc->OpenProfile(file);
        if (!ui.messages.empty() || !doc->DataLoaded || doc->PathName != file)
            return Fail(options, ui.messages.empty() ? file + ": cannot be read." : ui.messages.front());
        documents.push_back(std::move(doc));
    }

    if (!options.output.empty()) {
        CKyklosView view;
        view.Graph.MetricUnits = !options.inch;
        view.ShowCenteredProfile = options.centered;
        view.ShowRawData = !options.noRaw;
        view.ShowReferenceCircle = !options.noReference;
        if (options.scale) {
            view.AutoScale = false;
            view.Graph.BandRange = *options.scale * 2.0;
        }
        PageExportOptions exportOptions;
        exportOptions.imageWidth = width;
        exportOptions.imageHeight = height;
        exportOptions.dpi = options.dpi;
        exportOptions.paper = options.paper == "letter" ? PaperSize::Letter : PaperSize::A4;
        std::vector<const CKyklosDoc*> pages;
        for (const auto& doc : documents) pages.push_back(doc.get());
        std::string error;
        if (!ExportReportPages(pages, view, options.output, exportOptions, error)) return Fail(options, error);
    }

    if (options.json) {
        if (documents.size() == 1) {
            std::cout << DocumentJson(*documents.front(), options.raw).dump(2) << '\n';
        } else {
            auto all = nlohmann::ordered_json::array();
            for (const auto& doc : documents) all.push_back(DocumentJson(*doc, options.raw));
            std::cout << all.dump(2) << '\n';
        }
    } else if (options.output.empty()) {
        for (const auto& doc : documents) std::cout << ResultsText(*doc, !options.inch) << '\n';
    }
    return 0;
}
