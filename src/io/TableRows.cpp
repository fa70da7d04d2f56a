#include "io/TableRows.h"

#include "io/TableAngle.h"
#include "io/TableNumber.h"

#include <algorithm>
#include <cmath>

namespace kyklos {

namespace {

struct AngleRow {
    TableAngle Angle;
    double Value = 0.0; // mm
    int Line = 0;
};

struct RowValues {
    std::vector<AngleRow> Angled; // angle with radius or deviation
    std::vector<double> First;    // radii of a single column, or x
    std::vector<double> Second;   // y
};

// The columns that are read: an angle, a value (radius, deviation or x) and y.
struct ColumnIndex {
    int Angle = -1;
    int Value = -1;
    int Y = -1;
    bool Deviation = false;
};

ColumnIndex IndexColumns(const std::vector<TableColumn>& columns)
{
    ColumnIndex index;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int i = static_cast<int>(c);
        switch (columns[c]) {
        case TableColumn::Angle: index.Angle = i; break;
        case TableColumn::Deviation: index.Deviation = true; [[fallthrough]];
        case TableColumn::Radius:
        case TableColumn::X: index.Value = i; break;
        case TableColumn::Y: index.Y = i; break;
        case TableColumn::Skip: break;
        }
    }
    return index;
}

std::string NotANumber(const TableLine& line, std::size_t column, std::string_view field)
{
    return "Line " + std::to_string(line.Number) + ", column " + std::to_string(column + 1) + ": \"" +
           ShownField(field) + "\" is not a number.";
}

std::string Counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The decimal sign for a field; the first number written with one fixes it for the table.
char DecimalFor(std::string_view field, TableLayout& layout)
{
    if (layout.Decimal != '\0') return layout.Decimal;
    return DecimalSignOf(field, layout.Delimiter);
}

void NoteDecimal(std::string_view field, char sign, TableLayout& layout)
{
    if (layout.Decimal == '\0' && field.find(sign) != std::string_view::npos) layout.Decimal = sign;
}

// A length in millimetres (a deviation with the nominal radius added);
// nothing for no number or one whose millimetres are beyond a double.
std::optional<double> ReadLength(std::string_view field, std::size_t column, bool deviation, TableLayout& layout)
{
    const char sign = DecimalFor(field, layout);
    const auto value = ParseTableNumber(field, sign);
    if (!value) return std::nullopt;
    NoteDecimal(field, sign, layout);
    const double millimetres = *value * layout.MillimetresPerUnit[column] + (deviation ? layout.NominalRadiusMm : 0.0);
    if (!std::isfinite(millimetres)) return std::nullopt;
    return millimetres;
}

std::string ReadRowValues(std::span<const TableLine> rows, TableLayout& layout, const ColumnIndex& index,
                          RowValues& values)
{
    const std::size_t columns = layout.Columns.size();
    std::vector<std::string_view> fields;
    std::size_t count = 0;
    (index.Angle >= 0 ? values.Angled.reserve(rows.size()) : values.First.reserve(rows.size()));
    for (const TableLine& line : rows) {
        SplitFields(line.Text, layout.Delimiter, fields);
        if (std::all_of(fields.begin(), fields.end(), [](std::string_view f) { return f.empty(); })) continue;
        if (fields.size() != columns)
            return "Line " + std::to_string(line.Number) + " has " + Counted(fields.size(), "value", "values") +
                   "; the table has " + Counted(columns, "column", "columns") + ".";
        // One row more than a profile may have samples: the closing row at a full turn.
        if (++count > static_cast<std::size_t>(kMaxTableRows) + 1) return "The table has more than 36000 rows.";
        double value[2] = {};
        for (const int c : {index.Value, index.Y}) {
            if (c < 0) continue;
            const auto column = static_cast<std::size_t>(c);
            const auto length = ReadLength(fields[column], column, index.Deviation && c == index.Value, layout);
            if (!length) return NotANumber(line, column, fields[column]);
            value[c == index.Y] = *length;
        }
        if (index.Angle < 0) {
            values.First.push_back(value[0]);
            if (index.Y >= 0) values.Second.push_back(value[1]);
            continue;
        }
        const auto column = static_cast<std::size_t>(index.Angle);
        const char sign = DecimalFor(fields[column], layout);
        const auto angle = ReadTableAngle(fields[column], sign, layout.Angles, layout.Direction);
        if (!angle) return NotANumber(line, column, fields[column]);
        NoteDecimal(fields[column], sign, layout);
        values.Angled.push_back({*angle, value[0], line.Number});
    }
    if (count == 0) return "The table has no rows.";
    return {};
}

// A last row at a full turn equal to the row at 0 closes the profile: dropped.
void DropClosingRow(std::vector<AngleRow>& rows, double turn)
{
    const double tolerance = kClosingToleranceDegrees * turn / 360.0;
    if (rows.size() < 2 || std::fabs(std::fabs(rows.back().Angle.Written) - turn) > tolerance) return;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (std::fabs(rows[i].Angle.Written) <= tolerance && rows[i].Value == rows.back().Value) {
            rows.pop_back();
            return;
        }
    }
}

