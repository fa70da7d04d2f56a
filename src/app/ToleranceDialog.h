#pragma once
// The "Roundness Tolerance" dialog of Analysis ▸ Tolerance: the drawing's
// roundness tolerance t in the display unit, or none. An empty field clears it.

#include "document/AnalysisSettings.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

class ToleranceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ToleranceDialog(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs, read after OK: the tolerance
    // in micrometres when MetricUnits is true, in microinches when false.
    bool MetricUnits = true;
    std::optional<double> Tolerance;

    // Up to 15 significant digits, full stop: 2.54 µm as microinches reads "100".
    static QString FormatValue(double value);

    QLineEdit* ValueEdit() const { return valueEdit_; }
    QLabel* UnitsLabel() const { return unitsLabel_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Reads the field into Tolerance; a text that is not a positive number
    // is refused with "The tolerance must be a positive number." and
    // Tolerance keeps its value.
    bool ReadControls();

    QLineEdit* valueEdit_ = nullptr;
    QLabel* unitsLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool initialised_ = false;
};

// The Tolerance command: shows the dialog with `tolerance` in the display
// unit and, on OK, writes back the tolerance as typed (or none). True on OK,
// false on Cancel (nothing changed).
bool RunToleranceCommand(QWidget* parent, bool metricUnits, std::optional<kyklos::RoundnessTolerance>& tolerance);
