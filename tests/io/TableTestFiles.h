#pragma once
// The sample profile's radii as its .kyk file writes them, for tables made
// from the same numbers, and a folder for files written by a test, named by
// the process so that concurrent runs never share one.

#include "io/KykFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace kyklos::test {

inline std::string ShaftPath() { return KYKLOS_SOURCE_DIR "/samples/shaft.kyk"; }

// The micrometre values of samples/shaft.kyk, as written there.
inline std::vector<std::string> ShaftMicrometreTexts()
{
    std::ifstream in(ShaftPath());
    std::string token;
    while (in >> token && token != "PROFILE_UM:") {}
    std::vector<std::string> values;
    while (in >> token) values.push_back(token);
    return values;
}

inline Profile ShaftProfile()
{
    KykReadResult read = ReadKykFile(ShaftPath());
    EXPECT_TRUE(read.Read.has_value()) << read.Message;
    return read.Read.value_or(Profile{});
}

class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("kyklos_tables_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = (path_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace kyklos::test
