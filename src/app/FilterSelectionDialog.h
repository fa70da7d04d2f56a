#pragma once
// The Filter Selection dialog: the Gaussian filter's cutoff as a radio index
// into 5, 15, 50, 150 and 500 undulations per revolution.

#include "app/RadioSelectionDialog.h"

namespace kyklos {

class CFilterSelectionDialog : public RadioSelectionDialog {
    Q_OBJECT
public:
    explicit CFilterSelectionDialog(QWidget* parent = nullptr);
};

} // namespace kyklos