std::string SortByAngle(std::vector<AngleRow>& rows)
{
    const auto byAngle = [](const AngleRow& a, const AngleRow& b) { return a.Angle.Radians < b.Angle.Radians; };
    if (!std::is_sorted(rows.begin(), rows.end(), byAngle)) std::stable_sort(rows.begin(), rows.end(), byAngle);
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].Angle.Radians == rows[i - 1].Angle.Radians)
            return "Line " + std::to_string(rows[i].Line) + " repeats the angle of line " +
                   std::to_string(rows[i - 1].Line) + ".";
    return {};
}

// The radii in the order of i·(2π/N) when every angle lies within 1e-6° of
// one of those, each taken once; false otherwise. Judged in radians, so that
// a profile written as a table in degrees is judged alike when read back.
bool EqualStepRadii(const std::vector<AngleRow>& rows, std::vector<double>& radii)
{
    constexpr double kTwoPi = 2.0 * 3.141592653589793;
    constexpr double kTolerance = kClosingToleranceDegrees * (kTwoPi / 360.0);
    const std::size_t n = rows.size();
    const double count = static_cast<double>(n);
    radii.assign(n, 0.0);
    std::vector<bool> taken(n, false);
    for (const AngleRow& row : rows) {
        const double step = std::round(row.Angle.Radians / kTwoPi * count);
        if (!(step >= 0.0 && step <= count)) return false;
        if (std::fabs(row.Angle.Radians - step * kTwoPi / count) > kTolerance) return false;
        const std::size_t i = static_cast<std::size_t>(step) % n; // just below a full turn is step 0
        if (taken[i]) return false;
        taken[i] = true;
        radii[i] = row.Value;
    }
    return true;
}

std::string MakeRadialProfile(std::vector<AngleRow>& rows, const TableLayout& layout, Profile& profile)
{
    const double turn = TurnIn(layout.Angles);
    DropClosingRow(rows, turn);
    if (rows.size() > static_cast<std::size_t>(kMaxTableRows)) return "The table has more than 36000 rows.";
    if (std::string message = SortByAngle(rows); !message.empty()) return message;
    std::vector<double> radii;
    if (EqualStepRadii(rows, radii)) {
        profile.SampleAngle = EqualStepAngles(static_cast<int>(rows.size()));
        profile.RawRadius = std::move(radii);
        profile.EqualSteps = true;
        return {};
    }
    profile.EqualSteps = false;
    profile.RawRadius.resize(rows.size());
    profile.SampleAngle.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        profile.RawRadius[i] = rows[i].Value;
        profile.SampleAngle[i] = rows[i].Angle.Radians;
    }
    return {};
}

} // namespace

std::string ReadTableRows(std::span<const TableLine> rows, TableLayout& layout, Profile& profile)
{
    const ColumnIndex index = IndexColumns(layout.Columns);
    RowValues values;
    if (std::string message = ReadRowValues(rows, layout, index, values); !message.empty()) return message;
    if (index.Angle >= 0) return MakeRadialProfile(values.Angled, layout, profile);
    if (values.First.size() > static_cast<std::size_t>(kMaxTableRows)) return "The table has more than 36000 rows.";
    if (index.Y >= 0) {
        profile.Kind = ProfileKind::Points;
        profile.EqualSteps = false;
        profile.PointX = std::move(values.First);
        profile.PointY = std::move(values.Second);
        return {};
    }
    profile.SampleAngle = EqualStepAngles(static_cast<int>(values.First.size()));
    profile.RawRadius = std::move(values.First);
    profile.EqualSteps = true;
    return {};
}

} // namespace kyklos
