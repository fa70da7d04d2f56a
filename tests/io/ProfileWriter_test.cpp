#include "io/ProfileWriter.h"

#include "io/KykFile.h"
#include "io/TableReader.h"
#include "io/TableTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <random>

namespace kyklos {
namespace {

using test::ShaftProfile;

void ExpectSameSamples(const Profile& read, const Profile& written, const std::string& what)
{
    EXPECT_EQ(read.EqualSteps, written.EqualSteps) << what;
    EXPECT_EQ(read.RawRadius, written.RawRadius) << what;
    EXPECT_EQ(read.SampleAngle, written.SampleAngle) << what;
    EXPECT_EQ(read.PointX, written.PointX) << what;
    EXPECT_EQ(read.PointY, written.PointY) << what;
}

Profile AnyAnglesProfile()
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> turn(0.0, 2.0 * 3.141592653589793);
    std::uniform_real_distribution<double> radius(4.0, 6.0);
    Profile profile;
    profile.EqualSteps = false;
    for (int i = 0; i < 2000; ++i) profile.SampleAngle.push_back(turn(random));
    // The first and the last sample alike, a hair apart across the start: no closing row.
    profile.SampleAngle.push_back(0.0);
    profile.SampleAngle.push_back(std::nextafter(2.0 * 3.141592653589793, 0.0));
    std::sort(profile.SampleAngle.begin(), profile.SampleAngle.end());
    for (std::size_t i = 0; i < profile.SampleAngle.size(); ++i) profile.RawRadius.push_back(radius(random));
    profile.RawRadius.back() = profile.RawRadius.front();
    profile.Identification = "Bore 7, plane 1";
    profile.DateText = "2026-11-12";
    return profile;
}

TEST(ProfileWriter, AKykProfileReadsBackBitForBitAsKyk)
{
    // A last sample at 359.999999°, the edge of a closing row's tolerance.
    Profile edge;
    edge.EqualSteps = false;
    edge.SampleAngle = {0.0, 6.2831852897262941};
    edge.RawRadius = {5.0, 5.0};
    const Profile shaft = ShaftProfile();
    const test::TempFolder folder;
    const std::string path = folder.Path("copy.KYK");
    ASSERT_EQ(SaveProfile(path, shaft), "");
    const KykReadResult read = ReadKykFile(path);
    ASSERT_TRUE(read.Read.has_value()) << read.Message;
    ExpectSameSamples(*read.Read, shaft, "shaft");
    EXPECT_EQ(read.Read->RadiusUm, shaft.RadiusUm);
    EXPECT_EQ(read.Read->Identification, shaft.Identification);
    EXPECT_EQ(read.Read->DateText, shaft.DateText);
}

TEST(ProfileWriter, OtherRadiiAreWrittenAsTheNearestMicrometreValue)
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> radius(0.5, 500.0);
    int exact = 0;
    for (int i = 0; i < 100000; ++i) {
        const double mm = radius(random);
        const double back = MicrometresToWrite(mm) * 0.001;
        EXPECT_LE(std::fabs(back - mm), std::nextafter(mm, HUGE_VAL) - mm) << mm;
        exact += back == mm;
        // A radius read from micrometres always has a value that reads back exactly.
        const double fromUm = std::round(radius(random) * 1e6) / 1e3 * 0.001;
        EXPECT_EQ(MicrometresToWrite(fromUm) * 0.001, fromUm);
    }
    EXPECT_GT(exact, 90000);
    // Texts on one line within the reader's length; the file reads back.
    Profile profile = EqualStepProfile({1.0, 2.0 / 3.0, 1e-9});
    profile.Identification = "line\r\nbreak" + std::string(300, 'x');
    const test::TempFolder folder;
    ASSERT_EQ(SaveProfile(folder.Path("third.kyk"), profile), "");
    const KykReadResult read = ReadKykFile(folder.Path("third.kyk"));
    ASSERT_TRUE(read.Read.has_value()) << read.Message;
    EXPECT_EQ(read.Read->RawRadius[0], 1.0);
    EXPECT_LE(std::fabs(read.Read->RawRadius[1] - 2.0 / 3.0), 1.2e-16);
    EXPECT_EQ(read.Read->Identification, "line  break" + std::string(242, 'x'));
}

