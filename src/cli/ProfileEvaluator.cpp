#include "cli/ProfileEvaluator.h"

#include <cmath>

namespace kyklos {

std::optional<std::string> NonFiniteResults(const CKyklosDoc& doc)
{
    for (const double value : {doc.Peak, doc.Valley, doc.Peak - doc.Valley, doc.Runout, doc.Eccentricity,
                               doc.EccentricityAngle, 2.0 * doc.Eccentricity, doc.ReferenceC, doc.NominalRadius})
        if (!std::isfinite(value) || !std::isfinite(value * 1000.0 * 39.37007874015748)) return std::string(kValuesTooLarge);
    return std::nullopt;
}

RoundnessEvaluation EvaluateRecord(ProfileRecord& record, const CKyklosDoc& doc,
                                   const std::optional<GivenTolerance>& tolerance, bool withHarmonics)
{
    RoundnessEvaluation evaluation = EvaluateRoundness(
        doc, tolerance ? std::optional<double>(tolerance->Micrometres()) : std::nullopt, withHarmonics);
    FillEvaluation(record, evaluation, tolerance);
    return evaluation;
}

ProfileEvaluator::ProfileEvaluator(int referenceKind, int cutoffUpr, std::optional<GivenTolerance> tolerance,
                                   bool withHarmonics)
    : doc_(&ui_, nullptr, &noise_), tolerance_(tolerance), withHarmonics_(withHarmonics)
{
    doc_.ReferenceKind = referenceKind;
    doc_.FilterCutoffUpr = cutoffUpr;
}

ProfileRecord ProfileEvaluator::Evaluate(const std::string& path)
{
    ui_.messages.clear();
    doc_.OpenProfile(path);
    // The document keeps the previous file's profile after some refusals;
    // only a read and an analysis without a message count.
    if (!ui_.messages.empty()) return FailedRecord(path, ui_.messages.front());
    if (!doc_.DataLoaded || !doc_.AnalysisValid || doc_.PathName != path)
        return FailedRecord(path, "Cannot open the file.");
    if (const auto problem = NonFiniteResults(doc_)) return FailedRecord(path, *problem);
    ProfileRecord record = RecordOfDocument(doc_, path);
    evaluation_ = EvaluateRecord(record, doc_, tolerance_, withHarmonics_);
    return record;
}

} // namespace kyklos
