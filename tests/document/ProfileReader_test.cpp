#include "document/FakeUi.h"
#include "document/KyklosDoc.h"
#include "document/ProfileScanner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kyklos {
namespace {

namespace fs = std::filesystem;

class ProfileReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_reader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        doc_ = std::make_unique<CKyklosDoc>(&ui_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& content)
    {
        const auto path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Reads content; returns the one message shown, or "" when none.
    std::string Read(const std::string& content, bool expectOk)
    {
        ui_.messages.clear();
        const bool ok = doc_->ReadProfileFile(Write("profile.kyk", content));
        EXPECT_EQ(ok, expectOk);
        EXPECT_LE(ui_.messages.size(), 1u);
        return ui_.messages.empty() ? std::string() : ui_.messages.front();
    }

    static std::string Header(int points) {
        return "KYKLOS_DATA 1.0\nIDENTIFICATION: Shaft 4711\nDATE: 06 Dec 1999\nNUMBER_OF_POINTS: " +
               std::to_string(points) + "\nPROFILE_UM:\n";
    }

    fs::path dir_;
    FakeUi ui_;
    std::unique_ptr<CKyklosDoc> doc_;
};

TEST_F(ProfileReader, ReadsAWellFormedFileAndScalesMicrometresToMillimetres)
{
    EXPECT_EQ(Read(Header(4) + "2500 10000.5 -3e2\n+7\n", true), "");
    EXPECT_TRUE(doc_->DataLoaded);
    EXPECT_EQ(doc_->PointCount, 4);
    EXPECT_EQ(doc_->Identification, "Shaft 4711");
    EXPECT_EQ(doc_->DateText, "06 Dec 1999");
    EXPECT_DOUBLE_EQ(doc_->RawRadius[0], 2.5);
    EXPECT_EQ(doc_->RawRadius[1], 10000.5 * 0.001);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[2], -0.3);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[3], 0.007);
    // The read alone analyses nothing.
    EXPECT_FALSE(doc_->AnalysisValid);
    EXPECT_FALSE(doc_->FitValid);
}

TEST_F(ProfileReader, AcceptsLowerCaseDesignatorsCrLfAndTrailingNumbers)
{
    const std::string lower = "kyklos_data 1.0\r\nidentification: Bore\r\nDate: today\r\nnumber_of_points: 3\r\n"
                              "profile_um:\r\n1\r\n2\r\n3\r\n4 5 6\r\n";
    EXPECT_EQ(Read(lower, true), "");
    EXPECT_EQ(doc_->Identification, "Bore");
    EXPECT_EQ(doc_->DateText, "today");
    EXPECT_EQ(doc_->PointCount, 3);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[2], 0.003);
}

TEST_F(ProfileReader, ShowsEachMessageOfTheFailureTable)
{
    struct Case { std::string content; std::string message; };
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
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE:\n1 2 3", "Invalid 'PROFILE_UM:' designator."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 2", "Unexpected end of file."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:", "Unexpected end of file."},
        // Faults mended: a count that is not a number, too many points, samples that are not finite numbers.
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: many\nPROFILE_UM: 1\n", "Invalid number of points."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 36001\nPROFILE_UM: 1\n",
         "Too many points: at most 36000 are supported."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 99999999999999999999\nPROFILE_UM: 1\n",
         "Too many points: at most 36000 are supported."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 abc 3\n", "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 nan 3\n", "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 inf 3\n", "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 3\nPROFILE_UM:\n1 1e999 3\n", "Invalid profile value."},
        {"KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: 2\nPROFILE_UM:\n1,5 2\n", "Invalid profile value."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.content, false), c.message) << c.content;
        EXPECT_LE(doc_->PointCount, MaxProfilePoints);
    }
}

TEST_F(ProfileReader, ANonNumericCountDoesNotFallBackOnThePreviousCount)
{
    ASSERT_EQ(doc_->PointCount, 3600);
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: PROFILE_UM: 1 2 3\n", false),
              "Invalid number of points.");
    EXPECT_FALSE(doc_->DataLoaded);
}

TEST_F(ProfileReader, KeepsTheBadCountAndTheSamplesReadBeforeTheEnd)
{
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: -5\n", false);
    EXPECT_EQ(doc_->PointCount, -5);
    Read(Header(5) + "11 22", false);
    EXPECT_EQ(doc_->PointCount, 5);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[0], 0.011);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[1], 0.022);
}

