#include "app/FilterSelectionDialog.h"

namespace kyklos {

CFilterSelectionDialog::CFilterSelectionDialog(QWidget* parent)
    : RadioSelectionDialog(QStringLiteral("Filter Selection"), QStringLiteral("&Cutoff (undulations per revolution)"),
                           {QStringLiteral("5 UPR"), QStringLiteral("15 UPR"), QStringLiteral("50 UPR"),
                            QStringLiteral("150 UPR"), QStringLiteral("500 UPR")},
                           parent)
{}

} // namespace kyklos
