// Every result kyklos-report --json prints (all but the texts and the date)
// for the demonstration profile and samples/shaft.kyk under each of the 20
// filter × reference settings, compared bit for bit with a checked-in file.
// Numbers are stored as the shortest decimal that reads back to the same
// double, so any change of any digit shows, and the file diffs readably.
//
// To refresh the file on purpose (after an intended change of the numbers,
// which the README must then list), run from the worktree:
//     KYKLOS_UPDATE_GOLDEN=1 build/tests/test_document --gtest_filter='GoldenResults.*'
// and read the diff of tests/document/golden/results.txt before committing it.

#include "document/FakeUi.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "platform/ClassicRandom.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace kyklos {
namespace {

const char* const kGoldenPath = KYKLOS_SOURCE_DIR "/tests/document/golden/results.txt";

std::string Shortest(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// One line per member: "<source> <cutoff> <reference> <member> <value>".
void AppendResults(std::vector<std::string>& lines, const std::string& key, const CKyklosDoc& d)
{
    const std::pair<const char*, double> members[] = {
        {"PointCount", d.Profile.PointCount()},
        {"DataLoaded", d.DataLoaded},
        {"AnalysisValid", d.AnalysisValid},
        {"FitValid", d.Result.FitValid},
        {"ReferenceKind", ReferenceIndex(d.Settings.ReferenceKind)},
        {"FilterCutoffUpr", d.Settings.FilterCutoffUpr},
        {"MinRawRadius", d.Result.MinRawRadius},
        {"MaxRawRadius", d.Result.MaxRawRadius},
        {"NominalRadius", d.Result.NominalRadius},
        {"ReferenceA", d.Result.ReferenceA},
        {"ReferenceB", d.Result.ReferenceB},
        {"ReferenceC", d.Result.ReferenceC},
        {"ZoneHalfWidth", d.Result.ZoneHalfWidth},
        {"Peak", d.Result.Peak},
        {"PeakAngle", d.Result.PeakAngle},
        {"Valley", d.Result.Valley},
        {"ValleyAngle", d.Result.ValleyAngle},
        {"Runout", d.Result.Runout},
        {"Eccentricity", d.Result.Eccentricity},
        {"EccentricityAngle", d.Result.EccentricityAngle},
        {"Roundness", d.Result.Peak - d.Result.Valley},
        {"Concentricity", 2.0 * d.Result.Eccentricity},
    };
    for (const auto& [name, value] : members) lines.push_back(key + " " + name + " " + Shortest(value));
}

// As kyklos-report computes them: a fresh document (the demonstration of a
// fresh program run), the settings, then the demonstration's analysis or the file.
std::vector<std::string> ComputeResults()
{
    static constexpr const char* kReferenceNames[] = {"ls", "mz", "mi", "mc"};
    std::vector<std::string> lines;
    for (const std::string source : {"demo", "shaft"}) {
        for (const int cutoff : kFilterCutoffs) {
            for (const ReferenceKind kind : kReferenceKinds) {
                ClassicRandom random;
                GaussianNoiseSource noise(random);
                FakeUi ui;
                CKyklosDoc doc(&ui, nullptr, &noise);
                doc.Settings.ReferenceKind = kind;
                doc.Settings.FilterCutoffUpr = cutoff;
                if (source == "demo")
                    doc.AnalyzeProfile();
                else
                    doc.OpenProfile(KYKLOS_SOURCE_DIR "/samples/shaft.kyk");
                EXPECT_TRUE(ui.messages.empty()) << source << ": " << ui.messages.front();
                AppendResults(lines,
                              source + " " + std::to_string(cutoff) + " " + kReferenceNames[ReferenceIndex(kind)], doc);
            }
        }
    }
    return lines;
}

TEST(GoldenResults, EverySettingGivesTheStoredNumbersBitForBit)
{
    const std::vector<std::string> actual = ComputeResults();

    const char* update = std::getenv("KYKLOS_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(kGoldenPath, std::ios::binary);
        out << "# Written by GoldenResults_test.cpp; see its header before changing anything here.\n";
        for (const auto& line : actual) out << line << '\n';
        ASSERT_TRUE(out.good());
        GTEST_SKIP() << "golden results written to " << kGoldenPath;
    }

    std::ifstream in(kGoldenPath, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << kGoldenPath;
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') golden.push_back(line);
    ASSERT_EQ(golden.size(), actual.size());
    int differing = 0;
    for (std::size_t i = 0; i < golden.size(); ++i)
        if (actual[i] != golden[i] && ++differing <= 20)
            ADD_FAILURE() << "now:  " << actual[i] << "\nwas:  " << golden[i];
    EXPECT_EQ(differing, 0) << "results differ from " << kGoldenPath;
}

} // namespace
} // namespace kyklos
