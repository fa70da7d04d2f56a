#pragma once
// Random numbers addressed by a counter rather than drawn from a stream:
// the numbers of one draw of an uncertainty simulation depend only on the
// seed, the draw's index and the index of a block of samples, so any worker
// may compute any draw and the simulation gives the same bits for any
// number of threads.
//
// The block function is Philox4x64-10 (Random123, Salmon et al., SC 2011):
// key (seed, 0), counter (draw, block, stream, 0), four 64-bit words out,
// each of which is used: one call gives four uniform or normal numbers, or
// eight coarser uniform ones.

#include <array>
#include <cstdint>

namespace kyklos {

class CounterRandom {
public:
    explicit CounterRandom(std::uint64_t seed) : seed_(seed) {}

    // Four independent uniform numbers in the open interval (0, 1) for one
    // (draw, block, stream) address; a different stream gives other numbers
    // at the same draw and block.
    std::array<double, 4> Uniforms(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const;

    // Eight independent uniform numbers in (0, 1) of 32 bits each, from the
    // halves of the four words: ample for a quantisation error, at half the
    // generator's cost per number.
    std::array<double, 8> CoarseUniforms(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const;

    // Four independent standard normal numbers: the inverse normal
    // distribution function of the address's four uniforms.
    std::array<double, 4> Normals(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const;

private:
    std::uint64_t seed_;
};

// A 64-bit word as a uniform number in (0, 1): its top 52 bits, centred in
// their cell. Every value is exact, as is its complement 1 − u, and lies in
// [2⁻⁵³, 1 − 2⁻⁵³], so neither tail of the inverse below is infinite.
double OpenUnitInterval(std::uint64_t word);

// The standard normal quantile Φ⁻¹(p) for 0 < p < 1, by Wichura's rational
// approximations (Applied Statistics AS241, PPND16: relative error about
// 1e-16). In the central 85 % it is one rational function without any
// logarithm, which makes it much cheaper than Box–Muller per number.
double InverseNormal(double p);

} // namespace kyklos
