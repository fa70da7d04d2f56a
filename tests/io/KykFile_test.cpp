#include "io/KykFile.h"
#include "io/ProfileScanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace kyklos {
namespace {

namespace fs = std::filesystem;

class KykFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_reader_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& content)
    {
        const auto path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Reads content into profile_; returns the message, or "" when it was read.
    std::string Read(const std::string& content, bool expectOk)
    {
        KykReadResult result = ReadKykFile(Write("profile.kyk", content));
        EXPECT_EQ(result.Read.has_value(), expectOk);
        EXPECT_EQ(result.Message.empty(), expectOk);
        profile_ = result.Read.value_or(Profile{});
        return result.Message;
    }

    static std::string Header(int points)
    {
        return "KYKLOS_DATA 1.0\nIDENTIFICATION: Shaft 4711\nDATE: 06 Dec 1999\nNUMBER_OF_POINTS: " +
               std::to_string(points) + "\nPROFILE_UM:\n";
    }

    fs::path dir_;
    Profile profile_;
};

TEST_F(KykFile, ReadsAWellFormedFileAndScalesMicrometresToMillimetres)
{
    EXPECT_EQ(Read(Header(4) + "2500 10000.5 -3e2\n+7\n", true), "");
    EXPECT_EQ(profile_.PointCount(), 4);
    EXPECT_EQ(profile_.Identification, "Shaft 4711");
    EXPECT_EQ(profile_.DateText, "06 Dec 1999");
    EXPECT_DOUBLE_EQ(profile_.RawRadius[0], 2.5);
    EXPECT_EQ(profile_.RawRadius[1], 10000.5 * 0.001);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[2], -0.3);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[3], 0.007);
    // At equal steps over one turn, named after the file.
    ASSERT_EQ(profile_.SampleAngle.size(), 4u);
    EXPECT_TRUE(profile_.EqualSteps);
    EXPECT_EQ(profile_.SampleAngle[0], 0.0);
    EXPECT_EQ(profile_.SampleAngle[3], 3 * (2.0 * 3.141592653589793 / 4));
    EXPECT_EQ(profile_.FileTitle, "profile");
    EXPECT_EQ(profile_.PathName, (dir_ / "profile.kyk").string());
}

TEST_F(KykFile, AcceptsLowerCaseDesignatorsCrLfAndTrailingNumbers)
{
    const std::string lower = "kyklos_data 1.0\r\nidentification: Bore\r\nDate: today\r\nnumber_of_points: 3\r\n"
                              "profile_um:\r\n1\r\n2\r\n3\r\n4 5 6\r\n";
    EXPECT_EQ(Read(lower, true), "");
    EXPECT_EQ(profile_.Identification, "Bore");
    EXPECT_EQ(profile_.DateText, "today");
    EXPECT_EQ(profile_.PointCount(), 3);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[2], 0.003);
}

TEST_F(KykFile, ShowsEachMessageOfTheFailureTable)
{
    struct Case {
        std::string content;
        std::string message;
    };
    const Case cases[] = {
        {"", "Invalid file format."},
        {"KYKLOS 1.0\n", "Invalid file format."},
        {"KYKLOS_DATA", "Invalid file revision."},
        {"KYKLOS_DATA 1.00\n", "Invalid file revision."},
        {"KYKLOS_DATA 1.0\nIDENT: x\n", "Invalid 'IDENTIFICATION:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDAT: y\n", "Invalid 'DATE:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nPOINTS: 3\n", "Invalid 'NUMBER_OF_POINTS:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 0\n", "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: -5\n", "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE:\n1 2 3",
         "Invalid 'PROFILE_UM:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 2",
         "Unexpected end of file."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:", "Unexpected end of file."},
        // Faults mended: a count that is not a number, too many points, samples that are not finite numbers.
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: many\nPROFILE_UM: 1\n",
         "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 36001\nPROFILE_UM: 1\n",
         "Too many points: at most 36000 are supported."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 99999999999999999999\nPROFILE_UM: 1\n",
         "Too many points: at most 36000 are supported."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 abc 3\n",
         "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 nan 3\n",
         "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 inf 3\n",
         "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 1e999 3\n",
         "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 2\nPROFILE_UM:\n1,5 2\n",
         "Invalid profile value."},
    };
    for (const auto& c : cases) {
        const KykReadResult result = ReadKykFile(Write("profile.kyk", c.content));
        EXPECT_EQ(result.Message, c.message) << c.content;
        EXPECT_FALSE(result.Read.has_value());
        // Only a wrong magic word or revision leaves the profile shown before.
        const bool early = c.message == "Invalid file format." || c.message == "Invalid file revision.";
        EXPECT_EQ(result.ProfileLost, !early) << c.content;
    }
}

TEST_F(KykFile, TextLinesSkipOneCharacterAndHaveLengthLimits)
{
    // Two blanks: the text begins with the second one.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION:  two\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(profile_.Identification, " two");
    // One blank and the line end: empty text.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: \nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(profile_.Identification, "");
    // Directly followed by the line end: the DATE line becomes the text, and DATE: is then missing.
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\nIDENTIFICATION:\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", false),
              "Invalid 'DATE:' designator.");

    const auto withText = [](const std::string& text) {
        return "KYKLOS_DATA 1.0\nIDENTIFICATION: " + text + "\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n";
    };
    const std::string t253(253, 'a');
    Read(withText(t253), true);
    EXPECT_EQ(profile_.Identification, t253);
    const std::string t254 = std::string(253, 'b') + "c";
    Read(withText(t254), true);
    EXPECT_EQ(profile_.Identification, std::string(253, 'b')); // loses its last character
    EXPECT_EQ(Read(withText(std::string(255, 'd')), false), "Invalid 'DATE:' designator.");
    // CR LF inside the limits counts as one line end.
    Read("KYKLOS_DATA 1.0\r\nIDENTIFICATION: " + t253 + "\r\nDATE: d\r\nNUMBER_OF_POINTS: 1\r\nPROFILE_UM: 1\r\n",
         true);
    EXPECT_EQ(profile_.Identification, t253);
}

