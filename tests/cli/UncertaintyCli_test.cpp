// kyklos-report --uncertainty run as a separate process: the same bytes for
// any -j, the table's columns, the decision's exit statuses and refusals.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome Report(const std::string& arguments)
{
    Outcome run;
    const std::string command = std::string(KYKLOS_REPORT) + " -q " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string Shortest(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

class UncertaintyReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_cli_u_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A 10 mm part with `lobes` µm of three-lobe form, its centre off by (3, 4) µm.
    std::string Profile(const std::string& name, int n, double lobes)
    {
        std::ostringstream out;
        out << "KYKLOS_DATA 1.0\nIDENTIFICATION: " << name << "\nDATE: 07 Dec 2026\nNUMBER_OF_POINTS: " << n
            << "\nPROFILE_UM:\n";
        out.precision(10);
        for (int i = 0; i < n; ++i) {
            const double t = i * (2.0 * 3.141592653589793 / n);
            out << 10000.0 + 3.0 * std::cos(t) + 4.0 * std::sin(t) + lobes * std::cos(3.0 * t) << '\n';
        }
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << out.str();
        return "'" + path.string() + "'";
    }

    fs::path dir_;
};

constexpr const char* kModel = " --uncertainty noise=0.1,angle=0.05,calibration=0.02,resolution=0.01 --draws 200 ";

TEST_F(UncertaintyReport, SameBytesForAnyJobsAndTheTablesColumns)
{
    const std::string files =
        Profile("a.kyk", 360, 2.0) + " " + Profile("b.kyk", 720, 0.5) + " " + Profile("c.kyk", 500, 1.0);
    for (const char* format : {"--format csv", "--format jsonl --harmonics 0", "--format text"}) {
        const std::string arguments = std::string(format) + kModel + "--tolerance 4 " + files;
        const Outcome one = Report("-j 1 " + arguments);
        const Outcome two = Report("-j 2 " + arguments);
        EXPECT_TRUE(one.out == two.out) << format; // the demonstration would carry the time: files only
        EXPECT_EQ(one.status, two.status);
        EXPECT_FALSE(one.out.empty());
    }

    const Outcome csv = Report("--format csv --inch" + std::string(kModel) + "--tolerance 100 " + files);
    const std::string header = csv.out.substr(0, csv.out.find("\r\n"));
    EXPECT_TRUE(header.ends_with(",u_ront_uin,expanded_u_ront_uin,decision")) << header;
    // a.kyk: about 4 µm of lobes, well above 100 µin (2.54 µm) by far more than U.
    const std::string row = csv.out.substr(csv.out.find("\r\n") + 2);
    EXPECT_NE(row.find(",Does not conform\r\n"), std::string::npos) << row;
    // Without --uncertainty the table keeps its columns.
    EXPECT_EQ(Report("--format csv " + files).out.find("u_ront"), std::string::npos);
}

TEST_F(UncertaintyReport, DecisionSetsTheExitStatus)
{
    const std::string file = Profile("lobes.kyk", 360, 2.0);
    const auto j = nlohmann::json::parse(Report("--json --harmonics 0" + std::string(kModel) + file).out);
    const double rontUm = j["Roundness"].get<double>() * 1000.0;
    const auto& u = j["Uncertainty"];
    const double expandedUm = u["ExpandedUncertainty"].get<double>() * 1000.0;
    ASSERT_GT(expandedUm, 0.0);
    EXPECT_TRUE(u["Decision"].is_null()); // no tolerance
    EXPECT_EQ(u["Draws"], 200);
    EXPECT_EQ(u["Seed"], 1);
    EXPECT_DOUBLE_EQ(u["Model"]["Noise"].get<double>(), 1e-4);
    EXPECT_EQ(u["References"]["LeastSquares"]["RONt"]["Estimate"].get<double>(), j["Roundness"].get<double>());
    EXPECT_EQ(u["References"]["MinimumZone"]["RONt"]["Interval95"].size(), 2u);

    const auto status = [&](double toleranceUm) {
        return Report(std::string(kModel) + "--tolerance " + Shortest(toleranceUm) + " " + file).status;
    };
    EXPECT_EQ(status(rontUm + 2.0 * expandedUm), 0);
    EXPECT_EQ(status(rontUm), 4); // the plain verdict passes, the guard band does not
    EXPECT_EQ(status(rontUm - 2.0 * expandedUm), 3);
    const std::string bad = "'" + (dir_ / "bad.kyk").string() + "'";
    std::ofstream(dir_ / "bad.kyk") << "HELLO\n";
    EXPECT_EQ(Report(std::string(kModel) + "--tolerance 0.001 " + file + " " + bad).status, 1);
    // Another seed, other draws.
    const auto other = nlohmann::json::parse(Report("--json --harmonics 0 --seed 2" + std::string(kModel) + file).out);
    EXPECT_NE(other["Uncertainty"]["ExpandedUncertainty"], u["ExpandedUncertainty"]);
}

TEST_F(UncertaintyReport, RefusesAModelItCannotRead)
{
    const std::string file = Profile("p.kyk", 90, 1.0);
    for (const char* model : {"noise=0.1,speed=2", "noise=-1", "noise=abc", "noise=0.1,noise=0.2", "noise"})
        EXPECT_EQ(Report(std::string("--uncertainty ") + model + " " + file).status, 2) << model;
    EXPECT_EQ(Report("--draws 100 " + file).status, 2);
    EXPECT_EQ(Report("--seed 3 " + file).status, 2);
    EXPECT_EQ(Report("--uncertainty noise=0.1 --draws 5 " + file).status, 2);
}

} // namespace
