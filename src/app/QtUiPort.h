#pragma once
// The document's way to the user in the desktop application: message boxes,
// the open-file dialog, the two selection dialogs and the view's redraw.
// While the application reads a file it names that file here, and every
// message box shown meanwhile names it below the document's own message.

#include "platform/UiPort.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>

namespace kyklos {

class QtUiPort final : public UiPort {
public:
    // Until the main window exists, dialogs have no parent and there is no view to redraw.
    void SetDialogParent(QWidget* parent) { parent_ = parent; }
    void SetViewWidget(QWidget* view) { view_ = view; }
    // The file (its bytes, a full path) the messages from now on are about; empty: none.
    void SetMessageFile(std::string path) { messageFile_ = std::move(path); }
    const std::string& MessageFile() const { return messageFile_; }
    // Views that keep results of their own (the evaluation panel) hear of
    // every redraw, after the report view.
    void SetOtherViews(std::function<void()> update) { otherViews_ = std::move(update); }

    void ShowMessage(std::string_view text) override;
    // How many messages have been shown: a command that shows one has refused something.
    int MessagesShown() const { return messagesShown_; }
    std::optional<std::string> ChooseFileToOpen(std::string_view initialPath) override;
    std::optional<int> ChooseReference(int current) override;
    std::optional<int> ChooseFilterIndex(int current) override;
    void UpdateAllViews() override;

    // The filters of the open-file dialog.
    static QString OpenFileFilter();

private:
    QPointer<QWidget> parent_;
    QPointer<QWidget> view_;
    std::string messageFile_;
    std::function<void()> otherViews_;
    int messagesShown_ = 0;
};

// Names a file in the port's messages for the life of the scope.
class MessageFileScope {
public:
    MessageFileScope(QtUiPort& ui, std::string path) : ui_(ui), previous_(ui.MessageFile())
    {
        ui_.SetMessageFile(std::move(path));
    }
    ~MessageFileScope() { ui_.SetMessageFile(previous_); }
    MessageFileScope(const MessageFileScope&) = delete;
    MessageFileScope& operator=(const MessageFileScope&) = delete;

private:
    QtUiPort& ui_;
    std::string previous_;
};

} // namespace kyklos
