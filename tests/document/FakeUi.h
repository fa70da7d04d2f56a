#pragma once
// A UI port for tests: records messages and redraws, answers dialogs with
// chosen values.

#include "platform/ProgressPort.h"
#include "platform/UiPort.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

class FakeUi final : public UiPort {
public:
    std::vector<std::string> messages;
    int redraws = 0;
    std::optional<std::string> fileAnswer;
    std::optional<int> referenceAnswer;
    std::optional<int> filterAnswer;
    std::string lastInitialPath;
    int lastReferenceShown = -99;
    int lastFilterShown = -99;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> ChooseFileToOpen(std::string_view initialPath) override
    {
        lastInitialPath = std::string(initialPath);
        return fileAnswer;
    }
    std::optional<int> ChooseReference(int current) override
    {
        lastReferenceShown = current;
        return referenceAnswer;
    }
    std::optional<int> ChooseFilterIndex(int current) override
    {
        lastFilterShown = current;
        return filterAnswer;
    }
    void UpdateAllViews() override { ++redraws; }
};

// A progress display that is shown and cancels when asked to at a chosen update.
class FakeProgress final : public ProgressPort {
public:
    int cancelAtUpdate = -1; // the SetPos call (1-based) after which Cancel is seen
    int updates = 0;
    bool shown = false;
    bool active = false;

    bool Show(std::string_view, std::string_view) override
    {
        shown = active = true;
        return true;
    }
    void SetPos(int) override
    {
        ++updates;
        if (updates == cancelAtUpdate) active = false;
    }
    void PumpMessage() override {}
    bool IsActive() const override { return active; }
    void Close() override { active = false; }
};

} // namespace kyklos