TEST_F(ProfileReader, TextLinesSkipOneCharacterAndHaveLengthLimits)
{
    // Two blanks: the text begins with the second one.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION:  two\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(doc_->Identification, " two");
    // One blank and the line end: empty text.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: \nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(doc_->Identification, "");
    // Directly followed by the line end: the DATE line becomes the text, and DATE: is then missing.
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\nIDENTIFICATION:\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", false),
              "Invalid 'DATE:' designator.");
    EXPECT_EQ(doc_->Identification, "DATE: d");

    const auto withText = [](const std::string& text) {
        return "KYKLOS_DATA 1.0\nIDENTIFICATION: " + text + "\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n";
    };
    const std::string t253(253, 'a');
    Read(withText(t253), true);
    EXPECT_EQ(doc_->Identification, t253);
    const std::string t254 = std::string(253, 'b') + "c";
    Read(withText(t254), true);
    EXPECT_EQ(doc_->Identification, std::string(253, 'b'));  // loses its last character
    EXPECT_EQ(Read(withText(std::string(255, 'd')), false), "Invalid 'DATE:' designator.");
    // CR LF inside the limits counts as one line end.
    Read("KYKLOS_DATA 1.0\r\nIDENTIFICATION: " + t253 + "\r\nDATE: d\r\nNUMBER_OF_POINTS: 1\r\nPROFILE_UM: 1\r\n", true);
    EXPECT_EQ(doc_->Identification, t253);
}

TEST_F(ProfileReader, TextsAreTakenLiterally)
{
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: 100% %d %s\tbore\nDATE: d\nNUMBER_OF_POINTS: 1\nPROFILE_UM: 1\n", true);
    EXPECT_EQ(doc_->Identification, "100% %d %s\tbore");
}

TEST_F(ProfileReader, AnOverlongTokenFailsItsCheckWithoutHarm)
{
    const std::string huge(100000, 'K');
    EXPECT_EQ(Read(huge + " 1.0\n", false), "Invalid file format.");
    EXPECT_EQ(Read("KYKLOS_DATA 1.0\n" + huge + "\n", false), "Invalid 'IDENTIFICATION:' designator.");
    EXPECT_EQ(Read("KYKLOS_DATA " + std::string(300, '1') + "\n", false), "Invalid file revision.");
}

TEST_F(ProfileReader, NumberSyntaxFollowsTheDecimalConversions)
{
    Read(Header(6) + "1.5e3 -.5 +2. 0.25E-1 1e-400 007\n", true);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[0], 1.5);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[1], -0.0005);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[2], 0.002);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[3], 0.000025);
    EXPECT_EQ(doc_->RawRadius[4], 0.0);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[5], 0.007);
    // Out of range with an exponent that does not say it: far too small
    // reads as zero, far too large is refused.
    Read(Header(2) + "-0.0000000001e-320 0.0000000001e-320\n", true);
    EXPECT_EQ(doc_->RawRadius[0], 0.0);
    EXPECT_EQ(doc_->RawRadius[1], 0.0);
    EXPECT_EQ(Read(Header(1) + "0.00001e+400\n", false), "Invalid profile value.");
    // A count written with a sign reads as a decimal integer.
    Read("KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\nNUMBER_OF_POINTS: +2\nPROFILE_UM: 1 2\n", true);
    EXPECT_EQ(doc_->PointCount, 2);
}

TEST_F(ProfileReader, AnExponentWithoutDigitsIsNoNumber)
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

