// The optimal centres of the inscribed and the circumscribed reference,
// checked against a second opinion built another way: the set clipped out of
// a square one half-plane at a time, RONt's greatest value at its corners,
// and its least value by bisection on the level at which the set, clipped
// further by every sample's peak half-plane, runs empty.

#include "analysis/OptimalCentres.h"

#include "analysis/GaussianFilter.h"
#include "analysis/LeastSquaresCircle.h"
#include "analysis/PeakValley.h"
#include "platform/ProgressPort.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace kyklos {
namespace {

using test::kPi;

struct Vertex {
    double X, Y;
};

// Sutherland–Hodgman: the part of a convex polygon with nx·x + ny·y ≤ w.
std::vector<Vertex> Clip(const std::vector<Vertex>& polygon, double nx, double ny, double w)
{
    std::vector<Vertex> out;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const Vertex& p = polygon[k];
        const Vertex& q = polygon[(k + 1) % polygon.size()];
        const double fp = nx * p.X + ny * p.Y - w;
        const double fq = nx * q.X + ny * q.Y - w;
        if (fp <= 0) out.push_back(p);
        if ((fp < 0) != (fq < 0) && fp != fq) {
            const double s = fp / (fp - fq);
            out.push_back({p.X + s * (q.X - p.X), p.Y + s * (q.Y - p.Y)});
        }
    }
    return out;
}

struct Range {
    double Min, Max;
};

// RONt over the centres whose signed deviations d_i − m_i·y all stay above
// min d − tolerance (y the offset from the fitted centre, m_i = ±(cos, sin)).
Range ClippedRange(const std::vector<double>& r, ReferenceKind kind, const LimaconReference& fit, double tolerance)
{
    const int n = static_cast<int>(r.size());
    const double side = kind == ReferenceKind::MaximumInscribed ? 1.0 : -1.0;
    std::vector<double> d = test::Deviations(r, fit.a, fit.b, fit.c);
    for (double& v : d) v *= side;
    const double lowest = *std::min_element(d.begin(), d.end());
    const auto mx = [&](int i) { return side * std::cos(test::SampleAngle(i, n)); };
    const auto my = [&](int i) { return side * std::sin(test::SampleAngle(i, n)); };
    const auto peak = [&](const Vertex& y) {
        double p = -1e300;
        for (int i = 0; i < n; ++i) p = std::max(p, d[static_cast<std::size_t>(i)] - mx(i) * y.X - my(i) * y.Y);
        return p;
    };
    std::vector<Vertex> set{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < n; ++i) set = Clip(set, mx(i), my(i), d[static_cast<std::size_t>(i)] - lowest + tolerance);
    Range range{1e300, -1e300};
    for (const Vertex& v : set) range.Max = std::max(range.Max, peak(v) - lowest);
    double lo = lowest;
    double hi = peak({0, 0});
    while (hi - lo > 1e-12) {
        const double t = 0.5 * (lo + hi);
        std::vector<Vertex> below = set;
        for (int i = 0; i < n && !below.empty(); ++i)
            below = Clip(below, -mx(i), -my(i), t - d[static_cast<std::size_t>(i)]);
        (below.empty() ? lo : hi) = t;
    }
    range.Min = hi - lowest;
    return range;
}

// The document's pipeline up to the fit: the raw least squares limaçon out,
// the Gaussian filter at `cutoff` UPR on the rest, the limaçon back in.
std::vector<double> Filtered(const std::vector<double>& raw, double cutoff, LimaconReference& rawFit)
{
    const int n = static_cast<int>(raw.size());
    const SampleAngles& angles = SampleAngles::ForCount(n);
    FitLeastSquaresCircle(raw, angles, rawFit.a, rawFit.b, rawFit.c);
    std::vector<double> limacon(raw.size());
    std::vector<double> residual(raw.size());
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        limacon[k] = angles.Cosine(i) * rawFit.a + angles.Sine(i) * rawFit.b + rawFit.c;
        residual[k] = raw[k] - limacon[k];
    }
    std::vector<double> out(raw.size());
    NoProgress quiet;
    EXPECT_TRUE(GaussianFilterProfile(residual, out, n, cutoff, quiet));
    for (std::size_t k = 0; k < out.size(); ++k) out[k] += limacon[k];
    return out;
}

