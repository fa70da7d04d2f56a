#pragma once
// The "Roundness Display" dialog of the Scaling command: the scale of the
// polar graph per division, automatic scaling and the unit system.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kyklos {
class CKyklosView;
}

class CScalingDialog : public QDialog {
    Q_OBJECT
public:
    explicit CScalingDialog(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs, read after OK.
    int AutoScale = 0;
    int MetricUnits = 0;
    // Micrometres per division when MetricUnits is 1, microinches when 0;
    // shown held within the scales a user may set.
    double ScalePerDivision = 0.0;

    // The value text as the dialog writes it: up to 15 significant digits,
    // so that 1 µm/div reads "1" and 2.5 × 40 reads "100".
    static QString FormatValue(double value);
    // False when the text is not a number (blanks around it are allowed).
    static bool ParseValue(const QString& text, double& value);

    QLineEdit* ValueEdit() const { return valueEdit_; }
    QLabel* UnitsLabel() const { return unitsLabel_; }
    QCheckBox* AutoScaleBox() const { return autoScaleBox_; }
    QCheckBox* MetricBox() const { return metricBox_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnMetricClicked();
    void OnAutoScaleClicked();
    void OnValueEdited();
    // Reads the controls into the members. A value that is not a number, not
    // positive or outside the scales a user may set is refused with a
    // message; the member keeps its last accepted value.
    bool ReadControls();
    void WriteControls();
    void SetUnitsLabel();

    QLineEdit* valueEdit_ = nullptr;
    QLabel* unitsLabel_ = nullptr;
    QCheckBox* autoScaleBox_ = nullptr;
    QCheckBox* metricBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool initialised_ = false;
};

// The Scaling command: shows the dialog with the view's settings and, on OK,
// applies them to the view and its polar graph. True when the settings were
// applied (the caller redraws), false on Cancel.
bool RunScalingCommand(QWidget* parent, kyklos::CKyklosView& view);
