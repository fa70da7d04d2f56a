#include "analysis/ReferenceCertificate.h"

#include "analysis/ExactArithmetic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>
#include <vector>

namespace kyklos {

namespace {

using exact::Rational;

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
// Two contacts this close to opposite (radians) hold the centre but for the
// rounding of their stored cosines and sines.
constexpr double kOppositeTolerance = 1e-9;
// The most contacts from which supports of the multipliers are sought.
constexpr std::size_t kStarts = 64;

// The linear programme as stored: the used samples' cosines, sines and
// radii, and the reference under test.
struct Programme {
    std::span<const int> Index;
    std::span<const double> Cosine;
    std::span<const double> Sine;
    std::span<const double> Profile; // indexed by Index
    LimaconReference Reference;
    double HalfWidth = 0.0; // w: 0 but for the zone
    bool Outer = true;      // no sample may lie outside the outer limaçon
    bool Inner = true;      // nor inside the inner one
    Rational A, B, C;       // the reference as rationals, formed once

    std::size_t Count() const { return Index.size(); }
    double Radius(std::size_t k) const { return Profile[static_cast<std::size_t>(Index[k])]; }

    // d_k in double, formed as the reference check forms it.
    double Deviation(std::size_t k) const
    {
        return Radius(k) - (Cosine[k] * Reference.a + Sine[k] * Reference.b + Reference.c);
    }
    // A bound on the rounding of Deviation(k) and of Deviation(k) ± w, from
    // |C_k·a| ≤ |a| and |S_k·b| ≤ |b|, so `magnitude` is Magnitude(): |a| + |b| + |c| + w.
    double Rounding(std::size_t k, double magnitude) const
    {
        return exact::kRelativeError * (std::fabs(Radius(k)) + magnitude) + exact::kAbsoluteError;
    }
    double Magnitude() const
    {
        return std::fabs(Reference.a) + std::fabs(Reference.b) + std::fabs(Reference.c) + HalfWidth;
    }
    Rational ExactDeviation(std::size_t k) const
    {
        return Rational(Radius(k)) - (Rational(Cosine[k]) * A + Rational(Sine[k]) * B + C);
    }
};

// V: the largest excess of a used sample beyond its sides, 0 when none. One
// pass in double keeps proven lower bounds of V and notes the samples whose
// excess may reach them as they stand; those that may still reach the final
// bound are evaluated exactly: on a reference that nothing crosses, the
// contacts. The pass is a tight loop with no call in it, the sides fixed at
// compile time and two bounds (even and odd samples), so that a sample need
// not wait for the comparison of the one before it.
constexpr std::size_t kNoted = 64;

// The samples noted by the pass (kNoted of them kept) and its final bound.
struct Scan {
    double Proven = 0.0;
    bool Finite = true;
    std::size_t Count = 0;
    std::array<std::size_t, kNoted> Noted{};
};

// Raises `lower` to what sample k proves; true when its excess may reach it.
template <bool Outer, bool Inner>
bool Notes(const Programme& p, std::size_t k, double magnitude, double& lower)
{
    const double d = p.Deviation(k), e = p.Rounding(k, magnitude), w = p.HalfWidth;
    // Written so that an excess overflowed to NaN raises nothing and is noted.
    bool noted = false;
    if (Outer) {
        lower = d - w - e > lower ? d - w - e : lower;
        noted = !(d - w + e <= lower);
    }
    if (Inner) {
        lower = -d - w - e > lower ? -d - w - e : lower;
        noted = noted || !(-d - w + e <= lower);
    }
    return noted;
}

template <bool Outer, bool Inner>
Scan ScanSamples(const Programme& p)
{
    const double w = p.HalfWidth, magnitude = p.Magnitude();
    Scan scan;
    // Notes() written out: the pass must not call a function per sample.
    const auto visit = [&](std::size_t k, double& lower) {
        const double radius = p.Radius(k);
        scan.Finite = scan.Finite & std::isfinite(radius);
        const double d = radius - (p.Cosine[k] * p.Reference.a + p.Sine[k] * p.Reference.b + p.Reference.c);
        const double e = exact::kRelativeError * (std::fabs(radius) + magnitude) + exact::kAbsoluteError;
        bool noted = false;
        if (Outer) {
            lower = d - w - e > lower ? d - w - e : lower;
            noted = !(d - w + e <= lower);
        }
        if (Inner) {
            lower = -d - w - e > lower ? -d - w - e : lower;
            noted = noted || !(-d - w + e <= lower);
        }
        if (noted) {
            if (scan.Count < kNoted) scan.Noted[scan.Count] = k;
            ++scan.Count;
        }
    };
    double even = 0.0, odd = 0.0;
    std::size_t k = 0;
    for (; k + 1 < p.Count(); k += 2) {
        visit(k, even);
        visit(k + 1, odd);
    }
    if (k < p.Count()) visit(k, even);
    scan.Proven = std::max(even, odd);
    return scan;
}

template <bool Outer, bool Inner>
std::optional<Rational> ViolationOf(const Programme& p)
{
    const Scan scan = ScanSamples<Outer, Inner>(p);
    if (!scan.Finite) return std::nullopt;
    std::vector<std::size_t> open(scan.Noted.begin(), scan.Noted.begin() + std::min(scan.Count, kNoted));
    // Many samples beyond the reference: all are looked at again.
    if (scan.Count > kNoted) open.clear();
    for (std::size_t k = 0; scan.Count > kNoted && k < p.Count(); ++k) open.push_back(k);
    Rational worst = 0;
    const Rational w(p.HalfWidth);
    for (const std::size_t k : open) {
        double lower = scan.Proven;
        if (!Notes<Outer, Inner>(p, k, p.Magnitude(), lower)) continue;
        const Rational d = p.ExactDeviation(k);
        if (Outer) worst = exact::Larger(worst, d - w);
        if (Inner) worst = exact::Larger(worst, -d - w);
    }
    return worst;
}

// V, or none when a used radius is not a number.
std::optional<Rational> Violation(const Programme& p)
{
    if (p.Outer && p.Inner) return ViolationOf<true, true>(p);
    return p.Outer ? ViolationOf<true, false>(p) : ViolationOf<false, true>(p);
}

// A contact among the used samples: its position k and side.
struct Touch {
    std::size_t Used = 0;
    double Angle = 0.0;
    ReferenceSide Side = ReferenceSide::Outer;
};

std::vector<Touch> UsedContacts(const SampleSet& samples, std::span<const ReferenceContact> contacts)
{
    const std::span<const int> index = samples.UsedIndices();
    std::vector<Touch> touches;
    for (const ReferenceContact& contact : contacts) {
        const auto at = std::lower_bound(index.begin(), index.end(), contact.Index);
        if (at == index.end() || *at != contact.Index) continue;
        touches.push_back({static_cast<std::size_t>(at - index.begin()), samples.Angle(contact.Index), contact.Side});
    }
    // The used samples lie in ascending order of angle.
    const auto key = [](const Touch& t) { return std::pair(t.Used, t.Side); };
    std::sort(touches.begin(), touches.end(), [&](const Touch& x, const Touch& y) { return key(x) < key(y); });
    touches.erase(
        std::unique(touches.begin(), touches.end(), [&](const Touch& x, const Touch& y) { return key(x) == key(y); }),
        touches.end());
    return touches;
}

// The cross product of the points (C, S) of used samples j and k.
double Cross(const Programme& p, std::size_t j, std::size_t k)
{
    return p.Cosine[j] * p.Sine[k] - p.Sine[j] * p.Cosine[k];
}

Rational ExactCross(const Programme& p, std::size_t j, std::size_t k)
{
    return Rational(p.Cosine[j]) * Rational(p.Sine[k]) - Rational(p.Sine[j]) * Rational(p.Cosine[k]);
}

int CrossSign(const Programme& p, std::size_t j, std::size_t k)
{
    const double x = p.Cosine[j] * p.Sine[k], y = p.Sine[j] * p.Cosine[k];
    const double bound = exact::kRelativeError * (std::fabs(x) + std::fabs(y)) + exact::kAbsoluteError;
    if (x - y > bound) return 1;
    if (y - x > bound) return -1;
    return sgn(ExactCross(p, j, k));
}

// Samples whose constraints carry the multipliers, with Σλd estimated in
// double to choose among them.
struct Support {
    std::array<std::size_t, 4> Used{};
    std::array<int, 4> Sign{1, 1, 1, 1}; // +1 outer, −1 inner (the zone)
    int Count = 0;
    double Estimate = 0.0;
};

double EstimateOf(const Programme& p, const Support& s, const std::array<double, 4>& weight)
{
    double sum = 0.0, total = 0.0;
    for (int l = 0; l < s.Count; ++l) {
        sum += std::fabs(weight[static_cast<std::size_t>(l)]);
        total += s.Sign[static_cast<std::size_t>(l)] * std::fabs(weight[static_cast<std::size_t>(l)]) *
                 p.Deviation(s.Used[static_cast<std::size_t>(l)]);
    }
    return sum > 0.0 ? total / sum : 0.0;
}

// The circles' multipliers: weights of the points (C_k, S_k) of two or
// three samples that make the origin a convex combination of them, exact
// (unnormalised, ≥ 0), or none.
std::optional<std::array<Rational, 4>> ExactCircleWeights(const Programme& p, const Support& s)
{
    const std::size_t i = s.Used[0], j = s.Used[1], k = s.Used[2];
    if (s.Count == 2) {
        const Rational pi = Rational(p.Cosine[i]) * Rational(p.Cosine[i]) + Rational(p.Sine[i]) * Rational(p.Sine[i]);
        const Rational pj = Rational(p.Cosine[i]) * Rational(p.Cosine[j]) + Rational(p.Sine[i]) * Rational(p.Sine[j]);
        // p_j = −s·p_i: weights |p_i|² and s·|p_i|².
        if (sgn(ExactCross(p, i, j)) != 0 || sgn(pj) >= 0) return std::nullopt;
        return std::array<Rational, 4>{-pj, pi, 0, 0};
    }
    std::array<Rational, 4> w{ExactCross(p, j, k), ExactCross(p, k, i), ExactCross(p, i, j), 0};
    if (sgn(w[0]) < 0 || sgn(w[1]) < 0 || sgn(w[2]) < 0) {
        for (Rational& x : w) x = -x;
    }
    if (sgn(w[0]) < 0 || sgn(w[1]) < 0 || sgn(w[2]) < 0 || sgn(w[0] + w[1] + w[2]) == 0) return std::nullopt;
    return w;
}

// The same test through the filtered signs, and the estimate of Σλd; false
// when the samples do not hold the origin.
bool CircleCandidate(const Programme& p, Support& s)
{
    const std::size_t i = s.Used[0], j = s.Used[1], k = s.Used[2];
    std::array<double, 4> weight{};
    if (s.Count == 2) {
        const double dot = p.Cosine[i] * p.Cosine[j] + p.Sine[i] * p.Sine[j];
        if (i == j || CrossSign(p, i, j) != 0 || !(dot < 0.0)) return false;
        weight = {-dot, p.Cosine[i] * p.Cosine[i] + p.Sine[i] * p.Sine[i], 0.0, 0.0};
    } else {
        if (i == j || j == k || k == i) return false;
        const int a = CrossSign(p, j, k), b = CrossSign(p, k, i), c = CrossSign(p, i, j);
        const bool positive = a >= 0 && b >= 0 && c >= 0, negative = a <= 0 && b <= 0 && c <= 0;
        if (!(positive || negative) || (a == 0 && b == 0 && c == 0)) return false;
        weight = {Cross(p, j, k), Cross(p, k, i), Cross(p, i, j), 0.0};
    }
    s.Estimate = EstimateOf(p, s, weight);
    return true;
}

double Sweep(double from, double to)
{
    const double s = to - from;
    return s < 0.0 ? s + kTwoPi : s;
}

// The position of the first used sample at or after `angle`, cyclically.
std::size_t UsedFrom(const SampleSet& samples, double angle)
{
    const std::span<const int> index = samples.UsedIndices();
    const auto at = std::partition_point(index.begin(), index.end(), [&](int i) { return samples.Angle(i) < angle; });
    return at == index.end() ? 0 : static_cast<std::size_t>(at - index.begin());
}

// Two contacts opposite to within kOppositeTolerance whose stored points
// are not exactly opposite: a sample about a quarter turn away, on the side
// the origin lies, completes them.
void AddCompletions(const Programme& p, const SampleSet& samples, const Touch& first, const Touch& second,
                    std::vector<Support>& found)
{
    if (std::fabs(Sweep(first.Angle, second.Angle) - kPi) > kOppositeTolerance) return;
    const std::size_t n = p.Count();
    for (const double quarter : {0.5 * kPi, 1.5 * kPi}) {
        double angle = first.Angle + quarter;
        if (angle >= kTwoPi) angle -= kTwoPi;
        const std::size_t at = UsedFrom(samples, angle);
        for (const std::size_t third : {at, (at + n - 1) % n}) {
            Support s;
            s.Used = {first.Used, second.Used, third, 0};
            s.Count = 3;
            if (CircleCandidate(p, s)) found.push_back(s);
        }
    }
}

// From each contact, the last contact within half a turn counter-clockwise
// and the one after it: a pair exactly opposite, or a triple around the
// origin. Completed pairs only when the contacts themselves give nothing.
std::vector<Support> CircleSupports(const Programme& p, const SampleSet& samples, const std::vector<Touch>& touches)
{
    const std::size_t m = touches.size();
    std::vector<double> angles;
    for (const Touch& t : touches) angles.push_back(t.Angle);
    std::vector<Support> found;
    std::vector<std::pair<std::size_t, std::size_t>> opposite;
    // Of many contacts (a profile that is its own reference), starts spread around the circle.
    const std::size_t stride = std::max<std::size_t>(1, m / kStarts);
    for (std::size_t s = 0; s < m && m >= 2; s += stride) {
        double target = angles[s] + kPi;
        if (target >= kTwoPi) target -= kTwoPi;
        const auto at =
            static_cast<std::size_t>(std::upper_bound(angles.begin(), angles.end(), target) - angles.begin());
        const std::size_t last = (at + m - 1) % m, next = at % m;
        const std::size_t a = touches[s].Used, b = touches[last].Used, c = touches[next].Used;
        for (Support candidate :
             {Support{{a, b, 0, 0}, {1, 1, 1, 1}, 2, 0.0}, Support{{a, c, 0, 0}, {1, 1, 1, 1}, 2, 0.0},
              Support{{a, b, c, 0}, {1, 1, 1, 1}, 3, 0.0}})
            if (CircleCandidate(p, candidate)) found.push_back(candidate);
        opposite.emplace_back(s, last);
        opposite.emplace_back(s, next);
    }
    if (found.empty())
        for (const auto& [s, t] : opposite)
            if (s != t) AddCompletions(p, samples, touches[s], touches[t], found);
    return found;
}

// Σλ_k·d_k, exact, of the best support the contacts give the circles.
std::optional<Rational> CircleDual(const Programme& p, const SampleSet& samples, const std::vector<Touch>& touches,
                                   bool circumscribed)
{
    const std::vector<Support> found = CircleSupports(p, samples, touches);
    if (found.empty()) return std::nullopt;
    // The circumscribed optimum is at least c + Σλd (Σλd ≤ 0 when feasible):
    // the largest is the best bound; the inscribed one at most c + Σλd.
    const auto best = std::max_element(found.begin(), found.end(), [&](const Support& x, const Support& y) {
        return circumscribed ? x.Estimate < y.Estimate : x.Estimate > y.Estimate;
    });
    const std::optional<std::array<Rational, 4>> weight = ExactCircleWeights(p, *best);
    if (!weight) return std::nullopt;
    Rational total = 0, sum = 0;
    for (int l = 0; l < best->Count; ++l) {
        const auto u = static_cast<std::size_t>(l);
        total += (*weight)[u] * p.ExactDeviation(best->Used[u]);
        sum += (*weight)[u];
    }
    return Rational(total / sum);
}

// det[(C, S, 1) of a, b, c]: twice the signed area of their triangle.
double Area(const Programme& p, std::size_t a, std::size_t b, std::size_t c)
{
    return Cross(p, a, b) + Cross(p, b, c) + Cross(p, c, a);
}

Rational ExactArea(const Programme& p, std::size_t a, std::size_t b, std::size_t c)
{
    return ExactCross(p, a, b) + ExactCross(p, b, c) + ExactCross(p, c, a);
}

// The null vector of the columns (C, S, 1) of four samples: σ_l = (−1)^l·det
// of the other three. Its signs must follow the sides (outer +, inner −),
// or all be the opposite.
template <typename Number, typename AreaOf>
bool ZoneWeights(const Support& s, AreaOf area, std::array<Number, 4>& weight)
{
    const auto& u = s.Used;
    weight = {area(u[1], u[2], u[3]), -area(u[0], u[2], u[3]), area(u[0], u[1], u[3]), -area(u[0], u[1], u[2])};
    bool same = true, opposite = true, any = false;
    for (std::size_t l = 0; l < 4; ++l) {
        const int sign = weight[l] > 0 ? 1 : (weight[l] < 0 ? -1 : 0);
        same = same && sign != -s.Sign[l];
        opposite = opposite && sign != s.Sign[l];
        any = any || sign != 0;
    }
    return any && (same || opposite);
}

// One contact of each run of contacts on one side (the one deepest into
// its side), in order around the circle.
std::vector<Touch> RunRepresentatives(const Programme& p, const std::vector<Touch>& touches)
{
    const std::size_t m = touches.size();
    std::size_t start = 0;
    while (start < m && touches[start].Side == touches[(start + m - 1) % m].Side) ++start;
    std::vector<Touch> runs;
    if (start == m) return runs;
    const auto depth = [&](const Touch& t) {
        const double d = p.Deviation(t.Used);
        return t.Side == ReferenceSide::Outer ? d : -d;
    };
    for (std::size_t step = 0; step < m; ++step) {
        const Touch& t = touches[(start + step) % m];
        if (runs.empty() || runs.back().Side != t.Side)
            runs.push_back(t);
        else if (depth(t) > depth(runs.back()))
            runs.back() = t;
    }
    return runs;
}

// Σσ_k·d_k / Σ|σ_k|, exact, of the best four alternating contacts.
std::optional<Rational> ZoneDual(const Programme& p, const std::vector<Touch>& touches)
{
    const std::vector<Touch> runs = RunRepresentatives(p, touches);
    const std::size_t m = runs.size();
    if (m < 4) return std::nullopt;
    std::vector<Support> found;
    const std::size_t stride = std::max<std::size_t>(1, m / kStarts);
    for (std::size_t first = 0; first < (m == 4 ? 1 : m); first += stride) {
        Support s;
        s.Count = 4;
        for (std::size_t l = 0; l < 4; ++l) {
            const Touch& t = runs[(first + l) % m];
            s.Used[l] = t.Used;
            s.Sign[l] = t.Side == ReferenceSide::Outer ? 1 : -1;
        }
        std::array<double, 4> weight{};
        if (!ZoneWeights(
                s, [&](std::size_t a, std::size_t b, std::size_t c) { return Area(p, a, b, c); }, weight))
            continue;
        s.Estimate = EstimateOf(p, s, weight);
        found.push_back(s);
    }
    // The zone's optimum is at least Σσd: the largest is the best bound.
    std::sort(found.begin(), found.end(), [](const Support& x, const Support& y) { return x.Estimate > y.Estimate; });
    for (const Support& s : found) {
        std::array<Rational, 4> weight;
        if (!ZoneWeights(
                s, [&](std::size_t a, std::size_t b, std::size_t c) { return ExactArea(p, a, b, c); }, weight))
            continue;
        Rational total = 0, sum = 0;
        for (std::size_t l = 0; l < 4; ++l) {
            const Rational magnitude = abs(weight[l]);
            total += s.Sign[l] * magnitude * p.ExactDeviation(s.Used[l]);
            sum += magnitude;
        }
        return Rational(total / sum);
    }
    return std::nullopt;
}

bool Finite(const LimaconReference& r, double halfWidth)
{
    return std::isfinite(r.a) && std::isfinite(r.b) && std::isfinite(r.c) && halfWidth >= 0.0 &&
           halfWidth <= kLargestDouble;
}

} // namespace

Certificate CertifyReference(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                             const LimaconReference& reference, double zoneHalfWidth,
                             std::span<const ReferenceContact> contacts)
{
    if (kind == ReferenceKind::LeastSquares || samples.UsedCount() == 0 || std::ssize(profile) < samples.Count())
        return Certificate{};
    const bool zone = kind == ReferenceKind::MinimumZone;
    Programme p;
    p.Index = samples.UsedIndices();
    p.Cosine = samples.UsedCosines();
    p.Sine = samples.UsedSines();
    p.Profile = profile;
    p.Reference = reference;
    p.HalfWidth = zone ? zoneHalfWidth : 0.0;
    p.Outer = kind != ReferenceKind::MaximumInscribed;
    p.Inner = kind != ReferenceKind::MinimumCircumscribed;
    if (!Finite(p.Reference, p.HalfWidth)) return Certificate{};
    p.A = reference.a;
    p.B = reference.b;
    p.C = reference.c;
    const std::optional<Rational> exceeding = Violation(p);
    if (!exceeding) return Certificate{};
    const Rational& violation = *exceeding;
    const std::vector<Touch> touches = UsedContacts(samples, contacts);
    Certificate certificate;
    certificate.Checked = CertificateLevel::Exact;
    certificate.ViolationMm = exact::UpperDouble(violation);
    std::optional<Rational> gap;
    if (zone) {
        // The optimum lies in [max(0, Σσd), w + V]; with no multipliers, in [0, w + V].
        const std::optional<Rational> dual = ZoneDual(p, touches);
        const Rational lower = dual ? exact::Larger(*dual, Rational(0)) : Rational(0);
        gap = exact::Larger(Rational(zoneHalfWidth) - lower, violation);
    } else if (const std::optional<Rational> dual =
                   CircleDual(p, samples, touches, kind == ReferenceKind::MinimumCircumscribed)) {
        // Circumscribed: [c + Σλd, c + V]; inscribed: [c − V, c + Σλd].
        gap = exact::Larger(kind == ReferenceKind::MinimumCircumscribed ? Rational(-*dual) : *dual, violation);
    }
    if (gap) certificate.GapMm = exact::UpperDouble(*gap);
    certificate.Optimal = certificate.GapMm <= kOptimalGapMm;
    return certificate;
}

} // namespace kyklos
