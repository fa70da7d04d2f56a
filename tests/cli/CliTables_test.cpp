// Tables in kyklos-report: read beside .kyk files, a table that does not fit
// is that file's error, the option words, folders with --tables, and
// --save-profile.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome Report(const std::string& arguments)
{
    Outcome run;
    static int runs = 0;
    const fs::path errors = fs::temp_directory_path() / ("kyklos_tables_stderr_" + std::to_string(getpid()) + "_" +
                                                         std::to_string(++runs) + ".txt");
    const std::string command = std::string(KYKLOS_REPORT) + " " + arguments + " 2>'" + errors.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(errors);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    fs::remove(errors);
    return run;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

std::vector<nlohmann::json> JsonLines(const std::string& text)
{
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

const fs::path kShaft = fs::path(KYKLOS_SOURCE_DIR) / "samples/shaft.kyk";

// The shaft's micrometre values as its .kyk file writes them.
std::vector<std::string> ShaftMicrometres()
{
    std::ifstream in(kShaft);
    std::string token;
    while (in >> token && token != "PROFILE_UM:") {}
    std::vector<std::string> values;
    while (in >> token) values.push_back(token);
    return values;
}

class ReportTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_cli_tables_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        const std::vector<std::string> um = ShaftMicrometres();
        csv_ = "angle [deg],radius [um]\n";
        german_ = "Pr\xFC"
                  "fbericht Welle DS-40;;\r\nWinkel [\xB0];Radius [\xB5m]\r\n";
        for (std::size_t i = 0; i < um.size(); ++i) {
            std::ostringstream angle;
            angle << static_cast<double>(i) * 0.5;
            std::string comma = um[i];
            std::string commaAngle = angle.str();
            for (std::string* text : {&comma, &commaAngle})
                for (char& c : *text)
                    if (c == '.') c = ',';
            csv_ += angle.str() + "," + um[i] + "\n";
            german_ += commaAngle + ";" + comma + "\r\n";
        }
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path Write(const std::string& name, const std::string& content)
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    fs::path dir_;
    std::string csv_;
    std::string german_;
};

// Every number of the evaluation, the sample values included.
nlohmann::json Results(nlohmann::json record)
{
    for (const char* key :
         {"PathName", "PathBytes", "FileTitle", "Identification", "DateText", "SourceFormat", "Columns"})
        record.erase(key);
    return record;
}

TEST_F(ReportTables, TablesOfTheKykRadiiGiveItsNumbersAndABadTableIsThatFilesError)
{
    const fs::path csv = Write("header.csv", csv_);
    const fs::path german = Write("Welle.CSV", german_);
    const fs::path bad = Write("bad.txt", "angle,radius\n0,1\n10,12.3x\n");
    const Outcome run = Report("--format jsonl --raw --columns angle,radius " + Quote(kShaft) + " " + Quote(csv) + " " +
                               Quote(bad) + " " + Quote(german));
    EXPECT_EQ(run.status, 1) << run.err;
    const auto records = JsonLines(run.out);
    ASSERT_EQ(records.size(), 4u) << run.out;
    EXPECT_EQ(records[0]["SourceFormat"], "kyk");
    EXPECT_EQ(records[0]["Columns"], "");
    for (const std::size_t i : {1u, 3u}) {
        EXPECT_EQ(records[i]["SourceFormat"], "table");
        EXPECT_EQ(records[i]["Columns"], "angle,radius");
        EXPECT_EQ(Results(records[i]), Results(records[0])) << i;
    }
    EXPECT_EQ(records[2]["ok"], false);
    EXPECT_EQ(records[2]["message"], "Line 3, column 2: \"12.3x\" is not a number.");
    EXPECT_NE(run.err.find("bad.txt: Line 3, column 2:"), std::string::npos) << run.err;

    // Unnamed columns without --columns: that file's error; CSV ends with the source.
    const Outcome table = Report("--format csv " + Quote(german) + " " + Quote(csv));
    EXPECT_EQ(table.status, 1);
    std::istringstream rows(table.out);
    std::string header, first, second;
    std::getline(rows, header);
    std::getline(rows, first);
    std::getline(rows, second);
    const auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(endsWith(header, ",ront_mc_max_um,source_format,columns,filter,band_low_upr,band_high_upr,"
                                 "spikes_removed,largest_gap_deg,coverage_deg,samples_used,samples_excluded,"
                                 "mz_gap_um,mi_gap_um,mc_gap_um\r"))
        << header;
    EXPECT_NE(first.find("The table's columns are not named; give --columns."), std::string::npos) << first;
    EXPECT_TRUE(endsWith(first, ",,,,,,,,,,\r")) << first;
    EXPECT_NE(second.find(",table,\"angle,radius\",gaussian,"), std::string::npos) << second;
}

TEST_F(ReportTables, AWordThatIsNoOptionWordRefusesTheCommandLine)
{
    const fs::path csv = Write("header.csv", csv_);
    const std::pair<const char*, const char*> cases[] = {
        {"--columns angle,foo", "--columns: name the columns"},
        {"--delimiter pipe", "--delimiter: use comma, semicolon, tab or space."},
        {"--decimal dot", "--decimal: use point or comma."},
        {"--angle-unit turn", "--angle-unit: use deg, rad or grad."},
        {"--angle-direction left", "--angle-direction: use ccw or cw."},
        {"--length-unit cm", "--length-unit: use mm, um, in or uin."},
        {"--nominal -3", "--nominal: give the nominal radius in millimetres, above 0."},
    };
    for (const auto& [option, message] : cases) {
        const Outcome run = Report(std::string(option) + " " + Quote(csv));
        EXPECT_EQ(run.status, 2) << option;
        EXPECT_NE(run.err.find(message), std::string::npos) << option << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << option;
    }
    EXPECT_EQ(Report("--angle-unit RAD --length-unit \xC2\xB5m --angle-direction cw " + Quote(csv)).status, 0);
}

TEST_F(ReportTables, FoldersTakeTablesOnlyWithTables)
{
    fs::copy_file(kShaft, dir_ / "a.kyk");
    Write("readme.txt", "Shift 3, line 2: journals A and B\n");
    Write("b.csv", csv_);
    const Outcome kykOnly = Report("--format jsonl " + Quote(dir_));
    EXPECT_EQ(kykOnly.status, 0) << kykOnly.err;
    EXPECT_EQ(JsonLines(kykOnly.out).size(), 1u);
    const Outcome tables = Report("--format jsonl --tables " + Quote(dir_));
    EXPECT_EQ(tables.status, 1);
    const auto records = JsonLines(tables.out);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1]["SourceFormat"], "table");
    EXPECT_EQ(records[2]["message"], "The table has no rows.");
}

