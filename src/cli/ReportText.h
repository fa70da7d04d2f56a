#pragma once
// What kyklos-report prints about an analysed document: a JSON object with
// the document's members, or a short results block in the report's wording.
// Every text taken from a file or a file name goes through DisplayText, so
// the output is valid UTF-8 whatever bytes the file carried.

#include "document/KyklosDoc.h"

#include <nlohmann/json.hpp>
#include <string>

namespace kyklos {

// Every member of the profile and its results, in the document's units
// (millimetres, radians; the eccentricity angle in degrees), plus Roundness
// and Concentricity as the report computes them. withSamples adds the raw and
// filtered profiles.
nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples);

// The record of a file that could not be evaluated: "ok": false, its path and
// the message the window would show.
nlohmann::ordered_json FailureJson(const std::string& path, const std::string& message);

// The JSON text: indented by `indent` spaces per level, or compact on one line
// when indent < 0. Bytes that are not UTF-8 become U+FFFD instead of failing.
std::string JsonText(const nlohmann::ordered_json& j, int indent);

// The report's result rows as text, in micrometres (or microinches).
std::string ResultsText(const CKyklosDoc& doc, bool metric);

// The text block of a file that could not be evaluated.
std::string FailureText(const std::string& path, const std::string& message);

} // namespace kyklos
