#pragma once
// The "Roundness Tolerance" dialog of Analysis ▸ Tolerance: the drawing's
// roundness tolerance t in the display unit, or none. An empty field clears it.

#include "app/NumberFieldDialog.h"
#include "document/AnalysisSettings.h"

#include <optional>

namespace kyklos {

class ToleranceDialog : public NumberFieldDialog {
    Q_OBJECT
public:
    explicit ToleranceDialog(QWidget* parent = nullptr);

    // Set by the caller before the dialog runs, read after OK: the tolerance
    // in micrometres when MetricUnits is true, in microinches when false.
    bool MetricUnits = true;
    std::optional<double> Tolerance;

protected:
    void OnInitDialog() override;
    // Reads the field into Tolerance; a text that is not a positive number
    // is refused with "The tolerance must be a positive number." and
    // Tolerance keeps its value.
    bool ReadControls() override;
};

// The Tolerance command: shows the dialog with `tolerance` in the display
// unit and, on OK, writes back the tolerance as typed (or none). True on OK,
// false on Cancel (nothing changed).
bool RunToleranceCommand(QWidget* parent, bool metricUnits, std::optional<RoundnessTolerance>& tolerance);

} // namespace kyklos
