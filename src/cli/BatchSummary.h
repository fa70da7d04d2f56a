#pragma once
// The summary of a batch for statistical process control: for every numeric
// column the count, mean, standard deviation (n − 1), minimum and maximum
// (for the eccentricity angle the circular mean and circular standard
// deviation, see CircularStatistics); the Pass/Fail counts; and with a
// tolerance t the one-sided capability (t − mean)/(3·s) of the roundness.

#include "cli/CircularStatistics.h"
#include "cli/ProfileRecord.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kyklos {

// Mean and spread by Welford's update: no sum of squares, so 1e8 + small
// values keep their spread and a constant column gives exactly 0.
class RunningStatistics {
public:
    void Add(double x);
    long long Count() const { return count_; }
    double Mean() const { return mean_; }
    // Sample standard deviation (n − 1); empty below two values.
    std::optional<double> StandardDeviation() const;
    double Min() const { return min_; }
    double Max() const { return max_; }

private:
    long long count_ = 0;
    double mean_ = 0.0;
    double m2_ = 0.0; // Σ (x − mean)²
    double min_ = 0.0;
    double max_ = 0.0;
};

// The five figures of one column; empty where there is none.
struct ColumnFigures {
    long long Count = 0;
    std::optional<double> Mean;
    std::optional<double> StandardDeviation;
    std::optional<double> Min;
    std::optional<double> Max;
};

class BatchSummary {
public:
    // metric: lengths in µm (else µin); tolerance: the roundness tolerance, if
    // any; withCircles: the true circles' columns too (RecordColumns).
    BatchSummary(bool metric, std::optional<RoundnessTolerance> tolerance, bool withCircles = false);

    void Add(const ProfileRecord& record);

    long long Files() const { return files_; }
    long long Failed() const { return failed_; }
    long long Passed() const { return passed_; }
    long long FailedVerdicts() const { return failedVerdicts_; }
    // The figures of a numeric column, by its index in the run's RecordColumns.
    ColumnFigures Figures(std::size_t index) const;
    // (t − mean)/(3·s) of the roundness column, in the display unit; empty
    // without a tolerance, below two values or when s is 0.
    std::optional<double> Capability() const;

    nlohmann::ordered_json Json() const;
    // A block of rows "column,count,mean,sd,min,max,capability" (CR LF).
    std::string Csv() const;
    std::string Text() const;

private:
    bool metric_;
    std::optional<RoundnessTolerance> tolerance_;
    std::span<const RecordColumn> table_; // the run's columns
    std::vector<RunningStatistics> columns_;
    std::vector<CircularStatistics> angles_; // the same columns as angles, read for Angle columns
    std::size_t roundnessColumn_ = 0;
    long long files_ = 0;
    long long failed_ = 0;
    long long passed_ = 0;
    long long failedVerdicts_ = 0;
};

} // namespace kyklos
