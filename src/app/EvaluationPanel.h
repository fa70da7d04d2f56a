#pragma once
// The "Evaluation" panel docked beside the report page: the four reference
// circles side by side (the report's one marked), RONp, RONv and RONq about
// the least squares circle, the verdict against the roundness tolerance
// naming what it judged, with its margin, the warnings, and the harmonic
// spectrum with the five largest harmonics of the filtered profile.
//
// The panel is a view of the document's evaluation, which the document
// computes once per analysis and judges again when the tolerance changes;
// it shows it again on every redraw of the document's views
// (OnDocumentChanged), never while the filter runs. The spectrum's range
// and scale are the panel's own: it is handed them and reports each change,
// which the main window remembers.

#include "app/AppSettings.h"
#include "document/RoundnessEvaluation.h"
#include "graph/HarmonicChart.h"

#include <QDockWidget>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QScrollArea;
class QTableWidget;

namespace kyklos {

class HarmonicChartWidget;
class VerdictBar;
class CKyklosDoc;
class CKyklosView;
class ProgressPort;

class EvaluationPanel : public QDockWidget {
    Q_OBJECT
public:
    // view gives the display unit; progress, when given, is the filter's
    // progress display (while it is up the profile is half filtered).
    EvaluationPanel(const CKyklosDoc& doc, const CKyklosView& view, const ProgressPort* progress,
                    QWidget* parent = nullptr);

    // The document was analysed again, lost its profile or judged its
    // evaluation again: shows what it holds now.
    void OnDocumentChanged();
    // The view's unit changed: shows the same evaluation in the new unit.
    void OnUnitsChanged();

    // Shows remembered choices; not reported as a change.
    void SetChoices(const EvaluationChoices& choices);
    // As the user chooses with the range box and the Logarithmic check box:
    // a change is reported (ChoicesChanged).
    void SetRange(HarmonicRange range);
    void SetLogarithmic(bool logarithmic);
    const EvaluationChoices& Choices() const { return choices_; }

    // The evaluation shown: the document's, or an empty one without an analysis.
    const RoundnessEvaluation& Evaluation() const { return *evaluation_; }

    QTableWidget* ReferenceTable() const { return referenceTable_; }
    QLabel* ParameterLabel(int index) const { return parameterLabels_[index]; } // RONp, RONv, RONq
    QLabel* ToleranceLabel() const { return toleranceLabel_; }
    QLabel* VerdictLabel() const { return verdictLabel_; }
    QLabel* MarginLabel() const { return marginLabel_; }
    QLabel* WarningsLabel() const { return warningsLabel_; }
    // What the evaluation was made under beyond the default (hidden when nothing).
    QLabel* NotesLabel() const { return notesLabel_; }
    QLabel* SourceLabel() const { return sourceLabel_; } // the profile's file type, columns and units
    // Shown only with a simulated uncertainty of the evaluation shown.
    QLabel* DecisionLabel() const { return decisionLabel_; }
    QLabel* ExpandedLabel() const { return expandedLabel_; }
    VerdictBar* GuardBandBar() const { return verdictBar_; }
    QComboBox* RangeBox() const { return rangeBox_; }
    QCheckBox* LogarithmicBox() const { return logarithmicBox_; }
    HarmonicChartWidget* Chart() const { return chart_; }
    QTableWidget* HarmonicTable() const { return harmonicTable_; }

    // Keeps View ▸ Evaluation's check mark with the panel also when it is
    // hidden before the window is first shown (a restored window state).
    void setVisible(bool visible) override;

signals:
    void ChoicesChanged(const kyklos::EvaluationChoices& choices);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateReferenceGroup();
    QWidget* CreateParameterGroup();
    QWidget* CreateToleranceGroup();
    QWidget* CreateSpectrumGroup();
    // The decision, U and the verdict bar, from `row` of the tolerance group's grid.
    void CreateUncertaintyRows(QGridLayout* grid, int row);
    // Every number and the chart from the kept evaluation, in the view's unit.
    void ShowEvaluation();
    void ShowVerdict();
    void ShowChart();
    void ShowUncertainty();

    const CKyklosDoc& doc_;
    const CKyklosView& view_;
    const ProgressPort* progress_;
    const RoundnessEvaluation noEvaluation_;
    const RoundnessEvaluation* evaluation_ = &noEvaluation_;
    EvaluationChoices choices_;
    bool evaluationPending_ = false;

    QScrollArea* scroll_ = nullptr;
    QTableWidget* referenceTable_ = nullptr;
    QLabel* parameterLabels_[3] = {nullptr, nullptr, nullptr};
    QLabel* parameterUnits_[3] = {nullptr, nullptr, nullptr};
    QLabel* toleranceLabel_ = nullptr;
    QLabel* verdictLabel_ = nullptr;
    QLabel* marginLabel_ = nullptr;
    QLabel* notesLabel_ = nullptr;
    QLabel* warningsLabel_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* decisionCaption_ = nullptr;
    QLabel* decisionLabel_ = nullptr;
    QLabel* expandedCaption_ = nullptr;
    QLabel* expandedLabel_ = nullptr;
    VerdictBar* verdictBar_ = nullptr;
    QComboBox* rangeBox_ = nullptr;
    QCheckBox* logarithmicBox_ = nullptr;
    HarmonicChartWidget* chart_ = nullptr;
    QTableWidget* harmonicTable_ = nullptr;
};

} // namespace kyklos
