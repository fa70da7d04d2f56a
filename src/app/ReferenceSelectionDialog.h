#pragma once
// The Reference Selection dialog: which of the four reference circles the
// analysis fits. The radio index is the document's ReferenceKind
// (0 least squares, 1 minimum zone, 2 maximum inscribed, 3 minimum circumscribed).

#include "app/RadioSelectionDialog.h"

namespace kyklos {

class CReferenceSelectionDialog : public RadioSelectionDialog {
    Q_OBJECT
public:
    explicit CReferenceSelectionDialog(QWidget* parent = nullptr);
};

} // namespace kyklos
