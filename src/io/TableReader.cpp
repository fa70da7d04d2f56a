#include "io/TableReader.h"

#include "io/RegularFile.h"
#include "io/TableHeader.h"
#include "io/TableLines.h"
#include "io/TableRows.h"
#include "platform/NumberText.h"
#include "platform/PathParts.h"
#include "platform/TextCompare.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <span>

#include <sys/stat.h>

namespace kyklos {

namespace {

// Where the parts of a table lie among its content lines.
struct TableParts {
    char Delimiter = ',';
    char Decimal = '\0';
    std::size_t ColumnCount = 0;
    std::size_t FirstRow = 0;       // the first row of numbers
    std::size_t HeaderBlockEnd = 0; // the column header, or the first row when there is none
    std::vector<std::string_view> ColumnHeader;
};

std::string CountOf(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Quoted(std::string_view unit, std::size_t column, int line)
{
    return "Line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ": \"" + ShownField(unit) + "\"";
}

// The delimiter, the decimal sign and the first row of numbers. False when
// no line is one.
bool FindRows(const std::vector<TableLine>& lines, const TableOptions& options, TableParts& parts)
{
    if (options.Delimiter) {
        parts.Delimiter = DelimiterCharacter(*options.Delimiter);
    } else {
        const auto found = FindDelimiter(lines, options.Decimal);
        if (!found) return false;
        parts.Delimiter = *found;
    }
    if (options.Decimal)
        parts.Decimal = *options.Decimal == DecimalSign::Comma ? ',' : '.';
    else if (parts.Delimiter == ',')
        parts.Decimal = '.';
    std::vector<std::string_view> fields;
    for (parts.FirstRow = 0; parts.FirstRow < lines.size(); ++parts.FirstRow) {
        SplitFields(lines[parts.FirstRow].Text, parts.Delimiter, fields);
        if (IsNumberRow(fields, parts.Decimal, parts.Delimiter)) break;
    }
    if (parts.FirstRow == lines.size()) return false;
    parts.ColumnCount = fields.size();
    parts.HeaderBlockEnd = parts.FirstRow;
    if (parts.FirstRow > 0) {
        SplitFields(lines[parts.FirstRow - 1].Text, parts.Delimiter, parts.ColumnHeader, true);
        if (parts.ColumnHeader.size() == parts.ColumnCount)
            parts.HeaderBlockEnd = parts.FirstRow - 1;
        else
            parts.ColumnHeader.clear();
    }
    return true;
}

std::optional<TableDelimiter> DelimiterOf(char delimiter)
{
    switch (delimiter) {
    case ',': return TableDelimiter::Comma;
    case ';': return TableDelimiter::Semicolon;
    case '\t': return TableDelimiter::Tab;
    case ' ': return TableDelimiter::Space;
    default: return std::nullopt;
    }
}

TablePreview MakePreview(const std::vector<TableLine>& lines, const TableParts& parts)
{
    TablePreview preview;
    preview.ColumnCount = static_cast<int>(parts.ColumnCount);
    preview.Delimiter = DelimiterOf(parts.Delimiter);
    static constexpr const char* kDelimiterNames[] = {"comma", "semicolon", "tab", "space"};
    preview.HeaderShape =
        std::string(preview.Delimiter ? kDelimiterNames[static_cast<int>(*preview.Delimiter)] : "none") + "|" +
        std::to_string(parts.ColumnCount);
    for (const std::string_view field : parts.ColumnHeader) {
        preview.ColumnHeader.push_back(DisplayText(field));
        std::string lower = preview.ColumnHeader.back();
        for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        preview.HeaderShape += "|" + lower;
    }
    char decimal = parts.Decimal;
    std::vector<std::string_view> fields;
    for (std::size_t i = parts.FirstRow; i < lines.size() && preview.FirstRows.size() < kPreviewRows; ++i) {
        SplitFields(lines[i].Text, parts.Delimiter, fields);
        auto& row = preview.FirstRows.emplace_back();
        for (const std::string_view field : fields) {
            row.push_back(DisplayText(field));
            if (decimal == '\0' && field.find(',') != std::string_view::npos && parts.Delimiter != ',') decimal = ',';
            if (decimal == '\0' && field.find('.') != std::string_view::npos) decimal = '.';
        }
    }
    if (decimal != '\0') preview.Decimal = decimal == ',' ? DecimalSign::Comma : DecimalSign::Point;
    return preview;
}

// The layout of the columns, as given or as the column header names them.
std::string SettleColumns(const TableOptions& options, const std::vector<ColumnHeading>& headings,
                          TableReadResult& result, std::vector<TableColumn>& columns)
{
    const auto count = static_cast<std::size_t>(result.Preview.ColumnCount);
    if (options.Columns) {
        if (options.Columns->size() != count)
            return "The table has " + CountOf(count, "column", "columns") + "; --columns names " +
                   std::to_string(options.Columns->size()) + ".";
        columns = *options.Columns;
    } else if (result.Preview.ColumnsNamed) {
        for (const ColumnHeading& heading : headings)
            columns.push_back(heading.Filtered ? TableColumn::Skip : *heading.Column);
    } else {
        result.ColumnsUnnamed = true;
        return "The table's columns are not named; give --columns.";
    }
    int tally[6] = {};
    for (const TableColumn column : columns) ++tally[static_cast<int>(column)];
    const auto has = [&](TableColumn column) { return tally[static_cast<int>(column)]; };
    const int used = has(TableColumn::Angle) + has(TableColumn::Radius) + has(TableColumn::Deviation) +
                     has(TableColumn::X) + has(TableColumn::Y);
    const bool layout = (used == 2 && has(TableColumn::Angle) == 1 &&
                         (has(TableColumn::Radius) == 1 || has(TableColumn::Deviation) == 1)) ||
                        (used == 2 && has(TableColumn::X) == 1 && has(TableColumn::Y) == 1) ||
                        (used == 1 && has(TableColumn::Radius) == 1);
    if (!layout) return "The columns must be angle and radius, angle and deviation, x and y, or radius alone.";
    return {};
}

// The units of the columns read: the options', else the column header's, else the defaults.
std::string SettleUnits(const TableOptions& options, const std::vector<ColumnHeading>& headings, int headerLine,
                        TableLayout& layout)
{
    layout.Angles = options.AngleUnits.value_or(AngleUnit::Degree);
    layout.MillimetresPerUnit.assign(layout.Columns.size(), 1.0);
    for (std::size_t c = 0; c < layout.Columns.size(); ++c) {
        const TableColumn column = layout.Columns[c];
        if (column == TableColumn::Skip) continue;
        const std::string unit = headings.empty() ? std::string() : headings[c].Unit;
        if (column == TableColumn::Angle) {
            if (options.AngleUnits || unit.empty()) continue;
            const auto angles = ParseAngleUnit(unit);
            if (!angles) return Quoted(unit, c, headerLine) + " is not a unit of angle.";
            layout.Angles = *angles;
            continue;
        }
        LengthUnit lengths = column == TableColumn::Deviation ? LengthUnit::Micrometre : LengthUnit::Millimetre;
        if (options.LengthUnits) {
            lengths = *options.LengthUnits;
        } else if (!unit.empty()) {
            const auto parsed = ParseLengthUnit(unit);
            if (!parsed) return Quoted(unit, c, headerLine) + " is not a unit of length.";
            lengths = *parsed;
        }
        layout.MillimetresPerUnit[c] = MillimetresPer(lengths);
    }
    return {};
}

std::string UnitOf(const TableLayout& layout, std::size_t column)
{
    const double factor = layout.MillimetresPerUnit[column];
    for (const LengthUnit unit :
         {LengthUnit::Millimetre, LengthUnit::Micrometre, LengthUnit::Inch, LengthUnit::Microinch})
        if (MillimetresPer(unit) == factor) return std::string(LengthUnitWord(unit));
    return {};
}

// "CSV table: angle (deg, clockwise), deviation (µm) from 12.5 mm"
std::string Describe(std::string_view fileType, const TableLayout& layout)
{
    std::string text = std::string(fileType) + ":";
    const char* separator = " ";
    for (std::size_t c = 0; c < layout.Columns.size(); ++c) {
        const TableColumn column = layout.Columns[c];
        if (column == TableColumn::Skip) continue;
        text += separator + std::string(ColumnName(column)) + " (";
        separator = ", ";
        if (column == TableColumn::Angle) {
            text += std::string(AngleUnitWord(layout.Angles));
            if (layout.Direction == AngleDirection::Clockwise) text += ", clockwise";
            text += ")";
            continue;
        }
        text += UnitOf(layout, c) + ")";
        if (column == TableColumn::Deviation) text += " from " + ShortestNumber(layout.NominalRadiusMm) + " mm";
    }
    return text;
}

TableReadResult Refused(TableReadResult result, std::string message)
{
    result.Message = std::move(message);
    result.Read.reset();
    return result;
}

} // namespace

bool IsTableFileName(std::string_view path)
{
    const std::string extension = SplitPath(path).extension;
    for (const char* table : {".csv", ".txt", ".tsv", ".dat"})
        if (EqualsIgnoreCase(extension, table)) return true;
    return false;
}

TableReadResult ReadTableText(std::string_view bytes, const TableOptions& options, std::string_view fileType)
{
    TableReadResult result;
    if (options.Decimal == DecimalSign::Comma && options.Delimiter == TableDelimiter::Comma)
        return Refused(std::move(result), "A decimal comma needs a delimiter other than the comma.");
    // One line more than a table may have tells that it has too many.
    constexpr std::size_t kMaxLines = static_cast<std::size_t>(kMaxTableHeaderLines) + kMaxTableRows + 2;
    const std::vector<TableLine> lines = ContentLines(bytes, kMaxLines);
    TableParts parts;
    if (!FindRows(lines, options, parts)) return Refused(std::move(result), "The table has no rows.");
    if (parts.FirstRow > static_cast<std::size_t>(kMaxTableHeaderLines))
        return Refused(std::move(result), "The table has more than 10000 lines above its rows.");
    if (lines.size() == kMaxLines) return Refused(std::move(result), "The table has more than 36000 rows.");
    result.Preview = MakePreview(lines, parts);

    std::vector<ColumnHeading> headings;
    for (const std::string_view field : parts.ColumnHeader) headings.push_back(ParseColumnHeading(field));
    result.Preview.ColumnsNamed =
        !headings.empty() && std::all_of(headings.begin(), headings.end(), [](const ColumnHeading& heading) {
            return heading.Filtered || heading.Column.has_value();
        });
    TableLayout layout;
    layout.Delimiter = parts.Delimiter;
    layout.Decimal = parts.Decimal;
    layout.Direction = options.Direction;
    if (std::string message = SettleColumns(options, headings, result, layout.Columns); !message.empty())
        return Refused(std::move(result), message);
    const int headerLine = parts.HeaderBlockEnd < parts.FirstRow ? lines[parts.HeaderBlockEnd].Number : 0;
    if (std::string message = SettleUnits(options, headings, headerLine, layout); !message.empty())
        return Refused(std::move(result), message);

    const HeaderBlock block =
        ReadHeaderBlock(std::span<const TableLine>(lines).first(parts.HeaderBlockEnd), parts.Delimiter);
    const bool deviations =
        std::find(layout.Columns.begin(), layout.Columns.end(), TableColumn::Deviation) != layout.Columns.end();
    if (deviations && !options.NominalRadiusMm) {
        if (!block.Message.empty()) return Refused(std::move(result), block.Message);
        if (!block.NominalRadiusMm)
            return Refused(std::move(result), "The deviations need a nominal radius (--nominal).");
    }
    layout.NominalRadiusMm = options.NominalRadiusMm.value_or(block.NominalRadiusMm.value_or(0.0));

    Profile profile;
    const auto rows = std::span<const TableLine>(lines).subspan(parts.FirstRow);
    if (std::string message = ReadTableRows(rows, layout, profile); !message.empty())
        return Refused(std::move(result), message);
    if (layout.Decimal != '\0')
        result.Preview.Decimal = layout.Decimal == ',' ? DecimalSign::Comma : DecimalSign::Point;
    profile.Identification = block.Identification;
    profile.DateText = block.DateText;
    profile.SourceFormat = "table";
    profile.Columns = TableColumnsText(layout.Columns);
    profile.SourceDescription = Describe(fileType, layout);
    result.Read = std::move(profile);
    return result;
}

TableReadResult ReadTableFile(const std::string& path, const TableOptions& options)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularFile(path), &std::fclose);
    TableReadResult result;
    if (!file) return Refused(std::move(result), "Cannot open the file.");
    std::string bytes;
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) == 0 && info.st_size > 0) {
        if (static_cast<std::size_t>(info.st_size) > kMaxTableFileBytes)
            return Refused(std::move(result), "The file is too large for a table.");
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        bytes.append(buffer, got);
        if (bytes.size() > kMaxTableFileBytes) return Refused(std::move(result), "The file is too large for a table.");
    }
    const std::string extension = SplitPath(path).extension;
    std::string fileType = "Table";
    for (const auto& [ending, type] : {std::pair{".csv", "CSV table"}, std::pair{".tsv", "TSV table"},
                                       std::pair{".txt", "Text table"}, std::pair{".dat", "Data table"}})
        if (EqualsIgnoreCase(extension, ending)) fileType = type;
    result = ReadTableText(bytes, options, fileType);
    if (result.Read) {
        result.Read->PathName = path;
        result.Read->FileTitle = SplitPath(path).name;
    }
    return result;
}

} // namespace kyklos
