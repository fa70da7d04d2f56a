#pragma once
// One worker's document: reads a profile file, analyses and evaluates it with
// the run's settings and tells whether it gave results. The document (two
// arrays of 36000 samples) is made once and refilled for every file.

#include "cli/ProfileRecord.h"
#include "document/GaussianNoiseSource.h"
#include "document/KyklosDoc.h"
#include "platform/ClassicRandom.h"
#include "platform/UiPort.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

// The messages the document would show in a box, kept for the record.
class CollectingUi final : public UiPort {
public:
    std::vector<std::string> messages;
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> ChooseFileToOpen(std::string_view) override { return std::nullopt; }
    std::optional<int> ChooseReference(int) override { return std::nullopt; }
    std::optional<int> ChooseFilterIndex(int) override { return std::nullopt; }
    void UpdateAllViews() override {}
};

// The evaluation beyond the page of an analysed document, copied into its
// record as well; the harmonics only when asked for (they cost two spectra).
RoundnessEvaluation EvaluateRecord(ProfileRecord& record, const CKyklosDoc& doc,
                                   const std::optional<GivenTolerance>& tolerance, bool withHarmonics);

class ProfileEvaluator {
public:
    ProfileEvaluator(int referenceKind, int cutoffUpr, std::optional<GivenTolerance> tolerance, bool withHarmonics);
    ProfileEvaluator(const ProfileEvaluator&) = delete;
    ProfileEvaluator& operator=(const ProfileEvaluator&) = delete;

    // Reads, analyses and evaluates `path`. The record is ok when the
    // document and the evaluation hold its results.
    ProfileRecord Evaluate(const std::string& path);
    const CKyklosDoc& Document() const { return doc_; }
    const RoundnessEvaluation& Evaluation() const { return evaluation_; }

private:
    CollectingUi ui_;
    // Each worker's own generator: the process-wide one stays untouched for
    // the demonstration profile, which is the same in every run.
    ClassicRandom random_;
    GaussianNoiseSource noise_{random_};
    CKyklosDoc doc_;
    std::optional<GivenTolerance> tolerance_;
    bool withHarmonics_;
    RoundnessEvaluation evaluation_;
};

} // namespace kyklos
