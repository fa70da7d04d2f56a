#include "platform/DataFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace kyklos {
namespace {

namespace fs = std::filesystem;

// A scratch folder holding an installed prefix and a build tree, and the
// current folder moved into an empty folder of its own for the test.
class DataFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("kyklos-datafiles-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_ / "prefix" / "bin");
        fs::create_directories(root_ / "prefix" / "share" / "kyklos");
        fs::create_directories(root_ / "build" / "src" / "cli");
        fs::create_directories(root_ / "source" / "resources");
        fs::create_directories(root_ / "work");
        previous_ = fs::current_path();
        fs::current_path(root_ / "work");
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }
    static void Touch(const fs::path& file) { std::ofstream(file) << "x"; }

    fs::path root_;
    fs::path previous_;
};

TEST_F(DataFilesTest, SearchesCurrentFolderThenInstalledDataFolderThenBuildResources)
{
    const auto installed =
        DataSearchPath(root_ / "prefix" / "bin" / "kyklos-report", root_ / "build", root_ / "source" / "resources");
    ASSERT_EQ(installed.size(), 2u);
    EXPECT_EQ(installed[0], fs::path());
    EXPECT_EQ(installed[1], root_ / "prefix" / "share" / "kyklos");

    // Only a program inside the build tree falls back on the source tree.
    const auto built = DataSearchPath(root_ / "build" / "src" / "cli" / "kyklos-report", root_ / "build",
                                      root_ / "source" / "resources");
    ASSERT_EQ(built.size(), 3u);
    EXPECT_EQ(built[2], root_ / "source" / "resources");
    // A folder whose name merely starts like the build tree's is not inside it.
    EXPECT_EQ(DataSearchPath(root_ / "build-other" / "kyklos", root_ / "build", root_ / "source" / "resources").size(),
              2u);
}

TEST_F(DataFilesTest, FindsTheFirstFolderHoldingTheFile)
{
    const auto path = DataSearchPath(root_ / "build" / "src" / "cli" / "kyklos-report", root_ / "build",
                                     root_ / "source" / "resources");
    // A missing file keeps its bare name, so that opening it fails as before.
    EXPECT_EQ(FindDataFile("VarnLogo.WMF", path), "VarnLogo.WMF");

    Touch(root_ / "source" / "resources" / "VarnLogo.WMF");
    EXPECT_EQ(FindDataFile("VarnLogo.WMF", path), (root_ / "source" / "resources" / "VarnLogo.WMF").string());

    // The installed data folder of a program moved to /prefix/bin.
    Touch(root_ / "prefix" / "share" / "kyklos" / "VarnLogo.WMF");
    const auto moved = DataSearchPath(root_ / "prefix" / "bin" / "kyklos", {}, {});
    EXPECT_EQ(FindDataFile("VarnLogo.WMF", moved), (root_ / "prefix" / "share" / "kyklos" / "VarnLogo.WMF").string());

    // A folder of that name is no logo; a file in the current folder wins.
    fs::create_directory(root_ / "work" / "Logo.WMF");
    Touch(root_ / "source" / "resources" / "Logo.WMF");
    EXPECT_EQ(FindDataFile("Logo.WMF", path), (root_ / "source" / "resources" / "Logo.WMF").string());
    Touch(root_ / "work" / "VarnLogo.WMF");
    EXPECT_EQ(FindDataFile("VarnLogo.WMF", moved), "VarnLogo.WMF");
}

TEST(DataFiles, TheRunningTestProgramFindsTheLogosOfItsBuildTree)
{
    EXPECT_EQ(ExecutablePath().filename(), "test_platform");
    const auto path = DataSearchPath();
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(fs::weakly_canonical(path[2]), fs::weakly_canonical(fs::path(KYKLOS_SOURCE_DIR) / "resources"));
    EXPECT_TRUE(fs::is_regular_file(path[2] / "VarnLogo.WMF"));
}

} // namespace
} // namespace kyklos
