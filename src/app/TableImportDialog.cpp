#include "app/TableImportDialog.h"

#include "platform/NumberText.h"
#include "platform/TextEncoding.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kyklos {

namespace {

constexpr TableColumn kColumnChoices[] = {TableColumn::Skip,      TableColumn::Angle, TableColumn::Radius,
                                          TableColumn::Deviation, TableColumn::X,     TableColumn::Y};
constexpr std::pair<TableDelimiter, const char*> kDelimiterWords[] = {{TableDelimiter::Comma, "comma"},
                                                                      {TableDelimiter::Semicolon, "semicolon"},
                                                                      {TableDelimiter::Tab, "tab"},
                                                                      {TableDelimiter::Space, "space"}};
constexpr std::pair<DecimalSign, const char*> kDecimalWords[] = {{DecimalSign::Point, "point"},
                                                                 {DecimalSign::Comma, "comma"}};
constexpr AngleUnit kAngleUnits[] = {AngleUnit::Degree, AngleUnit::Radian, AngleUnit::Grad};
constexpr LengthUnit kLengthUnits[] = {LengthUnit::Millimetre, LengthUnit::Micrometre, LengthUnit::Inch,
                                       LengthUnit::Microinch};

QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// A box of choices, each carrying its index in the list of values; the first
// item may stand for "found in the file" (data -1).
template <typename Value, std::size_t N, typename Name>
QComboBox* ChoiceBox(const Value (&values)[N], Name name, const QString& found, const std::optional<Value>& current)
{
    auto* box = new QComboBox;
    if (!found.isEmpty()) box->addItem(found, -1);
    for (std::size_t i = 0; i < N; ++i) {
        box->addItem(name(values[i]), static_cast<int>(i));
        if (current == values[i]) box->setCurrentIndex(box->count() - 1);
    }
    return box;
}

template <typename Value, std::size_t N>
std::optional<Value> ChosenValue(const QComboBox* box, const Value (&values)[N])
{
    const int index = box->currentData().toInt();
    if (index < 0 || index >= static_cast<int>(N)) return std::nullopt;
    return values[index];
}

template <typename Value, std::size_t N>
const char* WordOf(const std::pair<Value, const char*> (&words)[N], Value value)
{
    for (const auto& [v, word] : words)
        if (v == value) return word;
    return "";
}

std::optional<double> ParseNominal(QString text)
{
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0) return std::nullopt;
    return value;
}

} // namespace

TableImportDialog::TableImportDialog(const TablePreview& preview, const TableOptions& initial, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Import Table"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The table's columns are not named. Choose what each column holds:")));

    const int count = std::max(preview.ColumnCount, 1);
    auto* columnRow = new QGridLayout;
    preview_ = new QTableWidget(static_cast<int>(preview.FirstRows.size()), count);
    for (int c = 0; c < count; ++c) {
        std::optional<TableColumn> current;
        if (initial.Columns && c < static_cast<int>(initial.Columns->size()))
            current = (*initial.Columns)[static_cast<std::size_t>(c)];
        QComboBox* box = ChoiceBox(
            kColumnChoices,
            [](TableColumn column) {
                return column == TableColumn::Skip ? QStringLiteral("-") : Text(ColumnName(column));
            },
            QString(), std::optional<TableColumn>(current.value_or(TableColumn::Skip)));
        columns_.push_back(box);
        columnRow->addWidget(box, 0, c);
        const bool named = c < static_cast<int>(preview.ColumnHeader.size());
        preview_->setHorizontalHeaderItem(
            c, new QTableWidgetItem(named ? Text(preview.ColumnHeader[static_cast<std::size_t>(c)])
                                          : QString::number(c + 1)));
    }
    for (std::size_t r = 0; r < preview.FirstRows.size(); ++r)
        for (std::size_t c = 0; c < preview.FirstRows[r].size() && static_cast<int>(c) < count; ++c)
            preview_->setItem(static_cast<int>(r), static_cast<int>(c),
                              new QTableWidgetItem(Text(DisplayText(preview.FirstRows[r][c]))));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addLayout(columnRow);
    layout->addWidget(preview_);

    auto* form = new QFormLayout;
    const QString fromFile = QStringLiteral("As the file says");
    angleUnit_ = ChoiceBox(
        kAngleUnits, [](AngleUnit u) { return Text(AngleUnitWord(u)); }, fromFile, initial.AngleUnits);
    lengthUnit_ = ChoiceBox(
        kLengthUnits, [](LengthUnit u) { return Text(LengthUnitWord(u)); }, fromFile, initial.LengthUnits);
    constexpr AngleDirection kDirections[] = {AngleDirection::CounterClockwise, AngleDirection::Clockwise};
    direction_ = ChoiceBox(
        kDirections,
        [](AngleDirection d) {
            return d == AngleDirection::Clockwise ? QStringLiteral("Clockwise") : QStringLiteral("Counter-clockwise");
        },
        QString(), std::optional<AngleDirection>(initial.Direction));
    constexpr TableDelimiter kDelimiters[] = {TableDelimiter::Comma, TableDelimiter::Semicolon, TableDelimiter::Tab,
                                              TableDelimiter::Space};
    delimiter_ = ChoiceBox(
        kDelimiters, [](TableDelimiter d) { return QString::fromLatin1(WordOf(kDelimiterWords, d)); }, fromFile,
        initial.Delimiter ? initial.Delimiter : preview.Delimiter);
    constexpr DecimalSign kDecimals[] = {DecimalSign::Point, DecimalSign::Comma};
    decimal_ = ChoiceBox(
        kDecimals, [](DecimalSign d) { return QString::fromLatin1(WordOf(kDecimalWords, d)); }, fromFile,
        initial.Decimal ? initial.Decimal : preview.Decimal);
    nominal_ = new QLineEdit(initial.NominalRadiusMm ? Text(ShortestNumber(*initial.NominalRadiusMm)) : QString());
    nominal_->setPlaceholderText(QStringLiteral("from the file"));
    form->addRow(QStringLiteral("&Angle unit:"), angleUnit_);
    form->addRow(QStringLiteral("&Length unit:"), lengthUnit_);
    form->addRow(QStringLiteral("&Direction:"), direction_);
    form->addRow(QStringLiteral("D&elimiter:"), delimiter_);
    form->addRow(QStringLiteral("De&cimal sign:"), decimal_);
    form->addRow(QStringLiteral("&Nominal radius (mm):"), nominal_);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TableOptions TableImportDialog::Chosen() const
{
    TableOptions options;
    std::vector<TableColumn> columns;
    for (const QComboBox* box : columns_)
        columns.push_back(ChosenValue(box, kColumnChoices).value_or(TableColumn::Skip));
    options.Columns = std::move(columns);
    constexpr TableDelimiter kDelimiters[] = {TableDelimiter::Comma, TableDelimiter::Semicolon, TableDelimiter::Tab,
                                              TableDelimiter::Space};
    constexpr DecimalSign kDecimals[] = {DecimalSign::Point, DecimalSign::Comma};
    constexpr AngleDirection kDirections[] = {AngleDirection::CounterClockwise, AngleDirection::Clockwise};
    options.AngleUnits = ChosenValue(angleUnit_, kAngleUnits);
    options.LengthUnits = ChosenValue(lengthUnit_, kLengthUnits);
    options.Direction = ChosenValue(direction_, kDirections).value_or(AngleDirection::CounterClockwise);
    options.Delimiter = ChosenValue(delimiter_, kDelimiters);
    options.Decimal = ChosenValue(decimal_, kDecimals);
    if (!nominal_->text().trimmed().isEmpty()) options.NominalRadiusMm = ParseNominal(nominal_->text());
    return options;
}

