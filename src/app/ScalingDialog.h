#pragma once
// The "Roundness Display" dialog of the Scaling command: the scale of the
// polar graph per division, automatic scaling and the unit system.

#include "app/NumberFieldDialog.h"

class QCheckBox;

namespace kyklos {

class CKyklosView;

class CScalingDialog : public NumberFieldDialog {
    Q_OBJECT
public:
    explicit CScalingDialog(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs, read after OK.
    int AutoScale = 0;
    int MetricUnits = 0;
    // Micrometres per division when MetricUnits is 1, microinches when 0;
    // shown held within the scales a user may set.
    double ScalePerDivision = 0.0;

    QCheckBox* AutoScaleBox() const { return autoScaleBox_; }
    QCheckBox* MetricBox() const { return metricBox_; }

protected:
    void OnInitDialog() override;
    // Reads the controls into the members. A value that is not a number, not
    // positive or outside the scales a user may set is refused with a
    // message; the member keeps its last accepted value.
    bool ReadControls() override;

private:
    void OnMetricClicked();
    void OnAutoScaleClicked();
    void OnValueEdited();
    void WriteControls();
    void SetUnitsLabel();

    QCheckBox* autoScaleBox_ = nullptr;
    QCheckBox* metricBox_ = nullptr;
};

// The Scaling command: shows the dialog with the view's settings and, on OK,
// applies them to the view and its polar graph. True when the settings were
// applied (the caller redraws), false on Cancel.
bool RunScalingCommand(QWidget* parent, CKyklosView& view);

} // namespace kyklos
