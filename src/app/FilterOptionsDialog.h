#pragma once
// The "Filter Options" dialog of Analysis ▸ Filter Options…: the filter
// kind, the band's two cutoffs, and spike removal with its limit k. The
// cutoff of the Gaussian kinds and 2RC stays with Filter Selection.

#include "document/AnalysisSettings.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kyklos {

class FilterOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit FilterOptionsDialog(QWidget* parent = nullptr);

    // Set before the dialog runs, read after OK.
    FilterKind Kind = FilterKind::Gaussian;
    int BandLowUpr = 15;
    int BandHighUpr = 150;
    std::optional<double> SpikeDeviations; // none: no spike removal

    // The largest cutoff the band takes, as kyklos-report takes it.
    static constexpr int kMaxCutoffUpr = 18000;
    static QString SpikeLimitRefusal()
    {
        return QStringLiteral("The spike limit k must be a positive number, with a full stop as the decimal sign.");
    }

    QRadioButton* KindRadio(FilterKind kind) const;
    QSpinBox* BandLowBox() const { return bandLow_; }
    QSpinBox* BandHighBox() const { return bandHigh_; }
    QCheckBox* SpikeBox() const { return spikes_; }
    QLineEdit* DeviationsEdit() const { return deviations_; }
    QPushButton* OkButton() const { return ok_; }

public slots:
    // Closes the dialog only when the band and k are sound.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateEnabled();
    bool Refuse(const QString& message, QWidget* field);

    QRadioButton* radios_[kFilterKinds.size()] = {};
    QSpinBox* bandLow_ = nullptr;
    QSpinBox* bandHigh_ = nullptr;
    QCheckBox* spikes_ = nullptr;
    QLineEdit* deviations_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool initialised_ = false;
};

// The Filter Options command: shows the dialog on `settings` and, on OK,
// writes the kind, band and spike removal back. True when OK changed them.
bool RunFilterOptionsCommand(QWidget* parent, AnalysisSettings& settings);

} // namespace kyklos
