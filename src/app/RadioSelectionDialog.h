#pragma once
// A modal choice among a few options: one group box of radio buttons with OK
// and Cancel. The selected index is exchanged with the caller as in a data
// exchange: written into the buttons when the dialog appears, read back on OK.

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace kyklos {

class RadioSelectionDialog : public QDialog {
    Q_OBJECT
public:
    RadioSelectionDialog(const QString& caption, const QString& groupTitle, const QStringList& options,
                         QWidget* parent);

    // Set before the dialog runs, read after OK: 0.., or −1 for none.
    int SelectedIndex = -1;

    QRadioButton* Radio(int index) const;
    int OptionCount() const;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* group_ = nullptr;
};

} // namespace kyklos
