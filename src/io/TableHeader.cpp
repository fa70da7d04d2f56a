#include "io/TableHeader.h"

#include "io/TableNumber.h"
#include "platform/TextCompare.h"
#include "platform/TextEncoding.h"

namespace kyklos {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view start)
{
    return text.size() >= start.size() && EqualsIgnoreCase(text.substr(0, start.size()), start);
}

// The unit in brackets or parentheses: "[deg]" of "angle [deg]"; the
// closing one may be missing.
bool SplitBracketedUnit(std::string_view text, ColumnHeading& heading, std::string_view& name)
{
    const std::size_t open = text.find_first_of("[(");
    if (open == std::string_view::npos) return false;
    const char close = text[open] == '[' ? ']' : ')';
    std::string_view unit = text.substr(open + 1);
    if (const std::size_t end = unit.find(close); end != std::string_view::npos) unit = unit.substr(0, end);
    heading.Unit = std::string(Trimmed(unit));
    name = Trimmed(text.substr(0, open));
    return true;
}

bool IsUnitWord(std::string_view word) { return ParseAngleUnit(word) || ParseLengthUnit(word); }

// A line "nominal radius = 12.5" (also ":", "[mm]", a trailing "mm"); false
// for any other line.
bool ReadNominalRadius(std::string_view text, char delimiter, const TableLine& line, HeaderBlock& block)
{
    constexpr std::string_view kKey = "nominal radius";
    if (!StartsWithIgnoreCase(text, kKey)) return false;
    std::string_view rest = Trimmed(text.substr(kKey.size()));
    if (StartsWithIgnoreCase(rest, "[mm]") || StartsWithIgnoreCase(rest, "(mm)")) rest = Trimmed(rest.substr(4));
    if (rest.empty() || (rest.front() != '=' && rest.front() != ':')) return false;
    rest = Trimmed(rest.substr(1));
    if (rest.size() >= 2 && EqualsIgnoreCase(rest.substr(rest.size() - 2), "mm"))
        rest = Trimmed(rest.substr(0, rest.size() - 2));
    const auto value = ParseTableNumber(rest, DecimalSignOf(rest, delimiter));
    if (value)
        block.NominalRadiusMm = *value;
    else if (block.Message.empty())
        block.Message = "Line " + std::to_string(line.Number) + ": the nominal radius \"" + ShownField(rest) +
                        "\" is not a number.";
    return true;
}

// A run of digits from `i`, advancing it; its length.
std::size_t DigitRun(std::string_view text, std::size_t& i)
{
    const std::size_t begin = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - begin;
}

// Three groups of digits joined by one of - . / : year first (2024-03-01) or last (01.03.2024, 3/1/24).
bool HoldsNumericDate(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i]) || (i > 0 && (IsDigit(text[i - 1]) || text[i - 1] == '.'))) continue;
        std::size_t j = i;
        const std::size_t first = DigitRun(text, j);
        if (j + 1 >= text.size() || (text[j] != '-' && text[j] != '.' && text[j] != '/')) continue;
        const char separator = text[j++];
        const std::size_t second = DigitRun(text, j);
        if (j + 1 >= text.size() || text[j] != separator) continue;
        ++j;
        const std::size_t third = DigitRun(text, j);
        if (j < text.size() && (text[j] == separator || text[j] == '.' || text[j] == ',') && j + 1 < text.size() &&
            IsDigit(text[j + 1]))
            continue;
        const bool yearFirst = first == 4 && second >= 1 && second <= 2 && third >= 1 && third <= 2;
        const bool yearLast = first >= 1 && first <= 2 && second >= 1 && second <= 2 && (third == 2 || third == 4);
        if (yearFirst || yearLast) return true;
    }
    return false;
}

// A month's name (or its first three letters) and a four-digit year.
bool HoldsNamedDate(std::string_view text)
{
    static constexpr std::string_view kMonths[] = {"january",   "february", "march",    "april",
                                                   "may",       "june",     "july",     "august",
                                                   "september", "october",  "november", "december"};
    bool month = false;
    bool year = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t begin = i;
        if (IsLetter(text[i])) {
            while (i < text.size() && IsLetter(text[i])) ++i;
            std::string word(text.substr(begin, i - begin));
            for (char& c : word) c = Lower(c);
            for (const std::string_view name : kMonths)
                if (word.size() >= 3 && name.substr(0, word.size()) == word) month = true;
        } else if (IsDigit(text[i])) {
            const bool fourDigits = DigitRun(text, i) == 4;
            year = year || fourDigits;
        } else {
            ++i;
        }
    }
    return month && year;
}

} // namespace

ColumnHeading ParseColumnHeading(std::string_view field)
{
    ColumnHeading heading;
    const std::string utf8 = DisplayText(field);
    const std::string_view text = Trimmed(utf8);
    if (StartsWithIgnoreCase(text, "filtered_") || StartsWithIgnoreCase(text, "filtered ")) {
        heading.Filtered = true;
        return heading;
    }
    std::string_view name = text;
    if (!SplitBracketedUnit(text, heading, name) && !ParseColumnName(text)) {
        // "x_mm", "angle_deg"; "part_no" stays a name.
        const std::size_t underscore = text.rfind('_');
        if (underscore != std::string_view::npos && IsUnitWord(text.substr(underscore + 1))) {
            heading.Unit = std::string(text.substr(underscore + 1));
            name = text.substr(0, underscore);
        }
    }
    heading.Column = ParseColumnName(name);
    return heading;
}

HeaderBlock ReadHeaderBlock(std::span<const TableLine> lines, char delimiter)
{
    HeaderBlock block;
    bool named = false;
    bool firstSeen = false;
    for (const TableLine& line : lines) {
        std::string_view text = Trimmed(line.Text);
        while (!text.empty() && delimiter != '\0' && (text.back() == delimiter || IsBlank(text.back())))
            text.remove_suffix(1);
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view key = Trimmed(text.substr(0, colon));
            std::string_view value = text.substr(colon + 1);
            while (!value.empty() && (IsBlank(value.front()) || value.front() == delimiter)) value.remove_prefix(1);
            if (EqualsIgnoreCase(key, "part") || EqualsIgnoreCase(key, "identification")) {
                if (!named) block.Identification = std::string(value);
                named = true;
                continue;
            }
            if (EqualsIgnoreCase(key, "date")) {
                if (block.DateText.empty()) block.DateText = std::string(value);
                continue;
            }
        }
        if (ReadNominalRadius(text, delimiter, line, block)) continue;
        if (!firstSeen && !named) block.Identification = std::string(text);
        firstSeen = true;
        if (block.DateText.empty() && HoldsDate(text)) block.DateText = std::string(text);
    }
    return block;
}

bool HoldsDate(std::string_view text) { return HoldsNumericDate(text) || HoldsNamedDate(text); }

} // namespace kyklos
