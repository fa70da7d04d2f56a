// Reading a profile of 36000 samples from its .kyk file and from tables of
// the same radii: a table may take at most twice as long as the .kyk file.
// The tables are the CSV table Kyklos saves (angles in degrees, radii in mm)
// and a spreadsheet's export (semicolons, decimal commas, micrometres).

#include "io/KykFile.h"
#include "io/ProfileWriter.h"
#include "io/TableReader.h"
#include "platform/NumberText.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

using namespace kyklos;

struct ProfileFiles {
    std::string Kyk;
    std::string Csv;
    std::string Spreadsheet;

    ProfileFiles()
    {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("kyklos_bench_tables_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        Kyk = (folder / "profile.kyk").string();
        Csv = (folder / "profile.csv").string();
        Spreadsheet = (folder / "profile.txt").string();
        // Micrometres with three decimals, as instruments write them.
        std::mt19937 random(42);
        std::normal_distribution<double> noise(0.0, 0.5);
        std::vector<double> radii(kMaxKykPoints);
        std::string spreadsheet = "Winkel;Radius [\xB5m]\r\n";
        for (int i = 0; i < kMaxKykPoints; ++i) {
            const double t = i * 2.0 * 3.141592653589793 / kMaxKykPoints;
            const double um =
                std::round((20000.0 + 4.0 * std::cos(t) + 2.0 * std::cos(3 * t) + noise(random)) * 1e3) / 1e3;
            radii[static_cast<std::size_t>(i)] = um * 0.001;
            std::string angle = ShortestNumber(i * 0.01);
            std::string radius = FixedNumber(um, 3);
            for (std::string* text : {&angle, &radius})
                if (const auto point = text->find('.'); point != std::string::npos) (*text)[point] = ',';
            spreadsheet += angle + ";" + radius + "\r\n";
        }
        const Profile profile = EqualStepProfile(std::move(radii));
        std::ofstream(Kyk, std::ios::binary) << *KykFileText(profile);
        std::ofstream(Csv, std::ios::binary) << ProfileTableText(profile);
        std::ofstream(Spreadsheet, std::ios::binary) << spreadsheet;
    }
    ~ProfileFiles() { std::filesystem::remove_all(std::filesystem::path(Kyk).parent_path()); }
};

const ProfileFiles& Files()
{
    static const ProfileFiles files;
    return files;
}

void ReadKyk(benchmark::State& state)
{
    for (auto _ : state) {
        const KykReadResult read = ReadKykFile(Files().Kyk);
        if (!read.Read) state.SkipWithError(read.Message.c_str());
        benchmark::DoNotOptimize(read.Read);
    }
}

void ReadTable(benchmark::State& state, bool spreadsheet)
{
    TableOptions options;
    if (spreadsheet) options.Columns = ParseTableColumns("angle,radius");
    for (auto _ : state) {
        const TableReadResult read = ReadTableFile(spreadsheet ? Files().Spreadsheet : Files().Csv, options);
        if (!read.Read || !read.Read->EqualSteps) state.SkipWithError(read.Message.c_str());
        benchmark::DoNotOptimize(read.Read);
    }
}

BENCHMARK(ReadKyk)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(ReadTable, csv, false)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(ReadTable, spreadsheet, true)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
