// The exact certificates of the limaçon references, held to the exact
// optimum of small programmes found by brute force over every vertex, and
// to the exact largest violation, both in rationals of their own.

#include "analysis/ReferenceCertificate.h"

#include "AnyAngleTestSupport.h"
#include "ExactTestSupport.h"

#include <gtest/gtest.h>

#include <iostream>
#include <limits>

namespace kyklos {
namespace {

using test::kPi;
using test::kTwoPi;
using test::Rational;

constexpr ReferenceKind kZone = ReferenceKind::MinimumZone;
constexpr ReferenceKind kInscribed = ReferenceKind::MaximumInscribed;
constexpr ReferenceKind kCircumscribed = ReferenceKind::MinimumCircumscribed;
constexpr ReferenceKind kKinds[] = {kZone, kInscribed, kCircumscribed};

int SideOf(ReferenceKind kind) { return kind == kInscribed ? 1 : (kind == kCircumscribed ? -1 : 0); }

struct Result {
    bool Found = false;
    LimaconReference Reference;
    double HalfWidth = 0.0;
    ReferenceCheck Check;
    Certificate Proof;
};

Result FitAndCertify(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set)
{
    Result result;
    result.Found = FitReferenceCircle(kind, r, set, result.Reference, result.HalfWidth);
    CheckReference(kind, r, set, result.Reference, result.HalfWidth, result.Check);
    result.Proof = CertifyReference(kind, r, set, result.Reference, result.HalfWidth, result.Check.Contacts);
    return result;
}

// max(0, the excess of every used sample beyond its sides), exact.
Rational ExactViolation(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set,
                        const LimaconReference& reference, double halfWidth)
{
    const Rational w = kind == kZone ? halfWidth : 0.0;
    Rational worst = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(set.UsedCount()); ++k) {
        const Rational d = test::ExactDeviation(set, r, k, reference.a, reference.b, reference.c);
        if (kind != kInscribed && d - w > worst) worst = d - w;
        if (kind != kCircumscribed && -d - w > worst) worst = -d - w;
    }
    return worst;
}

// The certificate's violation is the exact one rounded up, and the exact
// optimum lies within its gap of the reported value.
test::ExactVertex ExpectSound(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set,
                              const Result& result)
{
    EXPECT_EQ(result.Proof.Checked, CertificateLevel::Exact);
    EXPECT_EQ(result.Proof.ViolationMm,
              test::UpperOf(ExactViolation(kind, r, set, result.Reference, result.HalfWidth)));
    const test::ExactVertex best = test::ExactOptimum(set, r, SideOf(kind));
    if (!best.Found) return best;
    const Rational reported = kind == kZone ? result.HalfWidth : result.Reference.c;
    const Rational optimum = kind == kZone ? best.X[3] : best.X[2];
    EXPECT_LE(abs(reported - optimum), Rational(result.Proof.GapMm));
    return best;
}

// A feasible reference a micrometre off the optimum, certified from the
// optimum's own contacts: their multipliers are the optimal dual, so the gap
// is the exact distance from the optimum, rounded up.
void ExpectExactGapOffTheOptimum(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set,
                                 const test::ExactVertex& best)
{
    LimaconReference off{best.X[0].get_d() + 1e-3, best.X[1].get_d() - 7e-4, 0.0};
    std::vector<Rational> e; // r − C·a − S·b
    for (std::size_t k = 0; k < static_cast<std::size_t>(set.UsedCount()); ++k)
        e.push_back(test::ExactDeviation(set, r, k, off.a, off.b, 0));
    double w = 0.0;
    Rational distance;
    if (kind == kCircumscribed) {
        off.c = test::UpperOf(*std::max_element(e.begin(), e.end()));
        distance = off.c - best.X[2];
    } else if (kind == kInscribed) {
        off.c = test::LowerOf(*std::min_element(e.begin(), e.end()));
        distance = best.X[2] - off.c;
    } else {
        off.c = best.X[2].get_d();
        Rational widest = 0;
        for (const Rational& x : e) widest = std::max(widest, Rational(abs(x - off.c)));
        w = test::UpperOf(widest);
        distance = w - best.X[3];
    }
    std::vector<ReferenceContact> contacts;
    for (std::size_t l = 0; l < best.Used.size(); ++l) {
        const int i = set.UsedIndices()[best.Used[l]];
        contacts.push_back({i, set.Angle(i), best.Sides[l] > 0 ? ReferenceSide::Outer : ReferenceSide::Inner});
    }
    const Certificate proof = CertifyReference(kind, r, set, off, w, contacts);
    EXPECT_EQ(proof.ViolationMm, 0.0);
    EXPECT_EQ(proof.GapMm, test::UpperOf(distance));
    EXPECT_FALSE(proof.Optimal);
}

TEST(ReferenceCertificate, BoundsTheExactOptimumOfRandomSetsAtAnyAngles)
{
    std::mt19937 rng(2113);
    int proved = 0;
    for (int trial = 0; trial < 9; ++trial) {
        const double span = (trial % 3 == 0 ? 250.0 : 360.0) * kPi / 180.0;
        const auto t = test::RandomAngles(rng, 9, std::uniform_real_distribution<double>(0, kTwoPi)(rng), span);
        const auto r = test::PartAt(rng, t);
        const SampleSet set = test::SetAt(t);
        for (const ReferenceKind kind : kKinds) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << ' ' << ReferenceAbbreviation(kind));
            const Result result = FitAndCertify(kind, r, set);
            if (!result.Found) continue;
            const test::ExactVertex best = ExpectSound(kind, r, set, result);
            EXPECT_TRUE(result.Proof.Optimal) << result.Proof.GapMm;
            ASSERT_TRUE(best.Found);
            ExpectExactGapOffTheOptimum(kind, r, set, best);
            ++proved;
        }
    }
    EXPECT_GE(proved, 21);
}

