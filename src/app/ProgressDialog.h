#pragma once
// The progress display of the Gaussian filter: a caption, one message line,
// the percentage bar and Cancel. It is shown without a modal loop of its own
// (the filter keeps computing and lets it handle its pending events), yet it
// blocks input to every other window of the application while it is up.

#include "app/PercentBarCtrl.h"
#include "platform/ProgressPort.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kyklos {

class CProgressDialog : public QDialog, public ProgressPort {
    Q_OBJECT
public:
    CProgressDialog();

    // ProgressPort
    bool Show(std::string_view caption, std::string_view message) override;
    void SetPos(int position) override;
    void PumpMessage() override;
    bool IsActive() const override { return Active; }
    void Close() override;

    CPercentBarCtrl* Bar() const { return bar_; }
    QLabel* MessageLabel() const { return message_; }
    QPushButton* CancelButton() const { return cancel_; }

    // True while shown and not cancelled.
    bool Active = false;

public slots:
    // Cancel button, Escape and the close box: the caller sees Active false
    // after its next PumpMessage.
    void reject() override;

private:
    CPercentBarCtrl* bar_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kyklos
