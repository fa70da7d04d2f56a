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
    std::vector<std::string> Messages;
    void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }
    std::optional<std::string> ChooseFileToOpen(std::string_view) override { return std::nullopt; }
    std::optional<int> ChooseReference(int) override { return std::nullopt; }
    std::optional<int> ChooseFilterIndex(int) override { return std::nullopt; }
    void UpdateAllViews() override {}
};

// One worker's document: reads, analyses and evaluates profiles with the
// run's settings, one after the other.
class ProfileEvaluator {
public:
    // noise: the generator of the demonstration profile the document is
    // made with; the process-wide one gives the window's demonstration.
    // uncertainty: simulate the uncertainty of every analysis it gives.
    explicit ProfileEvaluator(const AnalysisSettings& settings, GaussianNoiseSource* noise = nullptr,
                              std::optional<UncertaintyRequest> uncertainty = std::nullopt);
    ProfileEvaluator(const ProfileEvaluator&) = delete;
    ProfileEvaluator& operator=(const ProfileEvaluator&) = delete;

    // Reads, analyses and evaluates `path`. The record is ok when the
    // document (its evaluation included) holds its results.
    ProfileRecord Evaluate(const std::string& path);
    // The record of the demonstration profile the document was made with.
    ProfileRecord DemonstrationRecord() const;
    const CKyklosDoc& Document() const { return doc_; }
    // How the tables among the files are read; a table that does not fit is that file's error.
    void SetTableReading(const TableOptions& options) { doc_.TableReading = options; }

private:
    ProfileRecord WithUncertainty(ProfileRecord record) const;

    CollectingUi ui_;
    std::optional<UncertaintyRequest> uncertainty_;
    // Each worker's own generator: the process-wide one stays untouched for
    // the demonstration profile, which is the same in every run.
    ClassicRandom random_;
    GaussianNoiseSource ownNoise_{random_};
    CKyklosDoc doc_;
};

} // namespace kyklos
