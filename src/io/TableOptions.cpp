#include "io/TableOptions.h"

#include "platform/TextCompare.h"
#include "platform/Units.h"

#include <initializer_list>
#include <utility>

namespace kyklos {

namespace {

template <typename T>
std::optional<T> Lookup(std::string_view word, std::initializer_list<std::pair<std::string_view, T>> table)
{
    for (const auto& [name, value] : table)
        if (EqualsIgnoreCase(word, name)) return value;
    return std::nullopt;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<TableColumn> ParseColumnName(std::string_view name)
{
    return Lookup<TableColumn>(name, {{"angle", TableColumn::Angle},
                                      {"theta", TableColumn::Angle},
                                      {"phi", TableColumn::Angle},
                                      {"radius", TableColumn::Radius},
                                      {"r", TableColumn::Radius},
                                      {"deviation", TableColumn::Deviation},
                                      {"dev", TableColumn::Deviation},
                                      {"x", TableColumn::X},
                                      {"y", TableColumn::Y}});
}

std::optional<std::vector<TableColumn>> ParseTableColumns(std::string_view text)
{
    std::vector<TableColumn> columns;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view name = Trimmed(text.substr(0, comma));
        if (name == "-") {
            columns.push_back(TableColumn::Skip);
        } else {
            const auto column = ParseColumnName(name);
            if (!column) return std::nullopt;
            columns.push_back(*column);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return columns;
}

std::optional<TableDelimiter> ParseTableDelimiter(std::string_view word)
{
    return Lookup<TableDelimiter>(word, {{"comma", TableDelimiter::Comma},
                                         {"semicolon", TableDelimiter::Semicolon},
                                         {"tab", TableDelimiter::Tab},
                                         {"space", TableDelimiter::Space}});
}

std::optional<DecimalSign> ParseDecimalSign(std::string_view word)
{
    return Lookup<DecimalSign>(word, {{"point", DecimalSign::Point}, {"comma", DecimalSign::Comma}});
}

std::optional<AngleUnit> ParseAngleUnit(std::string_view word)
{
    return Lookup<AngleUnit>(word, {{"deg", AngleUnit::Degree},
                                    {"degree", AngleUnit::Degree},
                                    {"degrees", AngleUnit::Degree},
                                    {"\u00B0", AngleUnit::Degree},
                                    {"rad", AngleUnit::Radian},
                                    {"grad", AngleUnit::Grad}});
}

std::optional<AngleDirection> ParseAngleDirection(std::string_view word)
{
    return Lookup<AngleDirection>(word, {{"ccw", AngleDirection::CounterClockwise}, {"cw", AngleDirection::Clockwise}});
}

std::optional<LengthUnit> ParseLengthUnit(std::string_view word)
{
    // The micro sign (U+00B5) and the Greek small mu (U+03BC) both appear in headers.
    return Lookup<LengthUnit>(word, {{"mm", LengthUnit::Millimetre},
                                     {"um", LengthUnit::Micrometre},
                                     {"\u00B5m", LengthUnit::Micrometre},
                                     {"\u03BCm", LengthUnit::Micrometre},
                                     {"in", LengthUnit::Inch},
                                     {"uin", LengthUnit::Microinch},
                                     {"\u00B5in", LengthUnit::Microinch},
                                     {"\u03BCin", LengthUnit::Microinch}});
}

std::string_view ColumnName(TableColumn column)
{
    switch (column) {
    case TableColumn::Angle: return "angle";
    case TableColumn::Radius: return "radius";
    case TableColumn::Deviation: return "deviation";
    case TableColumn::X: return "x";
    case TableColumn::Y: return "y";
    case TableColumn::Skip: break;
    }
    return "-";
}

std::string TableColumnsText(const std::vector<TableColumn>& columns)
{
    std::string text;
    for (const TableColumn column : columns) {
        if (!text.empty()) text += ',';
        text += ColumnName(column);
    }
    return text;
}

std::string_view AngleUnitWord(AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Radian: return "rad";
    case AngleUnit::Grad: return "grad";
    case AngleUnit::Degree: break;
    }
    return "deg";
}

std::string_view LengthUnitWord(LengthUnit unit)
{
    switch (unit) {
    case LengthUnit::Micrometre: return "\u00B5m";
    case LengthUnit::Inch: return "in";
    case LengthUnit::Microinch: return "\u00B5in";
    case LengthUnit::Millimetre: break;
    }
    return "mm";
}

double TurnIn(AngleUnit unit)
{
    switch (unit) {
    case AngleUnit::Radian: return 2.0 * 3.141592653589793;
    case AngleUnit::Grad: return 400.0;
    case AngleUnit::Degree: break;
    }
    return 360.0;
}

double MillimetresPer(LengthUnit unit)
{
    switch (unit) {
    // The factor of the .kyk reader, so that micrometres read alike from either file.
    case LengthUnit::Micrometre: return kMillimetresPerMicrometre;
    case LengthUnit::Inch: return 25.4;
    case LengthUnit::Microinch: return 25.4e-6;
    case LengthUnit::Millimetre: break;
    }
    return 1.0;
}

} // namespace kyklos
