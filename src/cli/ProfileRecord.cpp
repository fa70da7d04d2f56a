#include "cli/ProfileRecord.h"

#include "document/ShownResults.h"
#include "platform/TextEncoding.h"
#include "platform/Units.h"

#include <array>
#include <cmath>

namespace kyklos {

namespace {
std::optional<double> Finite(double value)
{
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

constexpr std::array kColumns{
    RecordColumn{"file", ColumnKind::Text, &ProfileRecord::file},
    RecordColumn{"ok", ColumnKind::Flag},
    RecordColumn{"message", ColumnKind::Text, &ProfileRecord::message},
    RecordColumn{"identification", ColumnKind::Text, &ProfileRecord::identification},
    RecordColumn{"date", ColumnKind::Text, &ProfileRecord::date},
    RecordColumn{"points", ColumnKind::Count, nullptr, &ProfileRecord::points},
    RecordColumn{"cutoff_upr", ColumnKind::Count, nullptr, &ProfileRecord::cutoffUpr},
    RecordColumn{"reference", ColumnKind::Text, &ProfileRecord::reference},
    RecordColumn{"roundness", ColumnKind::Length, nullptr, &ProfileRecord::roundnessMm},
    RecordColumn{"eccentricity", ColumnKind::Length, nullptr, &ProfileRecord::eccentricityMm},
    RecordColumn{"eccentricity_angle_deg", ColumnKind::Angle, nullptr, &ProfileRecord::eccentricityAngleDeg},
    RecordColumn{"concentricity", ColumnKind::Length, nullptr, &ProfileRecord::concentricityMm},
    RecordColumn{"runout", ColumnKind::Length, nullptr, &ProfileRecord::runoutMm},
    RecordColumn{"ront_ls", ColumnKind::Length, nullptr, &ProfileRecord::rontLsMm},
    RecordColumn{"ront_mz", ColumnKind::Length, nullptr, &ProfileRecord::rontMzMm},
    RecordColumn{"ront_mi", ColumnKind::Length, nullptr, &ProfileRecord::rontMiMm},
    RecordColumn{"ront_mc", ColumnKind::Length, nullptr, &ProfileRecord::rontMcMm},
    RecordColumn{"ronp", ColumnKind::Length, nullptr, &ProfileRecord::ronpMm},
    RecordColumn{"ronv", ColumnKind::Length, nullptr, &ProfileRecord::ronvMm},
    RecordColumn{"ronq", ColumnKind::Length, nullptr, &ProfileRecord::ronqMm},
    RecordColumn{"tolerance", ColumnKind::GivenLength, nullptr, &ProfileRecord::toleranceGiven},
    RecordColumn{"verdict", ColumnKind::Verdict},
};
} // namespace

std::string_view ReferenceName(ReferenceKind kind)
{
    switch (kind) {
    case ReferenceKind::LeastSquares: return "LeastSquares";
    case ReferenceKind::MaximumInscribed: return "MaximumInscribed";
    case ReferenceKind::MinimumCircumscribed: return "MinimumCircumscribed";
    case ReferenceKind::MinimumZone: break;
    }
    return "MinimumZone";
}

ProfileRecord RecordOfDocument(const CKyklosDoc& doc, const std::string& file)
{
    ProfileRecord r;
    r.file = DisplayText(file);
    r.ok = true;
    r.identification = DisplayText(doc.Profile.Identification);
    r.date = DisplayText(doc.Profile.DateText);
    r.points = doc.Profile.PointCount();
    r.cutoffUpr = doc.Settings.FilterCutoffUpr;
    r.reference = ReferenceName(doc.Settings.ReferenceKind);
    const ShownResults shown = ShowResults(doc.Result);
    if (shown.AboutMeasurementAxis) r.message = kFailedFitMessage;
    r.roundnessMm = Finite(shown.RoundnessMm);
    r.eccentricityMm = Finite(shown.EccentricityMm);
    if (shown.EccentricityAngleDeg) r.eccentricityAngleDeg = Finite(*shown.EccentricityAngleDeg);
    r.concentricityMm = Finite(shown.ConcentricityMm);
    r.runoutMm = Finite(shown.RunoutMm);
    FillEvaluation(r, doc.Result.Evaluation);
    return r;
}

ProfileRecord FailedRecord(const std::string& file, const std::string& message)
{
    ProfileRecord r;
    r.file = DisplayText(file);
    r.message = DisplayText(message);
    return r;
}

void FillEvaluation(ProfileRecord& record, const RoundnessEvaluation& evaluation)
{
    if (!evaluation.Valid) return;
    if (evaluation.Tolerance) record.toleranceGiven = evaluation.Tolerance->Value;
    const auto ront = [&](ReferenceKind kind) -> std::optional<double> {
        const auto& value = evaluation.Reference(kind).RONt;
        return value ? Finite(*value) : std::nullopt;
    };
    record.rontLsMm = ront(ReferenceKind::LeastSquares);
    record.rontMzMm = ront(ReferenceKind::MinimumZone);
    record.rontMiMm = ront(ReferenceKind::MaximumInscribed);
    record.rontMcMm = ront(ReferenceKind::MinimumCircumscribed);
    // RONp, RONv and RONq exist only about a least squares circle that was found.
    if (evaluation.Reference(ReferenceKind::LeastSquares).FitValid) {
        record.ronpMm = Finite(evaluation.RONp);
        record.ronvMm = Finite(evaluation.RONv);
        record.ronqMm = Finite(evaluation.RONq);
    }
    if (evaluation.Verdict != ToleranceVerdict::None) record.pass = evaluation.Verdict == ToleranceVerdict::Pass;
}

std::span<const RecordColumn> RecordColumns()
{
    return kColumns;
}

std::string ColumnName(const RecordColumn& column, bool metric)
{
    std::string name(column.name);
    if (column.kind == ColumnKind::Length || column.kind == ColumnKind::GivenLength) name += metric ? "_um" : "_uin";
    return name;
}

std::optional<double> ColumnValue(const RecordColumn& column, const ProfileRecord& record, bool metric)
{
    if (!column.number) return std::nullopt;
    const std::optional<double>& value = record.*column.number;
    if (!value) return std::nullopt;
    const double shown = column.kind == ColumnKind::Length ? ShownLength(*value, metric) : *value;
    return Finite(shown);
}

} // namespace kyklos
