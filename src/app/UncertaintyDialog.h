#pragma once
// The "Uncertainty" dialog of Analysis ▸ Uncertainty…: the model of the
// measurement's errors (probe noise, angular noise, calibration and
// resolution, lengths in the display unit) and the simulation's draws and
// seed. Every field is read as a number with a full stop under every locale.

#include "document/Uncertainty.h"

#include <QDialog>

#include <array>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kyklos {

class UncertaintyDialog : public QDialog {
    Q_OBJECT
public:
    enum Field {
        Noise,
        Angle,
        Calibration,
        Resolution,
        Draws,
        Seed,
        FieldCount
    };

    // Shows `request` with its lengths in µm, or in µin when metricUnits is false.
    UncertaintyDialog(const UncertaintyRequest& request, bool metricUnits, QWidget* parent = nullptr);

    // After OK: the request as typed, lengths in micrometres.
    const UncertaintyRequest& Request() const { return request_; }

    QLineEdit* FieldEdit(Field field) const { return edits_[field]; }
    QLabel* UnitLabel(Field field) const { return units_[field]; }
    QPushButton* OkButton() const { return okButton_; }

public slots:
    // Closes the dialog only when every field holds what it may.
    void accept() override;

private:
    void AddRow(QGridLayout* grid, int row, Field field, const QString& caption, const QString& unit);
    // A length or angle of 0 or more; the shown text unchanged keeps the value as it was.
    bool ReadNonNegative(Field field, const QString& name, double scale, double& value);
    bool Refuse(Field field, const QString& message);

    UncertaintyRequest request_;
    bool metric_ = true;
    std::array<QLineEdit*, FieldCount> edits_{};
    std::array<QLabel*, FieldCount> units_{};
    std::array<QString, FieldCount> shown_{};
    QPushButton* okButton_ = nullptr;
};

// The Uncertainty command's dialog: on OK writes the request back and returns true.
bool RunUncertaintyDialog(QWidget* parent, bool metricUnits, UncertaintyRequest& request);

} // namespace kyklos
