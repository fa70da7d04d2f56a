#include "analysis/OptimalCentres.h"

#include "analysis/SmallLinearProgramme.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

// Offsets y = (a, b) − (a_f, b_f) from the fitted centre, and deviations
// signed so that the reference's own side is positive: d_i = σ·(r_i − R_f(t_i))
// with σ = +1 inscribed, −1 circumscribed. About the centre (a_f, b_f) + y a
// sample deviates by d_i − m_i·y with m_i = σ·(cos t_i, sin t_i), so the set
// of centres that keep every sample within ε of the reference's side is the
// intersection of the half-planes m_i·y ≤ d_i + ε, and RONt there is
// max_i (d_i − m_i·y) − min_i d_i: a convex function, greatest at a corner,
// least where a small linear programme puts it.

namespace kyklos {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Wider than this (mm), the spread of RONt shows in the reported digits.
constexpr double kUniqueRangeMm = 1e-6;
// A deviation is a difference of terms as large as |a| + |b| + |c|, each
// rounded to a few 1e-16 of it, and the fit's contacts are no closer to the
// reference than that. A thousand times more still lies a million times
// below kUniqueRangeMm at a radius of 10 mm.
constexpr double kRelativeTolerance = 1e-12;
// The first attempt keeps only the samples within this many ε of touching
// (and within twice that of the peak): enough for a centre pinned by
// contacts that are not within a few hundredths of a degree of opposite. A
// larger set (a segment) takes a second attempt, over every sample.
constexpr double kFirstReach = 1000.0;
// In that second attempt this many samples spread around the turn, with the
// contacts, outline a polygon around the set; only the lines that cut it
// can be the set's sides.
constexpr int kOutlineSamples = 64;
// The least peak's linear programme looks at every this-many-th constraint
// before it looks at all.
constexpr std::size_t kCoarseStep = 64;

// One sample as the set sees it: its direction m_i and its signed deviation
// d_i; as a side, the line m_i·y = d_i + ε.
struct Sample {
    int Index = 0;
    double X = 0.0;
    double Y = 0.0;
    double D = 0.0;
};

struct Point {
    double X = 0.0;
    double Y = 0.0;
};

double Cross(const Sample& p, const Sample& q) { return p.X * q.Y - p.Y * q.X; }

double Along(const Sample& s, const Point& y) { return s.X * y.X + s.Y * y.Y; }

// The extremes of the signed deviations and the largest gap between
// contacts (d_i ≤ ε) around the turn, sample by sample.
struct Tally {
    double Lowest = kInfinity;
    double Highest = -kInfinity;
    int First = -1;
    int Last = -1;
    int Gap = 0;

    void Add(int i, double d, double epsilon)
    {
        // Branches, not min and max: those would chain every sample to the one before.
        if (d < Lowest) Lowest = d;
        if (d > Highest) Highest = d;
        if (d > epsilon) return;
        if (First < 0)
            First = i;
        else
            Gap = std::max(Gap, i - Last);
        Last = i;
    }
    // Samples from one contact to the next; 0 without contacts.
    int LargestContactGap(int count) const { return First < 0 ? 0 : std::max(Gap, First + count - Last); }
};

struct Scan {
    bool Finite = true;
    Tally Deviations;
    std::vector<Sample> Near; // the lines that may be sides of the set
    std::vector<Sample> High; // the samples that may be the peak somewhere in it
};

// Signed deviation d_i, formed as FindPeakValley forms it so that the fit's
// own RONt comes out to the bit.
double SignedDeviation(std::span<const double> profile, const SampleAngles& angles, double side, double a, double b,
                       double c, int i)
{
    const double reference = angles.Cosine(i) * a + angles.Sine(i) * b + c;
    return side * (profile[static_cast<std::size_t>(i)] - reference);
}

// Every sample as a term of the peak, formed when asked for: the second
// attempt reads them a few times, cheaper than storing them all once.
struct EverySample {
    std::span<const double> Profile;
    const SampleAngles* Angles = nullptr;
    double Side = 1.0;
    LimaconReference Fit;

