// Arbitrary bytes as a .kyk profile file: the reader must refuse or accept
// them without crashing, hanging or reading past its arrays, and an accepted
// profile must analyse with every reference, giving finite results or none,
// and its evaluation (four references, parameters, spectrum) finite numbers.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "io/KykFile.h"

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

    doc->Settings.FilterCutoffUpr = 500; // the shortest kernel keeps runs fast
    doc->Settings.ReferenceKind = kyklos::ReferenceKindFromIndex(static_cast<int>(size % 4));
    doc->Settings.Tolerance = kyklos::RoundnessTolerance{1.0, true};
    doc->OpenProfile(path);
    if (doc->DataLoaded) {
        if (doc->Profile.PointCount() < 1 || doc->Profile.PointCount() > kyklos::kMaxKykPoints) __builtin_trap();
        if (doc->AnalysisValid) {
            const kyklos::AnalysisResult& r = doc->Result;
            const double results[] = {r.Peak,       r.Valley,        r.Runout,          r.Eccentricity,
                                      r.ReferenceC, r.ZoneHalfWidth, r.Peak - r.Valley, r.MaxRawRadius * 39370.08};
            for (const double value : results)
                if (!std::isfinite(value)) __builtin_trap();
            for (const double value : r.FilteredRadius)
                if (!std::isfinite(value)) __builtin_trap();
            // The evaluation beside the page: every number it reports is finite too.
            const kyklos::RoundnessEvaluation& evaluation = r.Evaluation;
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
