#pragma once
// The document's way to the user in the desktop application: message boxes,
// the open-file dialog, the two selection dialogs and the view's redraw.

#include "platform/UiPort.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace kyklos {

class QtUiPort final : public UiPort {
public:
    // Until the main window exists, dialogs have no parent and there is no view to redraw.
    void SetDialogParent(QWidget* parent) { parent_ = parent; }
    void SetViewWidget(QWidget* view) { view_ = view; }
    // Views that keep results of their own (the evaluation panel) hear of
    // every redraw, after the report view.
    void SetOtherViews(std::function<void()> update) { otherViews_ = std::move(update); }

    void ShowMessage(std::string_view text) override;
    std::optional<std::string> ChooseFileToOpen(std::string_view initialPath) override;
    std::optional<int> ChooseReference(int current) override;
    std::optional<int> ChooseFilterIndex(int current) override;
    void UpdateAllViews() override;

    // The filters of the open-file dialog.
    static QString OpenFileFilter();

private:
    QPointer<QWidget> parent_;
    QPointer<QWidget> view_;
    std::function<void()> otherViews_;
};

} // namespace kyklos
