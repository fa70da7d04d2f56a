#pragma once
// The rows of a table whose columns and units are known, made into a profile.

#include "io/KykFile.h"
#include "io/Profile.h"
#include "io/TableLines.h"
#include "io/TableOptions.h"

#include <span>
#include <string>
#include <vector>

namespace kyklos {

// The rows a table may have: the samples of a .kyk profile (and one closing
// row at a full turn).
inline constexpr int kMaxTableRows = kMaxKykPoints;

// A table's layout, as the column header and the options settle it.
struct TableLayout {
    std::vector<TableColumn> Columns; // one per column; Skip for a column not read
    char Delimiter = ',';             // as TableLines.h has it
    char Decimal = '\0';              // '.' or ','; '\0' until a row shows it
    AngleUnit Angles = AngleUnit::Degree;
    AngleDirection Direction = AngleDirection::CounterClockwise;
    std::vector<double> MillimetresPerUnit; // per column: the length unit of radii, deviations and points
    double NominalRadiusMm = 0.0;           // for deviations
};

// Reads the rows (from the first row of numbers on) into `profile`: its
// radii and angles, or its points. The message of the first fault, or "".
std::string ReadTableRows(std::span<const TableLine> rows, TableLayout& layout, Profile& profile);

} // namespace kyklos
