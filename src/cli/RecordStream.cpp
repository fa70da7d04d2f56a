#include "cli/RecordStream.h"

#include "cli/CsvTable.h"
#include "cli/ExitStatus.h"
#include "cli/ReportText.h"
#include "platform/TextEncoding.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace kyklos {

namespace {

void Write(const std::string& text)
{
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stdout);
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

bool IsJson(OutputFormat format)
{
    return format == OutputFormat::Json || format == OutputFormat::JsonLines;
}

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

} // namespace

void WriteRunFailure(OutputFormat format, const std::string& message)
{
    if (IsJson(format)) {
        nlohmann::ordered_json j;
        j["ok"] = false;
        j["message"] = DisplayText(message);
        Write(JsonText(j, format == OutputFormat::Json ? 2 : -1) + "\n");
        std::fflush(stdout);
    } else {
        std::cerr << "kyklos-report: " << DisplayText(message) << '\n';
    }
}

RecordStream::RecordStream(const RunPlan& plan, ReportPageWriter* pages)
    : plan_(plan),
      pages_(pages),
      jsonArray_(plan.Format == OutputFormat::Json && (plan.RecordCount() > 1 || plan.Summary != SummaryMode::None)),
      jsonIndent_(plan.Summary != SummaryMode::None ? 4 : 2),
      statistics_(plan.Metric, plan.Analysis.Tolerance),
      progress_(ProgressStream(plan), plan.RecordCount())
{
}

std::string RecordStream::Format(const ProfileRecord& record, const CKyklosDoc* doc) const
{
    if (plan_.Summary == SummaryMode::Only) return {};
    switch (plan_.Format) {
    case OutputFormat::Json:
    case OutputFormat::JsonLines: {
        const auto j = doc ? DocumentJson(*doc, plan_.RawSamples, plan_.HarmonicLimit)
                           : FailureJson(record.File, record.Message);
        if (plan_.Format == OutputFormat::JsonLines) return JsonText(j, -1) + "\n";
        return jsonArray_ ? Indented(JsonText(j, 2), jsonIndent_) : JsonText(j, 2) + "\n";
    }
    case OutputFormat::Text:
        return (doc ? ResultsText(*doc, plan_.Metric) : FailureText(record.File, record.Message)) + "\n";
    case OutputFormat::Csv: return CsvRow(record, plan_.Metric);
    case OutputFormat::None: return {};
    }
    return {};
}

void RecordStream::Begin()
{
    if (plan_.Summary == SummaryMode::Only) return;
    if (plan_.Format == OutputFormat::Csv && plan_.CsvHeader) Write(CsvHeader(plan_.Metric));
    if (jsonArray_) Write(plan_.Summary != SummaryMode::None ? "{\n  \"records\": [\n" : "[\n");
}

void RecordStream::Take(std::size_t index, const ProfileRecord& record, const std::string& text, const CKyklosDoc* doc)
{
    if (jsonArray_ && plan_.Summary != SummaryMode::Only && index > 0) Write(",\n");
    Write(text);
    if (!record.Ok) {
        anyFailed_ = true;
        progress_.Clear();
        std::fprintf(stderr, "kyklos-report: %s: %s\n", record.File.c_str(), record.Message.c_str());
    }
    if (record.Pass && !*record.Pass) anyVerdictFail_ = true;
    if (pages_ && doc && !pagesFailed_) WritePage(*doc, index);
    statistics_.Add(record);
    progress_.Update(index + 1);
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

int RecordStream::Finish()
{
    progress_.Finish();
    if (pages_) {
        std::string error;
        if (!pages_->Close(error)) {
            anyFailed_ = true;
            std::fprintf(stderr, "kyklos-report: %s\n", error.c_str());
        }
    }
    WriteEnd();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "kyklos-report: cannot write the output\n";
        return kExitFileFailed;
    }
    if (anyFailed_) return kExitFileFailed;
    return anyVerdictFail_ ? kExitVerdictFail : kExitSuccess;
}

// The end of the records and the summary, in the run's format.
void RecordStream::WriteEnd()
{
    const bool summary = plan_.Summary != SummaryMode::None;
    const bool only = plan_.Summary == SummaryMode::Only;
    switch (plan_.Format) {
    case OutputFormat::Json:
        if (only)
            Write(SummaryJson(statistics_, 2));
        else if (summary)
            Write("\n  ],\n  \"summary\": " + Indented(JsonText(statistics_.Json(), 2), 2).substr(2) + "\n}\n");
        else if (jsonArray_)
            Write("\n]\n");
        break;
    case OutputFormat::JsonLines:
        if (summary) Write(SummaryJson(statistics_, -1));
        break;
    case OutputFormat::Csv:
        if (summary) Write((only ? "" : "\r\n") + statistics_.Csv());
        break;
    case OutputFormat::Text:
        if (summary) Write(statistics_.Text());
        break;
    case OutputFormat::None: break;
    }
}

} // namespace kyklos