    std::size_t size() const { return static_cast<std::size_t>(Angles->Count()); }
    Sample operator[](std::size_t k) const
    {
        const int i = static_cast<int>(k);
        return {i, Side * Angles->Cosine(i), Side * Angles->Sine(i),
                SignedDeviation(Profile, *Angles, Side, Fit.a, Fit.b, Fit.c, i)};
    }
};

// First attempt, in one pass over the profile: the lowest deviation, the
// contacts and the lines near enough to touching (d_i + ε ≤ reach) to
// matter for a set that lies within `reach` of the fitted centre. The inner
// loop only looks for the next sample that is either (or a new lowest), and
// stores nothing, so that it runs as fast as a peak/valley scan.
void ScanNearSamples(std::span<const double> profile, const SampleAngles& angles, double side,
                     const LimaconReference& fit, double epsilon, double reach, Scan& scan)
{
    const int count = angles.Count();
    const double a = fit.a;
    const double b = fit.b;
    const double c = fit.c;
    Tally& tally = scan.Deviations;
    for (int i = 0; i < count; ++i) {
        // At or below `low` lies every sample that is a new lowest, a contact
        // or near (and some that are not); NaN and infinities go there too.
        const double low = std::max({tally.Lowest, epsilon, reach});
        double d = 0.0;
        for (; i < count; ++i) {
            d = SignedDeviation(profile, angles, side, a, b, c, i);
            if (!(d > low && d <= kLargestDouble)) break;
        }
        if (i == count) break;
        if (!(std::fabs(d) <= kLargestDouble)) {
            scan.Finite = false;
            return;
        }
        tally.Add(i, d, epsilon);
        if (d + epsilon <= reach) scan.Near.push_back({i, side * angles.Cosine(i), side * angles.Sine(i), d});
    }
}

// The highest deviation, and the samples within `band` of it: the only ones
// that can be the peak anywhere in a set within band/2 of the fitted centre.
// As the running highest rises, what it leaves behind is thinned out.
void ScanHighSamples(std::span<const double> profile, const SampleAngles& angles, double side,
                     const LimaconReference& fit, double band, Scan& scan)
{
    const int count = angles.Count();
    double& highest = scan.Deviations.Highest;
    std::size_t tidyAt = 64;
    for (int i = 0; i < count; ++i) {
        const double floor = highest - band;
        double d = 0.0;
        for (; i < count; ++i) {
            d = SignedDeviation(profile, angles, side, fit.a, fit.b, fit.c, i);
            if (d >= floor) break;
        }
        if (i == count) break;
        highest = std::max(highest, d);
        scan.High.push_back({i, side * angles.Cosine(i), side * angles.Sine(i), d});
        if (scan.High.size() >= tidyAt) {
            std::erase_if(scan.High, [&](const Sample& s) { return s.D < highest - band; });
            tidyAt = 2 * scan.High.size() + 64;
        }
    }
    std::erase_if(scan.High, [&](const Sample& s) { return s.D < highest - band; });
}

// The half-planes enclose a bounded set only when no two consecutive
// directions lie half a turn or more apart.
bool Encloses(std::span<const Sample> lines, int count)
{
    if (lines.size() < 3) return false;
    int largest = lines.front().Index + count - lines.back().Index;
    for (std::size_t k = 1; k < lines.size(); ++k) largest = std::max(largest, lines[k].Index - lines[k - 1].Index);
    return 2 * largest < count;
}

// Positive when b, between a and c counter-clockwise, cuts the corner where
// a and c meet: the turn of the polar points m/W (all W > 0, the origin
// inside), times W_a·W_b·W_c, so no division and no limit on the angles.
double Turn(const Sample& a, const Sample& b, const Sample& c, double epsilon)
{
    return (a.D + epsilon) * Cross(b, c) - (b.D + epsilon) * Cross(a, c) + (c.D + epsilon) * Cross(a, b);
}

// The sides of the set, counter-clockwise: Graham's scan over the polar
// points, which come sorted by angle around the origin, from the nearest
// line, which is always a side.
std::vector<Sample> Sides(std::span<const Sample> lines, double epsilon)
{
    const auto nearest =
        std::min_element(lines.begin(), lines.end(), [](const Sample& x, const Sample& y) { return x.D < y.D; });
    const std::size_t start = static_cast<std::size_t>(nearest - lines.begin());
    std::vector<Sample> sides;
    for (std::size_t k = 0; k <= lines.size(); ++k) {
        const std::size_t at = start + k;
        const Sample& next = lines[at < lines.size() ? at : at - lines.size()];
        while (sides.size() >= 2 && Turn(sides[sides.size() - 2], sides.back(), next, epsilon) <= 0.0) sides.pop_back();
        sides.push_back(next);
    }
    sides.pop_back(); // the nearest line again, which closed the turn
    return sides;
}

// Corner k where side k meets side k + 1. False when two consecutive sides
// do not meet ahead (never for a bounded set, but for rounding).
bool Corners(const std::vector<Sample>& sides, double epsilon, std::vector<Point>& corners)
{
    if (sides.size() < 3) return false;
    corners.clear();
    for (std::size_t k = 0; k < sides.size(); ++k) {
        const Sample& p = sides[k];
        const Sample& q = sides[(k + 1) % sides.size()];
        const double det = Cross(p, q);
        if (!(det > 0.0)) return false;
        const double wp = p.D + epsilon;
        const double wq = q.D + epsilon;
        corners.push_back({(wp * q.Y - wq * p.Y) / det, (p.X * wq - q.X * wp) / det});
    }
    return true;
}

double Dot(double dx, double dy, const Point& p) { return dx * p.X + dy * p.Y; }

// The corner least along (dx, dy), walking forward from `at`. As the
// direction turns counter-clockwise the least corner moves forward around
// the polygon, so the walks of a whole turn cost O(N + V) together.
inline int LeastCorner(const std::vector<Point>& corners, double dx, double dy, int at)
{
    const Point* corner = corners.data();
    const int count = static_cast<int>(corners.size());
    double least = Dot(dx, dy, corner[at]);
    for (int step = 1; step < count; ++step) {
        const int next = at + 1 < count ? at + 1 : 0;
        const double value = Dot(dx, dy, corner[next]);
        if (!(value < least)) break;
        at = next;
        least = value;
    }
    return at;
}

int LeastCornerAnywhere(const std::vector<Point>& corners, double dx, double dy)
{
    int at = 0;
    for (int k = 1; k < std::ssize(corners); ++k)
        if (Dot(dx, dy, corners[static_cast<std::size_t>(k)]) < Dot(dx, dy, corners[static_cast<std::size_t>(at)]))
            at = k;
    return at;
}

// An outline of the set for the second attempt: the first attempt's near
// lines (the contacts among them, which make it tight) and every few
// samples (which make it closed).
std::vector<Sample> Outline(const std::vector<Sample>& near, std::span<const double> profile,
                            const SampleAngles& angles, double side, const LimaconReference& fit)
{
    const int count = angles.Count();
    const int stride = std::max(1, count / kOutlineSamples);
    std::vector<Sample> outline;
    auto next = near.begin();
    for (int i = 0; i < count; i += stride) {
        for (; next != near.end() && next->Index <= i; ++next)
            if (next->Index < i) outline.push_back(*next);
        const double d = SignedDeviation(profile, angles, side, fit.a, fit.b, fit.c, i);
        outline.push_back({i, side * angles.Cosine(i), side * angles.Sine(i), d});
    }
    outline.insert(outline.end(), next, near.end());
    return outline;
}

// Second attempt: the tally over every sample, and as near lines those that
// reach into the outline's polygon (the others hold all of it, and so the
// set inside it).
void ScanEverySample(const EverySample& every, double epsilon, const std::vector<Point>& outline, Scan& scan)
{
    int most = LeastCornerAnywhere(outline, -every.Side, 0.0);
    for (std::size_t k = 0; k < every.size(); ++k) {
        const Sample sample = every[k];
        const double d = sample.D;
        scan.Deviations.Add(sample.Index, d, epsilon);
        most = LeastCorner(outline, -sample.X, -sample.Y, most);
        // The polygon's own sides touch it: kept, with room for rounding.
        if (d + epsilon <= Along(sample, outline[static_cast<std::size_t>(most)]) + epsilon * 1e-3)
            scan.Near.push_back(sample);
    }
}

// The corners farthest apart, by rotating calipers over antipodal pairs.
void FarthestCorners(const std::vector<Point>& corners, Point& first, Point& second)
{
    const std::size_t count = corners.size();
    const auto area = [&](std::size_t i, std::size_t j, std::size_t k) {
        const Point& p = corners[i];
        return (corners[j].X - p.X) * (corners[k].Y - p.Y) - (corners[j].Y - p.Y) * (corners[k].X - p.X);
    };
    const auto distance = [&](std::size_t i, std::size_t j) {
        return std::hypot(corners[i].X - corners[j].X, corners[i].Y - corners[j].Y);
    };
    double farthest = -1.0;
    std::size_t j = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t next = (i + 1) % count;
        for (std::size_t step = 0; step < count && area(i, next, (j + 1) % count) > area(i, next, j); ++step)
            j = (j + 1) % count;
        for (const std::size_t end : {i, next}) {
            if (distance(end, j) > farthest) {
                farthest = distance(end, j);
                first = corners[end];
                second = corners[j];
            }
        }
    }
}

