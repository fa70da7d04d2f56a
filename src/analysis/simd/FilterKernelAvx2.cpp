// The filter kernel for AVX2 processors; compiled with -mavx2 and called only
// after the processor has been checked.

#include "analysis/simd/FilterKernels.h"
#include "analysis/simd/FilterPassLoop.h"

#include <immintrin.h>

namespace kyklos::detail {
namespace {

struct Avx2Vector {
    using Type = __m256d;
    static constexpr std::size_t Width = 4;
    static Type Load(const double* p) { return _mm256_loadu_pd(p); }
    static void Store(double* p, Type v) { _mm256_storeu_pd(p, v); }
    static Type Broadcast(double x) { return _mm256_set1_pd(x); }
    // Separate multiply and add: a fused multiply-add would round once and
    // give other digits than the portable path.
    static Type Add(Type a, Type b) { return _mm256_add_pd(a, b); }
    static Type Mul(Type a, Type b) { return _mm256_mul_pd(a, b); }
};

static_assert(kFilterTile % (Avx2Vector::Width * kAccumulators) == 0);

} // namespace

void AccumulatePassesAvx2(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                          int last)
{
    AccumulatePassLoop<Avx2Vector>(profile, weights, acc, count, first, last);
}

} // namespace kyklos::detail
