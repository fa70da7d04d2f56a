#include "cli/ProfileRecord.h"

#include "platform/TextEncoding.h"

#include <array>
#include <cmath>

namespace kyklos {

namespace {
constexpr double kMicroinchesPerMicrometre = 39.37007874015748;

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

std::string_view ReferenceName(int kind)
{
    switch (kind) {
    case LeastSquares: return "LeastSquares";
    case MaximumInscribed: return "MaximumInscribed";
    case MinimumCircumscribed: return "MinimumCircumscribed";
    default: return "MinimumZone";
    }
}

ProfileRecord RecordOfDocument(const CKyklosDoc& doc, const std::string& file)
{
    ProfileRecord r;
    r.file = DisplayText(file);
    r.ok = true;
    r.identification = DisplayText(doc.Identification);
    r.date = DisplayText(doc.DateText);
    r.points = doc.PointCount;
    r.cutoffUpr = doc.FilterCutoffUpr;
    r.reference = ReferenceName(doc.ReferenceKind);
    // A failed fit leaves peak and valley about the origin: no roundness,
    // eccentricity or concentricity about the chosen reference exists.
    if (doc.FitValid) {
        r.roundnessMm = Finite(doc.Peak - doc.Valley);
        r.eccentricityMm = Finite(doc.Eccentricity);
        r.concentricityMm = Finite(2.0 * doc.Eccentricity);
        // The report shows no angle for a centre this close to the origin.
        if (doc.Eccentricity >= 1e-7) r.eccentricityAngleDeg = Finite(doc.EccentricityAngle);
    } else {
        r.message = "Reference fit failed: no results about this reference.";
    }
    r.runoutMm = Finite(doc.Runout);
    return r;
}

ProfileRecord FailedRecord(const std::string& file, const std::string& message)
{
    ProfileRecord r;
    r.file = DisplayText(file);
    r.message = DisplayText(message);
    return r;
}

void FillEvaluation(ProfileRecord& record, const RoundnessEvaluation& evaluation,
                    const std::optional<GivenTolerance>& tolerance)
{
    if (tolerance) record.toleranceGiven = tolerance->value;
    if (!evaluation.Valid) return;
    const auto ront = [&](int kind) -> std::optional<double> {
        const auto& value = evaluation.References[static_cast<std::size_t>(kind)].RONt;
        return value ? Finite(*value) : std::nullopt;
    };
    record.rontLsMm = ront(LeastSquares);
    record.rontMzMm = ront(MinimumZone);
    record.rontMiMm = ront(MaximumInscribed);
    record.rontMcMm = ront(MinimumCircumscribed);
    // RONp, RONv and RONq exist only about a least squares circle that was found.
    if (evaluation.References[LeastSquares].FitValid) {
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

double DisplayLength(double millimetres, bool metric)
{
    return millimetres * 1000.0 * (metric ? 1.0 : kMicroinchesPerMicrometre);
}

std::optional<double> ColumnValue(const RecordColumn& column, const ProfileRecord& record, bool metric)
{
    if (!column.number) return std::nullopt;
    const std::optional<double>& value = record.*column.number;
    if (!value) return std::nullopt;
    const double shown = column.kind == ColumnKind::Length ? DisplayLength(*value, metric) : *value;
    return Finite(shown);
}

} // namespace kyklos
