#pragma once
// How a profile table is read: the choices of kyklos-report's --columns,
// --delimiter, --decimal, --angle-unit, --angle-direction, --length-unit and
// --nominal, or of the Import dialog, one field each. A field left empty is
// found from the file (its column header, header block and numbers) or takes
// its default: degrees, counter-clockwise, millimetres for radii and points,
// micrometres for deviations.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

// What one column of a table holds; Skip is a column that is not read ("-").
enum class TableColumn {
    Skip,
    Angle,
    Radius,
    Deviation, // from a nominal radius
    X,
    Y,
};

enum class TableDelimiter {
    Comma,
    Semicolon,
    Tab,
    Space, // a run of spaces
};

enum class DecimalSign {
    Point,
    Comma, // only where the delimiter is not a comma
};

enum class AngleUnit {
    Degree,
    Radian,
    Grad, // 400 to the turn
};

enum class AngleDirection {
    CounterClockwise,
    Clockwise,
};

enum class LengthUnit {
    Millimetre,
    Micrometre,
    Inch,
    Microinch,
};

struct TableOptions {
    std::optional<std::vector<TableColumn>> Columns;             // --columns: one entry per column of the table
    std::optional<TableDelimiter> Delimiter;                     // --delimiter
    std::optional<DecimalSign> Decimal;                          // --decimal
    std::optional<AngleUnit> AngleUnits;                         // --angle-unit, over the column header's unit
    AngleDirection Direction = AngleDirection::CounterClockwise; // --angle-direction
    std::optional<LengthUnit> LengthUnits;                       // --length-unit, over the column header's units
    std::optional<double> NominalRadiusMm;                       // --nominal, over the header block's nominal radius
};

// The option words, any letter case. Nothing for a word that is none of them.
// Columns: names separated by commas: angle (theta, phi), radius (r),
// deviation (dev), x, y, or - for a column that is skipped ("-,angle,radius").
std::optional<std::vector<TableColumn>> ParseTableColumns(std::string_view text);
std::optional<TableColumn> ParseColumnName(std::string_view name);        // one name, "-" not included
std::optional<TableDelimiter> ParseTableDelimiter(std::string_view word); // comma|semicolon|tab|space
std::optional<DecimalSign> ParseDecimalSign(std::string_view word);       // point|comma
std::optional<AngleUnit> ParseAngleUnit(std::string_view word);           // deg|rad|grad, also ° and degree(s)
std::optional<AngleDirection> ParseAngleDirection(std::string_view word); // ccw|cw
std::optional<LengthUnit> ParseLengthUnit(std::string_view word);         // mm|um|µm|in|uin|µin

// Columns as --columns takes them: "angle,radius", "-,x,y".
std::string TableColumnsText(const std::vector<TableColumn>& columns);
std::string_view ColumnName(TableColumn column);
std::string_view AngleUnitWord(AngleUnit unit);   // deg, rad, grad
std::string_view LengthUnitWord(LengthUnit unit); // mm, µm, in, µin

// One unit in the units inside: a full turn in the unit, millimetres per unit.
double TurnIn(AngleUnit unit);
double MillimetresPer(LengthUnit unit);

} // namespace kyklos
