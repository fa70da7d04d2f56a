// The references at any angles: held to every vertex of their linear
// programme on small sets, to today's exchanges (and their certificates) on
// equal steps, and to today's bits where they dispatch to today's fits.

#include "analysis/LeastSquaresCircle.h"
#include "analysis/LimaconProgramme.h"
#include "analysis/MaximumInscribedCircle.h"
#include "analysis/MinimumCircumscribedCircle.h"
#include "analysis/MinimumZoneCircle.h"
#include "analysis/PeakValley.h"
#include "analysis/ReferenceCheck.h"
#include "analysis/ReferenceFit.h"

#include "AnyAngleTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

using test::kPi;
using test::kTwoPi;
using test::SameBits;

constexpr double kDegree = kPi / 180.0;

struct Fit {
    bool Found = false;
    LimaconReference Reference;
    double HalfWidth = 0.0;
};

Fit FitOn(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set)
{
    Fit fit;
    fit.Found = FitReferenceCircle(kind, r, set, fit.Reference, fit.HalfWidth);
    return fit;
}

int SideOf(ReferenceKind kind)
{
    return kind == ReferenceKind::MaximumInscribed ? 1 : (kind == ReferenceKind::MinimumCircumscribed ? -1 : 0);
}

constexpr ReferenceKind kExact[] = {ReferenceKind::MinimumZone, ReferenceKind::MaximumInscribed,
                                    ReferenceKind::MinimumCircumscribed};

TEST(AnyAngleFits, EveryVertexOfTheProgrammeIsNoBetterOnArcsAndUnequalSteps)
{
    std::mt19937 rng(19);
    int compared = 0;
    for (const double spanDegrees : {30.0, 90.0, 180.0, 250.0, 300.0, 360.0}) {
        for (int trial = 0; trial < 3; ++trial) {
            const auto t = test::RandomAngles(rng, 24, std::uniform_real_distribution<double>(0, kTwoPi)(rng),
                                              spanDegrees * kDegree);
            const auto r = test::PartAt(rng, t);
            const SampleSet set = test::SetAt(t);
            ASSERT_FALSE(set.IsEqualStepFullTurn());
            for (const ReferenceKind kind : kExact) {
                SCOPED_TRACE(testing::Message()
                             << spanDegrees << "° trial " << trial << ' ' << ReferenceAbbreviation(kind));
                const Fit fit = FitOn(kind, r, set);
                const bool surrounded = set.LargestGap() < kPi;
                if (kind != ReferenceKind::MinimumZone && !surrounded) {
                    EXPECT_FALSE(fit.Found);
                    continue;
                }
                const test::BruteOptimum best = test::BruteForceLimacon(t, r, SideOf(kind));
                ASSERT_TRUE(best.Found);
                ASSERT_TRUE(fit.Found);
                EXPECT_NEAR(fit.HalfWidth, best.HalfWidth, 1e-9);
                EXPECT_NEAR(fit.Reference.c, best.Reference.c, kind == ReferenceKind::MinimumZone ? 1e-6 : 1e-9);
                EXPECT_LE(test::LargestDifference(t, fit.Reference, best.Reference), 1e-9);
                ReferenceCheck check;
                EXPECT_TRUE(CheckReference(kind, r, set, fit.Reference, fit.HalfWidth, check));
                ++compared;
            }
        }
    }
    EXPECT_GE(compared, 30);
}

// The equal-step certificates of the test support.
bool IsOptimum(ReferenceKind kind, const std::vector<double>& r, const Fit& fit)
{
    const LimaconReference& x = fit.Reference;
    if (kind == ReferenceKind::MinimumZone) return test::IsZoneOptimum(r, x.a, x.b, x.c, fit.HalfWidth);
    if (kind == ReferenceKind::MaximumInscribed) return test::IsInscribedOptimum(r, x.a, x.b, x.c);
    return test::IsCircumscribedOptimum(r, x.a, x.b, x.c);
}

TEST(AnyAngleFits, EqualStepsThroughTheProgrammeGiveTheExchangesOptimum)
{
    // Two algorithms that share nothing but the limaçon: where the exchange
    // ends on a certified optimum, the programme must find the same one.
    std::mt19937 rng(1912);
    int certified = 0;
    for (const int count : {360, 1001, 3600}) {
        for (int trial = 0; trial < 8; ++trial) {
            const std::vector<double> r = test::MakeRandomProfile(rng, count, trial % 3 != 0);
            const SampleSet set = SampleSet::EqualSteps(count);
            for (const ReferenceKind kind : kExact) {
                SCOPED_TRACE(testing::Message() << count << " trial " << trial << ' ' << ReferenceAbbreviation(kind));
                Fit exchange, programme;
                FitReferenceCircle(kind, r, SampleAngles(count), exchange.Reference, exchange.HalfWidth);
                ASSERT_TRUE(SolveLimaconProgramme(kind, r, set, programme.Reference, programme.HalfWidth));
                EXPECT_TRUE(IsOptimum(kind, r, programme));
                if (!IsOptimum(kind, r, exchange)) continue;
                ++certified;
                EXPECT_NEAR(programme.HalfWidth, exchange.HalfWidth, 1e-9);
                EXPECT_LE(test::LargestDifference(test::Angles(set), programme.Reference, exchange.Reference), 1e-9);
            }
        }
    }
    EXPECT_GE(certified, 60);
}

