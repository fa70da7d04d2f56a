#include "app/ExcludedSectorsDialog.h"

#include "app/EvaluationText.h"
#include "app/NumberFieldDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace kyklos {

namespace {

QString AngleText(double degrees) { return ToQString(ShortestNumber(degrees)); }

} // namespace

ExcludedSectorsDialog::ExcludedSectorsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Excluded Sectors"));

    auto* group = new QGroupBox(QStringLiteral("Sectors left out of the analysis"), this);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(QStringLiteral("Degrees counter-clockwise from sample 0, both ends included;\n"
                                                     "a sector from 350 to 10 passes through 0\u00B0."),
                                      group));
    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(QStringLiteral("From (\u00B0)"), group), 0, 0);
    grid_->addWidget(new QLabel(QStringLiteral("To (\u00B0)"), group), 0, 2);
    emptyNote_ = new QLabel(QStringLiteral("No sector: the whole profile is evaluated."), group);
    groupLayout->addLayout(grid_);
    groupLayout->addWidget(emptyNote_);
    add_ = new QPushButton(QStringLiteral("&Add Sector"), group);
    add_->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, &ExcludedSectorsDialog::AddRow);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(add_);
    addRow->addStretch(1);
    groupLayout->addLayout(addRow);

    // Enter presses OK from any field, Escape cancels.
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &ExcludedSectorsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ExcludedSectorsDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ExcludedSectorsDialog::showEvent(QShowEvent* event)
{
    if (!initialised_) {
        initialised_ = true;
        for (const ExcludedSector& sector : Sectors) AppendRow(AngleText(sector.FromDeg), AngleText(sector.ToDeg));
        Relayout();
        if (rows_.empty())
            add_->setFocus();
        else
            rows_.front().from->setFocus();
    }
    QDialog::showEvent(event);
}

void ExcludedSectorsDialog::AppendRow(const QString& from, const QString& to)
{
    QWidget* parent = add_->parentWidget();
    Row row;
    row.from = new QLineEdit(from, parent);
    row.to = new QLineEdit(to, parent);
    row.label = new QLabel(QStringLiteral("to"), parent);
    row.remove = new QPushButton(QStringLiteral("Remove"), parent);
    row.remove->setAutoDefault(false);
    row.from->setAccessibleName(QStringLiteral("From (degrees)"));
    row.to->setAccessibleName(QStringLiteral("To (degrees)"));
    connect(row.remove, &QPushButton::clicked, this, [this, button = row.remove] { RemoveRow(button); });
    rows_.push_back(row);
}

void ExcludedSectorsDialog::AddRow()
{
    if (RowCount() >= kMaxSectors) return;
    AppendRow(QString(), QString());
    Relayout();
    rows_.back().from->setFocus();
}

void ExcludedSectorsDialog::RemoveRow(QPushButton* button)
{
    const auto found =
        std::find_if(rows_.begin(), rows_.end(), [button](const Row& row) { return row.remove == button; });
    if (found == rows_.end()) return;
    const std::size_t index = static_cast<std::size_t>(found - rows_.begin());
    for (QWidget* widget : {static_cast<QWidget*>(found->from), static_cast<QWidget*>(found->to),
                            static_cast<QWidget*>(found->label), static_cast<QWidget*>(found->remove)}) {
        grid_->removeWidget(widget);
        widget->hide();
        widget->deleteLater();
    }
    rows_.erase(found);
    Relayout();
    // The focus goes on to the row that took the removed one's place.
    if (index < rows_.size())
        rows_[index].from->setFocus();
    else if (!rows_.empty())
        rows_.back().from->setFocus();
    else
        add_->setFocus();
}

void ExcludedSectorsDialog::Relayout()
{
    // Every row's widgets taken out first: each is to hold one cell of the grid, its new one.
    for (const Row& row : rows_)
        for (QWidget* widget : {static_cast<QWidget*>(row.from), static_cast<QWidget*>(row.label),
                                static_cast<QWidget*>(row.to), static_cast<QWidget*>(row.remove)})
            grid_->removeWidget(widget);
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        const int r = static_cast<int>(i) + 1;
        grid_->addWidget(row.from, r, 0);
        grid_->addWidget(row.label, r, 1);
        grid_->addWidget(row.to, r, 2);
        grid_->addWidget(row.remove, r, 3);
        // Keyboard order row by row: From, To, Remove.
        for (QWidget* widget :
             {static_cast<QWidget*>(row.from), static_cast<QWidget*>(row.to), static_cast<QWidget*>(row.remove)}) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    if (previous) setTabOrder(previous, add_);
    emptyNote_->setVisible(rows_.empty());
    add_->setEnabled(RowCount() < kMaxSectors);
}

bool ExcludedSectorsDialog::Refuse(const QString& message, QLineEdit* field)
{
    QMessageBox::warning(this, QStringLiteral("Kyklos"), message);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}

void ExcludedSectorsDialog::accept()
{
    std::vector<ExcludedSector> sectors;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        const QString from = row.from->text().trimmed();
        const QString to = row.to->text().trimmed();
        if (from.isEmpty() && to.isEmpty()) continue;
        const QString place = QStringLiteral("Sector %1: ").arg(i + 1);
        ExcludedSector sector;
        for (const auto& [text, field, value] :
             {std::tuple{from, row.from, &sector.FromDeg}, std::tuple{to, row.to, &sector.ToDeg}}) {
            if (text.isEmpty()) return void(Refuse(place + QStringLiteral("give both angles, in degrees."), field));
            double degrees = 0.0;
            if (!NumberFieldDialog::ParseValue(text, degrees) || !std::isfinite(degrees))
                return void(Refuse(place + QStringLiteral("\u201C%1\u201D is not an angle in degrees; write it with a "
                                                          "full stop as the decimal sign.")
                                               .arg(text),
                                   field));
            *value = degrees;
        }
        sectors.push_back(sector);
    }
    Sectors = std::move(sectors);
    QDialog::accept();
}

bool RunExcludedSectorsCommand(QWidget* parent, AnalysisSettings& settings)
{
    ExcludedSectorsDialog dialog(parent);
    dialog.Sectors = settings.ExcludedSectors;
    if (dialog.exec() != QDialog::Accepted || dialog.Sectors == settings.ExcludedSectors) return false;
    settings.ExcludedSectors = dialog.Sectors;
    return true;
}

} // namespace kyklos
