#include "cli/ProgressBar.h"

namespace kyklos {

namespace {
std::string Duration(double seconds)
{
    if (!(seconds >= 0.0) || seconds > 359999.0) return "--:--";
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}
} // namespace

ProgressBar::ProgressBar(std::FILE* stream, std::size_t total) : stream_(stream), total_(total), start_(Clock::now()) {}

ProgressBar::~ProgressBar() { Finish(); }

std::string ProgressBar::Line(std::size_t done, std::size_t total, double seconds)
{
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total > 0 ? done * kWidth / total : kWidth;
    std::string bar = "[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] ";
    bar += std::to_string(done) + "/" + std::to_string(total);
    if (seconds > 0.0 && done > 0) {
        const double rate = static_cast<double>(done) / seconds;
        bar += "  " + std::to_string(static_cast<long long>(rate + 0.5)) + " files/s  " +
               Duration(static_cast<double>(total - done) / rate) + " left";
    }
    return bar;
}

void ProgressBar::Update(std::size_t done)
{
    if (!stream_) return;
    const auto now = Clock::now();
    if (shown_ && done < total_ && now - lastDrawn_ < std::chrono::milliseconds(100)) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // Carriage return, the bar, and erase the rest of the line.
    std::fprintf(stream_, "\r%s\033[K", Line(done, total_, seconds).c_str());
    std::fflush(stream_);
    shown_ = true;
}

void ProgressBar::Clear()
{
    if (!stream_ || !shown_) return;
    std::fputs("\r\033[K", stream_);
    shown_ = false;
    lastDrawn_ = {};
}

void ProgressBar::Finish()
{
    if (!stream_ || !shown_) return;
    std::fputs("\n", stream_);
    std::fflush(stream_);
    shown_ = false;
    stream_ = nullptr;
}

} // namespace kyklos