// The greatest peak max_i (d_i − m_i·y) over the set, and where: at a
// corner, the one least along m_i for the sample that is the peak there.
struct PeakOverSet {
    double Greatest = -kInfinity;
    Point GreatestAt;
};

template <typename Terms>
PeakOverSet PeakOverCorners(const Terms& high, const std::vector<Point>& corners)
{
    PeakOverSet peak;
    int least = LeastCornerAnywhere(corners, high[0].X, high[0].Y);
    for (std::size_t k = 0; k < high.size(); ++k) {
        const Sample term = high[k];
        least = LeastCorner(corners, term.X, term.Y, least);
        const Point& low = corners[static_cast<std::size_t>(least)];
        const double greatest = term.D - Along(term, low);
        if (greatest > peak.Greatest) {
            peak.Greatest = greatest;
            peak.GreatestAt = low;
        }
    }
    return peak;
}

// Seidel's programme on a copy of the constraints in a random order, in
// which it takes expected linear time; a fixed generator gives the same
// order, and so the same digits, on every run and platform.
void SolveInRandomOrder(const std::vector<HalfSpace>& constraints, const double objective[kLargestProgrammeDimension],
                        const ProgrammeBox& box, double tolerance, double z[kLargestProgrammeDimension])
{
    std::vector<HalfSpace> shuffled = constraints;
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::size_t k = shuffled.size(); k > 1; --k) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        std::swap(shuffled[k - 1], shuffled[static_cast<std::size_t>((state >> 33) % k)]);
    }
    SolveSmallLinearProgramme(3, shuffled, objective, box, tolerance, z);
}

