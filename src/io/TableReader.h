#pragma once
// Profile tables: the text files of roundness instruments, coordinate
// measuring machines and spreadsheets (.csv, .txt, .tsv, .dat), read into a
// Profile or refused with a message that names the place.
//
// A table holds angle and radius, angle and deviation from a nominal radius,
// x and y (points in a plane) or one column of radii at equal steps; see
// TableOptions.h for the choices and TableLines.h and TableHeader.h for its
// text. Angles are taken modulo one turn and sorted; a last row at a full
// turn equal to the row at 0 is dropped. Angles at equal steps from 0 to
// within 1e-6° make exactly a .kyk profile (sample i at i·(2π/N)); other
// angles make a profile at any angles (EqualSteps false). A refused table
// gives up nothing: the profile shown before stays.

#include "io/Profile.h"
#include "io/TableOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

// What the Import dialog shows of a table, as far as it was read.
struct TablePreview {
    std::vector<std::vector<std::string>> FirstRows; // the first rows of numbers, field by field (UTF-8)
    std::vector<std::string> ColumnHeader;           // the column header's fields (UTF-8); empty when none
    bool ColumnsNamed = false;                       // the header names every column: no --columns needed
    int ColumnCount = 0;
    std::optional<TableDelimiter> Delimiter; // as given or found; nothing for a single column
    std::optional<DecimalSign> Decimal;      // as given or found in the rows read; nothing when none showed
    // Tables of one layout share it (delimiter, column count and column
    // header in lower case), so that the dialog's choices can be remembered.
    std::string HeaderShape;
};

struct TableReadResult {
    std::optional<Profile> Read; // the profile when the whole table was read
    std::string Message;         // otherwise the message the user is shown
    // Refused only because neither the column header nor the options name
    // the columns: kyklos-report shows the message, the window asks.
    bool ColumnsUnnamed = false;
    TablePreview Preview;
};

// A file larger than this is refused before it is read.
inline constexpr std::size_t kMaxTableFileBytes = 64u << 20;
// Lines above the rows (header block, column header) a table may have.
inline constexpr int kMaxTableHeaderLines = 10000;
// Rows of numbers shown in the preview.
inline constexpr int kPreviewRows = 20;

// True for the extensions .csv, .txt, .tsv and .dat in any letter case.
bool IsTableFileName(std::string_view path);

// Reads a table file (only a regular file). The profile is named after the
// file as a .kyk profile is.
TableReadResult ReadTableFile(const std::string& path, const TableOptions& options);

// Reads the bytes of a table; `fileType` begins the source description
// ("CSV table").
TableReadResult ReadTableText(std::string_view bytes, const TableOptions& options, std::string_view fileType = "Table");

} // namespace kyklos
