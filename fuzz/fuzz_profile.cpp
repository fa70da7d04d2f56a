// Arbitrary bytes as a .kyk profile file: the reader must refuse or accept
// them without crashing, hanging or reading past its arrays, and an accepted
// profile must analyse with every reference, giving finite results or none,
// and its evaluation (four references, parameters, spectrum) finite numbers.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
class SilentUi final : public kyklos::UiPort {
public:
    void ShowMessage(std::string_view) override {}
    std::optional<std::string> ChooseFileToOpen(std::string_view) override { return std::nullopt; }
    std::optional<int> ChooseReference(int) override { return std::nullopt; }
    std::optional<int> ChooseFilterIndex(int) override { return std::nullopt; }
    void UpdateAllViews() override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SilentUi ui;
    static kyklos::CKyklosDoc* doc = new kyklos::CKyklosDoc(&ui);
    static const std::string path = "/tmp/kyklos_fuzz_profile_" + std::to_string(getpid()) + ".kyk";

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    doc->FilterCutoffUpr = 500;  // the shortest kernel keeps runs fast
    doc->ReferenceKind = size % 4;
    if (doc->ReadProfileFile(path)) {
        if (doc->PointCount < 1 || doc->PointCount > kyklos::MaxProfilePoints) __builtin_trap();
        if (doc->AnalyzeProfile()) {
            const double results[] = {doc->Peak, doc->Valley, doc->Runout, doc->Eccentricity, doc->ReferenceC,
                                      doc->ZoneHalfWidth, doc->Peak - doc->Valley, doc->MaxRawRadius * 39370.08};
            for (const double value : results)
                if (!std::isfinite(value)) __builtin_trap();
            for (int i = 0; i < doc->PointCount; ++i)
                if (!std::isfinite(doc->FilteredRadius[static_cast<std::size_t>(i)])) __builtin_trap();
            // The evaluation beside the page: every number it reports is finite too.
            const kyklos::RoundnessEvaluation evaluation = kyklos::EvaluateRoundness(*doc, 1.0);
            if (!evaluation.Valid) __builtin_trap();
            for (const double value : {evaluation.RONp, evaluation.RONv, evaluation.RONq})
                if (!std::isfinite(value)) __builtin_trap();
            for (const auto& reference : evaluation.References)
                if (reference.RONt && !std::isfinite(*reference.RONt)) __builtin_trap();
            for (const auto& harmonic : evaluation.Harmonics)
                if (!std::isfinite(harmonic.Amplitude) || !std::isfinite(harmonic.FilteredAmplitude)) __builtin_trap();
        }
    }
    return 0;
}
