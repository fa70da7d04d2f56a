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
    RecordColumn{"file", ColumnKind::Path, &ProfileRecord::File},
    RecordColumn{"ok", ColumnKind::Flag},
    RecordColumn{"message", ColumnKind::Text, &ProfileRecord::Message},
    RecordColumn{"identification", ColumnKind::Text, &ProfileRecord::Identification},
    RecordColumn{"date", ColumnKind::Text, &ProfileRecord::Date},
    RecordColumn{"points", ColumnKind::Count, nullptr, &ProfileRecord::Points},
    RecordColumn{"cutoff_upr", ColumnKind::Count, nullptr, &ProfileRecord::CutoffUpr},
    RecordColumn{"reference", ColumnKind::Text, &ProfileRecord::Reference},
    RecordColumn{"roundness", ColumnKind::Length, nullptr, &ProfileRecord::RoundnessMm},
    RecordColumn{"eccentricity", ColumnKind::Length, nullptr, &ProfileRecord::EccentricityMm},
    RecordColumn{"eccentricity_angle_deg", ColumnKind::Angle, nullptr, &ProfileRecord::EccentricityAngleDeg},
    RecordColumn{"concentricity", ColumnKind::Length, nullptr, &ProfileRecord::ConcentricityMm},
    RecordColumn{"runout", ColumnKind::Length, nullptr, &ProfileRecord::RunoutMm},
    RecordColumn{"ront_ls", ColumnKind::Length, nullptr, &ProfileRecord::RONtLsMm},
    RecordColumn{"ront_mz", ColumnKind::Length, nullptr, &ProfileRecord::RONtMzMm},
    RecordColumn{"ront_mi", ColumnKind::Length, nullptr, &ProfileRecord::RONtMiMm},
    RecordColumn{"ront_mc", ColumnKind::Length, nullptr, &ProfileRecord::RONtMcMm},
    RecordColumn{"ronp", ColumnKind::Length, nullptr, &ProfileRecord::RONpMm},
    RecordColumn{"ronv", ColumnKind::Length, nullptr, &ProfileRecord::RONvMm},
    RecordColumn{"ronq", ColumnKind::Length, nullptr, &ProfileRecord::RONqMm},
    RecordColumn{"tolerance", ColumnKind::GivenLength, nullptr, &ProfileRecord::ToleranceGiven},
    RecordColumn{"verdict", ColumnKind::Verdict},
    RecordColumn{"verdict_reference", ColumnKind::Text, &ProfileRecord::VerdictReference},
    RecordColumn{"mi_diameter", ColumnKind::Length, nullptr, &ProfileRecord::MiDiameterMm},
    RecordColumn{"mc_diameter", ColumnKind::Length, nullptr, &ProfileRecord::McDiameterMm},
    RecordColumn{"ront_mi_min", ColumnKind::Length, nullptr, &ProfileRecord::RONtMiMinMm},
    RecordColumn{"ront_mi_max", ColumnKind::Length, nullptr, &ProfileRecord::RONtMiMaxMm},
    RecordColumn{"ront_mc_min", ColumnKind::Length, nullptr, &ProfileRecord::RONtMcMinMm},
    RecordColumn{"ront_mc_max", ColumnKind::Length, nullptr, &ProfileRecord::RONtMcMaxMm},
    RecordColumn{"source_format", ColumnKind::Text, &ProfileRecord::SourceFormat},
    RecordColumn{"columns", ColumnKind::Text, &ProfileRecord::Columns},
    RecordColumn{"filter", ColumnKind::Text, &ProfileRecord::Filter},
    RecordColumn{"band_low_upr", ColumnKind::Count, nullptr, &ProfileRecord::BandLowUpr},
    RecordColumn{"band_high_upr", ColumnKind::Count, nullptr, &ProfileRecord::BandHighUpr},
    RecordColumn{"spikes_removed", ColumnKind::Count, nullptr, &ProfileRecord::SpikesRemoved},
    RecordColumn{"largest_gap_deg", ColumnKind::Degrees, nullptr, &ProfileRecord::LargestGapDeg},
    RecordColumn{"coverage_deg", ColumnKind::Degrees, nullptr, &ProfileRecord::CoverageDeg},
    RecordColumn{"samples_used", ColumnKind::Count, nullptr, &ProfileRecord::SamplesUsed},
    RecordColumn{"samples_excluded", ColumnKind::Count, nullptr, &ProfileRecord::SamplesExcluded},
    RecordColumn{"mz_gap", ColumnKind::Length, nullptr, &ProfileRecord::MzGapMm},
    RecordColumn{"mi_gap", ColumnKind::Length, nullptr, &ProfileRecord::MiGapMm},
    RecordColumn{"mc_gap", ColumnKind::Length, nullptr, &ProfileRecord::McGapMm},
    // The true circles: only with --circles (kCircleColumns of them).
    RecordColumn{"ls_centre_x", ColumnKind::Millimetres, nullptr, &ProfileRecord::LsCentreXMm},
    RecordColumn{"ls_centre_y", ColumnKind::Millimetres, nullptr, &ProfileRecord::LsCentreYMm},
    RecordColumn{"ls_radius", ColumnKind::Millimetres, nullptr, &ProfileRecord::LsRadiusMm},
    RecordColumn{"ls_ront", ColumnKind::Length, nullptr, &ProfileRecord::LsRONtMm},
    RecordColumn{"mz_inner_radius", ColumnKind::Millimetres, nullptr, &ProfileRecord::MzInnerRadiusMm},
    RecordColumn{"mz_outer_radius", ColumnKind::Millimetres, nullptr, &ProfileRecord::MzOuterRadiusMm},
    RecordColumn{"mz_ront", ColumnKind::Length, nullptr, &ProfileRecord::MzRONtMm},
    RecordColumn{"mi_radius", ColumnKind::Millimetres, nullptr, &ProfileRecord::MiRadiusMm},
    RecordColumn{"mi_ront", ColumnKind::Length, nullptr, &ProfileRecord::MiRONtMm},
    RecordColumn{"mc_radius", ColumnKind::Millimetres, nullptr, &ProfileRecord::McRadiusMm},
    RecordColumn{"mc_ront", ColumnKind::Length, nullptr, &ProfileRecord::McRONtMm},
};
constexpr std::size_t kCircleColumns = 11;
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

