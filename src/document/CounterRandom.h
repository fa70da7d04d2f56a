#pragma once
// Random numbers addressed by a counter rather than drawn from a stream:
// the numbers of one draw of an uncertainty simulation depend only on the
// seed, the draw's index and the sample's index, so any worker may compute
// any draw and the simulation gives the same bits for any number of threads.
//
// The block function is Philox4x64-10 (Random123, Salmon et al., SC 2011):
// key (seed, 0), counter (draw, sample, stream, 0), four 64-bit words out.

#include <array>
#include <cstdint>

namespace kyklos {

class CounterRandom {
public:
    explicit CounterRandom(std::uint64_t seed) : seed_(seed) {}

    // Four independent uniform numbers in the open interval (0, 1) for one
    // (draw, sample, stream) address; a different stream gives other numbers
    // at the same draw and sample.
    std::array<double, 4> Uniforms(std::uint64_t draw, std::uint64_t sample, std::uint64_t stream) const;

    // Two independent standard normal numbers (Box–Muller) from the first two
    // uniforms of an address, and its third uniform beside them.
    struct Normals {
        double First = 0.0;
        double Second = 0.0;
        double Uniform = 0.0; // the third uniform, in (0, 1)
    };
    Normals NormalPair(std::uint64_t draw, std::uint64_t sample, std::uint64_t stream) const;

private:
    std::uint64_t seed_;
};

// A 64-bit word as a uniform number in (0, 1): its top 53 bits, centred in
// their cell, so that neither 0 (log 0 in Box–Muller) nor 1 can occur.
double OpenUnitInterval(std::uint64_t word);

} // namespace kyklos