TEST(AnyAngleFits, EqualStepsOverAFullTurnGiveTodaysBits)
{
    std::mt19937 rng(7);
    for (const int count : {5, 360, 999, 3600}) {
        const std::vector<double> r = test::MakeRandomProfile(rng, count);
        // Angles that are the very products i·2π/N are recognised as equal steps too.
        const SampleSet equal = SampleSet::EqualSteps(count);
        for (const SampleSet& set : {equal, test::SetAt(test::Angles(equal))}) {
            ASSERT_TRUE(set.IsEqualStepFullTurn());
            for (const ReferenceKind kind : kReferenceKinds) {
                // Both enter holding a start of their own, as the document's raw least squares fit.
                LimaconReference today{1e-3, -2e-3, 10.0}, any = today;
                double todayWidth = 0.5, anyWidth = 0.5;
                const bool todayFound = FitReferenceCircle(kind, r, SampleAngles(count), today, todayWidth);
                EXPECT_EQ(FitReferenceCircle(kind, r, set, any, anyWidth), todayFound);
                EXPECT_TRUE(SameBits(any.a, today.a) && SameBits(any.b, today.b) && SameBits(any.c, today.c) &&
                            SameBits(anyWidth, todayWidth))
                    << count << ' ' << ReferenceAbbreviation(kind);
                double p[4], q[4];
                FindPeakValley(r, SampleAngles(count), today.a, today.b, today.c, p[0], p[1], p[2], p[3]);
                FindPeakValley(r, set, today.a, today.b, today.c, q[0], q[1], q[2], q[3]);
                for (int k = 0; k < 4; ++k) EXPECT_TRUE(SameBits(p[k], q[k]));
            }
        }
    }
}

// Every number a fit on `set` gives, to compare bit for bit.
std::vector<double> AllResults(const std::vector<double>& r, const SampleSet& set)
{
    std::vector<double> all;
    for (const ReferenceKind kind : kReferenceKinds) {
        const Fit fit = FitOn(kind, r, set);
        double peak, peakAngle, valley, valleyAngle;
        FindPeakValley(r, set, fit.Reference.a, fit.Reference.b, fit.Reference.c, peak, peakAngle, valley, valleyAngle);
        all.insert(all.end(), {fit.Found ? 1.0 : 0.0, fit.Reference.a, fit.Reference.b, fit.Reference.c, fit.HalfWidth,
                               peak, peakAngle, valley, valleyAngle});
    }
    return all;
}

TEST(AnyAngleFits, AnExcludedSpikeLeavesTheResultsOfTheProfileWithoutIt)
{
    std::mt19937 rng(3);
    for (const bool equalSteps : {true, false}) {
        const int count = 3600;
        const std::vector<double> t =
            equalSteps ? test::Angles(SampleSet::EqualSteps(count)) : test::RandomAngles(rng, count, 0.0, kTwoPi);
        std::vector<double> r = test::PartAt(rng, t);
        // A keyway from 100° to 110° with a burr: excluded, then left out.
        std::vector<bool> used(t.size(), true);
        std::vector<double> keptAngles, keptRadii;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] >= 100 * kDegree && t[i] <= 110 * kDegree) {
                used[i] = false;
                r[i] = i % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : 10.5;
                continue;
            }
            keptAngles.push_back(t[i]);
            keptRadii.push_back(r[i]);
        }
        SampleSet excluded, without;
        ASSERT_TRUE(SampleSet::FromAngles(t, used, excluded));
        ASSERT_TRUE(SampleSet::FromAngles(keptAngles, {}, without));
        const std::vector<double> a = AllResults(r, excluded), b = AllResults(keptRadii, without);
        for (std::size_t k = 0; k < a.size(); ++k) EXPECT_TRUE(SameBits(a[k], b[k])) << equalSteps << ' ' << k;
        // The spike would have moved them: the exclusion is what keeps them.
        SampleSet all;
        for (double& v : r)
            if (std::isnan(v)) v = 10.5;
        ASSERT_TRUE(SampleSet::FromAngles(t, {}, all));
        EXPECT_GT(std::fabs(AllResults(r, all)[4 + 9] - a[4 + 9]), 1e-3);
    }
}