TEST(ReferenceCertificate, DegenerateProfilesAreProvedOptimal)
{
    std::mt19937 rng(5);
    struct Case {
        const char* Name;
        std::vector<double> T, R;
    };
    std::vector<Case> cases;
    const auto angles = [&](int count) {
        return test::RandomAngles(rng, count, std::uniform_real_distribution<double>(0, kTwoPi)(rng), kTwoPi);
    };
    // A flat over ±50° about 0.3 rad: three samples on one straight line.
    std::vector<double> t;
    for (int i = 0; i < 10; ++i) t.push_back(i * (kTwoPi / 10) + 0.05 * std::sin(3.0 * i));
    std::vector<double> flat;
    for (const double u : t)
        flat.push_back(std::cos(u - 0.3) > std::cos(0.9) ? 10.0 * std::cos(0.9) / std::cos(u - 0.3) : 10.0);
    cases.push_back({"flat", t, flat});
    // A scratch 50 µm deep in a lobed part.
    std::vector<double> scratch = test::PartAt(rng, t);
    scratch[5] -= 0.05;
    cases.push_back({"scratch", t, scratch});
    for (const int count : {3, 4}) {
        std::vector<double> few;
        do few = angles(count);
        while (test::SetAt(few).LargestGap() >= kPi);
        cases.push_back({count == 3 ? "three samples" : "four samples", few, test::PartAt(rng, few)});
    }
    // All samples on one circle: about the axis, and off it as a limaçon.
    const std::vector<double> u = angles(9);
    std::vector<double> round(u.size(), 10.0), offset;
    for (const double v : u) offset.push_back(0.02 * std::cos(v) - 0.03 * std::sin(v) + 10.0);
    cases.push_back({"one circle", u, round});
    cases.push_back({"one limaçon", u, offset});
    for (const Case& c : cases) {
        const SampleSet set = test::SetAt(c.T);
        for (const ReferenceKind kind : kKinds) {
            SCOPED_TRACE(testing::Message() << c.Name << ' ' << ReferenceAbbreviation(kind));
            Result result = FitAndCertify(kind, c.R, set);
            if (kind == kZone && set.UsedCount() < 4) {
                // No zone fit: the limaçon through the three, which no zone beats.
                ASSERT_FALSE(result.Found);
                result.HalfWidth = test::UpperOf(ExactViolation(kZone, c.R, set, result.Reference, 0.0));
                result.Proof = CertifyReference(kind, c.R, set, result.Reference, result.HalfWidth, {});
            }
            ExpectSound(kind, c.R, set, result);
            EXPECT_TRUE(result.Proof.Optimal) << result.Proof.GapMm;
        }
    }
    // On one circle about the axis every deviation from it is exactly 0: proved with no gap at all.
    const SampleSet onCircle = test::SetAt(u);
    for (const ReferenceKind kind : {kInscribed, kCircumscribed}) {
        ReferenceCheck check;
        CheckReference(kind, round, onCircle, {0, 0, 10}, 0, check);
        EXPECT_EQ(CertifyReference(kind, round, onCircle, {0, 0, 10}, 0, check.Contacts).GapMm, 0.0);
    }
}

