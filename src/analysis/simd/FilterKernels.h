#pragma once
// The inner loop of the Gaussian filter, one translation unit per vector
// unit. For every sample i of acc and every pass k from first to last, in
// ascending k:
//     acc[i] = acc[i] + (profile[i + k] + profile[i - k]) * weights[k]
// with a separate multiply and add, so every unit rounds alike.
//
// count is a multiple of kFilterTile; profile[-last .. count - 1 + last] must
// be readable (the caller extends the closed profile periodically).

#include <cstddef>

namespace kyklos::detail {

// The widest tile of any kernel: 8 accumulators of 8 doubles.
inline constexpr std::size_t kFilterTile = 64;

void AccumulatePassesPortable(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                              int last);

#if defined(KYKLOS_FILTER_X86_KERNELS)
void AccumulatePassesAvx2(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                          int last);
void AccumulatePassesAvx512(const double* profile, const double* weights, double* acc, std::size_t count, int first,
                            int last);
#endif

} // namespace kyklos::detail
