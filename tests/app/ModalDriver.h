#pragma once
// Drives modal windows from inside their own event loop: a timer waits until
// a window of the wanted type is the active modal one, then hands it over.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

// The drivers still waiting, so that a test's cleanup can stop them: one
// left from a test that expected no window must not answer the next test's.
inline std::vector<QPointer<QTimer>>& PendingModalDrivers()
{
    static std::vector<QPointer<QTimer>> pending;
    return pending;
}

inline void CancelModalDrivers()
{
    for (const QPointer<QTimer>& timer : PendingModalDrivers())
        if (timer) {
            timer->stop();
            timer->deleteLater();
        }
    PendingModalDrivers().clear();
}

template <typename Window>
std::shared_ptr<bool> WhenModal(std::function<void(Window*)> action, int timeoutMs = 5000)
{
    // `seen` tells afterwards whether the window came.
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    PendingModalDrivers().emplace_back(timer);
    // Waited by the clock, not by ticks: a loaded machine delays the ticks.
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, action, waited, seen, timeoutMs] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            action(window);
            return;
        }
        if (waited->elapsed() > timeoutMs) {
            // Whatever else is modal now would block the test: close it so
            // the test goes on and fails on its own checks.
            timer->stop();
            timer->deleteLater();
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        }
    });
    timer->start(10);
    return seen;
}

// Answers the next message box: records its text and title and presses OK
// (or its default button).
struct MessageBoxAnswer {
    QString text;
    QString informativeText;
    QString title;
    int count = 0;
    bool seen = false;
};

inline std::shared_ptr<MessageBoxAnswer> AnswerNextMessageBox()
{
    auto answer = std::make_shared<MessageBoxAnswer>();
    WhenModal<QMessageBox>([answer](QMessageBox* box) {
        answer->text = box->text();
        answer->informativeText = box->informativeText();
        answer->title = box->windowTitle();
        answer->seen = true;
        ++answer->count;
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else if (QAbstractButton* button = box->defaultButton())
            button->click();
        else
            box->close();
    });
    return answer;
}