// The demonstration profile's shape: a 10 mm shaft, 4.47 µm off the axis,
// lobes of 3, 14, 47 and 119 UPR and 2 µm of probe noise.
std::vector<double> DemonstrationLike(const std::vector<double>& t, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 0.002);
    std::vector<double> r;
    for (const double u : t)
        r.push_back(10.0 + 0.004 * std::cos(u) + 0.002 * std::sin(u) + 0.002 * std::sin(3.0 * u) +
                    0.003 * std::cos(14.0 * u) + 0.002 * std::sin(47.0 * u) + 0.001 * std::cos(119.0 * u) + noise(rng));
    return r;
}

TEST(ReferenceCertificate, DemonstrationLikeProfilesAreProvedWithinANanometre)
{
    std::mt19937 rng(3600);
    const SampleSet equal = SampleSet::EqualSteps(3600);
    std::vector<bool> used(3600, true);
    for (int i = 700; i < 1000; ++i) used[static_cast<std::size_t>(i)] = false;
    SampleSet unequal, excluded;
    const std::vector<double> t = test::RandomAngles(rng, 3600, 0.0, kTwoPi);
    ASSERT_TRUE(SampleSet::FromAngles(t, {}, unequal));
    ASSERT_TRUE(SampleSet::FromAngles(t, used, excluded));
    for (const SampleSet* set :
         {&equal, static_cast<const SampleSet*>(&unequal), static_cast<const SampleSet*>(&excluded)}) {
        const std::vector<double> r = DemonstrationLike(test::Angles(*set), 7);
        for (const ReferenceKind kind : kKinds) {
            SCOPED_TRACE(testing::Message() << set->UsedCount() << ' ' << ReferenceAbbreviation(kind));
            const Result result = FitAndCertify(kind, r, *set);
            ASSERT_TRUE(result.Found);
            EXPECT_EQ(result.Proof.Checked, CertificateLevel::Exact);
            EXPECT_LE(result.Proof.GapMm, kOptimalGapMm);
            EXPECT_TRUE(result.Proof.Optimal);
            std::cout << "[ certificate ] " << (set->IsEqualStepFullTurn() ? "equal steps " : "any angles ")
                      << set->UsedCount() << ' ' << ReferenceAbbreviation(kind) << ": violation "
                      << result.Proof.ViolationMm << " mm, gap " << result.Proof.GapMm << " mm\n";
        }
    }
}

// The reference made tight to the last bit by exact arithmetic (the nearest
// double on the feasible side), then one ulp into the material: only an
// exact check tells the two apart.
TEST(ReferenceCertificate, OneUlpIntoTheMaterialIsAViolation)
{
    const SampleSet set = SampleSet::EqualSteps(3600);
    const std::vector<double> r = DemonstrationLike(test::Angles(set), 11);
    for (const ReferenceKind kind : kKinds) {
        SCOPED_TRACE(ReferenceAbbreviation(kind));
        Result result = FitAndCertify(kind, r, set);
        ASSERT_TRUE(result.Found);
        LimaconReference tight = result.Reference;
        double w = result.HalfWidth;
        std::vector<Rational> d;
        for (std::size_t k = 0; k < 3600; ++k) d.push_back(test::ExactDeviation(set, r, k, tight.a, tight.b, 0));
        const auto [low, high] = std::minmax_element(d.begin(), d.end());
        LimaconReference into = tight;
        double narrower = w;
        if (kind == kCircumscribed) {
            tight.c = test::UpperOf(*high);
            into.c = std::nextafter(tight.c, -test::kInfinity);
        } else if (kind == kInscribed) {
            tight.c = test::LowerOf(*low);
            into.c = std::nextafter(tight.c, test::kInfinity);
        } else {
            into.c = tight.c;
            w = test::UpperOf(std::max(Rational(*high - tight.c), Rational(tight.c - *low)));
            narrower = std::nextafter(w, 0.0);
        }
        EXPECT_EQ(CertifyReference(kind, r, set, tight, w, result.Check.Contacts).ViolationMm, 0.0);
        const Certificate moved = CertifyReference(kind, r, set, into, narrower, result.Check.Contacts);
        EXPECT_GT(moved.ViolationMm, 0.0);
        EXPECT_LE(moved.ViolationMm, 2e-15);
        // A micrometre in, hundreds of samples cross: the worst is still the exact one.
        into.c += kind == kCircumscribed ? -1e-3 : (kind == kInscribed ? 1e-3 : 0.0);
        narrower -= kind == kZone ? 1e-3 : 0.0;
        EXPECT_EQ(CertifyReference(kind, r, set, into, narrower, result.Check.Contacts).ViolationMm,
                  test::UpperOf(ExactViolation(kind, r, set, into, narrower)));
    }
    // A rising spiral well outside a circle: each sample crosses further than
    // the one before it, the last the furthest.
    std::vector<double> spiral;
    for (int i = 0; i < 1000; ++i) spiral.push_back(10.0 + 1e-6 * i);
    const SampleSet steps = SampleSet::EqualSteps(1000);
    EXPECT_EQ(CertifyReference(kCircumscribed, spiral, steps, {0, 0, 9.9}, 0, {}).ViolationMm,
              test::UpperOf(Rational(spiral.back()) - 9.9));
}

