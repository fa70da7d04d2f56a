#pragma once
// The "Excluded Sectors" dialog of Analysis ▸ Excluded Sectors…: the sectors
// of the profile left out of the analysis (a keyway, a cross hole), a row of
// From and To angles each, in degrees counter-clockwise from sample 0, ends
// included, a sector from 350 to 10 wrapping through 0°. No rows: nothing
// is excluded.

#include "app/AppSettings.h"
#include "document/AnalysisSettings.h"

#include <QDialog>

#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kyklos {

class ExcludedSectorsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExcludedSectorsDialog(QWidget* parent = nullptr);

    // Set before the dialog runs, read after OK.
    std::vector<ExcludedSector> Sectors;

    // More rows than a part has keyways and holes; the settings file keeps no more.
    static constexpr int kMaxSectors = kMaxRememberedSectors;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    QLineEdit* FromEdit(int row) const { return rows_[static_cast<std::size_t>(row)].from; }
    QLineEdit* ToEdit(int row) const { return rows_[static_cast<std::size_t>(row)].to; }
    QPushButton* RemoveButton(int row) const { return rows_[static_cast<std::size_t>(row)].remove; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* OkButton() const { return ok_; }

public slots:
    // A new empty row, its From field focused for typing.
    void AddRow();
    // Closes the dialog only when every row holds two angles (rows left
    // wholly empty are dropped).
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Row {
        QLineEdit* from = nullptr;
        QLineEdit* to = nullptr;
        QLabel* label = nullptr;
        QPushButton* remove = nullptr;
    };
    void AppendRow(const QString& from, const QString& to);
    void RemoveRow(QPushButton* button);
    void Relayout();
    bool Refuse(const QString& message, QLineEdit* field);

    QGridLayout* grid_ = nullptr;
    QLabel* emptyNote_ = nullptr;
    std::vector<Row> rows_;
    QPushButton* add_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool initialised_ = false;
};

// The Excluded Sectors command: shows the dialog on `settings` and, on OK,
// writes the sectors back. True when OK changed them.
bool RunExcludedSectorsCommand(QWidget* parent, AnalysisSettings& settings);

} // namespace kyklos