void TableImportDialog::accept()
{
    if (!nominal_->text().trimmed().isEmpty() && !ParseNominal(nominal_->text())) {
        QMessageBox::warning(this, QStringLiteral("Kyklos"),
                             QStringLiteral("The nominal radius must be a number of millimetres above 0."));
        nominal_->setFocus();
        return;
    }
    QDialog::accept();
}

std::string TableReadingText(const TableOptions& options)
{
    std::string text;
    const auto add = [&text](const char* key, std::string_view value) {
        if (!text.empty()) text += ';';
        text += key;
        text += '=';
        text += value;
    };
    if (options.Columns) add("columns", TableColumnsText(*options.Columns));
    if (options.Delimiter) add("delimiter", WordOf(kDelimiterWords, *options.Delimiter));
    if (options.Decimal) add("decimal", WordOf(kDecimalWords, *options.Decimal));
    if (options.AngleUnits) add("angle-unit", AngleUnitWord(*options.AngleUnits));
    add("angle-direction", options.Direction == AngleDirection::Clockwise ? "cw" : "ccw");
    if (options.LengthUnits) add("length-unit", LengthUnitWord(*options.LengthUnits));
    if (options.NominalRadiusMm) add("nominal", ShortestNumber(*options.NominalRadiusMm));
    return text;
}

std::optional<TableOptions> ParseTableReadingText(const std::string& text)
{
    TableOptions options;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string field = text.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = field.find('=');
        if (equals == std::string::npos) return std::nullopt;
        const std::string key = field.substr(0, equals);
        const std::string value = field.substr(equals + 1);
        bool ok = true;
        if (key == "columns")
            ok = (options.Columns = ParseTableColumns(value)).has_value();
        else if (key == "delimiter")
            ok = (options.Delimiter = ParseTableDelimiter(value)).has_value();
        else if (key == "decimal")
            ok = (options.Decimal = ParseDecimalSign(value)).has_value();
        else if (key == "angle-unit")
            ok = (options.AngleUnits = ParseAngleUnit(value)).has_value();
        else if (key == "length-unit")
            ok = (options.LengthUnits = ParseLengthUnit(value)).has_value();
        else if (key == "angle-direction") {
            const auto direction = ParseAngleDirection(value);
            ok = direction.has_value();
            options.Direction = direction.value_or(AngleDirection::CounterClockwise);
        } else if (key == "nominal") {
            options.NominalRadiusMm = ParseNominal(QString::fromStdString(value));
            ok = options.NominalRadiusMm.has_value();
        } else {
            ok = false;
        }
        if (!ok) return std::nullopt;
    }
    return options;
}

std::optional<TableOptions> QtTableImport::ChooseTableReading(const std::string&, const TablePreview& preview,
                                                              const TableOptions& current)
{
    TableOptions initial = current;
    const auto remembered = Remembered.find(preview.HeaderShape);
    if (remembered != Remembered.end()) initial = ParseTableReadingText(remembered->second).value_or(current);
    TableImportDialog dialog(preview, initial, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const TableOptions chosen = dialog.Chosen();
    // The newest choices stay when the list is full.
    if (remembered == Remembered.end() && Remembered.size() >= kMaxRemembered) Remembered.erase(Remembered.begin());
    Remembered[preview.HeaderShape] = TableReadingText(chosen);
    if (changed_) changed_();
    return chosen;
}

} // namespace kyklos