TEST(ProfileWriter, OnlyAProfileAtEqualStepsOverAFullTurnIsSavedAsKyk)
{
    Profile points;
    points.Kind = ProfileKind::Points;
    points.EqualSteps = false;
    points.PointX = {1, 2};
    points.PointY = {3, 4};
    const test::TempFolder folder;
    for (const Profile& profile : {AnyAnglesProfile(), points, Profile{}}) {
        EXPECT_EQ(SaveProfile(folder.Path("p.kyk"), profile), kOnlyEqualStepsAsKyk);
        EXPECT_FALSE(std::filesystem::exists(folder.Path("p.kyk")));
    }
    EXPECT_EQ(SaveProfile(folder.Path(""), ShaftProfile()), "Cannot write the file.");
}

TEST(ProfileWriter, AFailedSaveLeavesNeitherAPartNorAChangedFile)
{
    const test::TempFolder folder;
    // A folder under the name: the text is written, the rename over it fails.
    std::filesystem::create_directory(folder.Path("held"));
    EXPECT_EQ(SaveProfile(folder.Path("held"), ShaftProfile()), "Cannot write the file.");
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("held")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("held.part")));
    ASSERT_EQ(SaveProfile(folder.Path("kept.csv"), ShaftProfile()), "");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("kept.csv.part")));
}

TEST(ProfileWriter, ACsvTableReadsBackAsTheSameProfileUnderEveryLocale)
{
    Profile points;
    points.Kind = ProfileKind::Points;
    points.EqualSteps = false;
    points.PointX = {12.5, -0.1, 1e-7};
    points.PointY = {1.0 / 3.0, 0.0, -12.5};
    // A last sample at 359.999999°, the edge of a closing row's tolerance.
    Profile edge;
    edge.EqualSteps = false;
    edge.SampleAngle = {0.0, 6.2831852897262941};
    edge.RawRadius = {5.0, 5.0};
    const Profile shaft = ShaftProfile();
    const std::vector<double> filtered(shaft.RawRadius.size(), 12.5);
    // Qt sets the C library's locale from the environment: a German one writes "2,5" with printf.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    const test::TempFolder folder;
    struct Case {
        const char* name;
        Profile profile;
        std::vector<double> filtered;
        const char* header;
    };
    const Case cases[] = {
        {"shaft.csv", shaft, filtered,
         "angle_deg,radius_mm,filtered_radius_mm\n0,12.505495999999999,12.5\n0.5,12.505632,12.5\n"},
        {"any.txt", AnyAnglesProfile(), {}, "identification: Bore 7, plane 1\ndate: 2026-11-12\nangle_deg,radius_mm\n"},
        {"points.csv", points, {}, "x_mm,y_mm\n12.5,0.3333333333333333\n-0.1,0\n1e-07,-12.5\n"},
        {"edge.csv", edge, {}, "angle_deg,radius_mm\n0,5\n-"},
    };
    for (const Case& c : cases) {
        const std::string text = ProfileTableText(c.profile, c.filtered);
        EXPECT_NE(text.find(c.header), std::string::npos) << c.name << "\n" << text.substr(0, 200);
        ASSERT_EQ(SaveProfile(folder.Path(c.name), c.profile, c.filtered), "");
        const TableReadResult read = ReadTableFile(folder.Path(c.name), {});
        ASSERT_TRUE(read.Read.has_value()) << c.name << ": " << read.Message;
        ExpectSameSamples(*read.Read, c.profile, c.name);
        EXPECT_EQ(read.Read->Identification, c.profile.Identification) << c.name;
        EXPECT_EQ(read.Read->DateText, c.profile.DateText) << c.name;
    }
    std::setlocale(LC_ALL, previous.c_str());
    if (!german) GTEST_SKIP() << "no German locale here; the tables were written under the C locale only";
}

} // namespace
} // namespace kyklos
