#include "cli/TablePlan.h"

#include "io/ProfileWriter.h"

#include <cmath>
#include <filesystem>
#include <span>

namespace kyklos {

namespace {

// A word given for an option is parsed; an option not given stays unset.
template <typename Value, typename Parse>
bool TakeWord(const std::string& word, Parse parse, std::optional<Value>& value)
{
    if (word.empty()) return true;
    value = parse(word);
    return value.has_value();
}

} // namespace

std::optional<std::string> PlanTables(const TableOptionWords& words, TablePlan& plan)
{
    TableOptions& reading = plan.Reading;
    if (!TakeWord(words.Columns, ParseTableColumns, reading.Columns))
        return "--columns: name the columns angle, radius, deviation, x, y or -, separated by commas.";
    if (!TakeWord(words.Delimiter, ParseTableDelimiter, reading.Delimiter))
        return "--delimiter: use comma, semicolon, tab or space.";
    if (!TakeWord(words.Decimal, ParseDecimalSign, reading.Decimal)) return "--decimal: use point or comma.";
    if (!TakeWord(words.AngleUnits, ParseAngleUnit, reading.AngleUnits)) return "--angle-unit: use deg, rad or grad.";
    std::optional<AngleDirection> direction;
    if (!TakeWord(words.Direction, ParseAngleDirection, direction)) return "--angle-direction: use ccw or cw.";
    reading.Direction = direction.value_or(AngleDirection::CounterClockwise);
    if (!TakeWord(words.LengthUnits, ParseLengthUnit, reading.LengthUnits))
        return "--length-unit: use mm, um, in or uin.";
    if (words.NominalMm && !(std::isfinite(*words.NominalMm) && *words.NominalMm > 0.0))
        return "--nominal: give the nominal radius in millimetres, above 0.";
    reading.NominalRadiusMm = words.NominalMm;
    plan.FoldersTakeTables = words.Tables;
    plan.SaveProfilePath = words.SaveProfile;
    return std::nullopt;
}

std::string SavedProfilePath(const std::string& path, std::size_t index, std::size_t count)
{
    if (count <= 1) return path;
    const std::filesystem::path original(path);
    std::filesystem::path numbered(path);
    numbered.replace_filename(original.stem().string() + "-" + std::to_string(index + 1) +
                              original.extension().string());
    return numbered.string();
}

std::string SaveAnalysedProfile(const CKyklosDoc& doc, const std::string& path)
{
    std::span<const double> filtered;
    if (doc.AnalysisValid) filtered = doc.Result.FilteredRadius;
    return SaveProfile(path, doc.Profile, filtered);
}

} // namespace kyklos
