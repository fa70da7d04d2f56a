#include "analysis/FourierTransform.h"

#include <unsupported/Eigen/FFT>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

namespace kyklos {

namespace {

using Complex = std::complex<double>;

constexpr double kPi = 3.141592653589793;
// Plans kept per thread: the profile sizes of one session are few, and a
// plan of 72000 points holds about 2 MB.
constexpr std::size_t kKeptSizes = 6;
constexpr std::size_t kKeptChirps = 3;

// The prime factors Eigen's transform splits n into, in its order (fours
// first, then twos, then odd factors), each weighted by the work of its
// butterfly per point: the specialised radices 2 to 5 cost about the same,
// any other radix p costs p complex multiply-adds per point.
double MixedRadixCost(int n)
{
    double cost = 0.0;
    int rest = n;
    int p = 4;
    while (rest > 1) {
        while (rest % p != 0) {
            p = p == 4 ? 2 : p == 2 ? 3 : p + 2;
            if (p * p > rest) p = rest;
        }
        rest /= p;
        cost += p <= 5 ? 1.5 : p;
    }
    return cost * n;
}

// Eigen's FFT object keeps the twiddle factors of every size it has seen;
// computing them costs more cosines than the transform itself. Only forward
// plans are made: an inverse is the forward transform between conjugations.
class EigenTransforms {
public:
    void Forward(Complex* out, const Complex* in, int n)
    {
        // Eigen's factoring gives a single point a radix of 1 and no scratch.
        if (n == 1) {
            out[0] = in[0];
            return;
        }
        if (std::find(sizes_.begin(), sizes_.end(), n) == sizes_.end()) {
            if (sizes_.size() == kKeptSizes) Release();
            sizes_.push_back(n);
        }
        fft_.fwd(out, in, n);
    }
    void Release()
    {
        fft_.impl().clear();
        sizes_.clear();
    }

private:
    Eigen::FFT<double> fft_;
    std::vector<int> sizes_;
};

EigenTransforms& Transforms()
{
    thread_local EigenTransforms transforms;
    return transforms;
}

// The chirp w_m = exp(iπ·m²/N) for m = 0 … N−1. m² mod 2N in integers keeps
// the angle exact for any m, taken into (−N, N] so that it lies within a
// half turn. As (N − m)² ≡ m² + N² (mod 2N), the upper half repeats the
// lower one times (−1)^N.
std::vector<Complex> Chirp(int n)
{
    std::vector<Complex> w(static_cast<std::size_t>(n));
    const std::int64_t twoN = 2 * static_cast<std::int64_t>(n);
    for (int m = 0; m <= n / 2; ++m) {
        std::int64_t r = static_cast<std::int64_t>(m) * m % twoN;
        if (r > n) r -= twoN;
        const double angle = kPi * static_cast<double>(r) / n;
        w[static_cast<std::size_t>(m)] = Complex(std::cos(angle), std::sin(angle));
    }
    const double sign = n % 2 == 0 ? 1.0 : -1.0;
    for (int m = n / 2 + 1; m < n; ++m) w[static_cast<std::size_t>(m)] = sign * w[static_cast<std::size_t>(n - m)];
    return w;
}

// Bluestein's method for one (N, L, count): j·k = (j² + k² − (k−j)²)/2 turns
// the transform into X_k = conj(w_k)·Σ_j (z_j·conj(w_j))·w_(k−j), a
// convolution, done circularly over M ≥ L + count − 1 points so that no
// term wraps onto another.
struct ChirpPlan {
    int period = 0;
    int inputLength = 0;
    int count = 0;
    int length = 0;                // M
    std::vector<Complex> chirp;    // w_m, m = 0 … N−1
    std::vector<Complex> spectrum; // the M-point transform of w over −(L−1) … count−1, divided by M

