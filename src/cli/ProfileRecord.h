#pragma once
// One profile's row in a batch: the numbers the table (CSV) and the summary
// carry, in the document's units (millimetres, degrees). An empty optional is
// an empty cell: a result the file did not give.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "document/Uncertainty.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kyklos {

struct ProfileRecord {
    std::string File; // the path's bytes as given on the command line or in the list
    bool Ok = false;
    std::string Message; // the window's message when the file was refused; a note when the fit failed
    std::string Identification;
    std::string Date;
    std::optional<double> Points;
    std::optional<double> CutoffUpr;
    std::string Reference; // "LeastSquares", "MinimumZone", "MaximumInscribed", "MinimumCircumscribed"
    // About the selected reference, or about the measurement axis when its
    // fit failed (as the report shows them); empty where not a finite number.
    std::optional<double> RoundnessMm;
    std::optional<double> EccentricityMm;
    std::optional<double> EccentricityAngleDeg; // empty where the report leaves it out (no eccentricity)
    std::optional<double> ConcentricityMm;
    std::optional<double> RunoutMm;
    // Beyond the page: RONt about each of the four references (empty where a
    // fit failed), RONp, RONv and RONq about the least-squares circle, the
    // tolerance and the verdict. Filled by FillEvaluation.
    std::optional<double> RONtLsMm;
    std::optional<double> RONtMzMm;
    std::optional<double> RONtMiMm;
    std::optional<double> RONtMcMm;
    std::optional<double> RONpMm;
    std::optional<double> RONvMm;
    std::optional<double> RONqMm;
    std::optional<double> ToleranceGiven; // as typed: µm, or µin with --inch
    std::optional<bool> Pass;             // the verdict: Pass, Fail, or none without a tolerance or a valid fit
    std::string VerdictReference;         // the reference the verdict judged ("LSCI", …); empty without a verdict
    // The inscribed and circumscribed circles' diameters, 2c; empty where their fit failed.
    std::optional<double> MiDiameterMm;
    std::optional<double> McDiameterMm;
    // RONt over every optimal centre of the inscribed and circumscribed
    // circles, least and greatest; empty where the fit failed.
    std::optional<double> RONtMiMinMm;
    std::optional<double> RONtMiMaxMm;
    std::optional<double> RONtMcMinMm;
    std::optional<double> RONtMcMaxMm;
    // With --uncertainty: the simulated uncertainty of the analysis.
    std::optional<UncertaintyResult> Uncertainty;
    // Where the profile came from: "kyk" or "table" (the demonstration
    // profile counts as "kyk": radii at equal steps over a full turn), and a
    // table's columns as --columns names them (empty for a .kyk).
    std::string SourceFormat;
    std::string Columns;
    // The analysis beyond the cutoff, filled by FillAnalysisFacts: the filter
    // the profile passed (FilterName), a band's cutoffs (UPR, empty for other
    // kinds), the spikes removed, the largest gap between used samples and
    // the coverage (degrees), and the samples used and excluded.
    std::string Filter;
    std::optional<double> BandLowUpr;
    std::optional<double> BandHighUpr;
    std::optional<double> SpikesRemoved;
    std::optional<double> LargestGapDeg;
    std::optional<double> CoverageDeg;
    std::optional<double> SamplesUsed;
    std::optional<double> SamplesExcluded;
    // The exact certificates' gaps of the minimum zone, inscribed and
    // circumscribed references (mm); empty where nothing was checked
    // (--no-certificate) or nothing bounds the gap.
    std::optional<double> MzGapMm;
    std::optional<double> MiGapMm;
    std::optional<double> McGapMm;
    // The true circles (--circles, or a point set), in the input's
    // coordinates; empty where a circle has no valid result.
    std::optional<double> LsCentreXMm;
    std::optional<double> LsCentreYMm;
    std::optional<double> LsRadiusMm;
    std::optional<double> LsRONtMm;
    std::optional<double> MzInnerRadiusMm;
    std::optional<double> MzOuterRadiusMm;
    std::optional<double> MzRONtMm;
    std::optional<double> MiRadiusMm;
    std::optional<double> MiRONtMm;
    std::optional<double> McRadiusMm;
    std::optional<double> McRONtMm;
    // The file was refused because its samples cannot take the filter kind
    // asked for: a command line that does not fit the file (exit status 2).
    bool FilterRefused = false;
};

// The source format a record and a JSON record write for a profile.
std::string RecordSourceFormat(const Profile& profile);

// The record of an analysed document (AnalysisValid) read from `file`.
ProfileRecord RecordOfDocument(const CKyklosDoc& doc, const std::string& file);

// The record of a file that could not be read or evaluated.
ProfileRecord FailedRecord(const std::string& file, const std::string& message);

// The evaluation beyond the page (the four references, RONp/RONv/RONq, the
// tolerance as typed, the verdict and what it judged, the inscribed and
// circumscribed diameters) copied from `evaluation`.
void FillEvaluation(ProfileRecord& record, const RoundnessEvaluation& evaluation);

// The filter applied, the samples used and excluded, the coverage and the
// true circles, copied from `result`.
void FillAnalysisFacts(ProfileRecord& record, const AnalysisResult& result);

// Marks a failed record whose message is the refusal of the settings'
// filter kind for samples not at equal steps over a full turn.
void MarkFilterRefusal(ProfileRecord& record, const AnalysisSettings& settings);

// The name of a reference kind as the record and the JSON evaluation write it.
std::string_view ReferenceName(ReferenceKind kind);

// The columns of the table, in order. A length is in micrometres or
// microinches by the run's units and carries that unit in its name; a given
// length is already in that unit.
// A path is written with its bytes escaped (EscapedPathBytes).
enum class ColumnKind {
    Path,
    Text,
    Flag,
    Verdict,
    Count,
    Length,
    GivenLength,
    Angle,
    Degrees,    // an angular extent (a gap, a coverage): no direction, averaged as a plain number
    Millimetres // a true circle's coordinate or radius: in the input's millimetres whatever the run's units
};

struct RecordColumn {
    std::string_view Name; // a length's name without its unit suffix
    ColumnKind Kind;
    std::string ProfileRecord::*Text = nullptr;             // Path, Text
    std::optional<double> ProfileRecord::*Number = nullptr; // Count, Length, GivenLength, Angle, …
};

// Every run has the same columns; the true circles' come last, and only in
// a run with --circles, so that the columns of a run never change from row to row.
std::span<const RecordColumn> RecordColumns(bool withCircles = false);

// The column's name in the header: lengths end in "_um" or "_uin", true
// circles' coordinates and radii in "_mm".
std::string ColumnName(const RecordColumn& column, bool metric);

// The column's number in the display unit (lengths: µm or µin), or empty.
std::optional<double> ColumnValue(const RecordColumn& column, const ProfileRecord& record, bool metric);

} // namespace kyklos