TEST_F(ReportTables, SavedProfilesReadBackAsTheSameProfile)
{
    const fs::path csv = Write("header.csv", csv_);
    const Outcome save = Report("--format jsonl --raw --save-profile " + Quote(dir_ / "saved.csv") + " " +
                                Quote(kShaft) + " " + Quote(csv));
    EXPECT_EQ(save.status, 0) << save.err;
    const auto originals = JsonLines(save.out);
    ASSERT_EQ(originals.size(), 2u);
    for (int i = 1; i <= 2; ++i) {
        const fs::path saved = dir_ / ("saved-" + std::to_string(i) + ".csv");
        const auto back = JsonLines(Report("--format jsonl --raw " + Quote(saved)).out);
        ASSERT_EQ(back.size(), 1u) << saved;
        EXPECT_EQ(back[0]["RawRadius"], originals[static_cast<std::size_t>(i - 1)]["RawRadius"]) << i;
        EXPECT_EQ(back[0]["SourceFormat"], "table");
    }
    // One input: the name as given; a .kyk from a .kyk holds its values.
    const fs::path kyk = dir_ / "saved.kyk";
    EXPECT_EQ(Report("--format jsonl --save-profile " + Quote(kyk) + " " + Quote(kShaft)).status, 0);
    const auto back = JsonLines(Report("--format jsonl --raw " + Quote(kyk)).out);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]["RawRadius"], originals[0]["RawRadius"]);
    // A file that cannot be written is that profile's failure.
    const Outcome unwritable =
        Report("--format jsonl --save-profile " + Quote(dir_ / "no folder" / "x.kyk") + " " + Quote(kShaft));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("x.kyk: Cannot write the file."), std::string::npos) << unwritable.err;
}

} // namespace
