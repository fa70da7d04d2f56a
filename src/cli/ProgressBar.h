#pragma once
// A one-line progress bar on a terminal: files done of the total, files per
// second and the time left. Redrawn at most ten times a second.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace kyklos {

class ProgressBar {
public:
    // stream null: no bar at all.
    ProgressBar(std::FILE* stream, std::size_t total);
    ~ProgressBar();

    void Update(std::size_t done);
    // Removes the bar so that a message can take its line; the next Update draws it again.
    void Clear();
    void Finish();

    // The bar's text (without the line control), for tests and for drawing.
    static std::string Line(std::size_t done, std::size_t total, double seconds);

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* stream_;
    std::size_t total_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_{};
    bool shown_ = false;
};

} // namespace kyklos
