#include "cli/RecordStream.h"

#include "cli/CsvTable.h"
#include "cli/ExitStatus.h"
#include "cli/Interruption.h"
#include "cli/ReportText.h"
#include "cli/UncertaintyReport.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace kyklos {

namespace {

// Writes and flushes, so that a reader (or a kill) never meets half a record.
bool WriteOut(const std::string& text)
{
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) return false;
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// Every line after the first moves right by `spaces`, to nest a JSON text in an array.
std::string Indented(const std::string& text, int spaces)
{
    const std::string pad(static_cast<std::size_t>(spaces), ' ');
    std::string out = pad;
    for (const char c : text) {
        out += c;
        if (c == '\n') out += pad;
    }
    return out;
}

bool IsJson(OutputFormat format) { return format == OutputFormat::Json || format == OutputFormat::JsonLines; }

// The bar only on a terminal, and only when there is more than one record to count.
std::FILE* ProgressStream(const RunPlan& plan)
{
    return plan.ShowProgress && plan.RecordCount() > 1 && isatty(fileno(stderr)) ? stderr : nullptr;
}

std::string SummaryJson(const BatchSummary& statistics, int indent)
{
    nlohmann::ordered_json j;
    j["summary"] = statistics.Json();
    return JsonText(j, indent) + "\n";
}

// The summary on its own, in the run's format.
std::string SummaryText(const BatchSummary& statistics, OutputFormat format)
{
    switch (format) {
    case OutputFormat::Json: return SummaryJson(statistics, 2);
    case OutputFormat::JsonLines: return SummaryJson(statistics, -1);
    case OutputFormat::Csv: return statistics.Csv();
    case OutputFormat::Text:
    case OutputFormat::None: break;
    }
    return statistics.Text();
}

// Writes `text` to `path` by way of path.part, so that an earlier file stays whole until the new one is.
bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::string part = path + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int reason = errno;
    if (file && std::fclose(file) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (written && std::rename(part.c_str(), path.c_str()) == 0) return true;
    if (written) reason = errno;
    std::remove(part.c_str());
    error = "cannot write " + DisplayText(path) + ": " + std::strerror(reason);
    return false;
}

} // namespace

void WriteRunFailure(OutputFormat format, const std::string& message)
{
    if (IsJson(format)) {
        nlohmann::ordered_json j;
        j["ok"] = false;
        j["message"] = DisplayText(message);
        WriteOut(JsonText(j, format == OutputFormat::Json ? 2 : -1) + "\n");
    } else {
        std::cerr << "kyklos-report: " << DisplayText(message) << '\n';
    }
}

RecordStream::RecordStream(const RunPlan& plan, ReportPageWriter* pages)
    : plan_(plan), pages_(pages),
      summaryInline_(plan.Summary != SummaryMode::None && plan.SummaryTo == SummaryTarget::Output),
      jsonArray_(plan.Format == OutputFormat::Json && (plan.RecordCount() > 1 || summaryInline_)),
      jsonIndent_(summaryInline_ ? 4 : 2), outputIsTerminal_(isatty(fileno(stdout)) != 0),
      statistics_(plan.Metric, plan.Analysis.Tolerance), progress_(ProgressStream(plan), plan.RecordCount())
{}

std::string RecordStream::Format(const ProfileRecord& record, const CKyklosDoc* doc) const
{
    if (plan_.Summary == SummaryMode::Only) return {};
    switch (plan_.Format) {
    case OutputFormat::Json:
    case OutputFormat::JsonLines: {
        auto j =
            doc ? DocumentJson(*doc, plan_.RawSamples, plan_.HarmonicLimit) : FailureJson(record.File, record.Message);
        if (record.Uncertainty) j["Uncertainty"] = UncertaintyJson(*record.Uncertainty);
        if (plan_.Format == OutputFormat::JsonLines) return JsonText(j, -1) + "\n";
        return jsonArray_ ? Indented(JsonText(j, 2), jsonIndent_) : JsonText(j, 2) + "\n";
    }
    case OutputFormat::Text:
        return (doc ? ResultsText(*doc, plan_.Metric, record.Uncertainty ? &*record.Uncertainty : nullptr)
                    : FailureText(record.File, record.Message)) +
               "\n";
    case OutputFormat::Csv: {
        std::string row = CsvRow(record, plan_.Metric, plan_.CsvGuardFormulas);
        if (!plan_.Uncertainty) return row;
        return AppendCsvCells(std::move(row), UncertaintyCsvCells(record, plan_.Metric));
    }
    case OutputFormat::None: return {};
    }
    return {};
}

// The first write that fails is reported at once, and nothing more is written.
bool RecordStream::Write(const std::string& text)
{
    if (writeFailed_) return false;
    if (text.empty() || WriteOut(text)) return true;
    const int reason = errno;
    writeFailed_ = anyFailed_ = true;
    progress_.Clear();
    std::fprintf(stderr, "kyklos-report: cannot write the output: %s\n", std::strerror(reason));
    return false;
}

