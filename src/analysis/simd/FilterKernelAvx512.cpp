// The filter kernel for AVX-512 processors; compiled with -mavx512f and
// called only after the processor has been checked.

#include "analysis/simd/FilterKernels.h"
#include "analysis/simd/FilterPassLoop.h"

#include <immintrin.h>

namespace kyklos::detail {
namespace {

struct Avx512Vector {
    using Type = __m512d;
    static constexpr std::size_t Width = 8;
    static Type Load(const double* p) { return _mm512_loadu_pd(p); }
    static void Store(double* p, Type v) { _mm512_storeu_pd(p, v); }
    static Type Broadcast(double x) { return _mm512_set1_pd(x); }
    // Separate multiply and add, as on every other path.
    static Type Add(Type a, Type b) { return _mm512_add_pd(a, b); }
    static Type Mul(Type a, Type b) { return _mm512_mul_pd(a, b); }
};

static_assert(kFilterTile % (Avx512Vector::Width * kAccumulators) == 0);

} // namespace

void AccumulatePassesAvx512(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                            int last)
{
    AccumulatePassLoop<Avx512Vector>(profile, weights, acc, count, first, last);
}

} // namespace kyklos::detail
