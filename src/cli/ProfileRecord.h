#pragma once
// One profile's row in a batch: the numbers the table (CSV) and the summary
// carry, in the document's units (millimetres, degrees). An empty optional is
// an empty cell: a result the file did not give.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kyklos {

struct ProfileRecord {
    std::string file;  // the path as given on the command line or in the list
    bool ok = false;
    std::string message;  // the window's message when the file was refused; a note when the fit failed
    std::string identification;
    std::string date;
    std::optional<double> points;
    std::optional<double> cutoffUpr;
    std::string reference;  // "LeastSquares", "MinimumZone", "MaximumInscribed", "MinimumCircumscribed"
    // About the selected reference, or about the measurement axis when its
    // fit failed (as the report shows them); empty where not a finite number.
    std::optional<double> roundnessMm;
    std::optional<double> eccentricityMm;
    std::optional<double> eccentricityAngleDeg;  // empty where the report leaves it out (no eccentricity)
    std::optional<double> concentricityMm;
    std::optional<double> runoutMm;
    // Beyond the page: RONt about each of the four references (empty where a
    // fit failed), RONp, RONv and RONq about the least-squares circle, the
    // tolerance and the verdict. Filled by FillEvaluation.
    std::optional<double> rontLsMm;
    std::optional<double> rontMzMm;
    std::optional<double> rontMiMm;
    std::optional<double> rontMcMm;
    std::optional<double> ronpMm;
    std::optional<double> ronvMm;
    std::optional<double> ronqMm;
    std::optional<double> toleranceGiven;  // as typed: µm, or µin with --inch
    std::optional<bool> pass;  // the verdict: Pass, Fail, or none without a tolerance or a valid fit
};

// The record of an analysed document (AnalysisValid) read from `file`.
ProfileRecord RecordOfDocument(const CKyklosDoc& doc, const std::string& file);

// The record of a file that could not be read or evaluated.
ProfileRecord FailedRecord(const std::string& file, const std::string& message);

// The evaluation beyond the page (the four references, RONp/RONv/RONq, the
// tolerance as typed and the verdict) copied from `evaluation`.
void FillEvaluation(ProfileRecord& record, const RoundnessEvaluation& evaluation);

// The name of a reference kind as the record and the JSON evaluation write it.
std::string_view ReferenceName(ReferenceKind kind);

// The columns of the table, in order. A length is in micrometres or
// microinches by the run's units and carries that unit in its name; a given
// length is already in that unit.
enum class ColumnKind { Text, Flag, Verdict, Count, Length, GivenLength, Angle };

struct RecordColumn {
    std::string_view name;  // a length's name without its unit suffix
    ColumnKind kind;
    std::string ProfileRecord::*text = nullptr;             // Text
    std::optional<double> ProfileRecord::*number = nullptr;  // Count, Length, GivenLength, Angle
};

std::span<const RecordColumn> RecordColumns();

// The column's name in the header: lengths end in "_um" or "_uin".
std::string ColumnName(const RecordColumn& column, bool metric);

// The column's number in the display unit (lengths: µm or µin), or empty.
std::optional<double> ColumnValue(const RecordColumn& column, const ProfileRecord& record, bool metric);


} // namespace kyklos