TEST_F(KykFile, TextsAreTakenLiterally)
{
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: 100% %d %s\tbore\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(profile_.Identification, "100% %d %s\tbore");
}

TEST_F(KykFile, AnOverlongTokenFailsItsCheckWithoutHarm)
{
    const std::string huge(100000, 'K');
    EXPECT_EQ(Read(huge + " 1.0\n", false), "Invalid file format.");
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\n" + huge + "\n", false), "Invalid 'IDENTIFICATION:' designator.");
    EXPECT_EQ(Read("KYKLOS_DATA " + std::string(300, '1') + "\n", false), "Invalid file revision.");
}

TEST_F(KykFile, NumberSyntaxFollowsTheDecimalConversions)
{
    Read(Header(6) + "1.5e3 -.5 +2. 0.25E-1 1e-400 007\n", true);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[0], 1.5);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[1], -0.0005);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[2], 0.002);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[3], 0.000025);
    EXPECT_EQ(profile_.RawRadius[4], 0.0);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[5], 0.007);
    // Out of range with an exponent that does not say it: far too small
    // reads as zero, far too large is refused.
    Read(Header(2) + "-0.0000000001e-320 0.0000000001e-320\n", true);
    EXPECT_EQ(profile_.RawRadius[0], 0.0);
    EXPECT_EQ(profile_.RawRadius[1], 0.0);
    EXPECT_EQ(Read(Header(1) + "0.00001e+400\n", false), "Invalid profile value.");
    // A count written with a sign reads as a decimal integer.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: +2\nPROFILE_UM: 1 2\n", true);
    EXPECT_EQ(profile_.PointCount(), 2);
}

TEST_F(KykFile, AnExponentWithoutDigitsIsNoNumber)
{
    for (const char* value : {"1e", "1e-", "1E+", "2.5e-x"}) {
        EXPECT_EQ(Read(Header(3) + "1 2 " + value + "\n", false), "Invalid profile value.") << value;
        EXPECT_EQ(Read(Header(3) + "1 " + value + " 3\n", false), "Invalid profile value.") << value;
    }
    // A count reads as an integer: "5e" is 5 and then a stray "e" where the
    // profile designator belongs.
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 5e\nPROFILE_UM: 1 2 3 4 5\n", false),
              "Invalid 'PROFILE_UM:' designator.");
}

TEST_F(KykFile, ATokenLongerThan255CharactersFailsItsCheck)
{
    const std::string digits255 = "1" + std::string(254, '0'); // 1e254, the longest number there may be
    Read(Header(1) + digits255 + "\n", true);
    EXPECT_EQ(profile_.RawRadius[0], 1e254 * 0.001);
    EXPECT_EQ(Read(Header(1) + digits255 + "0\n", false), "Invalid profile value.");
    EXPECT_EQ(Read(Header(1) + "1." + std::string(300, '5') + "\n", false), "Invalid profile value.");
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: " + std::string(299, '0') +
                       "5\nPROFILE_UM: 1 2 3 4 5\n",
                   false),
              "Invalid number of points.");
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\n" + std::string(300, 'I') + " x\n", false),
              "Invalid 'IDENTIFICATION:' designator.");
}

// An endless stream of one character that counts what is read from it and
// ends after a megabyte, so that a regression fails instead of hanging.
struct EndlessStream {
    char fill;
    std::size_t served = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{Open(this), &std::fclose};

    static std::FILE* Open(EndlessStream* self)
    {
        cookie_io_functions_t io{};
        io.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
            auto* stream = static_cast<EndlessStream*>(cookie);
            if (stream->served >= (1u << 20)) return 0;
            std::memset(buffer, stream->fill, size);
            stream->served += size;
            return static_cast<ssize_t>(size);
        };
        return fopencookie(self, "r", io);
    }
};

TEST(ProfileScanner, StopsReadingAnEndlessTokenAtOnce)
{
    bool atEnd = false;
    EndlessStream zeros{'\0'}, digits{'7'};
    EXPECT_EQ(ProfileScanner(zeros.file.get()).ReadToken()->size(), 256u);
    EXPECT_FALSE(ProfileScanner(digits.file.get()).ReadDouble(atEnd));
    EXPECT_LE(zeros.served + digits.served, 65536u);
}

TEST_F(KykFile, AcceptsTheLargestProfile)
{
    std::string content = Header(kMaxKykPoints);
    for (int i = 0; i < kMaxKykPoints; ++i) content += std::to_string(10000 + i % 7) + "\n";
    Read(content, true);
    EXPECT_EQ(profile_.PointCount(), kMaxKykPoints);
    EXPECT_DOUBLE_EQ(profile_.RawRadius[kMaxKykPoints - 1], (10000 + (kMaxKykPoints - 1) % 7) * 0.001);
}

} // namespace
} // namespace kyklos
