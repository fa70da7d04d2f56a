#include "cli/CsvTable.h"

#include "cli/PathBytes.h"
#include "platform/NumberText.h"

namespace kyklos {

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvTextField(std::string_view text, bool guardFormulas)
{
    if (guardFormulas && !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        return CsvField("'" + std::string(text));
    return CsvField(text);
}

std::string CsvHeader(bool metric, bool withCircles)
{
    std::string line;
    for (const RecordColumn& column : RecordColumns(withCircles)) {
        if (!line.empty()) line += ',';
        line += ColumnName(column, metric);
    }
    return line + "\r\n";
}

std::string CsvRow(const ProfileRecord& record, bool metric, bool guardFormulas, bool withCircles)
{
    std::string line;
    bool first = true;
    for (const RecordColumn& column : RecordColumns(withCircles)) {
        if (!first) line += ',';
        first = false;
        switch (column.Kind) {
        case ColumnKind::Path: line += CsvTextField(EscapedPathBytes(record.*column.Text), guardFormulas); break;
        case ColumnKind::Text: line += CsvTextField(record.*column.Text, guardFormulas); break;
        case ColumnKind::Flag: line += record.Ok ? "true" : "false"; break;
        case ColumnKind::Verdict:
            if (record.Pass) line += *record.Pass ? "Pass" : "Fail";
            break;
        default:
            if (const auto value = ColumnValue(column, record, metric)) line += ShortestNumber(*value);
            break;
        }
    }
    return line + "\r\n";
}

} // namespace kyklos