bool RecordStream::Begin()
{
    if (plan_.Summary == SummaryMode::Only) return true;
    if (plan_.Format == OutputFormat::Csv && plan_.CsvHeader)
        Write(plan_.Uncertainty ? AppendCsvCells(CsvHeader(plan_.Metric), UncertaintyCsvHeader(plan_.Metric))
                                : CsvHeader(plan_.Metric));
    if (jsonArray_) Write(summaryInline_ && plan_.Summary != SummaryMode::Only ? "{\n  \"records\": [\n" : "[\n");
    return !writeFailed_;
}

bool RecordStream::Take(std::size_t index, const ProfileRecord& record, const std::string& text, const CKyklosDoc* doc)
{
    // A record on the terminal the bar is drawn on takes the bar's line.
    if (outputIsTerminal_ && !text.empty()) progress_.Clear();
    Write((jsonArray_ && plan_.Summary != SummaryMode::Only && index > 0 ? ",\n" : "") + text);
    if (!record.Ok) {
        anyFailed_ = true;
        progress_.Clear();
        std::fprintf(stderr, "kyklos-report: %s: %s\n", DisplayText(record.File).c_str(), record.Message.c_str());
    }
    if (record.Pass && !*record.Pass) anyVerdictFail_ = true;
    if (record.Uncertainty) {
        anyNotConforming_ |= record.Uncertainty->Decision == ConformityDecision::DoesNotConform;
        anyUndecided_ |= record.Uncertainty->Decision == ConformityDecision::Undecided;
    }
    if (pages_ && doc && !pagesFailed_) WritePage(*doc, index);
    if (doc && !plan_.Tables.SaveProfilePath.empty()) SaveRecordProfile(*doc, index);
    statistics_.Add(record);
    ++taken_;
    progress_.Update(index + 1);
    if (Interruption::Requested()) interrupted_ = true;
    return !writeFailed_ && !interrupted_;
}

// After the first page that cannot be written no more are tried; the records go on.
void RecordStream::WritePage(const CKyklosDoc& doc, std::size_t index)
{
    std::string error;
    if (pages_->Write(doc, index, error)) return;
    pagesFailed_ = anyFailed_ = true;
    progress_.Clear();
    std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
}

// A profile that cannot be saved is that file's failure; the others are still saved.
void RecordStream::SaveRecordProfile(const CKyklosDoc& doc, std::size_t index)
{
    const std::string path = SavedProfilePath(plan_.Tables.SaveProfilePath, index, plan_.RecordCount());
    const std::string message = SaveAnalysedProfile(doc, path);
    if (message.empty()) return;
    anyFailed_ = true;
    progress_.Clear();
    std::fprintf(stderr, "kyklos-report: %s: %s\n", DisplayText(path).c_str(), message.c_str());
}

void RecordStream::FinishPages(bool keep)
{
    if (!pages_) return;
    if (!keep) {
        pages_->Abandon();
        return;
    }
    std::string error;
    if (!pages_->Close(error)) {
        anyFailed_ = true;
        std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
    }
}

int RecordStream::Finish()
{
    const bool stopped = writeFailed_ || interrupted_;
    progress_.Finish();
    FinishPages(!stopped);
    WriteEnd();
    if (interrupted_)
        std::fprintf(stderr, "kyklos-report: interrupted after %zu of %zu records\n", taken_, plan_.RecordCount());
    if (!stopped) WriteSummaryElsewhere();
    if (!writeFailed_ && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "kyklos-report: cannot write the output\n";
        return kExitFileFailed;
    }
    if (anyFailed_) return kExitFileFailed;
    // With an uncertainty the decision, which guards the verdict by U, sets the status.
    if (plan_.Uncertainty) return anyNotConforming_ ? kExitVerdictFail : anyUndecided_ ? kExitUndecided : kExitSuccess;
    return anyVerdictFail_ ? kExitVerdictFail : kExitSuccess;
}

// The end of the records and, when it follows them, the summary, in the
// run's format. An interrupted run closes its JSON without the summary.
void RecordStream::WriteEnd()
{
    const bool summary = summaryInline_ && !interrupted_;
    const bool only = plan_.Summary == SummaryMode::Only;
    const bool wrapped = jsonArray_ && summaryInline_ && !only;
    switch (plan_.Format) {
    case OutputFormat::Json:
        if (summary && only)
            Write(SummaryJson(statistics_, 2));
        else if (summary && wrapped)
            Write("\n  ],\n  \"summary\": " + Indented(JsonText(statistics_.Json(), 2), 2).substr(2) + "\n}\n");
        else if (wrapped)
            Write("\n  ]\n}\n");
        else if (jsonArray_ && !only)
            Write("\n]\n");
        break;
    case OutputFormat::JsonLines:
    case OutputFormat::Csv:
    case OutputFormat::Text:
        if (summary) Write(SummaryText(statistics_, plan_.Format));
        break;
    case OutputFormat::None: break;
    }
}

// The summary on standard error (beside a CSV table) or in its own file.
void RecordStream::WriteSummaryElsewhere()
{
    if (plan_.Summary == SummaryMode::None || plan_.SummaryTo == SummaryTarget::Output) return;
    const std::string text = SummaryText(statistics_, plan_.Format);
    if (plan_.SummaryTo == SummaryTarget::Errors) {
        std::fputs(text.c_str(), stderr);
        return;
    }
    std::string error;
    if (!WriteWholeFile(plan_.SummaryPath, text, error)) {
        anyFailed_ = true;
        std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
    }
}

} // namespace kyklos
