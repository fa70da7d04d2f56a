#pragma once
// kyklos-report's uncertainty: the model as --uncertainty states it, and the
// simulated uncertainty in the JSON record, the table's three columns and
// the text block's rows beside the verdict.

#include "cli/ProfileRecord.h"
#include "document/Uncertainty.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

// "noise=0.05,angle=0.01,calibration=0.02,resolution=0.001": lengths in
// micrometres (microinches when not metric), the angle in degrees; a key
// left out is 0. The model in micrometres and degrees, or nothing with
// `error` saying why (an unknown or repeated key, a value that is not a
// number of 0 or more).
std::optional<UncertaintyModel> ParseUncertaintyModel(std::string_view text, bool metric, std::string& error);

// "Uncertainty": draws, seed, the model (mm, the angle in degrees) and per
// reference every quantity's statistics (mm); null for a reference without
// a valid fit. The expanded uncertainty and the decision are the selected
// reference's.
nlohmann::ordered_json UncertaintyJson(const UncertaintyResult& uncertainty);

// The table's columns after the others: u_ront, expanded_u_ront (µm or µin)
// and decision; empty cells for a record without an uncertainty.
std::string UncertaintyCsvHeader(bool metric);
std::string UncertaintyCsvCells(const ProfileRecord& record, bool metric);
// A CSV line (ending in CR LF) with `cells` added at its end.
std::string AppendCsvCells(std::string line, const std::string& cells);

// The text block's rows: U of the selected reference's RONt and, with a
// tolerance, the decision beside the verdict.
std::string UncertaintyText(const UncertaintyResult& uncertainty, bool metric);

} // namespace kyklos
