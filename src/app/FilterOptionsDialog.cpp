#include "app/FilterOptionsDialog.h"

#include "app/EvaluationText.h"
#include "app/NumberFieldDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace kyklos {

namespace {

// The kinds in the order of kFilterKinds; no mnemonic is shared with the
// band's fields (L, H), spike removal (S, K) or the buttons.
const char* const kKindCaptions[] = {
    "&Gaussian (50%)", "E&xact Gaussian", "&Robust Gaussian", "&2RC", "&Band-pass", "&None"};

std::size_t KindIndex(FilterKind kind)
{
    for (std::size_t i = 0; i < kFilterKinds.size(); ++i)
        if (kFilterKinds[i] == kind) return i;
    return 0;
}

QSpinBox* CutoffBox(QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(1, FilterOptionsDialog::kMaxCutoffUpr);
    box->setSuffix(QStringLiteral(" UPR"));
    return box;
}

} // namespace

FilterOptionsDialog::FilterOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Filter Options"));

    auto* kinds = new QGroupBox(QStringLiteral("Filter"), this);
    auto* kindLayout = new QVBoxLayout(kinds);
    for (std::size_t i = 0; i < kFilterKinds.size(); ++i) {
        radios_[i] = new QRadioButton(QString::fromUtf8(kKindCaptions[i]), kinds);
        kindLayout->addWidget(radios_[i]);
        connect(radios_[i], &QRadioButton::toggled, this, &FilterOptionsDialog::UpdateEnabled);
    }

    auto* band = new QGroupBox(QStringLiteral("Band-pass cutoffs"), this);
    auto* bandLayout = new QFormLayout(band);
    bandLow_ = CutoffBox(band);
    bandHigh_ = CutoffBox(band);
    bandLayout->addRow(QStringLiteral("&Low:"), bandLow_);
    bandLayout->addRow(QStringLiteral("&High:"), bandHigh_);

    auto* spikeGroup = new QGroupBox(QStringLiteral("Spike removal"), this);
    auto* spikeLayout = new QFormLayout(spikeGroup);
    spikes_ = new QCheckBox(QStringLiteral("Remove &spikes before filtering"), spikeGroup);
    deviations_ = new QLineEdit(spikeGroup);
    spikeLayout->addRow(spikes_);
    spikeLayout->addRow(QStringLiteral("Limit &k (\u00D7 \u03C3):"), deviations_);
    connect(spikes_, &QCheckBox::toggled, this, &FilterOptionsDialog::UpdateEnabled);

    // Enter presses OK from any field, Escape cancels.
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok_, &QPushButton::clicked, this, &FilterOptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FilterOptionsDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(band);
    right->addWidget(spikeGroup);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addWidget(kinds);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QRadioButton* FilterOptionsDialog::KindRadio(FilterKind kind) const { return radios_[KindIndex(kind)]; }

void FilterOptionsDialog::showEvent(QShowEvent* event)
{
    // The members as the caller set them, once, when the dialog first appears.
    if (!initialised_) {
        initialised_ = true;
        KindRadio(Kind)->setChecked(true);
        KindRadio(Kind)->setFocus();
        bandLow_->setValue(BandLowUpr);
        bandHigh_->setValue(BandHighUpr);
        spikes_->setChecked(SpikeDeviations.has_value());
        deviations_->setText(NumberFieldDialog::FormatValue(SpikeDeviations.value_or(kDefaultSpikeDeviations)));
        UpdateEnabled();
    }
    QDialog::showEvent(event);
}

void FilterOptionsDialog::UpdateEnabled()
{
    const bool band = radios_[KindIndex(FilterKind::Band)]->isChecked();
    bandLow_->setEnabled(band);
    bandHigh_->setEnabled(band);
    deviations_->setEnabled(spikes_->isChecked());
}

bool FilterOptionsDialog::Refuse(const QString& message, QWidget* field)
{
    QMessageBox::warning(this, QStringLiteral("Kyklos"), message);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    if (auto* box = qobject_cast<QSpinBox*>(field)) box->selectAll();
    return false;
}

void FilterOptionsDialog::accept()
{
    FilterKind kind = Kind;
    for (std::size_t i = 0; i < kFilterKinds.size(); ++i)
        if (radios_[i]->isChecked()) kind = kFilterKinds[i];
    const int low = bandLow_->value();
    const int high = bandHigh_->value();
    // The band's rule as the analysis words it; its fields only count for a band.
    if (kind == FilterKind::Band) {
        const FilterSpec filterSpec{FilterKind::Band, 50, low, high};
        if (const auto refusal = FilterSpecRefusal(filterSpec)) return void(Refuse(ToQString(*refusal), bandLow_));
    }
    std::optional<double> deviations;
    if (spikes_->isChecked()) {
        double k = 0.0;
        if (!NumberFieldDialog::ParseValue(deviations_->text(), k) || !std::isfinite(k) || k <= 0.0)
            return void(Refuse(SpikeLimitRefusal(), deviations_));
        deviations = k;
    }
    Kind = kind;
    BandLowUpr = low;
    BandHighUpr = high;
    SpikeDeviations = deviations;
    QDialog::accept();
}

bool RunFilterOptionsCommand(QWidget* parent, AnalysisSettings& settings)
{
    FilterOptionsDialog dialog(parent);
    dialog.Kind = settings.FilterKind;
    dialog.BandLowUpr = settings.BandLowUpr;
    dialog.BandHighUpr = settings.BandHighUpr;
    dialog.SpikeDeviations = settings.SpikeDeviations;
    if (dialog.exec() != QDialog::Accepted) return false;
    AnalysisSettings chosen = settings;
    chosen.FilterKind = dialog.Kind;
    chosen.BandLowUpr = dialog.BandLowUpr;
    chosen.BandHighUpr = dialog.BandHighUpr;
    chosen.SpikeDeviations = dialog.SpikeDeviations;
    if (chosen == settings) return false;
    settings = chosen;
    return true;
}

} // namespace kyklos
