#include "analysis/AnyAngleGaussianSums.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace kyklos {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
// The largest |ξ·η| a block allows. Wider blocks mean fewer moments to form
// but longer series, whose terms can exceed their sum by up to e^(2ζ), 400
// times at 3. That bound holds for the farthest samples only, whose weight
// is 1e-5 of the nearest ones'; where the weight lies, |ξ| stays below 1.5,
// and the sums agree with the pair-by-pair ones to 1e-16 of the profile.
constexpr double kLargestProduct = 3.0;
// The remainder of the series left off, relative to the sum: far below a
// double's rounding.
constexpr double kSeriesTolerance = 1e-17;
constexpr int kMostTerms = 48; // at ζ = 3, 1e-17 takes 32
// Samples per stretch of the moment sums: their scratch stays in the
// first-level cache while the terms are raised power by power.
constexpr int kStretch = 256;
constexpr int kParts = 4; // interleaved parts of every long sum

// Fewest terms of exp(w) for |w| ≤ ζ whose remainder, ζ^P/P!·e^ζ, is within
// kSeriesTolerance of e^−ζ, the smallest the sum can be.
int SeriesTerms(double zeta)
{
    double remainder = std::exp(2.0 * zeta);
    for (int terms = 1; terms < kMostTerms; ++terms) {
        remainder *= zeta / terms;
        if (remainder <= kSeriesTolerance) return terms;
    }
    return kMostTerms;
}

const std::array<double, kMostTerms>& InverseFactorials()
{
    static const std::array<double, kMostTerms> table = [] {
        std::array<double, kMostTerms> f{};
        f[0] = 1.0;
        for (int k = 1; k < kMostTerms; ++k) f[static_cast<std::size_t>(k)] = f[static_cast<std::size_t>(k - 1)] / k;
        return f;
    }();
    return table;
}

// Adds Σ_k u_k·ξ_k^m·z_k and Σ_k u_k·ξ_k^m, m = 0 … terms − 1 (terms even),
// into sums[8m + l] and sums[8m + 4 + l] for the parts l = k mod 4; `count`
// is a multiple of 4. u is raised to the powers in place, two a pass, and
// the sixteen sums of a pass are named so that they stay in registers.
void AddMoments(double* u, const double* z, const double* xi, int count, int terms, double* sums)
{
    for (int m = 0; m < terms; m += 2) {
        double* s = sums + 2 * kParts * m;
        double v0 = s[0], v1 = s[1], v2 = s[2], v3 = s[3], w0 = s[4], w1 = s[5], w2 = s[6], w3 = s[7];
        double V0 = s[8], V1 = s[9], V2 = s[10], V3 = s[11], W0 = s[12], W1 = s[13], W2 = s[14], W3 = s[15];
        for (int k = 0; k < count; k += kParts) {
            const double p0 = u[k], p1 = u[k + 1], p2 = u[k + 2], p3 = u[k + 3];
            const double q0 = p0 * xi[k], q1 = p1 * xi[k + 1], q2 = p2 * xi[k + 2], q3 = p3 * xi[k + 3];
            v0 += p0 * z[k], v1 += p1 * z[k + 1], v2 += p2 * z[k + 2], v3 += p3 * z[k + 3];
            w0 += p0, w1 += p1, w2 += p2, w3 += p3;
            V0 += q0 * z[k], V1 += q1 * z[k + 1], V2 += q2 * z[k + 2], V3 += q3 * z[k + 3];
            W0 += q0, W1 += q1, W2 += q2, W3 += q3;
            u[k] = q0 * xi[k], u[k + 1] = q1 * xi[k + 1], u[k + 2] = q2 * xi[k + 2], u[k + 3] = q3 * xi[k + 3];
        }
        s[0] = v0, s[1] = v1, s[2] = v2, s[3] = v3, s[4] = w0, s[5] = w1, s[6] = w2, s[7] = w3;
        s[8] = V0, s[9] = V1, s[10] = V2, s[11] = V3, s[12] = W0, s[13] = W1, s[14] = W2, s[15] = W3;
    }
}
// Adds u·ξ^m·z and u·ξ^m, m = 0 … terms − 1 (terms a multiple of 4), to
// value[m] and weight[m]; the powers in four chains, so that they need not
// wait on each other.
void AddPowers(double u, double xi, double z, int terms, double* value, double* weight)
{
    const double xi2 = xi * xi;
    const double xi4 = xi2 * xi2;
    double p0 = u, p1 = u * xi, p2 = u * xi2, p3 = p1 * xi2;
    for (int m = 0; m < terms; m += 4) {
        value[m] += p0 * z, value[m + 1] += p1 * z, value[m + 2] += p2 * z, value[m + 3] += p3 * z;
        weight[m] += p0, weight[m + 1] += p1, weight[m + 2] += p2, weight[m + 3] += p3;
        p0 *= xi4, p1 *= xi4, p2 *= xi4, p3 *= xi4;
    }
}
} // namespace