std::string RecordSourceFormat(const Profile& profile)
{
    return profile.SourceFormat.empty() ? "kyk" : profile.SourceFormat;
}

ProfileRecord RecordOfDocument(const CKyklosDoc& doc, const std::string& file)
{
    ProfileRecord r;
    r.File = file;
    r.Ok = true;
    r.Identification = DisplayText(doc.Profile.Identification);
    r.Date = DisplayText(doc.Profile.DateText);
    r.Points = doc.Profile.PointCount();
    r.CutoffUpr = UpperCutoffUpr(doc.Settings.Filter());
    r.Reference = ReferenceName(doc.Settings.ReferenceKind);
    const ShownResults shown = ShowResults(doc.Result);
    if (shown.AboutMeasurementAxis) r.Message = kFailedFitMessage;
    r.RoundnessMm = Finite(shown.RoundnessMm);
    r.EccentricityMm = Finite(shown.EccentricityMm);
    if (shown.EccentricityAngleDeg) r.EccentricityAngleDeg = Finite(*shown.EccentricityAngleDeg);
    r.ConcentricityMm = Finite(shown.ConcentricityMm);
    r.RunoutMm = Finite(shown.RunoutMm);
    FillEvaluation(r, doc.Result.Evaluation);
    r.SourceFormat = RecordSourceFormat(doc.Profile);
    r.Columns = doc.Profile.Columns;
    FillAnalysisFacts(r, doc.Result);
    return r;
}

ProfileRecord FailedRecord(const std::string& file, const std::string& message)
{
    ProfileRecord r;
    r.File = file;
    r.Message = DisplayText(message);
    return r;
}

void FillEvaluation(ProfileRecord& record, const RoundnessEvaluation& evaluation)
{
    if (!evaluation.Valid) return;
    if (evaluation.Tolerance) record.ToleranceGiven = evaluation.Tolerance->Value;
    const auto ront = [&](ReferenceKind kind) -> std::optional<double> {
        const auto& value = evaluation.Reference(kind).RONt;
        return value ? Finite(*value) : std::nullopt;
    };
    record.RONtLsMm = ront(ReferenceKind::LeastSquares);
    record.RONtMzMm = ront(ReferenceKind::MinimumZone);
    record.RONtMiMm = ront(ReferenceKind::MaximumInscribed);
    record.RONtMcMm = ront(ReferenceKind::MinimumCircumscribed);
    // RONp, RONv and RONq exist only about a least squares circle that was found.
    if (evaluation.Reference(ReferenceKind::LeastSquares).FitValid) {
        record.RONpMm = Finite(evaluation.RONp);
        record.RONvMm = Finite(evaluation.RONv);
        record.RONqMm = Finite(evaluation.RONq);
    }
    if (evaluation.Verdict != ToleranceVerdict::None) {
        record.Pass = evaluation.Verdict == ToleranceVerdict::Pass;
        record.VerdictReference = ReferenceAbbreviation(evaluation.SelectedReference);
    }
    const auto diameter = [&](ReferenceKind kind) -> std::optional<double> {
        const ReferenceEvaluation& reference = evaluation.Reference(kind);
        return reference.FitValid ? Finite(2.0 * reference.ReferenceC) : std::nullopt;
    };
    record.MiDiameterMm = diameter(ReferenceKind::MaximumInscribed);
    record.McDiameterMm = diameter(ReferenceKind::MinimumCircumscribed);
    const auto range = [&](ReferenceKind kind, std::optional<double>& least, std::optional<double>& most) {
        if (const auto& r = evaluation.Reference(kind).RONtRange) {
            least = Finite(r->first);
            most = Finite(r->second);
        }
    };
    range(ReferenceKind::MaximumInscribed, record.RONtMiMinMm, record.RONtMiMaxMm);
    range(ReferenceKind::MinimumCircumscribed, record.RONtMcMinMm, record.RONtMcMaxMm);
    const auto gap = [&](ReferenceKind kind) -> std::optional<double> {
        const Certificate& certificate = evaluation.Reference(kind).Certificate;
        return certificate.Checked == CertificateLevel::None ? std::nullopt : Finite(certificate.GapMm);
    };
    record.MzGapMm = gap(ReferenceKind::MinimumZone);
    record.MiGapMm = gap(ReferenceKind::MaximumInscribed);
    record.McGapMm = gap(ReferenceKind::MinimumCircumscribed);
}

