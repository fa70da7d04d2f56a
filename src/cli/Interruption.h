#pragma once
// SIGINT and SIGTERM during a batch run. The handler only notes the signal
// (and hands the next one of its kind back to the default action, so that a
// second Ctrl+C ends a run that hangs); the run ends after the record it is
// writing, closes its output, and then raises the signal again so that the
// parent sees the process end by that signal, as a shell expects.

namespace kyklos {

class Interruption {
public:
    // Catches SIGINT and SIGTERM, except one that was ignored when the
    // program started (a background job's SIGINT).
    Interruption();
    // Puts the previous actions back.
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // True once a caught signal arrived.
    static bool Requested();
    // Ends the process by the signal that arrived, with its default action;
    // returns when none arrived.
    void RaiseAgain();
};

} // namespace kyklos