TEST(AnyAngleFits, InscribedAndCircumscribedNeedSamplesAllAround)
{
    std::mt19937 rng(5);
    // Equal steps over arcs: the largest gap is the rest of the turn.
    for (const double arcDegrees : {30.0, 90.0, 180.0, 185.0, 270.0}) {
        const int count = 721;
        std::vector<double> t;
        for (int i = 0; i < count; ++i) t.push_back(i * (arcDegrees * kDegree / (count - 1)));
        const std::vector<double> r = test::PartAt(rng, t);
        const SampleSet set = test::SetAt(t);
        double a, b, c;
        FitLeastSquaresCircle(r, set, a, b, c);
        const bool around = arcDegrees > 180.0;
        for (const ReferenceKind kind : {ReferenceKind::MaximumInscribed, ReferenceKind::MinimumCircumscribed}) {
            const Fit fit = FitOn(kind, r, set);
            EXPECT_EQ(fit.Found, around) << arcDegrees;
            // No result: the least squares reference stands in.
            if (!around) {
                EXPECT_TRUE(fit.Reference.a == a && fit.Reference.b == b && fit.Reference.c == c);
            }
            ReferenceCheck check;
            EXPECT_EQ(CheckReference(kind, r, set, fit.Reference, 0.0, check), around);
        }
        // The minimum zone evaluates on any arc.
        const Fit zone = FitOn(ReferenceKind::MinimumZone, r, set);
        ReferenceCheck check;
        EXPECT_TRUE(zone.Found &&
                    CheckReference(ReferenceKind::MinimumZone, r, set, zone.Reference, zone.HalfWidth, check))
            << arcDegrees;
    }
    // Half a turn exactly (0° to 180° in steps of 45°): no result yet.
    const std::vector<double> r(8, 10.0);
    const SampleSet half = SampleSet::EqualSteps(8, {true, true, true, true, true, false, false, false});
    ASSERT_EQ(half.LargestGap(), kPi);
    EXPECT_FALSE(FitOn(ReferenceKind::MaximumInscribed, r, half).Found);
    EXPECT_FALSE(FitOn(ReferenceKind::MinimumCircumscribed, r, half).Found);
    EXPECT_EQ(PartialCoverageWarning(190.04 * kDegree),
              "The profile covers only 170.0\u00B0 of the circle; the inscribed and circumscribed circles need "
              "samples all around it.");
    EXPECT_TRUE(PartialCoverageWarning(kPi).starts_with("The profile covers only 180.0\u00B0 of"));
}

TEST(AnyAngleFits, ALimaconIsItsOwnReferenceAndTooFewSamplesAreRefused)
{
    std::vector<double> t = {0.1, 0.5, 0.9, 1.3, 2.0, 3.1, 4.0, 5.5};
    std::vector<double> r;
    for (const double u : t) r.push_back(0.02 * std::cos(u) - 0.03 * std::sin(u) + 10.0);
    const SampleSet set = test::SetAt(t);
    for (const ReferenceKind kind : kExact) {
        const Fit fit = FitOn(kind, r, set);
        ASSERT_TRUE(fit.Found);
        EXPECT_NEAR(fit.Reference.a, 0.02, 1e-12);
        EXPECT_NEAR(fit.Reference.b, -0.03, 1e-12);
        EXPECT_NEAR(fit.Reference.c, 10.0, 1e-12);
        EXPECT_LE(fit.HalfWidth, 1e-14);
    }
    // Three samples: no zone (w unchanged), and a gap over half a turn.
    std::vector<bool> used(t.size(), false);
    used[0] = used[2] = used[5] = true;
    SampleSet three;
    ASSERT_TRUE(SampleSet::FromAngles(t, used, three));
    for (const ReferenceKind kind : kExact) {
        Fit fit;
        fit.HalfWidth = 0.25;
        EXPECT_FALSE(FitReferenceCircle(kind, r, three, fit.Reference, fit.HalfWidth));
        EXPECT_EQ(fit.HalfWidth, 0.25);
    }
    // A radius that is no number, or a profile shorter than the set.
    r[3] = std::numeric_limits<double>::infinity();
    for (const ReferenceKind kind : kExact) EXPECT_FALSE(FitOn(kind, r, set).Found);
    r.pop_back();
    for (const ReferenceKind kind : kReferenceKinds) EXPECT_FALSE(FitOn(kind, r, set).Found);
}

} // namespace
} // namespace kyklos