namespace {

// The true circles' centres, radii and RONt; a circle without a valid
// result (a failed check, no points all around) leaves its cells empty.
void FillCircles(ProfileRecord& record, const TrueCircles& circles)
{
    const TrueCircle& ls = circles.LeastSquares;
    if (ls.Valid) {
        record.LsCentreXMm = Finite(ls.CentreX);
        record.LsCentreYMm = Finite(ls.CentreY);
        record.LsRadiusMm = Finite(ls.Radius);
        record.LsRONtMm = Finite(ls.RONt);
    }
    const TrueCircle& mz = circles.MinimumZone;
    if (mz.Valid) {
        record.MzInnerRadiusMm = Finite(mz.InnerRadius);
        record.MzOuterRadiusMm = Finite(mz.OuterRadius);
        record.MzRONtMm = Finite(mz.RONt);
    }
    const auto one = [](const std::optional<TrueCircle>& c, std::optional<double>& radius,
                        std::optional<double>& ront) {
        if (!c || !c->Valid) return;
        radius = Finite(c->Radius);
        ront = Finite(c->RONt);
    };
    one(circles.MaximumInscribed, record.MiRadiusMm, record.MiRONtMm);
    one(circles.MinimumCircumscribed, record.McRadiusMm, record.McRONtMm);
}

} // namespace

void FillAnalysisFacts(ProfileRecord& record, const AnalysisResult& result)
{
    const FilterSpec& filter = result.FilterApplied;
    record.Filter = FilterName(filter.Kind);
    if (filter.Kind == FilterKind::Band) {
        record.BandLowUpr = filter.BandLowUpr;
        record.BandHighUpr = filter.BandHighUpr;
    }
    record.SpikesRemoved = static_cast<double>(result.RemovedSpikes.size());
    record.LargestGapDeg = Finite(LargestGapDegrees(result));
    record.CoverageDeg = Finite(CoverageDegrees(result));
    record.SamplesUsed = result.Samples.UsedCount();
    record.SamplesExcluded = result.SamplesExcluded;
    if (result.Circles) FillCircles(record, *result.Circles);
}

void MarkFilterRefusal(ProfileRecord& record, const AnalysisSettings& settings)
{
    record.FilterRefused = !record.Ok && FilterNeedsEqualSteps(settings.FilterKind) &&
                           record.Message == DisplayText(EqualStepsRefusal(settings.FilterKind));
}

std::span<const RecordColumn> RecordColumns(bool withCircles)
{
    const std::span<const RecordColumn> all(kColumns);
    return withCircles ? all : all.first(all.size() - kCircleColumns);
}

std::string ColumnName(const RecordColumn& column, bool metric)
{
    std::string name(column.Name);
    if (column.Kind == ColumnKind::Length || column.Kind == ColumnKind::GivenLength) name += metric ? "_um" : "_uin";
    if (column.Kind == ColumnKind::Millimetres) name += "_mm";
    return name;
}

std::optional<double> ColumnValue(const RecordColumn& column, const ProfileRecord& record, bool metric)
{
    if (!column.Number) return std::nullopt;
    const std::optional<double>& value = record.*column.Number;
    if (!value) return std::nullopt;
    const double shown = column.Kind == ColumnKind::Length ? ShownLength(*value, metric) : *value;
    return Finite(shown);
}

} // namespace kyklos
