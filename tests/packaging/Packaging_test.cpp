// The programs run as a user runs an installed copy: from a folder of their
// own choosing, without a display for the version and help, and with manual
// pages that describe every option they accept.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs a shell command line and collects its standard output.
Outcome RunCommand(const std::string& command)
{
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Neither an X nor a Wayland display, and no platform chosen for Qt.
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

TEST(Packaging, ReportStartedFromAnEmptyFolderDrawsBothLogos)
{
    const fs::path folder = fs::temp_directory_path() / ("kyklos-empty-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const Outcome run = RunCommand("cd '" + folder.string() + "' && " + KYKLOS_REPORT + " --demo -o page.svg 2>&1");
    const std::string page = ReadFile(folder / "page.svg");
    fs::remove_all(folder);

    ASSERT_EQ(run.status, 0) << run.out;
    // The caption between the two logos is drawn only when both were read;
    // without the maker's logo the footer says the file was not found.
    EXPECT_NE(page.find("in collaboration with"), std::string::npos);
    EXPECT_EQ(page.find("not found"), std::string::npos);
}

TEST(Packaging, BothProgramsPrintTheProjectVersionWithoutADisplay)
{
    const Outcome report = RunCommand(kNoDisplay + KYKLOS_REPORT + " --version");
    EXPECT_EQ(report.status, 0);
    EXPECT_EQ(report.out, "kyklos-report " KYKLOS_PROJECT_VERSION "\n");

    // The desktop program answers without opening a window.
    const Outcome app = RunCommand(kNoDisplay + KYKLOS_APP + " --version 2>&1");
    EXPECT_EQ(app.status, 0);
    EXPECT_EQ(app.out, "kyklos " KYKLOS_PROJECT_VERSION "\n");
    const Outcome help = RunCommand(kNoDisplay + KYKLOS_APP + " --help 2>&1");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kyklos ", 0), 0u) << help.out;
}

TEST(Packaging, TheDesktopProgramWithoutADisplayEndsWithAMessage)
{
    // No display named at all, and a display named that does not answer:
    // status 1 and a line that says so, not an abort.
    for (const std::string& environment : {kNoDisplay, kNoDisplay + "DISPLAY=:987 QT_QPA_PLATFORM=xcb "}) {
        const Outcome run = RunCommand(environment + KYKLOS_APP + " 2>&1");
        EXPECT_EQ(run.status, 1) << environment << run.out;
        EXPECT_NE(run.out.find("kyklos: cannot open a window: no display"), std::string::npos) << run.out;
    }
}

// Built with optimisation, the programs carry the hardening a Debian package
// is checked for: checked string and memory functions (fortify), and all
// symbols bound at start with the relocations read-only (bind-now, relro).
TEST(Packaging, OptimisedProgramsAreHardened)
{
    if (std::string(KYKLOS_BUILD_TYPE) == "Debug" || std::string(KYKLOS_BUILD_TYPE).empty())
        GTEST_SKIP() << "fortify needs an optimised build";
    for (const std::string program : {KYKLOS_APP, KYKLOS_REPORT}) {
        const Outcome dynamic = RunCommand("readelf --wide --dynamic --program-headers '" + program + "'");
        ASSERT_EQ(dynamic.status, 0);
        EXPECT_NE(dynamic.out.find("GNU_RELRO"), std::string::npos) << program;
        EXPECT_TRUE(std::regex_search(dynamic.out, std::regex(R"(\(FLAGS_1\).*\bNOW\b|\(BIND_NOW\))"))) << program;
        const Outcome symbols = RunCommand("readelf --wide --dyn-syms '" + program + "'");
        EXPECT_TRUE(std::regex_search(symbols.out, std::regex(R"(__\w+_chk\b)"))) << program << ": no fortified call";
    }
}

// Every long option a program's --help lists, as roff writes it in the page.
std::set<std::string> LongOptions(const std::string& help)
{
    std::set<std::string> options;
    const std::regex option(R"((^|[\s,\[])--([a-z][a-z0-9-]*))");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it) {
        std::string name = (*it)[2].str();
        std::string escaped = "\\-\\-";
        for (char c : name) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        options.insert(escaped);
    }
    return options;
}

TEST(Packaging, ManualPagesDescribeEveryOptionAndTheExitStatus)
{
    if (std::string(KYKLOS_MAN_DIR).empty()) GTEST_SKIP() << "help2man was not found at configure time";
    for (const std::string program : {"kyklos", "kyklos-report"}) {
        SCOPED_TRACE(program);
        const std::string binary = program == "kyklos" ? KYKLOS_APP : KYKLOS_REPORT;
        const Outcome help = RunCommand(kNoDisplay + binary + " --help");
        ASSERT_EQ(help.status, 0);
        const std::string page = ReadFile(fs::path(KYKLOS_MAN_DIR) / (program + ".1"));
        ASSERT_FALSE(page.empty());

        const std::set<std::string> options = LongOptions(help.out);
        EXPECT_TRUE(options.count("\\-\\-help") && options.count("\\-\\-version"));
        for (const std::string& option : options) EXPECT_NE(page.find(option), std::string::npos) << option;
        for (const char* section : {".SH \"EXIT STATUS\"", ".SH EXAMPLES", ".SH \"PROFILE FILES\"", ".SH FILES"})
            EXPECT_NE(page.find(section), std::string::npos) << section;
    }
}

} // namespace
