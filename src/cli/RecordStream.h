#pragma once
// The records of a run, written in input order as they come: text blocks,
// JSON (one object; an array for several records; an object with the records
// and the summary), JSON Lines or CSV on standard output, each record whole
// and flushed; the report pages; the progress bar and one line per failed
// file on standard error; the summary at the end, where the plan sends it;
// and the exit status all that gives. A write that fails (a full disk) or a
// caught SIGINT or SIGTERM stops the run after the record being written.

#include "cli/BatchSummary.h"
#include "cli/ProgressBar.h"
#include "cli/RunPlan.h"

#include <cstddef>
#include <string>

namespace kyklos {

class RecordStream {
public:
    // pages: the opened writer of the report pages, or null without -o.
    RecordStream(const RunPlan& plan, ReportPageWriter* pages);
    RecordStream(const RecordStream&) = delete;
    RecordStream& operator=(const RecordStream&) = delete;

    // The record's text in the run's format (doc: its analysed document when
    // ok). Called on the worker threads: it reads only the plan.
    std::string Format(const ProfileRecord& record, const CKyklosDoc* doc) const;
    // The CSV header, or the opening of the JSON array. False when the run
    // must stop (the output cannot be written).
    bool Begin();
    // The record at `index` in input order, with its text from Format and
    // its document for the page. False when the run must stop: the output
    // cannot be written, or the run was interrupted.
    bool Take(std::size_t index, const ProfileRecord& record, const std::string& text, const CKyklosDoc* doc);
    // Finishes the pages, closes the records, writes the summary and
    // flushes; the run's exit status. A run that stopped early keeps no
    // pages (a previous file of that name stays) and writes no summary.
    int Finish();

private:
    bool Write(const std::string& text);
    void WritePage(const CKyklosDoc& doc, std::size_t index);
    void FinishPages(bool keep);
    void SaveRecordProfile(const CKyklosDoc& doc, std::size_t index);
    void WriteEnd();
    void WriteSummaryElsewhere();

    const RunPlan& plan_;
    ReportPageWriter* pages_;
    // The summary follows the records on standard output.
    bool summaryInline_;
    // A JSON array (inside an object with the summary) holds more than one
    // record, or records a summary follows.
    bool jsonArray_;
    int jsonIndent_;
    bool outputIsTerminal_;
    BatchSummary statistics_;
    ProgressBar progress_;
    std::size_t taken_ = 0;
    bool anyFailed_ = false;
    bool anyVerdictFail_ = false;
    bool anyNotConforming_ = false;
    bool anyUndecided_ = false;
    bool pagesFailed_ = false;
    bool writeFailed_ = false;
    bool interrupted_ = false;
};

// A failure of the whole run rather than of one file: one JSON object on
// standard output in the JSON formats, else one line on standard error.
void WriteRunFailure(OutputFormat format, const std::string& message);

} // namespace kyklos
