#pragma once
// The progress display of the Gaussian filter: a caption, one message line,
// the percentage bar and Cancel. It is shown without a modal loop of its own
// (the filter keeps computing and lets it handle its pending events), yet no
// other window of the application takes input while it is up. A request to
// close another window meanwhile is kept and carried out once it has gone.

#include "app/PercentBarCtrl.h"
#include "platform/ProgressPort.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QLabel;
class QPushButton;

namespace kyklos {

class CProgressDialog : public QDialog, public ProgressPort {
    Q_OBJECT
public:
    CProgressDialog();

    // The window the display belongs to: it stays above it and hands the
    // keyboard back to it when it closes. Null before that window exists.
    void SetOwner(QWidget* owner);

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

protected:
    // While the display is up: input aimed at other windows is dropped, and
    // their close requests wait.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsOwnWindow(QObject* object) const;

    CPercentBarCtrl* bar_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool guarding_ = false;
    QList<QPointer<QWidget>> closeRequests_;
};

} // namespace kyklos
