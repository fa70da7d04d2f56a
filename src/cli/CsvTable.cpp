#include "cli/CsvTable.h"

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

std::string CsvHeader(bool metric)
{
    std::string line;
    for (const RecordColumn& column : RecordColumns()) {
        if (!line.empty()) line += ',';
        line += ColumnName(column, metric);
    }
    return line + "\r\n";
}

std::string CsvRow(const ProfileRecord& record, bool metric)
{
    std::string line;
    bool first = true;
    for (const RecordColumn& column : RecordColumns()) {
        if (!first) line += ',';
        first = false;
        switch (column.Kind) {
        case ColumnKind::Text: line += CsvField(record.*column.Text); break;
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
