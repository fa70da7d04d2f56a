#pragma once
// The pass loop shared by the filter kernels, written once over a small
// vector type V (Width doubles; Load, Store, Broadcast, Add, Mul). Each
// kernel's translation unit includes it with its own compiler flags; the
// unnamed namespace keeps every instantiation local to its unit, so the
// linker can never hand a wide-vector copy to a processor without it.
//
// Only raw pointers here: an inline library function instantiated under
// -mavx512f could otherwise be picked for the portable path.

#include <cstddef>

namespace kyklos::detail {
namespace {

// Eight independent accumulators keep the adders busy while each sum waits
// for its previous add; four passes per loop turn leave the loop overhead
// and the weight broadcasts out of the way.
constexpr int kAccumulators = 8;
constexpr int kPassUnroll = 4;

// One pass k over the tile whose centre sample is `centre`.
template <class V>
inline void AddPass(typename V::Type (&sum)[kAccumulators], const double* centre, const double* weights, int k)
{
    constexpr std::size_t width = V::Width;
    const typename V::Type w = V::Broadcast(weights[k]);
    const double* up = centre + k;
    const double* down = centre - k;
#pragma GCC unroll 8
    for (int j = 0; j < kAccumulators; ++j)
        sum[j] = V::Add(sum[j], V::Mul(V::Add(V::Load(up + j * width), V::Load(down + j * width)), w));
}

template <class V>
inline void AccumulatePassLoop(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                               int last)
{
    constexpr std::size_t width = V::Width;
    constexpr std::size_t tile = width * kAccumulators;
    for (std::size_t i = 0; i < count; i += tile) {
        typename V::Type sum[kAccumulators];
#pragma GCC unroll 8
        for (int j = 0; j < kAccumulators; ++j) sum[j] = V::Load(acc + i + j * width);
        const double* centre = profile + i;
        int k = first;
        for (; k <= last - (kPassUnroll - 1); k += kPassUnroll) {
#pragma GCC unroll 4
            for (int u = 0; u < kPassUnroll; ++u) AddPass<V>(sum, centre, weights, k + u);
        }
        for (; k <= last; ++k) AddPass<V>(sum, centre, weights, k);
#pragma GCC unroll 8
        for (int j = 0; j < kAccumulators; ++j) V::Store(acc + i + j * width, sum[j]);
    }
}

} // namespace
} // namespace kyklos::detail
