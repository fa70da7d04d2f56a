#include "analysis/FourierTransform.h"
#include "analysis/HarmonicSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace kyklos {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// A measured-looking profile in millimetres: off-centre, lobed, noisy.
std::vector<double> PartProfile(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.0005);
    std::vector<double> r(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = i * kTwoPi / n;
        r[static_cast<std::size_t>(i)] = 12.5 + 0.02 * std::cos(t) - 0.01 * std::sin(t) + 0.003 * std::cos(2 * t + 1) +
                                         0.002 * std::sin(7 * t) + noise(rng);
    }
    return r;
}

// a_k, b_k by the defining sums, each angle reduced exactly as (k·i mod N)·2π/N.
HarmonicTerm DirectTerm(const std::vector<double>& r, int k)
{
    const auto n = static_cast<long long>(r.size());
    double sc = 0.0, ss = 0.0;
    for (long long i = 0; i < n; ++i) {
        const double t = static_cast<double>(k * i % n) * kTwoPi / static_cast<double>(n);
        sc += r[static_cast<std::size_t>(i)] * std::cos(t);
        ss += r[static_cast<std::size_t>(i)] * std::sin(t);
    }
    if (2 * k == n) return {sc / static_cast<double>(n), 0.0};
    return {2.0 * sc / static_cast<double>(n), 2.0 * ss / static_cast<double>(n)};
}

void ExpectTermsMatch(const HarmonicTerm& actual, const HarmonicTerm& expected, int k)
{
    EXPECT_NEAR(actual.a, expected.a, 1e-12) << "k = " << k;
    EXPECT_NEAR(actual.b, expected.b, 1e-12) << "k = " << k;
}

TEST(HarmonicSpectrum, PrimeCountByChirpEqualsTheDirectSum)
{
    constexpr int n = 35999;
    ASSERT_EQ(ChooseFourierMethod(n, n, n), FourierMethod::Chirp);
    ASSERT_EQ(ChooseFourierMethod(36000, 36000, 36000), FourierMethod::MixedRadix);
    const std::vector<double> raw = PartProfile(n, 1);
    const std::vector<double> other = PartProfile(n, 2);
    std::vector<HarmonicTerm> rawTerms, otherTerms;
    HarmonicSpectra(raw, other, rawTerms, otherTerms);
    ASSERT_EQ(rawTerms.size(), 17999u);
    ASSERT_EQ(otherTerms.size(), 17999u);
    for (int k : {1, 2, 3, 7, 500, 9001, 17998, 17999}) {
        ExpectTermsMatch(rawTerms[static_cast<std::size_t>(k - 1)], DirectTerm(raw, k), k);
        ExpectTermsMatch(otherTerms[static_cast<std::size_t>(k - 1)], DirectTerm(other, k), k);
    }
    EXPECT_NEAR(rawTerms[6].Amplitude(), 0.002, 2e-5); // the 7-lobe form through the noise
}

TEST(HarmonicSpectrum, ComponentsRebuildTheProfile)
{
    // r = mean + Σ A_k·cos(kθ − φ_k): catches a wrong phase sign, a doubled
    // alternating term for even N, a lost last term for odd N.
    for (int n : {2, 9, 10, 64}) {
        const std::vector<double> r = PartProfile(n, 3);
        const std::vector<HarmonicTerm> terms = HarmonicSpectrum(r);
        ASSERT_EQ(terms.size(), static_cast<std::size_t>(n / 2));
        double mean = 0.0;
        for (double v : r) mean += v / n;
        for (int i = 0; i < n; ++i) {
            double sum = mean;
            for (int k = 1; k <= n / 2; ++k) {
                const HarmonicTerm& h = terms[static_cast<std::size_t>(k - 1)];
                sum += h.Amplitude() * std::cos(k * (i * kTwoPi / n) - h.Phase());
            }
            EXPECT_NEAR(sum, r[static_cast<std::size_t>(i)], 1e-12) << "N = " << n << ", i = " << i;
        }
    }
    EXPECT_TRUE(HarmonicSpectrum(std::vector<double>{10.0}).empty());
}

TEST(FourierTransform, BothMethodsGiveTheSameBinsForAnyInputAndOutputLength)
{
    // The transmission transforms a short kernel and keeps half the bins.
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int n : {97, 1000, 3600}) {
        for (int length : {1, n / 7, n}) {
            std::vector<std::complex<double>> z(static_cast<std::size_t>(length));
            for (auto& v : z) v = {unit(rng), unit(rng)};
            for (int count : {1, n / 2 + 1, n}) {
                const auto chirp = DiscreteFourierTransform(z, n, count, FourierMethod::Chirp);
                const auto radix = DiscreteFourierTransform(z, n, count, FourierMethod::MixedRadix);
                ASSERT_EQ(chirp.size(), static_cast<std::size_t>(count));
                ASSERT_EQ(radix.size(), static_cast<std::size_t>(count));
                for (int k = 0; k < count; ++k)
                    ASSERT_LT(std::abs(chirp[static_cast<std::size_t>(k)] - radix[static_cast<std::size_t>(k)]), 1e-11)
                        << "N = " << n << ", L = " << length << ", k = " << k;
            }
        }
    }
    const std::vector<std::complex<double>> tooLong(5);
    EXPECT_TRUE(DiscreteFourierTransform(tooLong, 4, 2).empty());
}

} // namespace
} // namespace kyklos
