#include "analysis/FilterResponse.h"
#include "analysis/SpectralFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace kyklos {
namespace {

using Complex = std::complex<double>;
constexpr double kTwoPi = 6.283185307179586;

// Short and prime counts, the count of the sampling warning (360 samples at
// 150 UPR, where the sampled filter passes 73 %), cutoffs beyond N/2.
const int kCounts[] = {2, 3, 8, 97, 360, 997};
const int kCutoffs[] = {1, 15, 150, 500};

double Angle(long long k, long long j, long long n)
{
    return static_cast<double>(k * j % n) * kTwoPi / static_cast<double>(n);
}

// Every harmonic at 1 µm, each at its own phase, on a mean of 5 µm.
std::vector<double> EveryHarmonic(int n)
{
    std::vector<double> r(static_cast<std::size_t>(n), 0.005);
    for (int k = 1; 2 * k <= n; ++k)
        for (int i = 0; i < n; ++i)
            r[static_cast<std::size_t>(i)] += 0.001 * std::cos(Angle(k, i, n) + 0.7 * (2 * k < n) * k);
    return r;
}

// What the filter did to harmonics 0 … N/2, measured by the defining sums
// X_k = Σ r_j·exp(−ijk·2π/N); its charted transmission must be |H|.
std::vector<Complex> Measured(const FilterSpec& filterSpec, const std::vector<double>& in)
{
    const int n = static_cast<int>(in.size());
    std::vector<double> out(in.size());
    EXPECT_TRUE(SpectralFilterProfile(filterSpec, in, out));
    const std::vector<double> charted = FilterTransmission(filterSpec, n);
    std::vector<Complex> h;
    for (int k = 0; 2 * k <= n; ++k) {
        Complex x, y;
        for (int j = 0; j < n; ++j) {
            const Complex e = std::polar(1.0, -Angle(k, j, n));
            x += in[static_cast<std::size_t>(j)] * e;
            y += out[static_cast<std::size_t>(j)] * e;
        }
        h.push_back(y / x);
        if (k > 0) {
            EXPECT_NEAR(charted[static_cast<std::size_t>(k - 1)], std::abs(h.back()), 1e-9) << n << ", " << k;
        }
    }
    return h;
}

double Exact(std::size_t k, double cutoff)
{
    const double x = static_cast<double>(k) / cutoff;
    return std::pow(2.0, -x * x);
}

TEST(SpectralFilter, EveryKindFollowsItsFormulaAtEveryCount)
{
    for (const int n : kCounts) {
        const std::vector<double> in = EveryHarmonic(n);
        for (const int kc : kCutoffs) {
            const std::vector<Complex> exact = Measured({FilterKind::GaussianExact, kc, 0, 0}, in);
            const std::vector<Complex> twoRC = Measured({FilterKind::TwoRC, kc, 0, 0}, in);
            const std::vector<Complex> band = Measured({FilterKind::Band, 0, kc, 4 * kc}, in);
            for (std::size_t k = 0; k < exact.size(); ++k) {
                const std::string where = std::to_string(n) + ", " + std::to_string(kc) + ", k = " + std::to_string(k);
                ASSERT_LT(std::abs(exact[k] - Exact(k, kc)), 1e-9) << where;
                ASSERT_LT(std::abs(band[k] - Exact(k, 4 * kc) * (1.0 - Exact(k, kc))), 1e-9) << where; // H(0) = 0
                // The alternating term k = N/2 cannot carry a phase: Re H.
                const Complex stage = 1.0 / Complex(1.0, static_cast<double>(k) / (std::sqrt(3.0) * kc));
                ASSERT_LT(std::abs(twoRC[k] - (2 * k == in.size() ? (stage * stage).real() : stage * stage)), 1e-9)
                    << where;
            }
            if (2 * kc >= n) continue;
            // 2RC: −60°, the crests move to larger angles, later in the direction of sampling.
            EXPECT_NEAR(std::abs(twoRC[static_cast<std::size_t>(kc)]), 0.75, 1e-3) << n << ", " << kc;
            EXPECT_NEAR(std::arg(twoRC[static_cast<std::size_t>(kc)]), -kTwoPi / 6.0, 1e-3) << n << ", " << kc;
        }
        std::vector<double> out(in.size());
        ASSERT_TRUE(SpectralFilterProfile({FilterKind::None, 50, 0, 0}, in, out));
        EXPECT_EQ(out, in);
        EXPECT_EQ(FilterTransmission({FilterKind::None, 50, 0, 0}, n), std::vector<double>(in.size() / 2, 1.0));
    }
    EXPECT_NEAR(Measured({FilterKind::GaussianExact, 150, 0, 0}, EveryHarmonic(360))[150].real(), 0.5, 1e-12);
}

TEST(SpectralFilter, FiltersInPlaceAndRefusesOtherKinds)
{
    const std::vector<double> in = EveryHarmonic(97);
    std::vector<double> inPlace = in, apart(in.size());
    ASSERT_TRUE(SpectralFilterProfile({FilterKind::TwoRC, 15, 0, 0}, in, apart));
    ASSERT_TRUE(SpectralFilterProfile({FilterKind::TwoRC, 15, 0, 0}, inPlace, inPlace));
    EXPECT_EQ(inPlace, apart);

    std::vector<double> out(in.size(), 7.0), shorter(in.size() - 1, 7.0);
    for (const FilterSpec& refused :
         {FilterSpec{FilterKind::Gaussian, 50, 0, 0}, FilterSpec{FilterKind::Robust, 50, 0, 0},
          FilterSpec{FilterKind::Band, 50, 150, 150}})
        EXPECT_FALSE(SpectralFilterProfile(refused, in, out)) << FilterName(refused.Kind);
    EXPECT_FALSE(SpectralFilterProfile({FilterKind::GaussianExact, 50, 0, 0}, in, shorter));
    EXPECT_EQ(out, std::vector<double>(in.size(), 7.0));
}

} // namespace
} // namespace kyklos
