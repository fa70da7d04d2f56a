#pragma once
// Drives modal windows from inside their own event loop: a timer waits until
// a window of the wanted type is the active modal one, then hands it over.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

template <typename Window>
void WhenModal(std::function<void(Window*)> action, int timeoutMs = 5000) {
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, waited, timeoutMs] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(window);
            return;
        }
        *waited += 10;
        if (*waited > timeoutMs) {
            // Whatever else is modal now would block the test: close it so
            // the test goes on and fails on its own checks.
            timer->stop();
            timer->deleteLater();
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

// Answers the next message box: records its text and presses its button.
struct MessageBoxAnswer {
    QString text;
    int count = 0;
};

inline std::shared_ptr<MessageBoxAnswer> AnswerNextMessageBox() {
    auto answer = std::make_shared<MessageBoxAnswer>();
    WhenModal<QMessageBox>([answer](QMessageBox* box) {
        answer->text = box->text();
        ++answer->count;
        if (QAbstractButton* button = box->defaultButton())
            button->click();
        else
            box->close();
    });
    return answer;
}