TEST(ReferenceCertificate, ContactsThatDoNotHoldTheReferenceAreRefused)
{
    std::mt19937 rng(77);
    const auto t = test::RandomAngles(rng, 72, 0.0, kTwoPi);
    const auto r = test::PartAt(rng, t);
    const SampleSet set = test::SetAt(t);
    for (const ReferenceKind kind : kKinds) {
        SCOPED_TRACE(ReferenceAbbreviation(kind));
        const Result result = FitAndCertify(kind, r, set);
        ASSERT_TRUE(result.Proof.Optimal);
        const std::vector<ReferenceContact>& contacts = result.Check.Contacts;
        const auto certify = [&](const std::vector<ReferenceContact>& given) {
            return CertifyReference(kind, r, set, result.Reference, result.HalfWidth, given);
        };
        // The neighbours of the contacts: around the circle still, but not on the reference.
        std::vector<ReferenceContact> beside = contacts;
        for (ReferenceContact& c : beside) c.Index = (c.Index + 1) % set.Count();
        EXPECT_FALSE(certify(beside).Optimal);
        if (kind == kZone) {
            // Three contacts, or one on the wrong side: the zone is bounded below by 0 only.
            std::vector<ReferenceContact> flipped = contacts;
            flipped[1].Side = flipped[1].Side == ReferenceSide::Outer ? ReferenceSide::Inner : ReferenceSide::Outer;
            EXPECT_FALSE(certify(flipped).Optimal);
            const std::vector<ReferenceContact> three(contacts.begin(), contacts.begin() + 3);
            EXPECT_EQ(certify(three).GapMm, result.HalfWidth);
            continue;
        }
        // The contacts within less than half a turn of the first: the centre can move away.
        std::vector<ReferenceContact> half;
        for (const ReferenceContact& c : contacts)
            if (c.Angle - contacts.front().Angle < 0.99 * kPi) half.push_back(c);
        ASSERT_LT(half.size(), contacts.size());
        const Certificate refused = certify(half);
        EXPECT_EQ(refused.Checked, CertificateLevel::Exact);
        EXPECT_EQ(refused.GapMm, test::kInfinity);
        EXPECT_FALSE(refused.Optimal);
    }
}

TEST(ReferenceCertificate, NothingIsProvedOfNumbersThatAreNoNumbers)
{
    std::vector<double> r = {11, 10, 9, 10, 11, 10, 9, 10};
    const SampleSet set = SampleSet::EqualSteps(8);
    const std::vector<ReferenceContact> none;
    EXPECT_EQ(CertifyReference(ReferenceKind::LeastSquares, r, set, {0, 0, 10}, 0, none).Checked,
              CertificateLevel::None);
    EXPECT_EQ(CertifyReference(kZone, r, set, {0, 0, 10}, -1.0, none).Checked, CertificateLevel::None);
    r[3] = std::numeric_limits<double>::quiet_NaN();
    const Certificate nan = CertifyReference(kZone, r, set, {0, 0, 10}, 1.0, none);
    EXPECT_EQ(nan.Checked, CertificateLevel::None);
    EXPECT_EQ(nan.GapMm, test::kInfinity);
    // Excluded, the sample is never read: the zone 10 ± 1 of cos 2t is proved.
    std::vector<bool> used(8, true);
    used[3] = false;
    const SampleSet without = SampleSet::EqualSteps(8, used);
    ReferenceCheck check;
    CheckReference(kZone, r, without, {0, 0, 10}, 1.0, check);
    const Certificate proof = CertifyReference(kZone, r, without, {0, 0, 10}, 1.0, check.Contacts);
    EXPECT_EQ(proof.Checked, CertificateLevel::Exact);
    EXPECT_TRUE(proof.Optimal);
}

} // namespace
} // namespace kyklos
