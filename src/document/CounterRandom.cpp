#include "document/CounterRandom.h"

#include <Random123/philox.h>

#include <cmath>

namespace kyklos {

namespace {

// A polynomial's value by Horner's rule, coefficients from the constant term up.
template <std::size_t N>
double Polynomial(const std::array<double, N>& c, double x)
{
    double value = c[N - 1];
    for (std::size_t i = N - 1; i-- > 0;) value = value * x + c[i];
    return value;
}

// Wichura (1988), AS241 PPND16: |p − ½| ≤ 0.425 in the variable 0.180625 − q².
constexpr std::array<double, 8> kCentralNumerator{
    3.3871328727963666080e0,  1.3314166789178437745e+2, 1.9715909503065514427e+3, 1.3731693765509461125e+4,
    4.5921953931549871457e+4, 6.7265770927008700853e+4, 3.3430575583588128105e+4, 2.5090809287301226727e+3};
constexpr std::array<double, 8> kCentralDenominator{1.0,
                                                    4.2313330701600911252e+1,
                                                    6.8718700749205790830e+2,
                                                    5.3941960214247511077e+3,
                                                    2.1213794301586595867e+4,
                                                    3.9307895800092710610e+4,
                                                    2.8729085735721942674e+4,
                                                    5.2264952788528545610e+3};
// Tails with r = √(−ln min(p, 1 − p)) ≤ 5, in r − 1.6.
constexpr std::array<double, 8> kNearNumerator{
    1.42343711074968357734e0, 4.63033784615654529590e0,  5.76949722146069140550e0,  3.64784832476320460504e0,
    1.27045825245236838258e0, 2.41780725177450611770e-1, 2.27238449892691845833e-2, 7.74545014278341407640e-4};
constexpr std::array<double, 8> kNearDenominator{1.0,
                                                 2.05319162663775882187e0,
                                                 1.67638483018380384940e0,
                                                 6.89767334985100004550e-1,
                                                 1.48103976427480074590e-1,
                                                 1.51986665636164571966e-2,
                                                 5.47593808499534494600e-4,
                                                 1.05075007164441684324e-9};
// Far tails, r > 5, in r − 5.
constexpr std::array<double, 8> kFarNumerator{
    6.65790464350110377720e0,  5.46378491116411436990e0,  1.78482653991729133580e0,  2.96560571828504891230e-1,
    2.65321895265761230930e-2, 1.24266094738807843860e-3, 2.71155556874348757815e-5, 2.01033439929228813265e-7};
constexpr std::array<double, 8> kFarDenominator{1.0,
                                                5.99832206555887937690e-1,
                                                1.36929880922735805310e-1,
                                                1.48753612908506148525e-2,
                                                7.86869131145613259100e-4,
                                                1.84631831751005468180e-5,
                                                1.42151175831644588870e-7,
                                                2.04426310338993978564e-15};

// The quantile for |q| ≤ 0.425, q = p − ½: no logarithm, no branch.
double CentralQuantile(double q)
{
    const double r = 0.180625 - q * q;
    return q * Polynomial(kCentralNumerator, r) / Polynomial(kCentralDenominator, r);
}

bool InCentralRegion(double q) { return std::fabs(q) <= 0.425; }

r123::Philox4x64::ctr_type Words(std::uint64_t seed, std::uint64_t draw, std::uint64_t block, std::uint64_t stream)
{
    const r123::Philox4x64 philox;
    const r123::Philox4x64::ctr_type counter = {{draw, block, stream, 0}};
    const r123::Philox4x64::key_type key = {{seed, 0}};
    return philox(counter, key);
}

} // namespace

double OpenUnitInterval(std::uint64_t word)
{
    constexpr double kCell = 0x1p-52;
    return (static_cast<double>(word >> 12) + 0.5) * kCell;
}

double InverseNormal(double p)
{
    const double q = p - 0.5;
    if (InCentralRegion(q)) return CentralQuantile(q);
    double r = std::sqrt(-std::log(q < 0.0 ? p : 1.0 - p));
    double value = 0.0;
    if (r <= 5.0) {
        r -= 1.6;
        value = Polynomial(kNearNumerator, r) / Polynomial(kNearDenominator, r);
    } else {
        r -= 5.0;
        value = Polynomial(kFarNumerator, r) / Polynomial(kFarDenominator, r);
    }
    return q < 0.0 ? -value : value;
}

std::array<double, 4> CounterRandom::Uniforms(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const
{
    const r123::Philox4x64::ctr_type words = Words(seed_, draw, block, stream);
    return {OpenUnitInterval(words[0]), OpenUnitInterval(words[1]), OpenUnitInterval(words[2]),
            OpenUnitInterval(words[3])};
}

std::array<double, 8> CounterRandom::CoarseUniforms(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const
{
    constexpr double kCell = 0x1p-32;
    const r123::Philox4x64::ctr_type words = Words(seed_, draw, block, stream);
    std::array<double, 8> u{};
    for (std::size_t k = 0; k < 4; ++k) {
        u[2 * k] = (static_cast<double>(words[k] >> 32) + 0.5) * kCell;
        u[2 * k + 1] = (static_cast<double>(words[k] & 0xFFFFFFFFu) + 0.5) * kCell;
    }
    return u;
}

std::array<double, 4> CounterRandom::Normals(std::uint64_t draw, std::uint64_t block, std::uint64_t stream) const
{
    const std::array<double, 4> u = Uniforms(draw, block, stream);
    // The central formula for all four as independent lanes, then the tails
    // (15 % of the numbers) on their own: the same bits as InverseNormal at
    // a fraction of the branches.
    std::array<double, 4> z{};
    for (std::size_t k = 0; k < 4; ++k) z[k] = CentralQuantile(u[k] - 0.5);
    for (std::size_t k = 0; k < 4; ++k)
        if (!InCentralRegion(u[k] - 0.5)) z[k] = InverseNormal(u[k]);
    return z;
}

} // namespace kyklos
