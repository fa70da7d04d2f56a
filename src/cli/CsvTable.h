#pragma once
// The batch table as CSV (RFC 4180): one header row, one row per file, rows
// ending in CR LF, fields quoted when they hold a comma, a quote or a line
// break. Numbers are the shortest text that reads back exactly.

#include "cli/ProfileRecord.h"

#include <string>
#include <string_view>

namespace kyklos {

// A field, quoted and with its quotes doubled when it needs it.
std::string CsvField(std::string_view text);

std::string CsvHeader(bool metric);
std::string CsvRow(const ProfileRecord& record, bool metric);

} // namespace kyklos
