#include "cli/ProfileEvaluator.h"

namespace kyklos {

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
    // only a read and an analysis without a message count. A profile whose
    // results would overflow is refused by the document with its own message.
    if (!ui_.messages.empty()) return FailedRecord(path, ui_.messages.front());
    if (!doc_.DataLoaded || !doc_.AnalysisValid || doc_.PathName != path)
        return FailedRecord(path, "Cannot open the file.");
    ProfileRecord record = RecordOfDocument(doc_, path);
    evaluation_ = EvaluateRecord(record, doc_, tolerance_, withHarmonics_);
    return record;
}

} // namespace kyklos
