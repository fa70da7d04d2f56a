#pragma once
// What the lines above a table's rows say. The column header, directly above
// the first row, names each column and its unit; the header block above it
// names the profile: its first line is the identification unless a line
// "part: …" or "identification: …" names it, the first line holding a date
// (or "date: …") gives the date text, and "nominal radius = R" the nominal
// radius in millimetres for deviations.

#include "io/TableLines.h"
#include "io/TableOptions.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

struct ColumnHeading {
    std::optional<TableColumn> Column; // the column it names; nothing for any other name
    bool Filtered = false;             // named filtered_…: written beside a profile, ignored on reading
    std::string Unit;                  // the unit as written (UTF-8), empty when none
};

// One field of a column header, as read (UTF-8 or Windows-1252): a name,
// any letter case, with an optional unit in brackets, in parentheses or
// after an underscore: "angle [deg]", "r (mm)", "dev [µm]", "x_mm",
// "Winkel [°]" (a unit, and a name that is none of the table's).
ColumnHeading ParseColumnHeading(std::string_view field);

struct HeaderBlock {
    std::string Identification; // bytes as read
    std::string DateText;       // bytes as read
    std::optional<double> NominalRadiusMm;
    std::string Message; // names a nominal radius that is no number; else empty
};

// The header block's lines (comments and blank lines left out) of a table
// with this delimiter, which also trims a spreadsheet's trailing ";;;".
HeaderBlock ReadHeaderBlock(std::span<const TableLine> lines, char delimiter);

// True for a text holding a calendar date: 2024-03-01, 01.03.2024, 3/1/24,
// 12 Nov 2026, March 1, 2024.
bool HoldsDate(std::string_view text);

} // namespace kyklos
