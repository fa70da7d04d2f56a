#pragma once
// The classic 15-bit C-library generator, never seeded: the demonstration
// profile is then the same on every platform and in every run.

#include <cstdint>

namespace kyklos {

class ClassicRandom {
public:
    static constexpr int Max = 32767;

    // Next value in 0..32767.
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_ = 1;
};

// The one process-wide generator, shared like the C library's rand().
ClassicRandom& ProcessRandom();

} // namespace kyklos
