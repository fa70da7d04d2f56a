#pragma once
// A dialog around one number field: a group box holding a line edit with its
// unit label beside it, then OK and Cancel. The text is read as a number with
// a full stop under every locale; a text the dialog refuses keeps it open
// with a message and the field's text selected for typing again.

#include <QDialog>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace kyklos {

class NumberFieldDialog : public QDialog {
    Q_OBJECT
public:
    // The value text as the dialog writes it: up to 15 significant digits and
    // a full stop, so that 1 µm/div reads "1" and 2.5 × 40 reads "100".
    static QString FormatValue(double value);
    // False when the text is not a number (see ParseNumber; blanks around it,
    // Unicode ones included, are allowed) or is NaN.
    static bool ParseValue(const QString& text, double& value);

    QLineEdit* ValueEdit() const { return valueEdit_; }
    QLabel* UnitsLabel() const { return unitsLabel_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

public slots:
    // Closes the dialog only when ReadControls takes what the controls hold.
    void accept() override;

protected:
    // The group box titled groupTitle holds the field across valueColumns
    // columns of its grid, each stretching alike, and the unit label after
    // it, wide enough for widestUnit.
    NumberFieldDialog(const QString& caption, const QString& groupTitle, int valueColumns, const QString& widestUnit,
                      QWidget* parent);

    // The group box's grid, for the controls below the field (from row 1).
    QGridLayout* FieldGrid() const { return grid_; }

    // Fills the controls from the members, which the caller sets between
    // construction and the run: called once, when the dialog first appears.
    virtual void OnInitDialog() = 0;
    // Reads the controls into the members; on a text it refuses, returns Refuse(…).
    virtual bool ReadControls() = 0;

    // Shows the message ("Kyklos", OK), gives the focus back to the field with
    // its text selected, and returns false.
    bool Refuse(const QString& message);

    void showEvent(QShowEvent* event) override;

private:
    void SelectValue();

    QGridLayout* grid_ = nullptr;
    QLineEdit* valueEdit_ = nullptr;
    QLabel* unitsLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool initialised_ = false;
};

} // namespace kyklos
