#pragma once
// The lines of a profile table and the fields of a line.
//
// A file is bytes: a UTF-8 byte order mark is dropped, CR LF, LF and a lone
// CR each end a line, lines starting with # (after blanks) are comments
// anywhere, and blank lines say nothing. A field is trimmed of blanks and of
// one pair of double quotes around it.

#include "io/TableOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

struct TableLine {
    std::string_view Text; // without its line end
    int Number = 0;        // 1 for the file's first line, comments and blank lines counted
};

// The lines that are neither comments nor blank, at most `limit` of them
// (a table with more is refused all the same, and its lines are not held).
std::vector<TableLine> ContentLines(std::string_view bytes, std::size_t limit);

// The character between fields: ',', ';', '\t', ' ' (runs of blanks), or
// '\0' for a table of one column.
char DelimiterCharacter(TableDelimiter delimiter);

// Splits a line into `fields`. A delimiter that ends the line ends the last
// field (spreadsheets write "1;2;"). With `joinUnits`, a field that starts
// with "[" or "(" belongs to the field before it, as in the column header
// "angle [deg] radius [mm]" of a table whose delimiter is a run of spaces.
void SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields, bool joinUnits = false);

// A field as a message quotes it, in UTF-8: a long one by its first 40
// bytes (not cutting a character) and an ellipsis.
std::string ShownField(std::string_view field);

// The decimal sign of a field when the table has not fixed one: a comma
// where the delimiter is not one and the field holds one, else a full stop.
char DecimalSignOf(std::string_view field, char delimiter);

// True when every field is a number with the given decimal sign ('\0': as
// DecimalSignOf finds it).
bool IsNumberRow(const std::vector<std::string_view>& fields, char decimalSign, char delimiter);

// The delimiter of a table whose options give none: the first of tab,
// semicolon, comma and space that splits the last line of numbers into two
// or more numbers; '\0' when that line is a single number; nothing when no
// line is a row of numbers.
std::optional<char> FindDelimiter(const std::vector<TableLine>& lines, std::optional<DecimalSign> decimal);

} // namespace kyklos
