#pragma once
// The About box: the picture, the version, a credit line, the maker's web
// address and a notice line, with OK.

#include <QDialog>

namespace kyklos {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

} // namespace kyklos
