#pragma once
// The progress display of a long computation on the user-interface thread: a
// caption, one message line, a 0..100 bar and a Cancel button. The caller
// feeds it positions and lets it handle one pending user event at a time.

#include <string_view>

namespace kyklos {

class ProgressPort {
public:
    virtual ~ProgressPort() = default;

    // Shows the display; false when it cannot be shown (then the computation
    // runs to its end without progress and without a way to cancel).
    virtual bool Show(std::string_view caption, std::string_view message) = 0;
    // Bar position, 0..100.
    virtual void SetPos(int position) = 0;
    // Handles at most one pending event of the display (a Cancel click takes several).
    virtual void PumpMessage() = 0;
    // True while shown and not cancelled.
    virtual bool IsActive() const = 0;
    // Ends the display as its Cancel would.
    virtual void Close() = 0;
};

// A display that can never be shown: for headless runs.
class NoProgress final : public ProgressPort {
public:
    bool Show(std::string_view, std::string_view) override { return false; }
    void SetPos(int) override {}
    void PumpMessage() override {}
    bool IsActive() const override { return false; }
    void Close() override {}
};

} // namespace kyklos