struct Fitted {
    LimaconReference Reference;
    double RONt = 0.0; // peak − valley about it
    OptimalCentres Centres;
    bool Found = false;
};

Fitted FitAndFind(const std::vector<double>& r, ReferenceKind kind, LimaconReference start)
{
    const int n = static_cast<int>(r.size());
    const SampleAngles& angles = SampleAngles::ForCount(n);
    Fitted f;
    f.Reference = start;
    double halfWidth = 0.0;
    EXPECT_TRUE(FitReferenceCircle(kind, r, angles, f.Reference, halfWidth));
    double peak, peakAngle, valley, valleyAngle;
    FindPeakValley(r, angles, f.Reference.a, f.Reference.b, f.Reference.c, peak, peakAngle, valley, valleyAngle);
    f.RONt = peak - valley;
    f.Found = FindOptimalCentres(r, angles, kind, f.Reference, f.Centres);
    return f;
}

// The profile of the recipe: a 10 mm circle with two flats 5 µm deep
// centred at 0.3 rad and half a turn on, each the chord at R − h from the
// centre, filtered as the document filters it.
std::vector<double> TwoFlats(LimaconReference& rawFit)
{
    constexpr double kRadius = 10.0, kDepth = 0.005, kFlat = 0.3;
    const auto raw = test::MakeProfile(3600, [&](double t) {
        double r = kRadius;
        for (const double centre : {kFlat, kFlat + kPi}) {
            const double k = std::cos(t - centre);
            if (k > 0) r = std::min(r, (kRadius - kDepth) / k);
        }
        return r;
    });
    return Filtered(raw, 500.0, rawFit);
}

double Distance(const LimaconReference& p, const LimaconReference& q) { return std::hypot(p.a - q.a, p.b - q.b); }

double RONtAbout(const std::vector<double>& r, const LimaconReference& l, double& valley)
{
    double peak, peakAngle, valleyAngle;
    FindPeakValley(r, SampleAngles::ForCount(static_cast<int>(r.size())), l.a, l.b, l.c, peak, peakAngle, valley,
                   valleyAngle);
    return peak - valley;
}

// What every found set must satisfy, whatever the profile: the range agrees
// with the clipped one, contains the fitted reference's RONt, and the
// references it names hold the radius and give the RONt it says.
void ExpectConsistent(const std::vector<double>& r, ReferenceKind kind, const Fitted& f)
{
    ASSERT_TRUE(f.Found);
    const OptimalCentres& c = f.Centres;
    const Range clipped = ClippedRange(r, kind, f.Reference, 1e-11);
    EXPECT_NEAR(c.RONtMin, clipped.Min, 1e-9);
    EXPECT_NEAR(c.RONtMax, clipped.Max, 1e-9);
    EXPECT_LE(c.RONtMin, f.RONt);
    EXPECT_GE(c.RONtMax, f.RONt);
    EXPECT_EQ(c.CentreUnique, c.RONtMax - c.RONtMin <= 1e-6);
    const double side = kind == ReferenceKind::MaximumInscribed ? 1.0 : -1.0;
    for (const auto& [reference, ront] : {std::pair{c.MinReference, c.RONtMin}, std::pair{c.MaxReference, c.RONtMax},
                                          std::pair{c.FirstEnd, -1.0}, std::pair{c.SecondEnd, -1.0}}) {
        double valley;
        const double about = RONtAbout(r, reference, valley);
        // On the reference's side of the profile, touching it: a centre of the set.
        EXPECT_NEAR(side > 0 ? valley : valley + about, 0.0, 1e-9);
        if (ront >= 0) {
            EXPECT_NEAR(about, ront, 1e-9);
        }
    }
}

