#pragma once
// The Import dialog: asked when a table's columns are named neither by its
// column header nor by the options. It shows the first rows as a table and
// lets the user say what each column holds, the units, the direction of
// the angles, the delimiter, the decimal sign and the nominal radius of
// deviations. Enter accepts, Escape leaves the profile shown as it was.
// The choices are remembered per header shape (delimiter, column count and
// column header), for the session, and between runs while the options let
// settings be restored at start.

#include "app/AppSettings.h"
#include "document/TableImportPort.h"
#include "io/TableOptions.h"
#include "io/TableReader.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace kyklos {

class TableImportDialog : public QDialog {
    Q_OBJECT
public:
    // initial: the choices shown first (remembered ones, or the options the table was read with).
    TableImportDialog(const TablePreview& preview, const TableOptions& initial, QWidget* parent = nullptr);

    // The reading options as chosen (valid after Accept).
    TableOptions Chosen() const;

    QTableWidget* Preview() const { return preview_; }
    QComboBox* ColumnBox(int column) const { return columns_.at(static_cast<std::size_t>(column)); }
    QComboBox* AngleUnitBox() const { return angleUnit_; }
    QComboBox* LengthUnitBox() const { return lengthUnit_; }
    QComboBox* DirectionBox() const { return direction_; }
    QComboBox* DelimiterBox() const { return delimiter_; }
    QComboBox* DecimalBox() const { return decimal_; }
    QLineEdit* NominalEdit() const { return nominal_; }

private:
    void accept() override;

    std::vector<QComboBox*> columns_;
    QTableWidget* preview_ = nullptr;
    QComboBox* angleUnit_ = nullptr;
    QComboBox* lengthUnit_ = nullptr;
    QComboBox* direction_ = nullptr;
    QComboBox* delimiter_ = nullptr;
    QComboBox* decimal_ = nullptr;
    QLineEdit* nominal_ = nullptr;
};

// Reading options as one line of kyklos-report's option words
// ("columns=angle,radius;delimiter=semicolon;…"), for the settings file, and back.
std::string TableReadingText(const TableOptions& options);
std::optional<TableOptions> ParseTableReadingText(const std::string& text);

// The window's answer to the document: the dialog, started from the
// choices remembered for the table's header shape.
class QtTableImport final : public TableImportPort {
public:
    // Header shapes remembered at most (the settings file keeps no more).
    static constexpr std::size_t kMaxRemembered = kMaxTableImports;

    void SetDialogParent(QWidget* parent) { parent_ = parent; }
    // Called with every new choice, to write it where settings are kept.
    void SetRemembered(std::function<void()> changed) { changed_ = std::move(changed); }
    std::optional<TableOptions> ChooseTableReading(const std::string& path, const TablePreview& preview,
                                                   const TableOptions& current) override;

    // Header shape → reading options as TableReadingText writes them.
    std::map<std::string, std::string> Remembered;

private:
    QPointer<QWidget> parent_;
    std::function<void()> changed_;
};

} // namespace kyklos
