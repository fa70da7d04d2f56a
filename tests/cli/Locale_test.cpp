// Numbers keep their full stop under a locale whose decimal separator is a
// comma: Qt's application object adopts the user's locale for the C library,
// and a printf of a result would then write "7,066".

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kGerman = "de_DE.UTF-8";

std::string RunGerman(const std::string& arguments)
{
    const std::string command =
        std::string("LANG=") + kGerman + " LC_ALL=" + kGerman + " " + KYKLOS_REPORT + " " + arguments + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::setlocale(LC_ALL, kGerman))
            GTEST_SKIP() << kGerman << " is not installed (scripts/install-deps.sh makes it)";
        std::setlocale(LC_ALL, "C");
    }
    const std::string shaft_ = std::string("'") + KYKLOS_SOURCE_DIR + "/samples/shaft.kyk'";
};

TEST_F(GermanLocale, ResultsBlockCsvAndJsonWriteAFullStop)
{
    // The shaft at 500 UPR: concentricity 7.066 µm.
    const std::string text = RunGerman("--cutoff 500 " + shaft_);
    EXPECT_NE(text.find("7.066 µm"), std::string::npos) << text;
    EXPECT_EQ(text.find("7,066"), std::string::npos) << text;
    const std::string csv = RunGerman("--format csv --cutoff 500 " + shaft_);
    EXPECT_NE(csv.find(",7.065998065914169,"), std::string::npos) << csv;
    const std::string json = RunGerman("--json --cutoff 500 " + shaft_);
    EXPECT_NE(json.find("\"Concentricity\": 0.007065998065914169"), std::string::npos) << json;
}

TEST_F(GermanLocale, ReportPageWritesAFullStop)
{
    const fs::path svg = fs::temp_directory_path() / ("kyklos_locale_" + std::to_string(::getpid()) + ".svg");
    RunGerman("--cutoff 500 -o '" + svg.string() + "' " + shaft_);
    std::ifstream in(svg);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(svg);
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find("7.066"), std::string::npos);
    EXPECT_EQ(page.find("7,066"), std::string::npos);
}

} // namespace
