#pragma once
// What kyklos-report prints about an analysed document: a JSON object with
// the document's members, or a short results block in the report's wording.

#include "document/KyklosDoc.h"

#include <nlohmann/json.hpp>
#include <string>

namespace kyklos {

// Every member of the profile and its results, in the document's units
// (millimetres, radians; the eccentricity angle in degrees), plus Roundness
// and Concentricity as the report computes them. withSamples adds the raw and
// filtered profiles.
nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples);

// The report's result rows as text, in micrometres (or microinches).
std::string ResultsText(const CKyklosDoc& doc, bool metric);

} // namespace kyklos