// The least peak over the set: minimise t over (y, t) with t ≥ d_i − m_i·y
// and y on the set's side of each side line. Solved on a working set of
// the constraints found unmet so far: the working optimum is never above the
// whole programme's, and once it meets every constraint it is the whole
// programme's. Every kCoarseStep-th constraint first, then all, in order;
// near neighbours are unmet together, so of each run of unmet constraints
// only the most unmet is taken in before solving again. A few passes, and
// programmes of a few dozen constraints.
struct LeastPeak {
    Point At;
    double Peak = kInfinity; // max_i (d_i − m_i·y) there
};

template <typename Terms>
LeastPeak LeastPeakCentre(const std::vector<Sample>& sides, const std::vector<Point>& corners, const Terms& terms,
                          double highest, double farthest, double epsilon)
{
    ProgrammeBox box;
    box.Lo[0] = box.Hi[0] = corners[0].X;
    box.Lo[1] = box.Hi[1] = corners[0].Y;
    for (const Point& corner : corners) {
        box.Lo[0] = std::min(box.Lo[0], corner.X);
        box.Hi[0] = std::max(box.Hi[0], corner.X);
        box.Lo[1] = std::min(box.Lo[1], corner.Y);
        box.Hi[1] = std::max(box.Hi[1], corner.Y);
    }
    // The peak at the fitted centre is `highest`, and no centre of the set
    // (all within `farthest` of it) lowers it by more than that.
    box.Lo[2] = highest - farthest - epsilon;
    box.Hi[2] = highest + epsilon;
    const double objective[kLargestProgrammeDimension] = {0.0, 0.0, 1.0, 0.0};
    const double tolerance = epsilon * 1e-3;
    double z[kLargestProgrammeDimension] = {0.0, 0.0, 0.0, 0.0};
    std::vector<HalfSpace> working;
    SolveInRandomOrder(working, objective, box, tolerance, z);

    // Of the current run of unmet constraints, the most unmet.
    HalfSpace worst;
    double worstExcess = tolerance;
    const auto consider = [&](double excess, const HalfSpace& h) {
        if (excess > worstExcess) {
            worst = h;
            worstExcess = excess;
        } else if (excess <= tolerance && worstExcess > tolerance) {
            working.push_back(worst);
            worstExcess = tolerance;
        }
    };
    // Rounding could keep a constraint unmet; a bound on the work keeps that
    // from running on (the centre found then still lies within the box).
    for (const std::size_t step : {kCoarseStep, std::size_t{1}}) {
        for (int pass = 0; pass < 64 && working.size() < 4096; ++pass) {
            const std::size_t before = working.size();
            double peak = -kInfinity;
            for (std::size_t k = 0; k < sides.size(); k += step) {
                const Sample& s = sides[k];
                consider(s.X * z[0] + s.Y * z[1] - (s.D + epsilon), {{s.X, s.Y, 0.0}, s.D + epsilon});
            }
            for (std::size_t k = 0; k < terms.size(); k += step) {
                const Sample s = terms[k];
                const double value = s.D - s.X * z[0] - s.Y * z[1];
                peak = std::max(peak, value);
                consider(value - z[2], {{-s.X, -s.Y, -1.0}, -s.D});
            }
            consider(0.0, worst);
            if (working.size() == before) {
                if (step == 1) return {{z[0], z[1]}, peak};
                break;
            }
            SolveInRandomOrder(working, objective, box, tolerance, z);
        }
    }
    const Point at{z[0], z[1]};
    double peak = -kInfinity;
    for (std::size_t k = 0; k < terms.size(); ++k) peak = std::max(peak, terms[k].D - Along(terms[k], at));
    return {at, peak};
}

