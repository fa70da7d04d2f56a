#include "document/CounterRandom.h"

#include <Random123/philox.h>

#include <cmath>
#include <numbers>

namespace kyklos {

double OpenUnitInterval(std::uint64_t word)
{
    constexpr double kCell = 0x1p-53;
    return (static_cast<double>(word >> 11) + 0.5) * kCell;
}

std::array<double, 4> CounterRandom::Uniforms(std::uint64_t draw, std::uint64_t sample, std::uint64_t stream) const
{
    const r123::Philox4x64 philox;
    const r123::Philox4x64::ctr_type counter = {{draw, sample, stream, 0}};
    const r123::Philox4x64::key_type key = {{seed_, 0}};
    const r123::Philox4x64::ctr_type words = philox(counter, key);
    return {OpenUnitInterval(words[0]), OpenUnitInterval(words[1]), OpenUnitInterval(words[2]),
            OpenUnitInterval(words[3])};
}

CounterRandom::Normals CounterRandom::NormalPair(std::uint64_t draw, std::uint64_t sample, std::uint64_t stream) const
{
    const std::array<double, 4> u = Uniforms(draw, sample, stream);
    const double radius = std::sqrt(-2.0 * std::log(u[0]));
    const double angle = 2.0 * std::numbers::pi * u[1];
    return {radius * std::cos(angle), radius * std::sin(angle), u[2]};
}

} // namespace kyklos