    ChirpPlan(int n, int l, int k, std::vector<Complex> w)
        : period(n), inputLength(l), count(k), length(SmoothLength(l + k - 1)), chirp(std::move(w))
    {
        std::vector<Complex> kernel(static_cast<std::size_t>(length));
        for (int m = 0; m < k; ++m) kernel[static_cast<std::size_t>(m)] = chirp[static_cast<std::size_t>(m)];
        for (int m = 1; m < l; ++m) kernel[static_cast<std::size_t>(length - m)] = chirp[static_cast<std::size_t>(m)];
        spectrum.resize(static_cast<std::size_t>(length));
        Transforms().Forward(spectrum.data(), kernel.data(), length);
        const double scale = 1.0 / length;
        for (Complex& s : spectrum) s *= scale;
    }
};

std::deque<ChirpPlan>& ChirpPlans()
{
    thread_local std::deque<ChirpPlan> plans;
    return plans;
}

const ChirpPlan& ChirpPlanFor(int n, int l, int k)
{
    std::deque<ChirpPlan>& plans = ChirpPlans();
    std::vector<Complex> chirp;
    for (const ChirpPlan& plan : plans) {
        if (plan.period != n) continue;
        if (plan.inputLength == l && plan.count == k) return plan;
        chirp = plan.chirp; // the same N: the same chirp
    }
    if (chirp.empty()) chirp = Chirp(n);
    if (plans.size() == kKeptChirps) plans.pop_back();
    plans.emplace_front(n, l, k, std::move(chirp));
    return plans.front();
}

std::vector<Complex> MixedRadixTransform(std::span<const Complex> input, int n, int count)
{
    std::vector<Complex> padded;
    if (std::ssize(input) < n) {
        padded.assign(static_cast<std::size_t>(n), Complex());
        std::copy(input.begin(), input.end(), padded.begin());
        input = padded;
    }
    std::vector<Complex> out(static_cast<std::size_t>(n));
    Transforms().Forward(out.data(), input.data(), n);
    out.resize(static_cast<std::size_t>(count));
    return out;
}

// Two buffers of M points kept per thread: fresh megabytes on every call
// cost page faults comparable to a transform.
struct ChirpWorkspace {
    std::vector<Complex> a;
    std::vector<Complex> spectrum;
};

ChirpWorkspace& ChirpWork()
{
    thread_local ChirpWorkspace work;
    return work;
}

std::vector<Complex> ChirpTransform(std::span<const Complex> input, int n, int count)
{
    const int l = static_cast<int>(input.size());
    const ChirpPlan& plan = ChirpPlanFor(n, l, count);
    const auto m = static_cast<std::size_t>(plan.length);
    ChirpWorkspace& work = ChirpWork();
    std::vector<Complex>& a = work.a;
    std::vector<Complex>& spectrum = work.spectrum;
    a.assign(m, Complex());
    spectrum.resize(m);
    for (std::size_t j = 0; j < input.size(); ++j) a[j] = input[j] * std::conj(plan.chirp[j]);
    Transforms().Forward(spectrum.data(), a.data(), plan.length);
    // The inverse transform as conj(F(conj(·))); the 1/M is in the plan's spectrum.
    for (std::size_t i = 0; i < m; ++i) spectrum[i] = std::conj(spectrum[i] * plan.spectrum[i]);
    Transforms().Forward(a.data(), spectrum.data(), plan.length);
    std::vector<Complex> out(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < out.size(); ++k) out[k] = std::conj(plan.chirp[k]) * std::conj(a[k]);
    return out;
}

} // namespace

void ReleaseFourierPlans()
{
    ChirpPlans().clear();
    ChirpWork() = {};
    Transforms().Release();
}

int SmoothLength(int n)
{
    int best = 0;
    // Every 2^a·3^b·5^c from n up to the first power of two at or above n.
    for (std::int64_t p5 = 1;; p5 *= 5) {
        for (std::int64_t p35 = p5;; p35 *= 3) {
            std::int64_t v = p35;
            while (v < n) v *= 2;
            if (best == 0 || v < best) best = static_cast<int>(v);
            if (p35 >= n) break;
        }
        if (p5 >= n) break;
    }
    return std::max(best, 1);
}

FourierMethod ChooseFourierMethod(int period, int inputLength, int count)
{
    const int m = SmoothLength(inputLength + count - 1);
    // Two transforms of M points and three pointwise passes against one of N.
    const double chirpCost = 2.0 * MixedRadixCost(m) + 3.0 * m;
    return chirpCost < MixedRadixCost(period) ? FourierMethod::Chirp : FourierMethod::MixedRadix;
}

std::vector<std::complex<double>> DiscreteFourierTransform(std::span<const std::complex<double>> input, int period,
                                                           int count)
{
    const int l = static_cast<int>(input.size());
    if (l < 1 || l > period || count < 0 || count > period) return {};
    return DiscreteFourierTransform(input, period, count, ChooseFourierMethod(period, l, count));
}

std::vector<std::complex<double>> DiscreteFourierTransform(std::span<const std::complex<double>> input, int period,
                                                           int count, FourierMethod method)
{
    if (input.empty() || std::ssize(input) > period || count < 0 || count > period) return {};
    if (count == 0) return {};
    return method == FourierMethod::Chirp ? ChirpTransform(input, period, count)
                                          : MixedRadixTransform(input, period, count);
}

} // namespace kyklos