TEST(OptimalCentres, TwoOppositeFlatsLeaveASegmentOfInscribedCentres)
{
    LimaconReference rawFit;
    const std::vector<double> r = TwoFlats(rawFit);
    const Fitted inscribed = FitAndFind(r, ReferenceKind::MaximumInscribed, rawFit);
    ExpectConsistent(r, ReferenceKind::MaximumInscribed, inscribed);
    const OptimalCentres& c = inscribed.Centres;
    EXPECT_FALSE(c.CentreUnique);
    EXPECT_NEAR(c.RONtMin, 4.97e-3, 0.005e-3);
    EXPECT_NEAR(c.RONtMax, 9.94e-3, 0.005e-3);
    // The exchange stops at one end of the segment, where RONt is greatest.
    EXPECT_NEAR(inscribed.RONt, c.RONtMax, 1e-9);
    EXPECT_LT(std::min(Distance(inscribed.Reference, c.FirstEnd), Distance(inscribed.Reference, c.SecondEnd)), 1e-9);
    // Along the flats (square to sample 172, the one nearest their middle),
    // about twice their depth long.
    const double middle = test::SampleAngle(172, 3600);
    EXPECT_NEAR((c.SecondEnd.a - c.FirstEnd.a) * std::cos(middle) + (c.SecondEnd.b - c.FirstEnd.b) * std::sin(middle),
                0.0, 1e-9);
    EXPECT_NEAR(Distance(c.FirstEnd, c.SecondEnd), 0.00994, 0.0001);

    // The circumscribed circle rests on the round part all around: one centre.
    const Fitted circumscribed = FitAndFind(r, ReferenceKind::MinimumCircumscribed, rawFit);
    ASSERT_TRUE(circumscribed.Found);
    EXPECT_TRUE(circumscribed.Centres.CentreUnique);
    EXPECT_NEAR(circumscribed.Centres.RONtMin, circumscribed.RONt, 1e-9);
    EXPECT_NEAR(circumscribed.RONt, 4.97e-3, 0.005e-3);
}

TEST(OptimalCentres, OppositeScratchesKeepTheirRangeWhileTheFitMoves)
{
    // Two V scratches 5 µm deep half a turn apart and a 2 µm burr between
    // them, on a part set up a little off the axis.
    constexpr int n = 3600;
    const auto notch = [](double t, double at) {
        return std::max(0.0, 1 - std::fabs(std::remainder(t - at, test::kTwoPi)) / (3 * test::kTwoPi / n));
    };
    const auto part = test::MakeProfile(n, [&](double t) {
        return 10 + 2e-5 * std::cos(t) - 1e-5 * std::sin(t) - 0.005 * (notch(t, 1) + notch(t, 1 + kPi)) +
               0.002 * notch(t, 1 + kPi / 2 + 0.6);
    });
    std::set<double> reported;
    Fitted first;
    for (int k = 0; k < n; k += 150) {
        // The part turned by k samples on the table.
        std::vector<double> r(n);
        for (int i = 0; i < n; ++i) r[static_cast<std::size_t>((i + k) % n)] = part[static_cast<std::size_t>(i)];
        const Fitted f = FitAndFind(r, ReferenceKind::MaximumInscribed, {});
        if (k == 0) {
            ExpectConsistent(r, ReferenceKind::MaximumInscribed, f);
            first = f;
        }
        EXPECT_NEAR(f.Centres.RONtMin, first.Centres.RONtMin, 1e-9) << k;
        EXPECT_NEAR(f.Centres.RONtMax, first.Centres.RONtMax, 1e-9) << k;
        reported.insert(std::round(f.RONt * 1e6));
    }
    EXPECT_FALSE(first.Centres.CentreUnique);
    // The reported RONt jumps between the ends as the part turns.
    EXPECT_GT(*reported.rbegin() - *reported.begin(), 500);

    // Turned inside out, scratches become ridges and the circumscribed
    // circle slides between them as the inscribed one did.
    std::vector<double> ridges(part.size());
    for (std::size_t i = 0; i < part.size(); ++i) ridges[i] = 20 - part[i];
    const Fitted outside = FitAndFind(ridges, ReferenceKind::MinimumCircumscribed, {});
    ExpectConsistent(ridges, ReferenceKind::MinimumCircumscribed, outside);
    EXPECT_NEAR(outside.Centres.RONtMin, first.Centres.RONtMin, 1e-9);
    EXPECT_NEAR(outside.Centres.RONtMax, first.Centres.RONtMax, 1e-9);
}