TEST_F(ProfileReader, ATokenLongerThan255CharactersFailsItsCheck)
{
    const std::string digits255 = "1" + std::string(254, '0');  // 1e254, the longest number there may be
    Read(Header(1) + digits255 + "\n", true);
    EXPECT_EQ(doc_->RawRadius[0], 1e254 * 0.001);
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

TEST_F(ProfileReader, AcceptsTheLargestProfile)
{
    std::string content = Header(MaxProfilePoints);
    for (int i = 0; i < MaxProfilePoints; ++i) content += std::to_string(10000 + i % 7) + "\n";
    Read(content, true);
    EXPECT_EQ(doc_->PointCount, MaxProfilePoints);
    EXPECT_DOUBLE_EQ(doc_->RawRadius[MaxProfilePoints - 1], (10000 + (MaxProfilePoints - 1) % 7) * 0.001);
}

// ---------------------------------------------------------------------------
// File Open: what survives each kind of failure.

class FileOpen : public ProfileReader {};

TEST_F(FileOpen, ReadsAnalysesAndNamesTheFile)
{
    ui_.fileAnswer = Write("Shaft 12.kyk", Header(4) + "10000 10001 10000 9999\n");
    ui_.redraws = 0;
    doc_->OnFileOpen();
    EXPECT_EQ(doc_->PathName, *ui_.fileAnswer);
    EXPECT_EQ(doc_->OpenDialogPath, *ui_.fileAnswer);
    EXPECT_EQ(doc_->FileTitle, "Shaft 12");
    EXPECT_TRUE(doc_->DataLoaded);
    EXPECT_TRUE(doc_->AnalysisValid);
    EXPECT_TRUE(doc_->FitValid);
    EXPECT_NEAR(doc_->NominalRadius, 10.0, 1e-12);
    EXPECT_EQ(ui_.redraws, 1);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(FileOpen, CancelledDialogChangesNothing)
{
    const std::string before = doc_->OpenDialogPath;
    ui_.fileAnswer.reset();
    ui_.redraws = 0;
    doc_->OnFileOpen();
    EXPECT_EQ(ui_.lastInitialPath, before);
    EXPECT_EQ(doc_->OpenDialogPath, before);
    EXPECT_EQ(ui_.redraws, 0);
}

TEST_F(FileOpen, EarlyFailuresKeepTheProfileItsResultsAndItsName)
{
    ui_.fileAnswer = Write("good.kyk", Header(4) + "10000 10001 10000 9999\n");
    doc_->OnFileOpen();
    const double runout = doc_->Runout;
    const std::string identification = doc_->Identification;

    struct Case { std::string name, content, message; bool create; };
    const Case cases[] = {
        {"missing.kyk", "", "Cannot open the file.", false},
        {"magic.kyk", "NOT_KYKLOS 1.0\n", "Invalid file format.", true},
        {"revision.kyk", "KYKLOS_DATA 2.0\n", "Invalid file revision.", true},
    };
    for (const auto& c : cases) {
        ui_.messages.clear();
        ui_.redraws = 0;
        ui_.fileAnswer = c.create ? Write(c.name, c.content) : (dir_ / c.name).string();
        doc_->OnFileOpen();
        ASSERT_EQ(ui_.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui_.messages[0], c.message);
        EXPECT_EQ(ui_.redraws, 1);
        EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid && doc_->FitValid) << c.name;
        EXPECT_EQ(doc_->Runout, runout);
        EXPECT_EQ(doc_->Identification, identification);
        EXPECT_EQ(doc_->FileTitle, "good");  // the report never names a file whose data it does not show
        EXPECT_EQ(doc_->OpenDialogPath, *ui_.fileAnswer);  // but the next Open starts at the chosen file
    }
    // A directory cannot be opened as a profile either.
    ui_.messages.clear();
    ui_.fileAnswer = dir_.string();
    doc_->OnFileOpen();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Cannot open the file.");
    EXPECT_TRUE(doc_->DataLoaded);
}

TEST_F(FileOpen, OnlyARegularFileIsOpenedAndAFifoDoesNotBlock)
{
    const std::string fifo = (dir_ / "pipe.kyk").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        ui_.messages.clear();
        auto open = std::async(std::launch::async, [&] { doc_->OpenProfile(path); });
        if (open.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
            // Fail rather than hang: a reader blocked on the FIFO is released
            // by a writer coming and going; an endless read is not.
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
            if (open.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
                std::fprintf(stderr, "%s: the reader never returned\n", path.c_str());
                std::_Exit(1);
            }
            FAIL() << path << " blocked the reader";
        }
        ASSERT_EQ(ui_.messages.size(), 1u) << path;
        EXPECT_EQ(ui_.messages[0], "Cannot open the file.");
        EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid);  // the previous profile stays
    }
}

// A profile whose analysis overflows is refused as a file that fails after
// its header is.
TEST_F(FileOpen, ValuesTooLargeToEvaluateAreRefused)
{
    const auto open = [this](int kind, const char* micrometres, int count) {
        std::string content = Header(count);
        for (int i = 0; i < count; ++i) content += std::string(micrometres) + "\n";
        doc_->ReferenceKind = kind;
        ui_.messages.clear();
        doc_->OpenProfile(Write("profile.kyk", content));
        return ui_.messages.empty() ? std::string() : ui_.messages.front();
    };
    const std::string tooLarge = "The profile cannot be evaluated: its values are too large.";
    // 1.7e308 µm overflows the least squares sums, 1e300 µm the a² + b² of
    // the eccentricity; unchecked, the fits showed NaN, inf or zero.
    for (int kind : {LeastSquares, MinimumZone, MaximumInscribed, MinimumCircumscribed}) {
        EXPECT_EQ(open(kind, "1.7e308", 2000), tooLarge) << kind;
        EXPECT_FALSE(doc_->DataLoaded || doc_->AnalysisValid || doc_->FitValid);
        EXPECT_FALSE(doc_->AnalyzeProfile());
        EXPECT_EQ(doc_->Eccentricity, 0.0);  // no overflowed number is kept
    }
    // 1e300 µm overflows only some fits; the profile is refused with every reference.
    EXPECT_EQ(open(MaximumInscribed, "1e300", 2000), tooLarge);
    EXPECT_EQ(open(MinimumZone, "1e300", 2000), tooLarge);
    // Radii up to 1e100 mm evaluate; a little more is refused, whatever the reference.
    EXPECT_EQ(open(MinimumCircumscribed, "1e103", 360), "");
    EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid && doc_->FitValid);
    EXPECT_EQ(doc_->ReferenceC, 1e100);
    EXPECT_EQ(open(LeastSquares, "-1.1e103", 360), tooLarge);
}

TEST_F(FileOpen, LaterFailuresClearTheFlagsAndStartNoAnalysis)
{
    ui_.fileAnswer = Write("broken.kyk", Header(3) + "1 2");
    doc_->OnFileOpen();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Unexpected end of file.");
    EXPECT_FALSE(doc_->DataLoaded);
    EXPECT_FALSE(doc_->AnalysisValid);
    EXPECT_FALSE(doc_->FitValid);
    EXPECT_EQ(doc_->FileTitle, "broken");
    EXPECT_FALSE(doc_->AnalyzeProfile());
}

} // namespace
} // namespace kyklos