LimaconReference Shifted(const LimaconReference& fit, const Point& y, double radius)
{
    return {fit.a + y.X, fit.b + y.Y, radius};
}

// The sides and corners of the set bounded by these lines, and how far its
// farthest corner lies from the fitted centre. False when they do not
// enclose it (or rounding spoils a corner).
struct OptimalSet {
    std::vector<Sample> Sides;
    std::vector<Point> Corners;
    double Farthest = 0.0;
};

bool SetOf(std::span<const Sample> lines, int count, double epsilon, OptimalSet& set)
{
    if (!Encloses(lines, count)) return false;
    set.Sides = Sides(lines, epsilon);
    if (!Corners(set.Sides, epsilon, set.Corners)) return false;
    set.Farthest = 0.0;
    for (const Point& corner : set.Corners) set.Farthest = std::max(set.Farthest, std::hypot(corner.X, corner.Y));
    return true;
}

// The range of RONt over the set, and the centres that explain it; `high`
// holds every sample that can be the peak somewhere in the set.
template <typename Terms>
void RangeOverSet(const OptimalSet& set, const Terms& high, const Tally& tally, const LimaconReference& fit,
                  double side, double epsilon, OptimalCentres& centres)
{
    const PeakOverSet peak = PeakOverCorners(high, set.Corners);
    LeastPeak least = LeastPeakCentre(set.Sides, set.Corners, high, tally.Highest, set.Farthest, epsilon);
    // The fitted centre is one of the set: its own RONt bounds the range.
    const bool inside = std::all_of(set.Sides.begin(), set.Sides.end(),
                                    [&](const Sample& s) { return Along(s, least.At) <= s.D + epsilon * 1.01; });
    if (!inside || !(least.Peak <= tally.Highest)) least = {Point{}, tally.Highest};
    centres.Radius = fit.c + side * tally.Lowest;
    centres.RONtMin = least.Peak - tally.Lowest;
    centres.RONtMax = std::max(peak.Greatest, tally.Highest) - tally.Lowest;
    centres.CentreUnique = centres.RONtMax - centres.RONtMin <= kUniqueRangeMm;
    centres.MinReference = Shifted(fit, least.At, centres.Radius);
    centres.MaxReference = Shifted(fit, peak.Greatest > tally.Highest ? peak.GreatestAt : Point{}, centres.Radius);
    Point first;
    Point second;
    FarthestCorners(set.Corners, first, second);
    centres.FirstEnd = Shifted(fit, first, centres.Radius);
    centres.SecondEnd = Shifted(fit, second, centres.Radius);
}

} // namespace

