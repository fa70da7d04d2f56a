// kyklos-report run as a separate process, the way a user or a script runs it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out; // standard output
    std::string err; // standard error
};

Outcome Report(const std::string& arguments)
{
    Outcome run;
    // One file per run: CTest runs the tests of this program in parallel processes.
    static int runs = 0;
    const fs::path errors = fs::temp_directory_path() /
                            ("kyklos_cli_stderr_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".txt");
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
        dir_ = fs::temp_directory_path() / ("kyklos_cli_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
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

// Three samples cannot carry a minimum zone: the fit fails and every output
// shows the results about the measurement axis, as the report page does.
TEST_F(KyklosReport, AFailedFitReadsTheSameInTextJsonAndCsv)
{
    const auto file = Write("three.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: three\nDATE: d\n"
                                         "NUMBER_OF_POINTS: 3\nPROFILE_UM: 10000 10001 10002\n");
    const Outcome json = Report("--json --reference mz " + Quote(file));
    ASSERT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    ASSERT_FALSE(j["FitValid"].get<bool>());
    const double roundnessUm = j["Roundness"].get<double>() * 1000.0;
    EXPECT_EQ(j["Roundness"].get<double>(), j["Runout"].get<double>()); // about the measurement axis
    EXPECT_GT(roundnessUm, 1.0);
    const double eccentricityUm = j["Eccentricity"].get<double>() * 1000.0;

    const Outcome text = Report("--reference mz " + Quote(file));
    EXPECT_NE(text.out.find("(fit failed: results about the measurement axis)"), std::string::npos) << text.out;
    char row[64];
    std::snprintf(row, sizeof row, "%-16s%12.3f", "Roundness:", roundnessUm);
    EXPECT_NE(text.out.find(row), std::string::npos) << row << "\n" << text.out;
    std::snprintf(row, sizeof row, "%-16s%12.3f", "Eccentricity:", eccentricityUm);
    EXPECT_NE(text.out.find(row), std::string::npos) << row << "\n" << text.out;

    const Outcome csv = Report("--format csv --reference mz " + Quote(file));
    std::istringstream lines(csv.out);
    std::string header, values;
    std::getline(lines, header);
    std::getline(lines, values);
    const auto cell = [&](const std::string& name) {
        std::istringstream h(header), v(values);
        std::string key, value;
        while (std::getline(h, key, ',') && std::getline(v, value, ','))
            if (key == name || key == name + "\r") return value;
        return std::string("(none)");
    };
    EXPECT_EQ(cell("message"), "Reference fit failed: results about the measurement axis.");
    EXPECT_EQ(std::strtod(cell("roundness_um").c_str(), nullptr), roundnessUm);
    EXPECT_EQ(std::strtod(cell("eccentricity_um").c_str(), nullptr), eccentricityUm);
    EXPECT_EQ(std::strtod(cell("concentricity_um").c_str(), nullptr), 2.0 * eccentricityUm);
    EXPECT_NE(cell("eccentricity_angle_deg"), "");
}

// Two opposite flats: the inscribed circle's optimal centres give different
// RONt; JSON, CSV and the text block all say so.
TEST_F(KyklosReport, ANonUniqueInscribedCentreIsReportedWithItsRange)
{
    std::string content = "KYKLOS_DATA 1.0\nIDENTIFICATION: flats\nDATE: d\nNUMBER_OF_POINTS: 3600\nPROFILE_UM:\n";
    for (int i = 0; i < 3600; ++i) {
        const double t = i * 6.283185307179586 / 3600;
        double r = 10000.0;
        for (const double at : {0.3, 0.3 + 3.141592653589793}) {
            const double d = std::remainder(t - at, 6.283185307179586);
            if (std::fabs(d) < std::acos(0.9995)) r = std::min(r, 9995.0 / std::cos(d));
        }
        char value[40];
        std::snprintf(value, sizeof value, "%.9f\n", r);
        content += value;
    }
    const auto file = Write("flats.kyk", content);
    const auto j = nlohmann::json::parse(Report("--json --cutoff 500 --reference mi " + Quote(file)).out);
    const auto& inscribed = j["Evaluation"]["References"]["MaximumInscribed"];
    EXPECT_FALSE(inscribed["CentreUnique"].get<bool>());
    const double least = inscribed["RONtRange"][0].get<double>(), most = inscribed["RONtRange"][1].get<double>();
    EXPECT_NEAR(most, 2.0 * least, 5e-5);
    EXPECT_TRUE(j["Evaluation"]["References"]["MinimumCircumscribed"]["CentreUnique"].get<bool>());
    EXPECT_TRUE(j["Evaluation"]["References"]["MinimumZone"]["CentreUnique"].is_null());

    const Outcome text = Report("--cutoff 500 --reference mi " + Quote(file));
    EXPECT_NE(text.out.find("RONt MICI:"), std::string::npos);
    EXPECT_NE(text.out.find(" \xE2\x80\x94 centre not unique: "), std::string::npos) << text.out;
    const std::string csv = Report("--format csv --cutoff 500 " + Quote(file)).out;
    EXPECT_NE(csv.find("ront_mi_min_um,ront_mi_max_um,ront_mc_min_um,ront_mc_max_um"), std::string::npos);
}

TEST_F(KyklosReport, PrintsTheDocumentOfAValidFileAsJson)
{
    const auto file =
        Write("Shaft 7.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: Shaft 7\nDATE: 01 Jan 2026\n"
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
    for (const char* key :
         {"MinRawRadius", "MaxRawRadius", "Runout", "Peak", "Valley", "PeakAngle", "ValleyAngle", "ReferenceA",
          "ReferenceB", "ReferenceC", "Eccentricity", "EccentricityAngle", "Roundness", "Concentricity"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_DOUBLE_EQ(j["Roundness"].get<double>(), j["Peak"].get<double>() - j["Valley"].get<double>());
}

TEST_F(KyklosReport, PrintsTheExactMessageForMalformedFiles)
{
    struct Case {
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"HELLO 1.0\n", "Invalid file format."},
        {"KYKLOS_DATA 2.0\n", "Invalid file revision."},
        {"KYKLOS_DATA 1.0\nIDENT: x\n", "Invalid 'IDENTIFICATION:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 0\n", "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 4\nPROFILE_UM: 1 2\n",
         "Unexpected end of file."},
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
    // Any whole cutoff from 1 to 18000 UPR.
    EXPECT_EQ(Report("--demo --cutoff 7").status, 0);
    EXPECT_EQ(Report("--demo --cutoff 18000").status, 0);
    EXPECT_EQ(Report("--demo --cutoff 0").status, 2);
    EXPECT_EQ(Report("--demo --cutoff 18001").status, 2);
    EXPECT_EQ(Report("--demo --reference xx").status, 2);
    EXPECT_EQ(Report("").status, 2);
    const Outcome help = Report("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--json", "--demo", "--reference", "--cutoff", "--raw", "--output", "--tolerance",
                               "--harmonics", "3 every file evaluated and a verdict was \"Fail\""})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;

    // A tolerance must be a positive number, as in the Tolerance dialog; the harmonics a whole number or "all".
    for (const char* tolerance : {"0", "-1", "nan", "inf", "-inf", "5um", "0x10", "5,5"}) {
        const Outcome run = Report(std::string("--demo --tolerance ") + tolerance);
        EXPECT_EQ(run.status, 2) << tolerance;
        EXPECT_NE(run.err.find("--tolerance: The tolerance must be a positive number."), std::string::npos)
            << tolerance << ": " << run.err;
    }
    for (const char* harmonics : {"-1", "x", "2.5", "", "ALL"})
        EXPECT_EQ(Report(std::string("--demo --harmonics '") + harmonics + "'").status, 2) << harmonics;
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
    EXPECT_NE(svgText.find("2.50 µm"), std::string::npos); // 2.5 µm per division, fixed
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
    for (std::size_t at = pdfText.find("/Type /Page"); at != std::string::npos;
         at = pdfText.find("/Type /Page", at + 1))
        if (pdfText.compare(at, 12, "/Type /Pages") != 0) ++pages;
    EXPECT_EQ(pages, 2u);

    // With the evaluation page: report and evaluation page per profile, the
    // tolerance judged on it (the demonstration's roundness fails 0.1 µm: exit status 3).
    const Outcome judged =
        Report("--demo " + Quote(a) + " --evaluation-page --tolerance 0.1 -o " + Quote(dir_ / "all.pdf"));
    EXPECT_EQ(judged.status, 3) << judged.err;
    std::ifstream allIn(dir_ / "all.pdf", std::ios::binary);
    const std::string allText((std::istreambuf_iterator<char>(allIn)), std::istreambuf_iterator<char>());
    std::size_t allPages = 0;
    for (std::size_t at = allText.find("/Type /Page"); at != std::string::npos;
         at = allText.find("/Type /Page", at + 1))
        if (allText.compare(at, 12, "/Type /Pages") != 0) ++allPages;
    EXPECT_EQ(allPages, 4u);
    EXPECT_EQ(Report("--demo --evaluation-page").status, 2); // nothing to put the page into

    ASSERT_EQ(Report(Quote(a) + " " + Quote(b) + " --evaluation-page -o " + Quote(dir_ / "each.png")).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "each-1.png"));
    EXPECT_TRUE(fs::exists(dir_ / "each-2.png"));
    EXPECT_TRUE(fs::exists(dir_ / "each-2-evaluation.png"));

    // One bad file among good ones fails the run with its message.
    const auto bad = Write("bad.kyk", "KYKLOS_DATA 1.1\n");
    const Outcome failed = Report(Quote(a) + " " + Quote(bad) + " -o " + Quote(dir_ / "x.pdf"));
    EXPECT_NE(failed.status, 0);
    EXPECT_NE(failed.err.find("Invalid file revision."), std::string::npos);
    const Outcome unknown = Report("--demo -o " + Quote(dir_ / "page.bmp"));
    EXPECT_EQ(unknown.status, 2); // refused before any work
    EXPECT_EQ(std::count(unknown.err.begin(), unknown.err.end(), '\n'), 1) << unknown.err;
}

TEST_F(KyklosReport, PreviewsALogoMetafile)
{
    const auto picture = dir_ / "logo.png";
    const Outcome run = Report("--metafile " + Quote(fs::path(KYKLOS_SOURCE_DIR) / "resources" / "VarnLogo.WMF") +
                               " -o " + Quote(picture) + " --size 400x200");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(fs::file_size(picture), 1000u);
    const Outcome broken =
        Report("--metafile " + Quote(Write("broken.wmf", "not a metafile")) + " -o " + Quote(picture));
    EXPECT_NE(broken.status, 0);
}

} // namespace

namespace {

// A profile of n points: 10 mm radius, an eccentricity (ex, ey) µm and a
// three-lobed form of `lobes` µm, values in micrometres.
std::string Profile(const std::string& identification, int n, double ex, double ey, double lobes)
{
    std::ostringstream out;
    out << "KYKLOS_DATA 1.0\nIDENTIFICATION: " << identification << "\nDATE: 07 Dec 2026\nNUMBER_OF_POINTS: " << n
        << "\nPROFILE_UM:\n";
    out.precision(10);
    for (int i = 0; i < n; ++i) {
        const double t = i * (2.0 * 3.141592653589793 / n);
        out << 10000.0 + ex * std::cos(t) + ey * std::sin(t) + lobes * std::cos(3.0 * t) << '\n';
    }
    return out.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(KyklosReport, DemonstrationValuesAreTheGoldenNumbers)
{
    const Outcome run = Report("--demo --json --reference mz --cutoff 15");
    ASSERT_EQ(run.status, 0);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["Roundness"].get<double>(), 0.0070362134234667195);
    EXPECT_EQ(j["ZoneHalfWidth"].get<double>(), 0.003518106711732417);
    EXPECT_EQ(j["Eccentricity"].get<double>(), 0.004443080246930103);
    EXPECT_EQ(j["EccentricityAngle"].get<double>(), 25.609985546024532);
    EXPECT_EQ(j["Runout"].get<double>(), 0.015749122058226206);
    EXPECT_EQ(j["NominalRadius"].get<double>(), 10.000026269724664);

    const Outcome text = Report("--demo --reference mz --cutoff 15");
    const std::string rows = "Gaussian (50%) Filtering:  15 UPR\nReference: Minimum Zone Center\n"
                             "Roundness:             7.036 µm\nEccentricity:          4.443 µm\n"
                             "Ecc. Angle:            25.61 deg\nConcentricity:         8.886 µm\n"
                             "Runout:               15.749 µm\n";
    EXPECT_NE(text.out.find(rows), std::string::npos) << text.out;
}

TEST_F(KyklosReport, TextsThatAreNotUtf8GiveValidJson)
{
    // Windows-1252 µ ° Ø ä as single bytes.
    const auto cp1252 = Write("w.kyk", Profile("Bore \xB5m \xB0 \xD8 \xE4", 36, 1, 0, 1));
    // Valid UTF-8 of 254 bytes ending in a two-byte character: the reader
    // keeps 253 bytes and so cuts that character in half.
    std::string longName(252, 'x');
    longName += "\xC3\xA4";
    const auto cut = Write("cut.kyk", Profile(longName, 36, 1, 0, 1));
    // A file name in Latin-1.
    const auto latin1 = Write("caf\xE9.kyk", Profile("c", 36, 1, 0, 1));

    const Outcome run = Report("--format jsonl " + Quote(cp1252) + " " + Quote(cut) + " " + Quote(latin1));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(nlohmann::json::parse(lines[0])["Identification"], "Bore µm ° Ø ä");
    EXPECT_EQ(nlohmann::json::parse(lines[1])["Identification"], std::string(252, 'x'));
    EXPECT_EQ(nlohmann::json::parse(lines[2])["FileTitle"], "café");
    EXPECT_EQ(nlohmann::json::parse(lines[2])["PathName"], (dir_ / "café.kyk").string());

    // The array, the table and the text block carry the same texts.
    const Outcome json = Report("--json " + Quote(cp1252) + " " + Quote(latin1));
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(nlohmann::json::parse(json.out)[1]["FileTitle"], "café");
    EXPECT_NE(Report("--format csv " + Quote(cp1252)).out.find(",Bore µm ° Ø ä,"), std::string::npos);
    EXPECT_NE(Report(Quote(latin1)).out.find("File:            café\n"), std::string::npos);
    // A refused file keeps its name readable too.
    const auto bad = Write("d\xE9j\xE0.kyk", "HELLO\n");
    const Outcome refused = Report("--json " + Quote(bad));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(nlohmann::json::parse(refused.out)["PathName"], (dir_ / "déjà.kyk").string());
}

TEST_F(KyklosReport, ScaleIsRefusedOutsideTheBoundsTheGraphCanDraw)
{
    const auto svg = Quote(dir_ / "s.svg");
    EXPECT_EQ(Report("--demo -o " + svg + " --scale 0.000001").status, 0);
    EXPECT_EQ(Report("--demo -o " + svg + " --scale 1e6").status, 0);
    EXPECT_NE(ReadAll(dir_ / "s.svg").find("1000000.00 µm"), std::string::npos);
    EXPECT_EQ(Report("--demo -o " + svg + " --inch --scale 0.00004").status, 0);
    EXPECT_EQ(Report("--demo -o " + svg + " --inch --scale 39370078").status, 0);
    struct Case {
        const char* arguments;
        const char* message;
    };
    const Case refused[] = {
        {"--scale 0.0000009", "Please enter a value between 0.000001 and 1000000."},
        {"--scale 1000001", "Please enter a value between 0.000001 and 1000000."},
        {"--scale 1e308", "Please enter a value between 0.000001 and 1000000."},
        {"--scale 1e-9", "Please enter a value between 0.000001 and 1000000."},
        {"--inch --scale 0.00003", "Please enter a value between 0.00004 and 39370078."},
        {"--inch --scale 39370079", "Please enter a value between 0.00004 and 39370078."},
        {"--scale 0", "Please enter a positive number."},
        {"--scale -2", "Please enter a positive number."},
        {"--inch --scale -2", "Please enter a positive number."},
    };
    for (const auto& c : refused) {
        const Outcome run = Report("--demo -o " + svg + " " + c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
}

TEST_F(KyklosReport, OutputNamesAreWrittenAsGiven)
{
    // Latin-1 bytes that are not UTF-8: the file must carry exactly this name.
    const fs::path png = dir_ / "caf\xE9.png";
    const fs::path pdf = dir_ / "r\xE9sum\xE9.pdf";
    ASSERT_EQ(Report("--demo -o " + Quote(png) + " --size 200x120").status, 0);
    ASSERT_EQ(Report("--demo -o " + Quote(pdf)).status, 0);
    EXPECT_EQ(ReadAll(png).substr(1, 3), "PNG");
    EXPECT_EQ(ReadAll(pdf).substr(0, 4), "%PDF");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"caf\xE9.png", "r\xE9sum\xE9.pdf"}));
    // A name that cannot be written is an error, not a success.
    const Outcome missing = Report("--demo -o " + Quote(dir_ / "no" / "x.png"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot write"), std::string::npos);
}

TEST_F(KyklosReport, MetafilePreviewHonoursTheExtension)
{
    const std::string logo = Quote(fs::path(KYKLOS_SOURCE_DIR) / "resources" / "VarnLogo.WMF");
    for (const char* name : {"logo.svg", "logo.pdf", "logo.png"})
        ASSERT_EQ(Report("--metafile " + logo + " -o " + Quote(dir_ / name) + " --size 400x200").status, 0) << name;
    const std::string svg = ReadAll(dir_ / "logo.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"400"), std::string::npos) << svg.substr(0, 400);
    EXPECT_EQ(ReadAll(dir_ / "logo.pdf").substr(0, 4), "%PDF");
    EXPECT_EQ(ReadAll(dir_ / "logo.png").substr(1, 3), "PNG");
    const Outcome bmp = Report("--metafile " + logo + " -o " + Quote(dir_ / "logo.bmp"));
    EXPECT_EQ(bmp.status, 2);
    EXPECT_NE(bmp.err.find("unknown output format"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "logo.bmp"));
}

// Needs the document to refuse an analysis that overflows (and this
// program's own check of every result it prints).
TEST_F(KyklosReport, HugeRadiiAreRefusedNotReportedAsResults)
{
    for (const char* value : {"1.7e308", "1e300"}) {
        std::string body = "KYKLOS_DATA 1.0\nIDENTIFICATION: huge\nDATE: d\nNUMBER_OF_POINTS: 2000\nPROFILE_UM:\n";
        for (int i = 0; i < 2000; ++i) body += std::string(value) + "\n";
        const auto file = Write("huge.kyk", body);
        const Outcome json = Report("--json " + Quote(file));
        EXPECT_EQ(json.status, 1) << value;
        const auto j = nlohmann::json::parse(json.out);
        EXPECT_EQ(j["ok"], false) << value;
        EXPECT_EQ(j["message"], "The profile cannot be evaluated: its values are too large.") << value;
        const Outcome text = Report(Quote(file));
        EXPECT_EQ(text.status, 1);
        EXPECT_EQ(text.out.find("Roundness:"), std::string::npos) << text.out;
        EXPECT_NE(text.err.find("its values are too large."), std::string::npos);
    }
}

class Batch : public KyklosReport {
protected:
    // good-00.kyk … with distinct eccentricities, and a refused file among them.
    std::vector<fs::path> MakeSet(int count, int badAt)
    {
        std::vector<fs::path> files;
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "p%02d.kyk", i);
            files.push_back(Write(name, i == badAt ? std::string("KYKLOS_DATA 2.0\n")
                                                   : Profile("Part " + std::to_string(i), 360, 0.1 * i, 1.0, 1.0 + i)));
        }
        return files;
    }
};

TEST_F(Batch, MixedGoodAndBadFilesInEveryFormat)
{
    const auto files = MakeSet(4, 2);
    std::string names;
    for (const auto& f : files) names += " " + Quote(f);

    const Outcome csv = Report("--format csv" + names);
    EXPECT_EQ(csv.status, 1);
    const auto rows = Lines(csv.out);
    ASSERT_EQ(rows.size(), 5u) << csv.out;
    EXPECT_EQ(rows[0], "file,ok,message,identification,date,points,cutoff_upr,reference,roundness_um,eccentricity_um,"
                       "eccentricity_angle_deg,concentricity_um,runout_um,ront_ls_um,ront_mz_um,ront_mi_um,ront_mc_um,"
                       "ronp_um,ronv_um,ronq_um,tolerance_um,verdict,verdict_reference,mi_diameter_um,mc_diameter_um,"
                       "ront_mi_min_um,ront_mi_max_um,ront_mc_min_um,ront_mc_max_um,source_format,columns,filter,"
                       "band_low_upr,band_high_upr,spikes_removed,largest_gap_deg,coverage_deg,samples_used,"
                       "samples_excluded,mz_gap_um,mi_gap_um,mc_gap_um");
    EXPECT_EQ(csv.out.find("\n"), csv.out.find("\r\n") + 1); // CR LF rows
    const auto good = Fields(rows[2]);
    ASSERT_EQ(good.size(), 42u) << rows[2];
    EXPECT_EQ(good[29], "kyk");
    EXPECT_EQ(good[30], "");
    EXPECT_EQ(good[31], "gaussian");
    EXPECT_EQ(good[1], "true");
    EXPECT_EQ(good[3], "Part 1");
    EXPECT_EQ(good[5], "360");
    EXPECT_EQ(good[7], "LeastSquares");
    // A pure three-lobed form of 2 µm: the filter at 50 UPR passes it almost whole.
    EXPECT_NEAR(std::stod(good[8]), 4.0, 0.01);
    EXPECT_NEAR(std::stod(good[9]), std::hypot(0.1, 1.0), 1e-6);
    EXPECT_EQ(Fields(rows[3]), (std::vector<std::string>{files[2].string(),
                                                         "false",
                                                         "Invalid file revision.",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         ""}));
    EXPECT_EQ(std::count(csv.err.begin(), csv.err.end(), '\n'), 1);
    EXPECT_NE(csv.err.find(files[2].string() + ": Invalid file revision."), std::string::npos);

    const Outcome inch = Report("--format csv --inch --no-header " + Quote(files[1]));
    const auto inchRow = Fields(Lines(inch.out).at(0));
    EXPECT_NEAR(std::stod(inchRow.at(9)), std::hypot(0.1, 1.0) * 39.37007874015748, 1e-4);
    EXPECT_EQ(Lines(inch.out).size(), 1u);
    const std::string inchHeader = Report("--format csv --inch" + names).out;
    EXPECT_NE(inchHeader.find(",roundness_uin,"), std::string::npos);
    EXPECT_NE(inchHeader.find(",mi_diameter_uin,mc_diameter_uin,ront_mi_min_uin,ront_mi_max_uin,ront_mc_min_uin,"
                              "ront_mc_max_uin,source_format,columns,filter,"),
              std::string::npos);

    const Outcome jsonl = Report("--format jsonl" + names);
    const auto objects = Lines(jsonl.out);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(nlohmann::json::parse(objects[1])["Identification"], "Part 1");
    EXPECT_EQ(nlohmann::json::parse(objects[2])["message"], "Invalid file revision.");

    const Outcome json = Report("--json" + names);
    EXPECT_EQ(json.status, 1);
    const auto array = nlohmann::json::parse(json.out);
    ASSERT_EQ(array.size(), 4u);
    EXPECT_EQ(array[2]["ok"], false);
    EXPECT_EQ(array[3]["Identification"], "Part 3");
    EXPECT_EQ(array[3], nlohmann::json::parse(objects[3])); // same keys and values as jsonl

    const Outcome text = Report("--format text" + names);
    EXPECT_NE(text.out.find("Error:           Invalid file revision.\n"), std::string::npos);
    EXPECT_NE(text.out.find("Identification:  Part 3\n"), std::string::npos);

    // All good: 0, and nothing on standard error (no progress bar off a terminal).
    const Outcome clean = Report("--format csv " + Quote(files[0]) + " " + Quote(files[1]));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");
}

TEST_F(Batch, TextCellsThatASpreadsheetWouldRunAreGuarded)
{
    const auto formula = Write("formula.kyk", Profile("=1+2", 36, 1, 0, 1));
    const auto minus = Write("minus.kyk", Profile("-5 mm", 36, -1, 0, 1));
    const std::string names = Quote(formula) + " " + Quote(minus);
    const auto rows = Lines(Report("--format csv --no-header " + names).out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Fields(rows[0]).at(3), "'=1+2");
    EXPECT_EQ(Fields(rows[1]).at(3), "'-5 mm");
    const auto raw = Lines(Report("--format csv --no-header --csv-raw " + names).out);
    EXPECT_EQ(Fields(raw.at(0)).at(3), "=1+2");
    EXPECT_EQ(Fields(raw.at(1)).at(3), "-5 mm");
    // JSON and text keep the texts as the file has them.
    EXPECT_EQ(nlohmann::json::parse(Report("--json " + Quote(formula)).out)["Identification"], "=1+2");
}

TEST_F(Batch, FoldersStandardInputAndOrderUnderParallelWorkers)
{
    fs::create_directories(dir_ / "set" / "sub");
    Write("set/b.kyk", Profile("b", 72, 1, 0, 1));
    Write("set/A.KYK", Profile("A", 72, 1, 0, 1));
    Write("set/c.Kyk", Profile("c", 72, 1, 0, 1));
    Write("set/notes.txt", "not a profile");
    Write("set/sub/d.kyk", Profile("d", 72, 1, 0, 1));
    const auto identifications = [](const std::string& out) {
        std::vector<std::string> ids;
        for (const auto& line : Lines(out)) ids.push_back(nlohmann::json::parse(line)["Identification"]);
        return ids;
    };
    EXPECT_EQ(identifications(Report("--format jsonl " + Quote(dir_ / "set")).out),
              (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(identifications(Report("--format jsonl -r " + Quote(dir_ / "set")).out),
              (std::vector<std::string>{"A", "b", "c", "d"}));
    const auto list =
        Write("list.txt", (dir_ / "set" / "c.Kyk").string() + "\r\n\n" + (dir_ / "set" / "b.kyk").string() + "\n");
    EXPECT_EQ(identifications(Report("--format jsonl - < " + Quote(list)).out), (std::vector<std::string>{"c", "b"}));
    const Outcome empty = Report("--format csv " + Quote(dir_ / "set" / "sub" / "..") + "/none-here");
    EXPECT_EQ(empty.status, 1);

    // Many files of different cost and one refused: every worker count gives the same bytes.
    const auto files = MakeSet(40, 17);
    const Outcome one = Report("--format csv -j 1 --summary --tolerance 20 " + Quote(dir_));
    const Outcome three = Report("--format csv -j 3 --summary --tolerance 20 " + Quote(dir_));
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.out, three.out);
    EXPECT_NE(one.out.find(",20,Fail,LSCI,"), std::string::npos);
    EXPECT_EQ(Report("--json -j 1 --tolerance 20 " + Quote(dir_)).out,
              Report("--json -j 4 --tolerance 20 " + Quote(dir_)).out);
    const auto rows = Lines(one.out);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(Fields(rows.at(static_cast<std::size_t>(i) + 1)).at(0), files[static_cast<std::size_t>(i)].string());
}

TEST_F(Batch, SummaryAgreesWithTheRows)
{
    MakeSet(6, 4);
    // The table alone on standard output; the block on standard error, after the failed file's line.
    const Outcome run = Report("--format csv --summary " + Quote(dir_));
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 7u) << run.out; // header and six rows
    const auto block = Lines(run.err);
    ASSERT_GT(block.size(), 2u);
    EXPECT_NE(block[0].find("Invalid file revision."), std::string::npos);
    EXPECT_EQ(block[1], "column,count,mean,sd,min,max,capability");
    std::vector<double> roundness;
    for (int i = 1; i <= 6; ++i)
        if (const auto f = Fields(lines[static_cast<std::size_t>(i)]); f[1] == "true")
            roundness.push_back(std::stod(f[8]));
    ASSERT_EQ(roundness.size(), 5u);
    double mean = 0;
    for (double x : roundness) mean += x / 5.0;
    double squares = 0;
    for (double x : roundness) squares += (x - mean) * (x - mean);
    std::vector<std::string> row;
    for (const auto& line : block)
        if (line.rfind("roundness_um,", 0) == 0) row = Fields(line);
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(row[1], "5");
    EXPECT_NEAR(std::stod(row[2]), mean, 1e-12 * mean);
    EXPECT_NEAR(std::stod(row[3]), std::sqrt(squares / 4.0), 1e-9);
    EXPECT_EQ(std::stod(row[4]), *std::min_element(roundness.begin(), roundness.end()));
    EXPECT_EQ(std::stod(row[5]), *std::max_element(roundness.begin(), roundness.end()));
    EXPECT_NE(run.err.find("\r\nfiles,6,,,,,\r\nfailed,1,,,,,\r\n"), std::string::npos);
    // Or in a file of its own, in the run's format, the records unchanged.
    const fs::path file = dir_ / "summary.csv";
    const Outcome filed = Report("--format csv --summary-file " + Quote(file) + " " + Quote(dir_));
    EXPECT_EQ(filed.out, run.out);
    EXPECT_EQ(Lines(filed.err).size(), 1u) << filed.err;
    EXPECT_EQ(ReadAll(file), run.err.substr(run.err.find('\n') + 1));
    const Outcome jsonFiled = Report("--json --summary-file " + Quote(file) + " " + Quote(dir_));
    EXPECT_EQ(nlohmann::json::parse(jsonFiled.out).size(), 6u); // the plain array of records
    EXPECT_EQ(nlohmann::json::parse(ReadAll(file))["summary"]["files"], 6);

    // Alone, and in JSON.
    const Outcome only = Report("--format csv --summary-only " + Quote(dir_));
    EXPECT_EQ(Lines(only.out).at(0), "column,count,mean,sd,min,max,capability");
    const auto j = nlohmann::json::parse(Report("--json --summary " + Quote(dir_)).out);
    EXPECT_EQ(j["records"].size(), 6u);
    EXPECT_EQ(j["summary"]["files"], 6);
    EXPECT_EQ(j["summary"]["columns"]["roundness_um"]["count"], 5);
    EXPECT_EQ(j["summary"]["columns"]["roundness_um"]["min"].get<double>(), std::stod(row[4]));
    const auto last = Lines(Report("--format jsonl --summary " + Quote(dir_)).out).back();
    EXPECT_EQ(nlohmann::json::parse(last)["summary"]["failed"], 1);
}

// The shortest text that reads back as the same double.
std::string Shortest(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

nlohmann::json Json(const Outcome& run) { return nlohmann::json::parse(run.out); }

TEST_F(KyklosReport, EvaluationHoldsTheDocumentsOwnReferenceWhicheverIsSelected)
{
    const std::pair<const char*, const char*> kinds[] = {
        {"ls", "LeastSquares"}, {"mz", "MinimumZone"}, {"mi", "MaximumInscribed"}, {"mc", "MinimumCircumscribed"}};
    nlohmann::json first;
    for (const auto& [option, name] : kinds) {
        const Outcome run = Report(std::string("--demo --json --harmonics 0 --reference ") + option);
        ASSERT_EQ(run.status, 0) << run.out;
        const auto j = Json(run);
        const auto& e = j["Evaluation"];
        const auto& selected = e["References"][name];
        // Bit for bit: the same numbers, not a second computation of them.
        EXPECT_EQ(selected["RONt"].get<double>(), j["Roundness"].get<double>()) << option;
        for (const char* key : {"Eccentricity", "EccentricityAngle", "ReferenceA", "ReferenceB", "ReferenceC"})
            EXPECT_EQ(selected[key].get<double>(), j[key].get<double>()) << option << " " << key;
        // The other three are fitted as the analysis would fit them: the
        // four entries do not depend on which one is selected.
        if (first.is_null()) first = e["References"];
        EXPECT_EQ(e["References"], first) << option;
        EXPECT_EQ(e["RONp"].get<double>() + e["RONv"].get<double>(),
                  e["References"]["LeastSquares"]["RONt"].get<double>());
        EXPECT_TRUE(e["Harmonics"].empty());
    }
    // The minimum zone is the narrowest of the four by its definition.
    for (const char* other : {"LeastSquares", "MaximumInscribed", "MinimumCircumscribed"})
        EXPECT_LE(first["MinimumZone"]["RONt"].get<double>(), first[other]["RONt"].get<double>()) << other;
}

TEST_F(KyklosReport, HarmonicsAreTheProfilesUndulationsAsManyAsAsked)
{
    // Eccentricity (0.3, 0.4) µm and a three-lobed form of 2 µm, 360 points.
    const auto file = Quote(Write("lobes.kyk", Profile("L", 360, 0.3, 0.4, 2.0)));
    const auto three = Json(Report("--json --harmonics 3 " + file))["Evaluation"]["Harmonics"];
    ASSERT_EQ(three.size(), 3u);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(three[k - 1]["Upr"], k);
    // The file carries ten digits (1e-5 µm): amplitudes in mm to 1e-8.
    EXPECT_NEAR(three[0]["Amplitude"].get<double>(), 0.0005, 1e-8); // √(0.3² + 0.4²) µm
    EXPECT_NEAR(three[0]["Phase"].get<double>(), std::atan2(0.4, 0.3), 1e-4);
    EXPECT_NEAR(three[1]["Amplitude"].get<double>(), 0.0, 1e-8);
    EXPECT_NEAR(three[2]["Amplitude"].get<double>(), 0.002, 1e-8);
    EXPECT_NEAR(three[2]["Phase"].get<double>(), 0.0, 1e-4);
    // The filter at 50 UPR passes 3 UPR almost whole: 2^−(3/50)² = 0.9975.
    EXPECT_NEAR(three[2]["FilteredAmplitude"].get<double>() / 0.002, std::pow(2.0, -0.0036), 1e-3);

    EXPECT_EQ(Json(Report("--json --harmonics 0 " + file))["Evaluation"]["Harmonics"].size(), 0u);
    const auto all = Json(Report("--json --harmonics all " + file))["Evaluation"]["Harmonics"];
    ASSERT_EQ(all.size(), 180u);
    EXPECT_EQ(all.back()["Upr"], 180);
    EXPECT_EQ(all[2], three[2]);
    EXPECT_EQ(Json(Report("--json --harmonics 1000 " + file))["Evaluation"]["Harmonics"].size(), 180u);
    EXPECT_EQ(Json(Report("--demo --json"))["Evaluation"]["Harmonics"].size(),
              500u); // the default of 3600 points' 1800
}

TEST_F(KyklosReport, JsonGivesTheFilterTheExtremesAndTheDiameters)
{
    // A 3-lobe form of 2 µm on a 10 mm circle 0.5 µm off centre towards atan2(0.4, 0.3), 360 points, 50 UPR.
    const auto file = Quote(Write("lobes.kyk", Profile("L", 360, 0.3, 0.4, 2.0)));
    const auto e = Json(Report("--json --harmonics 3 " + file))["Evaluation"];
    const auto& h = e["Harmonics"];
    // The filter's transmission, nearly 2^−(k/50)² at 360 ≥ 7 × 50 points; phases and first peaks.
    for (int k = 1; k <= 3; ++k)
        EXPECT_NEAR(h[k - 1]["Transmission"].get<double>(), std::pow(2.0, -k * k / 2500.0), 1e-3);
    const double passed = h[2]["Transmission"].get<double>();
    EXPECT_NEAR(h[2]["FilteredPhase"].get<double>(), 0.0, 1e-4);
    EXPECT_NEAR(h[2]["FirstPeakAngle"].get<double>(), 0.0, 1e-4);
    EXPECT_NEAR(h[0]["FirstPeakAngle"].get<double>(), std::atan2(0.4, 0.3), 1e-4);
    // About each circle the lobes' peaks at 0, 120 and 240°, valleys between;
    // the inscribed circle touches the valleys, the circumscribed one the peaks.
    const double a = 0.002 * passed; // mm
    const auto& r = e["References"];
    for (const char* name : {"LeastSquares", "MinimumZone", "MaximumInscribed", "MinimumCircumscribed"}) {
        EXPECT_NEAR(r[name]["Peak"].get<double>() - r[name]["Valley"].get<double>(), 2 * a, 1e-8) << name;
        EXPECT_NEAR(std::remainder(r[name]["PeakAngle"].get<double>(), 2 * 3.141592653589793 / 3), 0.0, 1e-9) << name;
        EXPECT_NEAR(
            std::remainder(r[name]["ValleyAngle"].get<double>() - 3.141592653589793 / 3, 2 * 3.141592653589793 / 3),
            0.0, 1e-9)
            << name;
    }
    EXPECT_NEAR(r["LeastSquares"]["Diameter"].get<double>(), 20.0, 1e-8);
    EXPECT_NEAR(r["MaximumInscribed"]["Diameter"].get<double>(), 2 * (10.0 - a), 1e-8);
    EXPECT_NEAR(r["MinimumCircumscribed"]["Diameter"].get<double>(), 2 * (10.0 + a), 1e-8);
    EXPECT_NEAR(r["MaximumInscribed"]["Valley"].get<double>(), 0.0, 1e-8);
    EXPECT_NEAR(r["MinimumCircumscribed"]["Peak"].get<double>(), 0.0, 1e-8);
    // In the table in micrometres, or microinches with --inch.
    const auto row = Fields(Lines(Report("--format csv --no-header --inch " + file).out).at(0));
    EXPECT_NEAR(std::stod(row.at(23)), 2 * (10.0 - a) * 1000.0 * 39.37007874015748, 1e-4);
    EXPECT_NEAR(std::stod(row.at(24)), 2 * (10.0 + a) * 1000.0 * 39.37007874015748, 1e-4);
}

TEST_F(KyklosReport, ToleranceGivesTheVerdictAndTheExitStatus)
{
    const auto file = Quote(Write("lobes.kyk", Profile("L", 360, 0.3, 0.4, 2.0)));
    const auto plain = Json(Report("--json " + file));
    EXPECT_TRUE(plain["Evaluation"]["Verdict"].is_null());
    EXPECT_TRUE(plain["Evaluation"]["Tolerance"].is_null());
    const double roundness = plain["Roundness"].get<double>() * 1000.0; // µm, about 4

    // A part whose roundness equals the tolerance passes, also a rounding
    // over it (one unit in the last place); a millionth of a micrometre less fails it.
    const Outcome at = Report("--json --tolerance " + Shortest(roundness) + " " + file);
    EXPECT_EQ(at.status, 0);
    EXPECT_EQ(Json(at)["Evaluation"]["Verdict"], "Pass");
    EXPECT_EQ(Report("--tolerance " + Shortest(std::nextafter(roundness, 0.0)) + " " + file).status, 0);
    const double less = roundness - 1e-6;
    const Outcome below = Report("--json --tolerance " + Shortest(less) + " " + file);
    EXPECT_EQ(below.status, 3);
    EXPECT_EQ(Json(below)["Evaluation"]["Verdict"], "Fail");
    EXPECT_EQ(Json(below)["Evaluation"]["Tolerance"].get<double>(), less / 1000.0);

    // With --inch the tolerance is in microinches: 150 µin = 3.81 µm fails
    // (150 µm would pass), 160 µin = 4.064 µm passes.
    const Outcome inch = Report("--format csv --no-header --inch --tolerance 150 " + file);
    EXPECT_EQ(inch.status, 3);
    const auto row = Fields(Lines(inch.out).at(0));
    EXPECT_EQ(row.at(20), "150");
    EXPECT_EQ(row.at(21), "Fail");
    EXPECT_EQ(row.at(22), "LSCI"); // what the verdict judged
    EXPECT_EQ(Report("--inch --tolerance 160 " + file).status, 0);
    EXPECT_NEAR(Json(Report("--json --inch --tolerance 150 " + file))["Evaluation"]["Tolerance"].get<double>(),
                150 * 0.0254e-3, 1e-15);

    // A file that cannot be read outranks a failed verdict.
    const auto bad = Quote(Write("bad.kyk", "HELLO\n"));
    EXPECT_EQ(Report("--format csv --tolerance 1 " + file + " " + bad).status, 1);
}

TEST_F(KyklosReport, TextBlockShowsTheEvaluationInTheBlocksUnits)
{
    // The eccentricity (3, 4) µm is the largest undulation, but 1 UPR is the
    // centring, not the form: the lobes lead the harmonics.
    const auto file = Quote(Write("lobes.kyk", Profile("L", 360, 3.0, 4.0, 2.0)));
    const auto e = Json(Report("--json --tolerance 5 --cutoff 100 " + file))["Evaluation"];
    const Outcome run = Report("--tolerance 5 --cutoff 100 " + file);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    auto rowOf = [&](const std::string& label) {
        for (const auto& line : lines)
            if (line.rfind(label, 0) == 0) return line;
        return std::string();
    };
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-15s %12.3f µm",
                  "RONt MICI:", e["References"]["MaximumInscribed"]["RONt"].get<double>() * 1000.0);
    EXPECT_EQ(rowOf("RONt MICI:"), expected);
    std::snprintf(expected, sizeof expected, "%-15s %12.3f µm", "RONq:", e["RONq"].get<double>() * 1000.0);
    EXPECT_EQ(rowOf("RONq:"), expected);
    EXPECT_EQ(rowOf("Tolerance:"), "Tolerance:             5.000 µm");
    EXPECT_EQ(rowOf("Verdict:"), "Verdict:         RONt LSCI ≤ 5.000 µm: Pass");
    // The filtered profile's harmonic, the raw one beside it, both ½ peak-to-valley.
    EXPECT_EQ(rowOf("Harmonics:"), "Harmonics:       ½ peak-to-valley, filtered (raw)");
    const auto& third = e["Harmonics"][2];
    std::snprintf(expected, sizeof expected, "%-15s %12.3f µm (raw 2.000 µm)",
                  "Harmonic 3:", third["FilteredAmplitude"].get<double>() * 1000.0);
    EXPECT_EQ(rowOf("Harmonic "), expected);
    // The other harmonics of this pure lobed profile are the transform's rounding, below 1 pm: not listed.
    EXPECT_EQ(
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Harmonic ", 0) == 0; }),
        1);
    std::snprintf(expected, sizeof expected, "%.1f", e["Harmonics"][99]["Transmission"].get<double>() * 100.0);
    EXPECT_EQ(rowOf("Warning:"), "Warning:         The profile has 360 points; the filter needs at least 7 × 100 = "
                                 "700 points for a 100 UPR cutoff: it passes " +
                                     std::string(expected) + " % at the cutoff instead of 50 %.");

    // A tolerance typed to the fourth decimal: RONt shown to the fourth too.
    const auto fine = Lines(Report("--tolerance 5.0001 --cutoff 100 " + file).out);
    std::snprintf(expected, sizeof expected, "%-15s %12.4f µm",
                  "RONt MICI:", e["References"]["MaximumInscribed"]["RONt"].get<double>() * 1000.0);
    EXPECT_NE(std::find(fine.begin(), fine.end(), std::string(expected)), fine.end()) << expected;
    EXPECT_NE(std::find(fine.begin(), fine.end(), "Tolerance:            5.0001 µm"), fine.end());
}

TEST_F(KyklosReport, AFailedFitHasNoRontAndNoVerdict)
{
    // Three points leave the minimum zone without its four contact points.
    const auto file = Quote(Write("three.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: t\nDATE: d\nNUMBER_OF_POINTS: 3\n"
                                               "PROFILE_UM: 10001 10002 10003\n"));
    const Outcome json = Report("--json --reference mz --tolerance 1 " + file);
    EXPECT_EQ(json.status, 0);
    const auto e = Json(json)["Evaluation"];
    EXPECT_EQ(e["References"]["MinimumZone"]["FitValid"], false);
    EXPECT_TRUE(e["References"]["MinimumZone"]["RONt"].is_null());
    EXPECT_TRUE(e["Verdict"].is_null());
    EXPECT_EQ(e["Warnings"].size(), 2u); // too few points, and the weights scaled to unit gain
    const auto row = Fields(Lines(Report("--format csv --no-header --reference mz --tolerance 1 " + file).out).at(0));
    EXPECT_EQ(row.at(14), ""); // ront_mz_um
    EXPECT_NE(row.at(13), ""); // ront_ls_um
    EXPECT_EQ(row.at(20), "1");
    EXPECT_EQ(row.at(21), "");
    EXPECT_EQ(row.at(22), ""); // no verdict, no reference judged
    EXPECT_TRUE(e["References"]["MinimumZone"]["Diameter"].is_null());
    EXPECT_TRUE(e["References"]["MinimumZone"]["Peak"].is_null());
    EXPECT_NE(Report("--reference mz " + file).out.find("RONt MZCI:                 — µm\n"), std::string::npos);
}

TEST_F(Batch, TableRowCarriesTheFourReferencesTheParametersAndTheVerdict)
{
    const auto files = MakeSet(3, -1);
    std::string names;
    for (const auto& f : files) names += " " + Quote(f);
    // The table row is made without the spectra; its numbers are the JSON's, exactly.
    const auto array = Json(Report("--json --tolerance 5 --reference mc" + names));
    const auto rows = Lines(Report("--format csv --no-header --tolerance 5 --reference mc" + names).out);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto row = Fields(rows[i]);
        const auto& e = array[i]["Evaluation"];
        const char* references[] = {"LeastSquares", "MinimumZone", "MaximumInscribed", "MinimumCircumscribed"};
        for (std::size_t r = 0; r < 4; ++r)
            EXPECT_EQ(std::stod(row.at(13 + r)), e["References"][references[r]]["RONt"].get<double>() * 1000.0)
                << i << r;
        EXPECT_EQ(std::stod(row.at(17)), e["RONp"].get<double>() * 1000.0);
        EXPECT_EQ(std::stod(row.at(18)), e["RONv"].get<double>() * 1000.0);
        EXPECT_EQ(std::stod(row.at(19)), e["RONq"].get<double>() * 1000.0);
        EXPECT_EQ(row.at(16), row.at(8)); // the selected reference is the roundness column
        EXPECT_EQ(row.at(20), "5");
        EXPECT_EQ(row.at(21), e["Verdict"].get<std::string>());
        EXPECT_EQ(row.at(22), "MCCI");
        EXPECT_EQ(std::stod(row.at(23)), e["References"]["MaximumInscribed"]["Diameter"].get<double>() * 1000.0);
        EXPECT_EQ(std::stod(row.at(24)), e["References"]["MinimumCircumscribed"]["Diameter"].get<double>() * 1000.0);
    }
    // Lobes of 1, 2, 3 µm: roundness about 2, 4, 6 µm against 5 µm.
    EXPECT_EQ(Fields(rows[1]).at(21), "Pass");
    EXPECT_EQ(Fields(rows[2]).at(21), "Fail");
}

TEST_F(Batch, SummaryCountsVerdictsAndGivesTheCapabilityInEveryFormat)
{
    MakeSet(5, -1); // roundness about 2, 4, 6, 8, 10 µm
    const Outcome csv = Report("--format csv --summary --tolerance 7 " + Quote(dir_));
    EXPECT_EQ(csv.status, 3);
    std::vector<double> roundness;
    for (std::size_t i = 1; i <= 5; ++i) roundness.push_back(std::stod(Fields(Lines(csv.out).at(i)).at(8)));
    double mean = 0.0;
    for (double x : roundness) mean += x / 5.0;
    double squares = 0.0;
    for (double x : roundness) squares += (x - mean) * (x - mean);
    const double capability = (7.0 - mean) / (3.0 * std::sqrt(squares / 4.0));
    std::vector<std::string> row;
    for (const auto& line : Lines(csv.err))
        if (line.rfind("roundness_um,", 0) == 0) row = Fields(line);
    ASSERT_EQ(row.size(), 7u);
    EXPECT_NEAR(std::stod(row[6]), capability, 1e-12);
    EXPECT_NE(csv.err.find("\r\npass,3,,,,,\r\nfail,2,,,,,\r\n"), std::string::npos) << csv.err;

    const auto json = Json(Report("--json --summary-only --tolerance 7 " + Quote(dir_)))["summary"];
    EXPECT_NEAR(json["capability"].get<double>(), capability, 1e-12);
    EXPECT_EQ(json["pass"], 3);
    EXPECT_EQ(json["fail"], 2);
    char text[64];
    std::snprintf(text, sizeof text, "of the roundness: %.3f\n", capability);
    const Outcome summary = Report("--summary-only --tolerance 7 " + Quote(dir_));
    EXPECT_NE(summary.out.find("5 files: 0 failed, 3 Pass, 2 Fail\n"), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find(text), std::string::npos) << summary.out;
    // The same tolerance in microinches gives the same capability.
    const auto inch =
        Json(Report("--json --summary-only --inch --tolerance " + Shortest(7.0 / 0.0254) + " " + Quote(dir_)));
    EXPECT_NEAR(inch["summary"]["capability"].get<double>(), capability, 1e-9);
    // Without a tolerance there is none.
    EXPECT_TRUE(Json(Report("--json --summary-only " + Quote(dir_)))["summary"]["capability"].is_null());
}

// Peak resident memory of a run, from the child's own resource usage.
long PeakKilobytes(const std::vector<std::string>& arguments)
{
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv{const_cast<char*>(KYKLOS_REPORT)};
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KYKLOS_REPORT, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

TEST_F(Batch, MemoryStaysFlatOverTwoThousandFiles)
{
    fs::create_directories(dir_ / "few");
    fs::create_directories(dir_ / "many");
    for (int i = 0; i < 2000; ++i) {
        const std::string body = Profile("p", 3600, 0.001 * i, 1.0, 2.0);
        const std::string name = "p" + std::to_string(10000 + i) + ".kyk";
        if (i < 20) Write("few/" + name, body);
        Write("many/" + name, body);
    }
    const long few = PeakKilobytes({"--format", "csv", "-j", "2", (dir_ / "few").string()});
    const long many = PeakKilobytes({"--format", "csv", "-j", "2", (dir_ / "many").string()});
    ASSERT_GT(few, 0);
    ASSERT_GT(many, 0);
    EXPECT_LT(many, 2 * few) << "20 files: " << few << " kB, 2000 files: " << many << " kB";
}

} // namespace

namespace {

// Without the new options every output is what it was, with the new keys
// and columns at the end; the options are taken as the help says, and a
// refused one ends the run with 2 before any record.
TEST_F(KyklosReport, AnalysisOptionsAndTheKeysAndColumnsTheyAppend)
{
    const auto file = Write("shaft.kyk", Profile("Shaft", 720, 4.0, 1.0, 2.0));
    const Outcome json = Report("--json " + Quote(file));
    ASSERT_EQ(json.status, 0) << json.err;
    std::vector<std::string> keys;
    const auto ordered = nlohmann::ordered_json::parse(json.out);
    for (const auto& item : ordered.items()) keys.push_back(item.key());
    const std::vector<std::string> expected{"ok",
                                            "PathName",
                                            "PathBytes",
                                            "FileTitle",
                                            "Identification",
                                            "DateText",
                                            "SourceFormat",
                                            "Columns",
                                            "PointCount",
                                            "DataLoaded",
                                            "AnalysisValid",
                                            "FitValid",
                                            "ReferenceKind",
                                            "FilterCutoffUpr",
                                            "MinRawRadius",
                                            "MaxRawRadius",
                                            "NominalRadius",
                                            "ReferenceA",
                                            "ReferenceB",
                                            "ReferenceC",
                                            "ZoneHalfWidth",
                                            "Peak",
                                            "PeakAngle",
                                            "Valley",
                                            "ValleyAngle",
                                            "Runout",
                                            "Eccentricity",
                                            "EccentricityAngle",
                                            "Roundness",
                                            "Concentricity",
                                            "Evaluation",
                                            "Filter",
                                            "Band",
                                            "SpikesRemoved",
                                            "LargestGap",
                                            "Coverage",
                                            "SamplesUsed",
                                            "SamplesExcluded"};
    EXPECT_EQ(keys, expected);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["Filter"], "gaussian");
    EXPECT_TRUE(j["Band"].is_null());
    EXPECT_EQ(j["SpikesRemoved"], 0);

    // The CSV header without --circles: see MixedGoodAndBadFilesInEveryFormat.
    const std::string circles = Lines(Report("--format csv --inch --circles " + Quote(file)).out).at(0);
    EXPECT_TRUE(circles.ends_with(
        ",samples_excluded,mz_gap_uin,mi_gap_uin,mc_gap_uin,ls_centre_x_mm,ls_centre_y_mm,ls_radius_mm,ls_ront_uin,"
        "mz_inner_radius_mm,mz_outer_radius_mm,mz_ront_uin,mi_radius_mm,mi_ront_uin,"
        "mc_radius_mm,mc_ront_uin"))
        << circles;

    // The flag without "=K" leaves the name after it a file; a negative sector end is a value, not an option.
    const Outcome spikes = Report("--remove-spikes --exclude -10:20 --json " + Quote(file));
    EXPECT_NE(spikes.status, 2) << spikes.err;
    EXPECT_EQ(nlohmann::json::parse(spikes.out)["PathName"], file.string());

    const Outcome band = Report("--band 150:15 --format jsonl " + Quote(file));
    EXPECT_EQ(band.status, 2);
    EXPECT_EQ(nlohmann::json::parse(band.out)["message"],
              "--band: The band's low cutoff must be below its high cutoff.");
    const Outcome sector = Report("--exclude 30..60 " + Quote(file));
    EXPECT_EQ(sector.status, 2);
    EXPECT_EQ(sector.out, "");
    EXPECT_NE(sector.err.find("--exclude 30..60: use FROM:TO in degrees"), std::string::npos) << sector.err;
}

// The certificates of the demonstration: every limaçon result and true
// circle proved, in JSON and in the table; --no-certificate proves nothing.
TEST_F(KyklosReport, CertificatesInJsonAndTableAndWithoutTheCheck)
{
    const Outcome checked = Report("--demo --json --circles");
    ASSERT_EQ(checked.status, 0) << checked.err;
    const auto j = nlohmann::json::parse(checked.out);
    const auto& references = j["Evaluation"]["References"];
    EXPECT_EQ(references["LeastSquares"]["Certificate"],
              nlohmann::json::parse(R"({"Checked":"none","Violation":null,"Gap":null,"Optimal":false})"));
    std::vector<double> gapsMm;
    for (const char* kind : {"MinimumZone", "MaximumInscribed", "MinimumCircumscribed"}) {
        const auto& c = references[kind]["Certificate"];
        EXPECT_EQ(c["Checked"], "exact") << kind;
        EXPECT_GE(c["Violation"].get<double>(), 0.0) << kind;
        EXPECT_LE(c["Gap"].get<double>(), 1e-9) << kind;
        EXPECT_EQ(c["Optimal"], true) << kind;
        EXPECT_EQ(references[kind]["FitValid"], true) << kind;
        gapsMm.push_back(c["Gap"].get<double>());
    }
    // The true circles: the circumscribed one is convex and proved exactly, the others locally.
    const auto& circles = j["Circles"];
    EXPECT_EQ(circles["LeastSquares"]["Certificate"]["Checked"], "none");
    EXPECT_EQ(circles["MinimumCircumscribed"]["Certificate"]["Checked"], "exact");
    EXPECT_EQ(circles["MinimumCircumscribed"]["Certificate"]["Optimal"], true);
    for (const char* kind : {"MinimumZone", "MaximumInscribed"}) {
        EXPECT_EQ(circles[kind]["Certificate"]["Checked"], "local") << kind;
        EXPECT_LE(circles[kind]["Certificate"]["Gap"].get<double>(), 1e-9) << kind;
    }

    const Outcome unchecked = Report("--demo --json --circles --no-certificate");
    ASSERT_EQ(unchecked.status, 0) << unchecked.err;
    const auto u = nlohmann::json::parse(unchecked.out);
    for (const char* kind : {"MinimumZone", "MaximumInscribed", "MinimumCircumscribed"}) {
        EXPECT_EQ(u["Evaluation"]["References"][kind]["Certificate"],
                  nlohmann::json::parse(R"({"Checked":"none","Violation":null,"Gap":null,"Optimal":false})"))
            << kind;
        EXPECT_EQ(u["Circles"][kind]["Certificate"]["Checked"], "none") << kind;
    }
    // Skipping the check changes no result.
    EXPECT_EQ(u["Evaluation"]["References"]["MinimumZone"]["RONt"], references["MinimumZone"]["RONt"]);

    // The gaps after samples_excluded, before the true circles' columns; in µin with --inch; empty unchecked.
    const auto rows = Lines(Report("--demo --format csv --circles").out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[0].find(",samples_excluded,mz_gap_um,mi_gap_um,mc_gap_um,ls_centre_x_mm,"), std::string::npos)
        << rows[0];
    const auto cell = [](const std::vector<std::string>& table, const std::string& name) {
        const auto names = Fields(table.at(0));
        const auto at = std::find(names.begin(), names.end(), name) - names.begin();
        return Fields(table.at(1)).at(static_cast<std::size_t>(at));
    };
    const auto number = [](const std::string& text) {
        double value = -1.0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    };
    EXPECT_EQ(number(cell(rows, "mz_gap_um")), gapsMm[0] * 1000.0);
    EXPECT_EQ(number(cell(rows, "mc_gap_um")), gapsMm[2] * 1000.0);
    const auto inch = Lines(Report("--demo --format csv --inch --circles").out);
    EXPECT_NE(inch.at(0).find(",samples_excluded,mz_gap_uin,mi_gap_uin,mc_gap_uin,"), std::string::npos);
    EXPECT_NEAR(number(cell(inch, "mi_gap_uin")), gapsMm[1] / 25.4e-6, 1e-12);
    const auto none = Lines(Report("--demo --format csv --circles --no-certificate").out);
    for (const char* name : {"mz_gap_um", "mi_gap_um", "mc_gap_um"}) EXPECT_EQ(cell(none, name), "") << name;

    EXPECT_NE(Report("--help").out.find("--no-certificate"), std::string::npos);
}

} // namespace
