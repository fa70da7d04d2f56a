#pragma once
// Helpers of the application's widget tests: a progress port that counts the
// analyses it sees, a driver for modal windows, and profile files on disk.

#include "platform/ProgressPort.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace kyklos::test {

// Every analysis runs the filter, and every filter run asks for the display:
// Show counts analyses. Never shown, so the filter runs to its end.
class CountingProgress final : public ProgressPort {
public:
    bool Show(std::string_view, std::string_view) override
    {
        ++Shown;
        return false;
    }
    void SetPos(int) override {}
    void PumpMessage() override {}
    bool IsActive() const override { return false; }
    void Close() override {}
    int Shown = 0;
};

// Runs `action` on the next modal widget of type Window once it is visible
// (from inside its own event loop). `seen` tells afterwards whether it came.
template <typename Window>
std::shared_ptr<bool> WhenModal(std::function<void(Window*)> action, int timeoutMs = 5000)
{
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, action, waited, seen, timeoutMs] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            action(window);
            return;
        }
        *waited += 10;
        if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
    return seen;
}

// Records the text and title of the next message box and presses OK.
struct MessageSeen {
    QString text;
    QString title;
    bool seen = false;
};

inline std::shared_ptr<MessageSeen> AnswerNextMessageBox()
{
    auto answer = std::make_shared<MessageSeen>();
    WhenModal<QMessageBox>([answer](QMessageBox* box) {
        answer->text = box->text();
        answer->title = box->windowTitle();
        answer->seen = true;
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->close();
    });
    return answer;
}

inline std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& content)
{
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// A valid profile of `count` points: a circle of 10 mm with a 3-lobe form error.
inline std::string ProfileText(int count)
{
    std::string text = "KYKLOS_DATA 1.0\nIDENTIFICATION: Test shaft\nDATE: 01 Jan 2024\nNUMBER_OF_POINTS: "
                       + std::to_string(count) + "\nPROFILE_UM:\n";
    for (int i = 0; i < count; ++i)
        text += std::to_string(10000.0 + 2.0 * std::sin(3.0 * 6.283185307179586 * i / count)) + "\n";
    return text;
}

} // namespace kyklos::test
