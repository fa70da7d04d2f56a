// The filter kernel for the build's baseline instruction set.

#include "analysis/simd/FilterKernels.h"
#include "analysis/simd/FilterPassLoop.h"

namespace kyklos::detail {
namespace {

#if defined(__GNUC__)
// Two doubles: one SSE2 register on x86-64, one NEON register on AArch64,
// plain scalar code elsewhere.
struct PortableVector {
    typedef double Type __attribute__((vector_size(16)));
    // The same vector at the alignment of a double, for unaligned access.
    typedef double Unaligned __attribute__((vector_size(16), aligned(8), may_alias));
    static constexpr std::size_t Width = 2;
    static Type Load(const double* p) { return *reinterpret_cast<const Unaligned*>(p); }
    static void Store(double* p, Type v) { *reinterpret_cast<Unaligned*>(p) = v; }
    static Type Broadcast(double x) { return Type{x, x}; }
    static Type Add(Type a, Type b) { return a + b; }
    static Type Mul(Type a, Type b) { return a * b; }
};
#else
struct PortableVector {
    using Type = double;
    static constexpr std::size_t Width = 1;
    static Type Load(const double* p) { return *p; }
    static void Store(double* p, Type v) { *p = v; }
    static Type Broadcast(double x) { return x; }
    static Type Add(Type a, Type b) { return a + b; }
    static Type Mul(Type a, Type b) { return a * b; }
};
#endif

static_assert(kFilterTile % (PortableVector::Width * kAccumulators) == 0);

} // namespace

void AccumulatePassesPortable(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                              int last)
{
    AccumulatePassLoop<PortableVector>(profile, weights, acc, count, first, last);
}

} // namespace kyklos::detail