AnyAngleGaussianSums::AnyAngleGaussianSums(std::span<const double> angles, double width, double reach)
    : angles_(angles.begin(), angles.end()), width_(width), reach_(reach)
{
    if (angles_.empty()) return;
    FindWindows();
    FormBlocks();
}

double AnyAngleGaussianSums::AngleAt(long g) const { return repeated_[static_cast<std::size_t>(g + shift_)]; }

int AnyAngleGaussianSums::SampleAt(long g) const
{
    return static_cast<int>((g + shift_) % static_cast<long>(angles_.size()));
}

void AnyAngleGaussianSums::FindWindows()
{
    // Every angle within the reach of [0, 2π) lies within this many turns of it.
    const long n = static_cast<long>(angles_.size());
    const long turns = static_cast<long>(std::ceil(reach_ / kTwoPi));
    shift_ = turns * n;
    repeated_.resize(static_cast<std::size_t>((2 * turns + 1) * n));
    for (long g = -shift_; g < shift_ + n; ++g) {
        const long turn = g >= 0 ? g / n : -((-g + n - 1) / n);
        repeated_[static_cast<std::size_t>(g + shift_)] =
            angles_[static_cast<std::size_t>(g - turn * n)] + static_cast<double>(turn) * kTwoPi;
    }
    // Both ends move forward with the sample.
    start_.resize(angles_.size());
    end_.resize(angles_.size());
    long low = 0, high = 0;
    const long last = static_cast<long>(repeated_.size());
    for (long i = 0; i < n; ++i) {
        const double t = angles_[static_cast<std::size_t>(i)];
        while (low < last && repeated_[static_cast<std::size_t>(low)] < t - reach_) ++low;
        while (high < last && repeated_[static_cast<std::size_t>(high)] <= t + reach_) ++high;
        start_[static_cast<std::size_t>(i)] = low - shift_;
        end_[static_cast<std::size_t>(i)] = high - shift_;
    }
}

void AnyAngleGaussianSums::FormBlocks()
{
    // The widest half-width h with 2π·(reach + h)·h/β² ≤ kLargestProduct,
    // and no wider than the reach, so that every window of a block holds its
    // core.
    const double c = kLargestProduct * width_ * width_ / kTwoPi;
    const double half = std::min((std::sqrt(reach_ * reach_ + 4.0 * c) - reach_) / 2.0, reach_ / 2.0);
    const int n = Count();
    for (int first = 0; first < n;) {
        int end = first + 1;
        while (end < n &&
               angles_[static_cast<std::size_t>(end)] - angles_[static_cast<std::size_t>(first)] <= 2.0 * half)
            ++end;
        Block block;
        block.First = first;
        block.End = end;
        PrepareBlock(block);
        blocks_.push_back(std::move(block));
        first = end;
    }
}

