#include "app/ReferenceSelectionDialog.h"

namespace kyklos {

CReferenceSelectionDialog::CReferenceSelectionDialog(QWidget* parent)
    : RadioSelectionDialog(QStringLiteral("Reference Selection"), QStringLiteral("&Reference Circle"),
                           {QStringLiteral("Least &Squares Center"), QStringLiteral("Minimum &Zone Center"),
                            QStringLiteral("Maximum &Inscribed Circle Center"),
                            QStringLiteral("Minimum &Circumscribed Circle Center")},
                           parent)
{}

} // namespace kyklos
