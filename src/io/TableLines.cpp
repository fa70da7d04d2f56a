#include "io/TableLines.h"

#include "io/TableNumber.h"
#include "platform/TextEncoding.h"

#include <algorithm>

namespace kyklos {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Cleaned(std::string_view field)
{
    field = Trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    return field;
}

// Joins each field that starts with a bracket to the one before it; the
// fields lie in one line, so the joined field is the text from the first to
// the end of the second.
void JoinUnits(std::vector<std::string_view>& fields)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view field = fields[i];
        if (kept > 0 && !field.empty() && (field.front() == '[' || field.front() == '(')) {
            const std::string_view previous = fields[kept - 1];
            fields[kept - 1] = std::string_view(
                previous.data(), static_cast<std::size_t>(field.data() + field.size() - previous.data()));
        } else {
            fields[kept++] = field;
        }
    }
    fields.resize(kept);
}

} // namespace

std::vector<TableLine> ContentLines(std::string_view bytes, std::size_t limit)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::vector<TableLine> lines;
    lines.reserve(std::min(limit, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1));
    int number = 0;
    std::size_t start = 0;
    std::size_t lineFeed = bytes.find('\n'); // the next one from start on; kept, so that a file of CRs is read once
    while (start < bytes.size()) {
        // A line ends at LF, or at a CR that no LF follows at once.
        if (lineFeed < start) lineFeed = bytes.find('\n', start);
        std::size_t end = std::min(lineFeed, bytes.size());
        if (const std::size_t cr = bytes.substr(start, end - start).find('\r'); cr != std::string_view::npos)
            end = start + cr;
        const std::string_view text = bytes.substr(start, end - start);
        ++number;
        const std::string_view trimmed = Trimmed(text);
        if (!trimmed.empty() && trimmed.front() != '#') {
            if (lines.size() == limit) break;
            lines.push_back({text, number});
        }
        start = end;
        if (start < bytes.size()) {
            const bool crLf = bytes[start] == '\r' && start + 1 < bytes.size() && bytes[start + 1] == '\n';
            start += crLf ? 2 : 1;
        }
    }
    return lines;
}

char DelimiterCharacter(TableDelimiter delimiter)
{
    switch (delimiter) {
    case TableDelimiter::Semicolon: return ';';
    case TableDelimiter::Tab: return '\t';
    case TableDelimiter::Space: return ' ';
    case TableDelimiter::Comma: break;
    }
    return ',';
}

void SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields, bool joinUnits)
{
    fields.clear();
    if (delimiter == '\0') {
        fields.push_back(Cleaned(line));
        return;
    }
    if (delimiter == ' ') {
        line = Trimmed(line);
        while (!line.empty()) {
            std::size_t end = 0;
            while (end < line.size() && !IsBlank(line[end])) ++end;
            fields.push_back(Cleaned(line.substr(0, end)));
            line = Trimmed(line.substr(end));
        }
        if (joinUnits) JoinUnits(fields);
        return;
    }
    while (true) {
        const std::size_t end = line.find(delimiter);
        fields.push_back(Cleaned(line.substr(0, end)));
        if (end == std::string_view::npos) break;
        line.remove_prefix(end + 1);
    }
    if (fields.size() > 1 && fields.back().empty()) fields.pop_back();
}

std::string ShownField(std::string_view field)
{
    constexpr std::size_t kShown = 40;
    if (field.size() <= kShown) return DisplayText(field);
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) --cut;
    return DisplayText(field.substr(0, cut)) + "\u2026";
}

char DecimalSignOf(std::string_view field, char delimiter)
{
    return delimiter != ',' && field.find(',') != std::string_view::npos ? ',' : '.';
}

bool IsNumberRow(const std::vector<std::string_view>& fields, char decimalSign, char delimiter)
{
    if (fields.empty()) return false;
    for (const std::string_view field : fields)
        if (!ParseTableNumber(field, decimalSign != '\0' ? decimalSign : DecimalSignOf(field, delimiter))) return false;
    return true;
}

std::optional<char> FindDelimiter(const std::vector<TableLine>& lines, std::optional<DecimalSign> decimal)
{
    const char sign = !decimal ? '\0' : *decimal == DecimalSign::Comma ? ',' : '.';
    std::vector<std::string_view> fields;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        for (const char candidate : {'\t', ';', ',', ' '}) {
            if (candidate == ',' && sign == ',') continue;
            SplitFields(line->Text, candidate, fields);
            if (fields.size() >= 2 && IsNumberRow(fields, candidate == ',' ? '.' : sign, candidate)) return candidate;
        }
        SplitFields(line->Text, '\0', fields);
        if (IsNumberRow(fields, sign, '\0')) return '\0';
    }
    return std::nullopt;
}

} // namespace kyklos