void AnyAngleGaussianSums::PrepareBlock(Block& b) const
{
    const double low = angles_[static_cast<std::size_t>(b.First)];
    const double high = angles_[static_cast<std::size_t>(b.End - 1)];
    b.Origin = low + (high - low) / 2.0;
    b.Half = (high - low) / 2.0;
    b.Low = start_[static_cast<std::size_t>(b.First)];
    b.CoreLow = start_[static_cast<std::size_t>(b.End - 1)];
    b.CoreHigh = end_[static_cast<std::size_t>(b.First)];
    b.High = end_[static_cast<std::size_t>(b.End - 1)];

    double farthest = 0.0;
    if (b.High > b.Low) farthest = std::max(b.Origin - AngleAt(b.Low), AngleAt(b.High - 1) - b.Origin);
    b.Terms = b.Half > 0.0 ? SeriesTerms(2.0 * kPi / (width_ * width_) * farthest * b.Half) : 1;
}

void AnyAngleGaussianSums::Apply(std::span<const double> a, std::span<const double> z, std::span<double> weighted,
                                 std::span<double> weightSums) const
{
    BlockSums sums;
    for (const Block& block : blocks_) {
        Factors(block, a, z, sums);
        CoreMoments(block, sums);
        EndMoments(block, sums);
        Evaluate(block, sums, weighted, weightSums);
    }
}

void AnyAngleGaussianSums::Factors(const Block& b, std::span<const double> a, std::span<const double> z,
                                   BlockSums& sums) const
{
    // Worked out afresh for every Apply: kept, they would fill megabytes for
    // what an exponential per sample costs.
    const double p = kPi / (width_ * width_);
    const auto size = static_cast<std::size_t>(b.High - b.Low);
    sums.Weight.resize(size);
    sums.Value.resize(size);
    sums.Ratio.resize(size);
    int sample = size > 0 ? SampleAt(b.Low) : 0;
    for (std::size_t k = 0; k < size; ++k) {
        const double x = AngleAt(b.Low + static_cast<long>(k)) - b.Origin;
        sums.Weight[k] = std::exp(-p * x * x) * a[static_cast<std::size_t>(sample)];
        sums.Value[k] = z[static_cast<std::size_t>(sample)];
        sums.Ratio[k] = 2.0 * p * x * b.Half;
        if (++sample == Count()) sample = 0;
    }
}

void AnyAngleGaussianSums::CoreMoments(const Block& b, BlockSums& sums) const
{
    // Four interleaved parts of every sum, over stretches of the core, each
    // padded with samples that weigh nothing to whole groups of four.
    const int terms = b.Terms + b.Terms % 2;
    std::vector<double> parts(static_cast<std::size_t>(2 * kParts * terms), 0.0);
    std::array<double, kStretch> u{}, zs{}, xi{};
    for (long from = b.CoreLow; from < b.CoreHigh; from += kStretch) {
        const auto count = static_cast<std::size_t>(std::min<long>(kStretch, b.CoreHigh - from));
        const std::size_t padded = (count + kParts - 1) / kParts * kParts;
        const auto at = static_cast<std::size_t>(from - b.Low);
        std::fill(std::copy_n(sums.Weight.begin() + at, count, u.begin()), u.begin() + padded, 0.0);
        std::fill(std::copy_n(sums.Value.begin() + at, count, zs.begin()), zs.begin() + padded, 0.0);
        std::fill(std::copy_n(sums.Ratio.begin() + at, count, xi.begin()), xi.begin() + padded, 0.0);
        AddMoments(u.data(), zs.data(), xi.data(), static_cast<int>(padded), terms, parts.data());
    }
    sums.CoreValue.resize(static_cast<std::size_t>(b.Terms));
    sums.CoreWeight.resize(static_cast<std::size_t>(b.Terms));
    for (std::size_t m = 0; m < sums.CoreValue.size(); ++m) {
        const double* part = parts.data() + 2 * kParts * m;
        sums.CoreValue[m] = (part[0] + part[1]) + (part[2] + part[3]);
        sums.CoreWeight[m] = (part[4] + part[5]) + (part[6] + part[7]);
    }
}

