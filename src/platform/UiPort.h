#pragma once
// How the document reaches the user: a message box, the open-file dialog, the
// two analysis selection dialogs and the redraw of the views. The desktop
// application implements it with widgets; tests and headless programs with
// fakes that answer and record.

#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

class UiPort {
public:
    virtual ~UiPort() = default;

    // A modal message box titled with the application name, OK button only.
    virtual void ShowMessage(std::string_view text) = 0;

    // The open-file dialog starting at initialPath; the chosen full path, or
    // nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(std::string_view initialPath) = 0;

    // The Reference Selection dialog opened with radio index `current`
    // (0..3, or -1 for none); the index on OK, nothing on Cancel.
    virtual std::optional<int> ChooseReference(int current) = 0;

    // The Filter Selection dialog opened with radio index `current` (0..4);
    // the index on OK, nothing on Cancel.
    virtual std::optional<int> ChooseFilterIndex(int current) = 0;

    // Every view redraws from the document.
    virtual void UpdateAllViews() = 0;
};

} // namespace kyklos
