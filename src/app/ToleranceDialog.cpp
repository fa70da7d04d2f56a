#include "app/ToleranceDialog.h"

#include "app/EvaluationText.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace kyklos {

ToleranceDialog::ToleranceDialog(QWidget* parent)
    : NumberFieldDialog(QStringLiteral("Roundness Tolerance"), QStringLiteral("&Tolerance"), 1,
                        QStringLiteral("\u00B5in"), parent)
{
    ValueEdit()->setPlaceholderText(QStringLiteral("none"));
    QGridLayout* grid = FieldGrid();
    grid->addWidget(new QLabel(QStringLiteral("Leave the field empty for no tolerance."), grid->parentWidget()), 1, 0,
                    1, 2);
}

void ToleranceDialog::OnInitDialog()
{
    UnitsLabel()->setText(MetricUnits ? QStringLiteral("\u00B5m") : QStringLiteral("\u00B5in"));
    ValueEdit()->setText(Tolerance ? FormatValue(*Tolerance) : QString());
}

bool ToleranceDialog::ReadControls()
{
    const QString text = ValueEdit()->text().trimmed();
    // The value as shown keeps all its digits (a tolerance converted to microinches).
    if (Tolerance && text == FormatValue(*Tolerance)) return true;
    if (text.isEmpty()) {
        Tolerance.reset();
        return true;
    }
    // The document's rule for a tolerance, in the same words as kyklos-report's --tolerance.
    double value = 0.0;
    if (!ParseValue(text, value) || !IsValidTolerance(value)) return Refuse(ToQString(kToleranceRefusal));
    Tolerance = value;
    return true;
}

bool RunToleranceCommand(QWidget* parent, bool metricUnits, std::optional<RoundnessTolerance>& tolerance)
{
    ToleranceDialog dialog(parent);
    dialog.MetricUnits = metricUnits;
    if (tolerance) dialog.Tolerance = tolerance->Shown(metricUnits);
    const std::optional<double> shown = dialog.Tolerance;
    if (dialog.exec() != QDialog::Accepted) return false;
    // Unchanged: the tolerance stays as it was typed, in its own unit.
    if (dialog.Tolerance == shown) return true;
    if (!dialog.Tolerance)
        tolerance.reset();
    else
        tolerance = RoundnessTolerance{*dialog.Tolerance, metricUnits};
    return true;
}

} // namespace kyklos