void AnyAngleGaussianSums::EndMoments(const Block& b, BlockSums& sums) const
{
    const auto terms = static_cast<std::size_t>(b.Terms);
    const auto outputs = static_cast<std::size_t>(b.End - b.First);
    sums.EndValue.assign(terms * outputs, 0.0);
    sums.EndWeight.assign(terms * outputs, 0.0);
    // Rounded up to whole chains of four; the extra terms are never read.
    const int chained = (b.Terms + 3) / 4 * 4;
    std::vector<double> value(static_cast<std::size_t>(chained)), weight(static_cast<std::size_t>(chained));
    const auto add = [&](long g) {
        const auto at = static_cast<std::size_t>(g - b.Low);
        AddPowers(sums.Weight[at], sums.Ratio[at], sums.Value[at], chained, value.data(), weight.data());
    };
    const auto take = [&](int i) {
        const auto j = static_cast<std::size_t>(i - b.First);
        for (std::size_t m = 0; m < terms; ++m) {
            sums.EndValue[j * terms + m] += value[m];
            sums.EndWeight[j * terms + m] += weight[m];
        }
    };
    // From the core outwards: output i takes the running sums where its
    // window ends (outputs whose window ends at the core take nothing).
    int i = b.End - 1;
    while (i >= b.First && start_[static_cast<std::size_t>(i)] == b.CoreLow) --i;
    for (long g = b.CoreLow - 1; g >= b.Low; --g) {
        add(g);
        for (; i >= b.First && start_[static_cast<std::size_t>(i)] == g; --i) take(i);
    }
    std::fill(value.begin(), value.end(), 0.0);
    std::fill(weight.begin(), weight.end(), 0.0);
    i = b.First;
    while (i < b.End && end_[static_cast<std::size_t>(i)] == b.CoreHigh) ++i;
    for (long g = b.CoreHigh; g < b.High; ++g) {
        add(g);
        for (; i < b.End && end_[static_cast<std::size_t>(i)] == g + 1; ++i) take(i);
    }
}

void AnyAngleGaussianSums::Evaluate(const Block& b, BlockSums& sums, std::span<double> weighted,
                                    std::span<double> weightSums) const
{
    // Each output's polynomial in η by Horner's rule, all outputs of the
    // block side by side, from the highest term down.
    const auto outputs = static_cast<std::size_t>(b.End - b.First);
    sums.Eta.resize(outputs);
    sums.OutValue.assign(outputs, 0.0);
    sums.OutWeight.assign(outputs, 0.0);
    for (std::size_t j = 0; j < outputs; ++j)
        sums.Eta[j] = b.Half > 0.0 ? (angles_[static_cast<std::size_t>(b.First) + j] - b.Origin) / b.Half : 0.0;
    const auto& inverseFactorial = InverseFactorials();
    const auto terms = static_cast<std::size_t>(b.Terms);
    for (std::size_t m = terms; m-- > 0;) {
        const double* endValue = sums.EndValue.data() + m;
        const double* endWeight = sums.EndWeight.data() + m;
        for (std::size_t j = 0; j < outputs; ++j) {
            sums.OutValue[j] =
                sums.OutValue[j] * sums.Eta[j] + (sums.CoreValue[m] + endValue[j * terms]) * inverseFactorial[m];
            sums.OutWeight[j] =
                sums.OutWeight[j] * sums.Eta[j] + (sums.CoreWeight[m] + endWeight[j * terms]) * inverseFactorial[m];
        }
    }
    const double p = kPi / (width_ * width_);
    for (std::size_t j = 0; j < outputs; ++j) {
        const std::size_t out = static_cast<std::size_t>(b.First) + j;
        const double y = angles_[out] - b.Origin;
        const double scale = std::exp(-p * y * y) / width_;
        weighted[out] = scale * sums.OutValue[j];
        weightSums[out] = scale * sums.OutWeight[j];
    }
}

} // namespace kyklos
