#pragma once
// The batch table as CSV (RFC 4180): one header row, one row per file, rows
// ending in CR LF, fields quoted when they hold a comma, a quote or a line
// break. Numbers are the shortest text that reads back exactly. The file
// column carries the path's bytes escaped (EscapedPathBytes), so that every
// row names its own file.

#include "cli/ProfileRecord.h"

#include <string>
#include <string_view>

namespace kyklos {

// A field, quoted and with its quotes doubled when it needs it.
std::string CsvField(std::string_view text);

// A text cell (a name, a message, an identification from the file). A
// spreadsheet runs a cell that starts with = + - @ (and after a tab or a
// carriage return) as a formula, so with guardFormulas such a cell gets a
// leading ' that the spreadsheet shows as text; numbers are no text cells.
std::string CsvTextField(std::string_view text, bool guardFormulas);

// withCircles: the true circles' columns too (a run with --circles).
std::string CsvHeader(bool metric, bool withCircles = false);
std::string CsvRow(const ProfileRecord& record, bool metric, bool guardFormulas = true, bool withCircles = false);

} // namespace kyklos
