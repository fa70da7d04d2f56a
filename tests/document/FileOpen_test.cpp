#include "document/FakeUi.h"
#include "document/KyklosDoc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// File Open: what survives each kind of failure.
class FileOpen : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kyklos_open_" + std::to_string(getpid()) + "_" +
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

    static std::string Header(int points)
    {
        return "KYKLOS_DATA 1.0\nIDENTIFICATION: Shaft 4711\nDATE: 06 Dec 1999\nNUMBER_OF_POINTS: " +
               std::to_string(points) + "\nPROFILE_UM:\n";
    }

    fs::path dir_;
    FakeUi ui_;
    std::unique_ptr<CKyklosDoc> doc_;
};

TEST_F(FileOpen, ReadsAnalysesAndNamesTheFile)
{
    ui_.fileAnswer = Write("Shaft 12.kyk", Header(4) + "10000 10001 10000 9999\n");
    ui_.redraws = 0;
    doc_->OnFileOpen();
    EXPECT_EQ(doc_->Profile.PathName, *ui_.fileAnswer);
    EXPECT_EQ(doc_->OpenDialogPath, *ui_.fileAnswer);
    EXPECT_EQ(doc_->Profile.FileTitle, "Shaft 12");
    EXPECT_TRUE(doc_->DataLoaded);
    EXPECT_TRUE(doc_->AnalysisValid);
    EXPECT_TRUE(doc_->Result.FitValid);
    EXPECT_NEAR(doc_->Result.NominalRadius, 10.0, 1e-12);
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
    const double runout = doc_->Result.Runout;
    const std::string identification = doc_->Profile.Identification;

    struct Case {
        std::string name, content, message;
        bool create;
    };
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
        EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid && doc_->Result.FitValid) << c.name;
        EXPECT_EQ(doc_->Result.Runout, runout);
        EXPECT_EQ(doc_->Profile.Identification, identification);
        EXPECT_EQ(doc_->Profile.FileTitle, "good");       // the report never names a file whose data it does not show
        EXPECT_EQ(doc_->OpenDialogPath, *ui_.fileAnswer); // but the next Open starts at the chosen file
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
        EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid); // the previous profile stays
    }
}

// A profile whose analysis overflows is refused as a file that fails after
// its header is.
TEST_F(FileOpen, ValuesTooLargeToEvaluateAreRefused)
{
    const auto open = [this](ReferenceKind kind, const char* micrometres, int count) {
        std::string content = Header(count);
        for (int i = 0; i < count; ++i) content += std::string(micrometres) + "\n";
        doc_->Settings.ReferenceKind = kind;
        ui_.messages.clear();
        doc_->OpenProfile(Write("profile.kyk", content));
        return ui_.messages.empty() ? std::string() : ui_.messages.front();
    };
    const std::string tooLarge = "The profile cannot be evaluated: its values are too large.";
    // 1.7e308 µm overflows the least squares sums, 1e300 µm the a² + b² of
    // the eccentricity; unchecked, the fits showed NaN, inf or zero.
    for (const ReferenceKind kind : kReferenceKinds) {
        EXPECT_EQ(open(kind, "1.7e308", 2000), tooLarge) << ReferenceIndex(kind);
        EXPECT_FALSE(doc_->DataLoaded || doc_->AnalysisValid || doc_->Result.FitValid);
        EXPECT_FALSE(doc_->AnalyzeProfile());
        EXPECT_EQ(doc_->Result.Eccentricity, 0.0); // no overflowed number is kept
    }
    // 1e300 µm overflows only some fits; the profile is refused with every reference.
    EXPECT_EQ(open(ReferenceKind::MaximumInscribed, "1e300", 2000), tooLarge);
    EXPECT_EQ(open(ReferenceKind::MinimumZone, "1e300", 2000), tooLarge);
    // Radii up to 1e100 mm evaluate; a little more is refused, whatever the reference.
    EXPECT_EQ(open(ReferenceKind::MinimumCircumscribed, "1e103", 360), "");
    EXPECT_TRUE(doc_->DataLoaded && doc_->AnalysisValid && doc_->Result.FitValid);
    EXPECT_EQ(doc_->Result.ReferenceC, 1e100);
    EXPECT_EQ(open(ReferenceKind::LeastSquares, "-1.1e103", 360), tooLarge);
}

TEST_F(FileOpen, LaterFailuresClearTheFlagsAndStartNoAnalysis)
{
    for (const std::string tail :
         {"NUMBER_OF_POINTS: many PROFILE_UM: 1 2 3\n", "NUMBER_OF_POINTS: 3\nPROFILE_UM: 1 2"}) {
        doc_->OnFileNew();
        ui_.messages.clear();
        ui_.fileAnswer = Write("broken.kyk", "KYKLOS_DATA 1.0\nIDENTIFICATION: x\nDATE: y\n" + tail);
        doc_->OnFileOpen();
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_TRUE(ui_.messages[0] == "Unexpected end of file." || ui_.messages[0] == "Invalid number of points.");
        EXPECT_FALSE(doc_->DataLoaded);
        EXPECT_FALSE(doc_->AnalysisValid);
        EXPECT_FALSE(doc_->Result.FitValid);
        // Nothing of the demonstration profile is left to be shown under the new name.
        EXPECT_EQ(doc_->Profile.PointCount(), 0);
        EXPECT_EQ(doc_->Profile.Identification, "");
        EXPECT_EQ(doc_->Profile.FileTitle, "broken");
        EXPECT_FALSE(doc_->AnalyzeProfile());
    }
}

} // namespace
} // namespace kyklos