TEST(OptimalCentres, AlmostOppositeContactsStretchTheSet)
{
    // Contacts at 0, 180° less half a step and 270°: one centre, but the set
    // within ε of it is a sliver 1e-7 mm long, cut short by a sample at 90°
    // that lies `cut` off the circle. The peak at the fitted centre, a
    // sample 5e-9 mm above the rest, is not the peak at the sliver's tip.
    constexpr int n = 20001;
    for (const double cut : {5e-8, 8e-9}) {
        std::vector<double> r(n, 10.001);
        r[0] = r[10000] = r[15000] = 10.0;
        r[5000] = 10.0 + cut;
        r[5100] += 5e-9;
        Fitted f;
        f.Reference = {0.0, 0.0, 10.0};
        double valley;
        f.RONt = RONtAbout(r, f.Reference, valley);
        f.Found =
            FindOptimalCentres(r, SampleAngles::ForCount(n), ReferenceKind::MaximumInscribed, f.Reference, f.Centres);
        ExpectConsistent(r, ReferenceKind::MaximumInscribed, f);
        EXPECT_TRUE(f.Centres.CentreUnique);
        EXPECT_NEAR(Distance(f.Centres.FirstEnd, f.Centres.SecondEnd), cut, 1e-10) << cut;
    }
}

TEST(OptimalCentres, LobedProfilesHaveOneCentreOfEitherKind)
{
    std::mt19937 rng(20);
    for (const int n : {3600, 3601, 360}) {
        const std::vector<double> r = test::MakeRandomProfile(rng, n);
        for (const ReferenceKind kind : {ReferenceKind::MaximumInscribed, ReferenceKind::MinimumCircumscribed}) {
            const Fitted f = FitAndFind(r, kind, {});
            ExpectConsistent(r, kind, f);
            EXPECT_TRUE(f.Centres.CentreUnique) << n;
        }
    }
}

TEST(OptimalCentres, RefusesWhatIsNoOptimumOfItsKind)
{
    std::mt19937 rng(5);
    const std::vector<double> r = test::MakeRandomProfile(rng, 720);
    const SampleAngles& angles = SampleAngles::ForCount(720);
    const Fitted inscribed = FitAndFind(r, ReferenceKind::MaximumInscribed, {});
    const Fitted circumscribed = FitAndFind(r, ReferenceKind::MinimumCircumscribed, {});
    ASSERT_TRUE(inscribed.Found && circumscribed.Found);

    OptimalCentres c;
    const auto refused = [&](std::span<const double> profile, const SampleAngles& a, ReferenceKind kind,
                             const LimaconReference& l) {
        c.RONtMax = 1.0;
        const bool found = FindOptimalCentres(profile, a, kind, l, c);
        return !found && !c.CentreUnique && c.RONtMin == 0.0 && c.RONtMax == 0.0 && c.Radius == 0.0;
    };
    // Each reference as the other kind.
    EXPECT_TRUE(refused(r, angles, ReferenceKind::MaximumInscribed, circumscribed.Reference));
    EXPECT_TRUE(refused(r, angles, ReferenceKind::MinimumCircumscribed, inscribed.Reference));
    for (const ReferenceKind kind : {ReferenceKind::LeastSquares, ReferenceKind::MinimumZone})
        EXPECT_TRUE(refused(r, angles, kind, inscribed.Reference));
    // A centre 1e-7 mm off, its radius set to touch: not the largest circle.
    LimaconReference off = inscribed.Reference;
    off.a += 1e-7;
    double valley;
    RONtAbout(r, off, valley);
    off.c += valley;
    EXPECT_TRUE(refused(r, angles, ReferenceKind::MaximumInscribed, off));
    // The radius 1e-9 mm too large: samples inside it.
    LimaconReference grown = inscribed.Reference;
    grown.c += 1e-9;
    EXPECT_TRUE(refused(r, angles, ReferenceKind::MaximumInscribed, grown));
    // Too few samples, a profile shorter than its angles, a sample not a number.
    const std::vector<double> two(2, 10.0);
    EXPECT_TRUE(refused(two, SampleAngles::ForCount(2), ReferenceKind::MaximumInscribed, {0, 0, 10}));
    EXPECT_TRUE(refused(std::span(r).first(719), angles, ReferenceKind::MaximumInscribed, inscribed.Reference));
    std::vector<double> holed = r;
    holed[100] = std::nan("");
    EXPECT_TRUE(refused(holed, angles, ReferenceKind::MaximumInscribed, inscribed.Reference));
    // Three samples are enough: the one inscribed circle through them.
    const std::vector<double> three{10.0, 10.0, 10.0};
    EXPECT_TRUE(FindOptimalCentres(three, SampleAngles::ForCount(3), ReferenceKind::MaximumInscribed, {0, 0, 10}, c));
    EXPECT_TRUE(c.CentreUnique);
}

} // namespace
} // namespace kyklos
