#pragma once
// Evaluates many profiles on several worker threads and hands the results
// back on the calling thread in input order. Each profile is read, analysed,
// formatted and released; at most a small window of finished results waits
// for its turn, so memory does not grow with the number of files, and the
// output does not depend on the number of workers.

#include "cli/BatchInputs.h"
#include "cli/ProfileRecord.h"
#include "io/TableOptions.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kyklos {

struct EvaluatedProfile {
    ProfileRecord Record;
    std::string Output;                   // the record in the run's format
    const CKyklosDoc* Document = nullptr; // with KeepDocuments: the analysed document of an ok record
};

struct BatchSettings {
    int Workers = 1; // at most one per file
    // The reference, the cutoff, the tolerance and whether the evaluation
    // needs its spectra (text, JSON and pages show them, a table row does not).
    AnalysisSettings Analysis;
    // How every table of the run is read (--columns, --delimiter, …).
    TableOptions TableReading;
    // Hand each analysed document to the sink (to draw its page); the
    // document is reused only after the sink has returned.
    bool KeepDocuments = false;
    // Simulate every analysis' uncertainty (with --uncertainty).
    std::optional<UncertaintyRequest> Uncertainty;
};

// Turns a record (and, when ok, its analysed document) into output text.
// Runs on the workers.
using RecordFormatter = std::function<std::string(const ProfileRecord&, const CKyklosDoc*)>;
// Receives every result in input order, on the thread that called RunBatch;
// false stops the run: no further file is started, and the files the
// workers are on are finished and dropped.
using RecordSink = std::function<bool(std::size_t index, const EvaluatedProfile&)>;

void RunBatch(const std::vector<BatchInput>& inputs, const BatchSettings& settings, const RecordFormatter& format,
              const RecordSink& sink);

} // namespace kyklos