bool FindOptimalCentres(std::span<const double> filtered, const SampleAngles& angles, ReferenceKind kind,
                        const LimaconReference& reference, OptimalCentres& centres)
{
    centres = OptimalCentres{};
    const int count = angles.Count();
    if (count < 3 || std::ssize(filtered) < count) return false;
    if (kind != ReferenceKind::MaximumInscribed && kind != ReferenceKind::MinimumCircumscribed) return false;
    if (!std::isfinite(reference.a) || !std::isfinite(reference.b) || !std::isfinite(reference.c)) return false;
    const double side = kind == ReferenceKind::MaximumInscribed ? 1.0 : -1.0;
    const double epsilon =
        kRelativeTolerance * std::max(1.0, std::fabs(reference.a) + std::fabs(reference.b) + std::fabs(reference.c));
    const double reach = kFirstReach * epsilon;

    Scan scan;
    ScanNearSamples(filtered, angles, side, reference, epsilon, reach, scan);
    // An optimum: nothing more than ε on the wrong side, and contacts around
    // the centre, so that any shift of it loses more than it gains.
    const Tally& tally = scan.Deviations;
    const int gap = tally.LargestContactGap(count);
    if (!scan.Finite || tally.Lowest <= -epsilon || gap == 0 || 2 * gap > count) return false;

    OptimalSet set;
    // Every sample left out lies beyond the reach, farther than any corner: it cannot cut the set.
    if (SetOf(scan.Near, count, epsilon, set) && set.Farthest < reach) {
        ScanHighSamples(filtered, angles, side, reference, 2.0 * reach, scan);
        RangeOverSet(set, std::span<const Sample>(scan.High), tally, reference, side, epsilon, centres);
        return true;
    }
    OptimalSet outline;
    if (!SetOf(Outline(scan.Near, filtered, angles, side, reference), count, epsilon, outline)) return false;
    const EverySample every{filtered, &angles, side, reference};
    Scan all;
    ScanEverySample(every, epsilon, outline.Corners, all);
    if (!SetOf(all.Near, count, epsilon, set)) return false;
    RangeOverSet(set, every, all.Deviations, reference, side, epsilon, centres);
    return true;
}

} // namespace kyklos
