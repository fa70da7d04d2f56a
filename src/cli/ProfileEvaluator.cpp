#include "cli/ProfileEvaluator.h"

#include <utility>

namespace kyklos {

ProfileEvaluator::ProfileEvaluator(const AnalysisSettings& settings, GaussianNoiseSource* noise,
                                   std::optional<UncertaintyRequest> uncertainty)
    : uncertainty_(std::move(uncertainty)), doc_(&ui_, nullptr, noise ? noise : &ownNoise_, settings)
{}

// The draws run on their own threads, so that a run of one file uses every core too.
ProfileRecord ProfileEvaluator::WithUncertainty(ProfileRecord record) const
{
    if (!uncertainty_ || !record.Ok) return record;
    NoProgress quiet;
    UncertaintyResult result;
    if (SimulateUncertainty(doc_.Profile, doc_.Settings, doc_.Result, *uncertainty_, quiet, result) ==
        UncertaintyStatus::Done)
        record.Uncertainty = std::move(result);
    return record;
}

ProfileRecord ProfileEvaluator::Evaluate(const std::string& path)
{
    ui_.Messages.clear();
    doc_.OpenProfile(path);
    // The document keeps the previous file's profile after some refusals;
    // only a read and an analysis without a message count. A profile whose
    // results would overflow is refused by the document with its own message.
    if (!ui_.Messages.empty()) return FailedRecord(path, ui_.Messages.front());
    if (!doc_.DataLoaded || !doc_.AnalysisValid || doc_.Profile.PathName != path)
        return FailedRecord(path, "Cannot open the file.");
    return WithUncertainty(RecordOfDocument(doc_, path));
}

ProfileRecord ProfileEvaluator::DemonstrationRecord() const
{
    if (!doc_.AnalysisValid) return FailedRecord({}, "The demonstration profile could not be analysed.");
    return WithUncertainty(RecordOfDocument(doc_, doc_.Profile.PathName));
}

} // namespace kyklos
