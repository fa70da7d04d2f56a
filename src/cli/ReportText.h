#pragma once
// What kyklos-report prints about an analysed document: a JSON object with
// the document's members, or a short results block in the report's wording.
// Every text taken from a file or a file name goes through DisplayText, so
// the output is valid UTF-8 whatever bytes the file carried.

#include "document/KyklosDoc.h"
#include "document/RoundnessEvaluation.h"
#include "document/Uncertainty.h"

#include <nlohmann/json.hpp>
#include <string>

namespace kyklos {

// How many harmonics the JSON lists by default, and the limit that lists them all.
inline constexpr int kDefaultHarmonicLimit = 500;
inline constexpr int kAllHarmonics = -1;

// The evaluation beyond the page, in the document's units (millimetres,
// radians; eccentricity angles in degrees): the four references, RONp, RONv,
// RONq, the tolerance, the verdict, the warnings and the harmonics
// k = 1 … min(⌊N/2⌋, harmonicLimit) (all of them for kAllHarmonics). A
// number that is not finite, and the RONt of a failed fit, is null.
nlohmann::ordered_json EvaluationJson(const RoundnessEvaluation& evaluation, int harmonicLimit);

// Every member of the profile and its results, in the document's units
// (millimetres, radians; the eccentricity angle in degrees), plus Roundness
// and Concentricity as the report shows them; then the document's
// evaluation as "Evaluation". withSamples adds the raw and filtered profiles.
nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples, int harmonicLimit = kDefaultHarmonicLimit);

// The record of a file that could not be evaluated: "ok": false, its path and
// the message the window would show.
nlohmann::ordered_json FailureJson(const std::string& path, const std::string& message);

// The JSON text: indented by `indent` spaces per level, or compact on one line
// when indent < 0. Bytes that are not UTF-8 become U+FFFD instead of failing.
std::string JsonText(const nlohmann::ordered_json& j, int indent);

// The report's result rows as text, in micrometres (or microinches), then
// the evaluation: RONt about the four references, RONp, RONv, RONq, the
// tolerance and its verdict, the five largest harmonics and the warnings.
// With an uncertainty, its expanded uncertainty and decision follow the verdict.
std::string ResultsText(const CKyklosDoc& doc, bool metric, const UncertaintyResult* uncertainty = nullptr);

// The text block of a file that could not be evaluated.
std::string FailureText(const std::string& path, const std::string& message);

} // namespace kyklos
