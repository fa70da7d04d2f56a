// kyklos-report run as a separate process, the way a user or a script runs it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

Outcome Report(const std::string& arguments)
{
    Outcome run;
    // One file per run: CTest runs the tests of this program in parallel processes.
    static int runs = 0;
    const fs::path errors =
        fs::temp_directory_path() / ("kyklos_cli_stderr_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".txt");
    const std::string command = std::string(KYKLOS_REPORT) + " " + arguments + " 2>'" + errors.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    {
        std::ifstream in(errors);
        run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::remove(errors);
    return run;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

class KyklosReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path Write(const std::string& name, const std::string& content)
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    fs::path dir_;
};

TEST_F(KyklosReport, PrintsTheDocumentOfAValidFileAsJson)
{
    const auto file = Write("Shaft 7.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: Shaft 7\nDATE: 01 Jan 2026\n"
                                           "NUMBER_OF_POINTS: 8\nPROFILE_UM:\n10000 10002 10000 9998 10000 10002 10000 9998\n");
    const Outcome run = Report("--json " + Quote(file));
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["ok"], true);
    EXPECT_EQ(j["Identification"], "Shaft 7");
    EXPECT_EQ(j["DateText"], "01 Jan 2026");
    EXPECT_EQ(j["FileTitle"], "Shaft 7");
    EXPECT_EQ(j["PointCount"], 8);
    EXPECT_EQ(j["DataLoaded"], true);
    EXPECT_EQ(j["AnalysisValid"], true);
    EXPECT_EQ(j["FitValid"], true);
    EXPECT_EQ(j["ReferenceKind"], 0);
    EXPECT_EQ(j["FilterCutoffUpr"], 50);
    EXPECT_NEAR(j["NominalRadius"].get<double>(), 10.0, 1e-9);
    for (const char* key : {"MinRawRadius", "MaxRawRadius", "Runout", "Peak", "Valley", "PeakAngle", "ValleyAngle",
                            "ReferenceA", "ReferenceB", "ReferenceC", "Eccentricity", "EccentricityAngle", "Roundness",
                            "Concentricity"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_DOUBLE_EQ(j["Roundness"].get<double>(), j["Peak"].get<double>() - j["Valley"].get<double>());
}

TEST_F(KyklosReport, PrintsTheExactMessageForMalformedFiles)
{
    struct Case { const char* content; const char* message; };
    const Case cases[] = {
        {"HELLO 1.0\n", "Invalid file format."},
        {"KYKLOS_DATA 2.0\n", "Invalid file revision."},
        {"KYKLOS_DATA 1.0\nIDENT: x\n", "Invalid 'IDENTIFICATION:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 0\n", "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 4\nPROFILE_UM: 1 2\n", "Unexpected end of file."},
    };
    for (const auto& c : cases) {
        const Outcome run = Report("--json " + Quote(Write("bad.kyk", c.content)));
        EXPECT_NE(run.status, 0);
        const auto j = nlohmann::json::parse(run.out);
        EXPECT_EQ(j["ok"], false);
        EXPECT_EQ(j["message"], c.message);
    }
    const Outcome missing = Report("--json " + Quote(dir_ / "none.kyk"));
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(nlohmann::json::parse(missing.out)["message"], "Cannot open the file.");
    // Without --json the message is one line on the error stream.
    const Outcome plain = Report(Quote(Write("bad.kyk", "HELLO\n")));
    EXPECT_NE(plain.status, 0);
    EXPECT_NE(plain.err.find("Invalid file format."), std::string::npos);
    EXPECT_EQ(std::count(plain.err.begin(), plain.err.end(), '\n'), 1) << plain.err;
}

TEST_F(KyklosReport, DemonstrationResultsAreTheSameInEveryRun)
{
    const Outcome a = Report("--demo --json --reference mz --cutoff 15");
    const Outcome b = Report("--demo --json --reference mz --cutoff 15");
    ASSERT_EQ(a.status, 0) << a.out;
    auto ja = nlohmann::json::parse(a.out);
    auto jb = nlohmann::json::parse(b.out);
    EXPECT_EQ(ja["ReferenceKind"], 1);
    EXPECT_EQ(ja["FilterCutoffUpr"], 15);
    EXPECT_EQ(ja["Identification"], "Kyklos generated data");
    ja.erase("DateText");
    jb.erase("DateText");
    EXPECT_EQ(ja, jb);
    EXPECT_GT(ja["ZoneHalfWidth"].get<double>(), 0.0);
}

TEST_F(KyklosReport, RawSamplesAndTheHumanReadableBlock)
{
    const Outcome raw = Report("--demo --json --raw");
    ASSERT_EQ(raw.status, 0);
    const auto j = nlohmann::json::parse(raw.out);
    EXPECT_EQ(j["RawRadius"].size(), 3600u);
    EXPECT_EQ(j["FilteredRadius"].size(), 3600u);

    const Outcome text = Report("--demo");
    ASSERT_EQ(text.status, 0);
    for (const char* label : {"Roundness:", "Eccentricity:", "Ecc. Angle:", "Concentricity:", "Runout:", "µm", "deg",
                              "Gaussian (50%) Filtering:  50 UPR", "Reference: Least Squares Circle"})
        EXPECT_NE(text.out.find(label), std::string::npos) << label;
    const Outcome inch = Report("--demo --inch");
    EXPECT_NE(inch.out.find("µin"), std::string::npos);
}

TEST_F(KyklosReport, RefusesBadOptions)
{
    EXPECT_NE(Report("--demo --cutoff 7").status, 0);
    EXPECT_NE(Report("--demo --reference xx").status, 0);
    EXPECT_NE(Report("").status, 0);
    const Outcome help = Report("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--json", "--demo", "--reference", "--cutoff", "--raw", "--output"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

} // namespace

namespace {

TEST_F(KyklosReport, WritesTheReportPageAsImagePdfAndSvg)
{
    const auto png = dir_ / "demo.png";
    const auto pdf = dir_ / "demo.pdf";
    const auto svg = dir_ / "demo.svg";
    ASSERT_EQ(Report("--demo -o " + Quote(png) + " --size 800x500").status, 0);
    ASSERT_EQ(Report("--demo -o " + Quote(pdf) + " --paper letter --inch --centered").status, 0);
    ASSERT_EQ(Report("--demo -o " + Quote(svg) + " --no-raw --no-reference --scale 2.5").status, 0);

    std::ifstream image(png, std::ios::binary);
    std::string header(24, '\0');
    image.read(header.data(), 24);
    EXPECT_EQ(header.substr(1, 3), "PNG");
    // Width and height, big-endian, in the IHDR chunk.
    const auto be32 = [&](int at) {
        return (static_cast<unsigned char>(header[at]) << 24) | (static_cast<unsigned char>(header[at + 1]) << 16) |
               (static_cast<unsigned char>(header[at + 2]) << 8) | static_cast<unsigned char>(header[at + 3]);
    };
    EXPECT_EQ(be32(16), 800);
    EXPECT_EQ(be32(20), 500);

    std::ifstream pdfIn(pdf, std::ios::binary);
    const std::string pdfText((std::istreambuf_iterator<char>(pdfIn)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdfText.rfind("%PDF", 0), 0u);

    std::ifstream svgIn(svg);
    const std::string svgText((std::istreambuf_iterator<char>(svgIn)), std::istreambuf_iterator<char>());
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("Roundness:"), std::string::npos);
    EXPECT_NE(svgText.find("2.50 µm"), std::string::npos);  // 2.5 µm per division, fixed
}

TEST_F(KyklosReport, SeveralProfilesGiveOnePdfPageOrOneImageEach)
{
    const std::string body = "NUMBER_OF_POINTS: 4\nPROFILE_UM: 10000 10001 10000 9999\n";
    const auto a = Write("a.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: A\nDATE: d\n" + body);
    const auto b = Write("b.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: B\nDATE: d\n" + body);
    ASSERT_EQ(Report(Quote(a) + " " + Quote(b) + " -o " + Quote(dir_ / "both.pdf")).status, 0);
    std::ifstream pdfIn(dir_ / "both.pdf", std::ios::binary);
    const std::string pdfText((std::istreambuf_iterator<char>(pdfIn)), std::istreambuf_iterator<char>());
    std::size_t pages = 0;
    for (std::size_t at = pdfText.find("/Type /Page"); at != std::string::npos; at = pdfText.find("/Type /Page", at + 1))
        if (pdfText.compare(at, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 2u);

    ASSERT_EQ(Report(Quote(a) + " " + Quote(b) + " -o " + Quote(dir_ / "each.png")).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "each-1.png"));
    EXPECT_TRUE(fs::exists(dir_ / "each-2.png"));

    // One bad file among good ones fails the run with its message.
    const auto bad = Write("bad.kyk", "KYKLOS_DATA 1.1\n");
    const Outcome failed = Report(Quote(a) + " " + Quote(bad) + " -o " + Quote(dir_ / "x.pdf"));
    EXPECT_NE(failed.status, 0);
    EXPECT_NE(failed.err.find("Invalid file revision."), std::string::npos);
    const Outcome unknown = Report("--demo -o " + Quote(dir_ / "page.bmp"));
    EXPECT_NE(unknown.status, 0);
    EXPECT_EQ(std::count(unknown.err.begin(), unknown.err.end(), '\n'), 1) << unknown.err;
}

TEST_F(KyklosReport, PreviewsALogoMetafile)
{
    const auto picture = dir_ / "logo.png";
    const Outcome run = Report("--metafile " + Quote(fs::path(KYKLOS_SOURCE_DIR) / "resources" / "VarnLogo.WMF") + " -o " +
                               Quote(picture) + " --size 400x200");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(fs::file_size(picture), 1000u);
    const Outcome broken = Report("--metafile " + Quote(Write("broken.wmf", "not a metafile")) + " -o " + Quote(picture));
    EXPECT_NE(broken.status, 0);
}

} // namespace
