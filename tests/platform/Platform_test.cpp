#include "platform/ClassicRandom.h"
#include "platform/PathParts.h"
#include "platform/RecordingCanvas.h"
#include "platform/TextCompare.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

TEST(ClassicRandom, ProducesTheClassicSequenceFromSeedOne)
{
    // The first values of the classic C-library generator seeded with 1.
    ClassicRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(random.Next(), value);
}

TEST(ClassicRandom, StaysWithinFifteenBits)
{
    ClassicRandom random;
    int highest = 0, lowest = ClassicRandom::Max;
    for (int i = 0; i < 200000; ++i) {
        const int v = random.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, ClassicRandom::Max);
        highest = std::max(highest, v);
        lowest = std::min(lowest, v);
    }
    EXPECT_EQ(highest, ClassicRandom::Max);
    EXPECT_EQ(lowest, 0);
}

TEST(SplitPath, SeparatesDriveDirectoryNameAndExtension)
{
    struct Case {
        const char* path;
        const char* drive;
        const char* dir;
        const char* name;
        const char* ext;
    };
    const Case cases[] = {
        {"/home/lab/shaft 12.kyk", "", "/home/lab/", "shaft 12", ".kyk"},
        {"C:\\Data\\bore.v2.KYK", "C:", "\\Data\\", "bore.v2", ".KYK"},
        {"profile", "", "", "profile", ""},
        {"/work/main", "", "/work/", "main", ""},
        {"/tmp/dir.d/", "", "/tmp/dir.d/", "", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.drive, c.drive) << c.path;
        EXPECT_EQ(parts.directory, c.dir) << c.path;
        EXPECT_EQ(parts.name, c.name) << c.path;
        EXPECT_EQ(parts.extension, c.ext) << c.path;
    }
}

TEST(EqualsIgnoreCase, ComparesWholeTokensWithoutRegardToCase)
{
    EXPECT_TRUE(EqualsIgnoreCase("kyklos_data", "KYKLOS_DATA"));
    EXPECT_TRUE(EqualsIgnoreCase("Profile_Um:", "PROFILE_UM:"));
    EXPECT_FALSE(EqualsIgnoreCase("PROFILE_UM", "PROFILE_UM:"));
    EXPECT_FALSE(EqualsIgnoreCase("DATE:x", "DATE:"));
    EXPECT_FALSE(EqualsIgnoreCase("1.00", "1.0"));
    EXPECT_TRUE(EqualsIgnoreCase("", ""));
}

TEST(RecordingCanvas, RestoresStateAndMeasuresCharactersNotBytes)
{
    RecordingCanvas canvas;
    canvas.SetPen({PenStyle::Solid, 3, kNavy});
    canvas.Save();
    canvas.SetPen({PenStyle::Solid, 1, kBlack});
    EXPECT_EQ(canvas.SetFont({"Arial", 20}), 20);
    EXPECT_EQ(canvas.TextExtent("0°").width, 20); // two characters, half a cell each
    canvas.Restore();
    EXPECT_EQ(canvas.CurrentPen().colour, kNavy);
    EXPECT_EQ(canvas.CurrentPen().width, 3);
    EXPECT_EQ(canvas.SaveDepth(), 0);
}

} // namespace
} // namespace kyklos
