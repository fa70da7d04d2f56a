#include "cli/BatchSummary.h"

#include "cli/CsvTable.h"
#include "platform/NumberText.h"

#include <cmath>

namespace kyklos {

void RunningStatistics::Add(double x)
{
    ++count_;
    if (count_ == 1) {
        mean_ = min_ = max_ = x;
        m2_ = 0.0;
        return;
    }
    const double delta = x - mean_;
    mean_ += delta / static_cast<double>(count_);
    m2_ += delta * (x - mean_);
    if (x < min_) min_ = x;
    if (x > max_) max_ = x;
}

std::optional<double> RunningStatistics::StandardDeviation() const
{
    if (count_ < 2) return std::nullopt;
    return std::sqrt(m2_ / static_cast<double>(count_ - 1));
}

namespace {
bool IsNumeric(const RecordColumn& column) { return column.Number != nullptr; }

nlohmann::ordered_json JsonNumber(std::optional<double> value)
{
    return value && std::isfinite(*value) ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

std::string CsvNumber(std::optional<double> value) { return value ? ShortestNumber(*value) : std::string(); }
} // namespace

BatchSummary::BatchSummary(bool metric, std::optional<RoundnessTolerance> tolerance, bool withCircles)
    : metric_(metric), tolerance_(tolerance), table_(RecordColumns(withCircles)), columns_(table_.size()),
      angles_(table_.size())
{
    const auto columns = table_;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].Number == &ProfileRecord::RoundnessMm) roundnessColumn_ = i;
}

void BatchSummary::Add(const ProfileRecord& record)
{
    ++files_;
    if (!record.Ok) ++failed_;
    if (record.Pass) ++(*record.Pass ? passed_ : failedVerdicts_);
    const auto columns = table_;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto value = ColumnValue(columns[i], record, metric_);
        if (!value) continue;
        columns_[i].Add(*value);
        if (columns[i].Kind == ColumnKind::Angle) angles_[i].Add(*value);
    }
}

ColumnFigures BatchSummary::Figures(std::size_t index) const
{
    const RunningStatistics& s = columns_[index];
    ColumnFigures figures;
    figures.Count = s.Count();
    if (s.Count() == 0) return figures;
    figures.Min = s.Min();
    figures.Max = s.Max();
    if (table_[index].Kind == ColumnKind::Angle) {
        figures.Mean = angles_[index].Mean();
        figures.StandardDeviation = angles_[index].StandardDeviation();
    } else {
        figures.Mean = s.Mean();
        figures.StandardDeviation = s.StandardDeviation();
    }
    return figures;
}

std::optional<double> BatchSummary::Capability() const
{
    if (!tolerance_) return std::nullopt;
    const RunningStatistics& roundness = columns_[roundnessColumn_];
    const auto s = roundness.StandardDeviation();
    if (!s || !(*s > 0.0)) return std::nullopt;
    // The tolerance as given when it is in the table's unit, as the rows show it.
    const double t = tolerance_->Shown(metric_);
    const double capability = (t - roundness.Mean()) / (3.0 * *s);
    return std::isfinite(capability) ? std::optional<double>(capability) : std::nullopt;
}

nlohmann::ordered_json BatchSummary::Json() const
{
    nlohmann::ordered_json j;
    j["files"] = files_;
    j["failed"] = failed_;
    j["pass"] = passed_;
    j["fail"] = failedVerdicts_;
    auto columns = nlohmann::ordered_json::object();
    const auto table = table_;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!IsNumeric(table[i])) continue;
        const ColumnFigures f = Figures(i);
        nlohmann::ordered_json c;
        c["count"] = f.Count;
        c["mean"] = JsonNumber(f.Mean);
        c["sd"] = JsonNumber(f.StandardDeviation);
        c["min"] = JsonNumber(f.Min);
        c["max"] = JsonNumber(f.Max);
        columns[ColumnName(table[i], metric_)] = std::move(c);
    }
    j["columns"] = std::move(columns);
    j["capability"] = JsonNumber(Capability());
    return j;
}

std::string BatchSummary::Csv() const
{
    std::string out = "column,count,mean,sd,min,max,capability\r\n";
    const auto table = table_;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!IsNumeric(table[i])) continue;
        const ColumnFigures f = Figures(i);
        out += ColumnName(table[i], metric_) + "," + std::to_string(f.Count) + "," + CsvNumber(f.Mean) + "," +
               CsvNumber(f.StandardDeviation) + "," + CsvNumber(f.Min) + "," + CsvNumber(f.Max) + "," +
               (i == roundnessColumn_ ? CsvNumber(Capability()) : std::string()) + "\r\n";
    }
    for (const auto& [name, count] : {std::pair{"files", files_}, std::pair{"failed", failed_},
                                      std::pair{"pass", passed_}, std::pair{"fail", failedVerdicts_}})
        out += std::string(name) + "," + std::to_string(count) + ",,,,,\r\n";
    return out;
}

std::string BatchSummary::Text() const
{
    auto pad = [](std::string text, std::size_t width) {
        if (text.size() < width) text.insert(0, width - text.size(), ' ');
        return text;
    };
    std::string out = "Summary of " + std::to_string(files_) + (files_ == 1 ? " file" : " files") + ": " +
                      std::to_string(failed_) + " failed, " + std::to_string(passed_) + " Pass, " +
                      std::to_string(failedVerdicts_) + " Fail\n";
    out += std::string(26, ' ') + pad("count", 7) + pad("mean", 14) + pad("sd", 14) + pad("min", 14) + pad("max", 14) +
           "\n";
    const auto table = table_;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!IsNumeric(table[i])) continue;
        const ColumnFigures f = Figures(i);
        std::string name = ColumnName(table[i], metric_);
        name.resize(26, ' ');
        out += name + pad(std::to_string(f.Count), 7);
        const auto fixed = [](std::optional<double> value) { return value ? FixedNumber(*value, 4) : std::string(); };
        if (f.Count > 0)
            out += pad(fixed(f.Mean), 14) + pad(fixed(f.StandardDeviation), 14) + pad(fixed(f.Min), 14) +
                   pad(fixed(f.Max), 14);
        out += "\n";
    }
    if (const auto capability = Capability())
        out += "Capability (t - mean)/(3 s) of the roundness: " + FixedNumber(*capability, 3) + "\n";
    return out;
}

} // namespace kyklos
