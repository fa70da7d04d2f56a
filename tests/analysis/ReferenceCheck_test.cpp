#include "analysis/ReferenceCheck.h"

#include "FitTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kyklos {
namespace {

using test::kPi;

constexpr ReferenceSide kOuter = ReferenceSide::Outer;
constexpr ReferenceSide kInner = ReferenceSide::Inner;

// (index, side) of every contact.
std::vector<std::pair<int, ReferenceSide>> Touching(const ReferenceCheck& check, const SampleSet& set)
{
    std::vector<std::pair<int, ReferenceSide>> touching;
    for (const ReferenceContact& contact : check.Contacts) {
        EXPECT_EQ(contact.Angle, set.Angle(contact.Index));
        touching.emplace_back(contact.Index, contact.Side);
    }
    return touching;
}

bool Check(ReferenceKind kind, const std::vector<double>& r, const SampleSet& set, LimaconReference reference, double w,
           ReferenceCheck& check)
{
    const bool verified = CheckReference(kind, r, set, reference, w, check);
    EXPECT_EQ(verified, check.Verified);
    return verified;
}

TEST(ReferenceCheck, ThreeLobesTouchAtTheirCrestsAndTroughs)
{
    const auto r = test::MakeProfile(
        360, [](double t) { return 0.003 * std::cos(t) - 0.004 * std::sin(t) + 10 + 0.002 * std::cos(3 * t); });
    const SampleSet set = SampleSet::EqualSteps(360);
    const std::vector<std::pair<int, ReferenceSide>> crests = {{0, kOuter}, {120, kOuter}, {240, kOuter}};
    const std::vector<std::pair<int, ReferenceSide>> troughs = {{60, kInner}, {180, kInner}, {300, kInner}};
    const std::vector<std::pair<int, ReferenceSide>> both = {{0, kOuter},   {60, kInner},  {120, kOuter},
                                                             {180, kInner}, {240, kOuter}, {300, kInner}};
    ReferenceCheck check;
    for (const ReferenceKind kind : kReferenceKinds) {
        LimaconReference reference;
        double w = 0;
        ASSERT_TRUE(FitReferenceCircle(kind, r, set, reference, w));
        EXPECT_TRUE(Check(kind, r, set, reference, w, check)) << ReferenceAbbreviation(kind);
        const auto touching = Touching(check, set);
        switch (kind) {
        case ReferenceKind::LeastSquares: EXPECT_TRUE(touching.empty()); break;
        case ReferenceKind::MinimumZone: EXPECT_EQ(touching, both); break;
        case ReferenceKind::MaximumInscribed: EXPECT_EQ(touching, troughs); break;
        case ReferenceKind::MinimumCircumscribed: EXPECT_EQ(touching, crests); break;
        }
        if (kind == ReferenceKind::LeastSquares) continue;
        // 2 nm into the profile, a sample lies beyond the reference; 0.5 nm
        // clear of it (a wider zone), nothing pins it any more.
        const double into = kind == ReferenceKind::MinimumCircumscribed ? -1.0 : 1.0;
        for (const double by : {2e-9, -5e-10}) {
            LimaconReference moved = reference;
            moved.c += into * by;
            EXPECT_FALSE(Check(kind, r, set, moved, w, check)) << ReferenceAbbreviation(kind) << ' ' << by;
        }
        if (kind == ReferenceKind::MinimumZone) {
            EXPECT_FALSE(Check(kind, r, set, reference, w + 5e-10, check));
        }
    }
}

TEST(ReferenceCheck, ZoneContactsMustAlternateFourTimes)
{
    // 10 + cos 2t at eight samples: outer, inner, outer, inner.
    const SampleSet set = SampleSet::EqualSteps(8);
    ReferenceCheck check;
    EXPECT_TRUE(Check(ReferenceKind::MinimumZone, {11, 10, 9, 10, 11, 10, 9, 10}, set, {0, 0, 10}, 1.0, check));
    EXPECT_EQ(Touching(check, set),
              (std::vector<std::pair<int, ReferenceSide>>{{0, kOuter}, {2, kInner}, {4, kOuter}, {6, kInner}}));
    // Four contacts, but two outer then two inner: the centre can still move.
    EXPECT_FALSE(Check(ReferenceKind::MinimumZone, {11, 11, 10, 9, 9, 10, 10, 10}, set, {0, 0, 10}, 1.0, check));
    EXPECT_EQ(check.Contacts.size(), 4u);
    // Three alternations with the wrap: outer, inner, outer.
    EXPECT_FALSE(Check(ReferenceKind::MinimumZone, {11, 10, 9, 10, 11, 10, 10, 10}, set, {0, 0, 10}, 1.0, check));
    // A zone no wider than rounding cannot be beaten, whatever its contacts.
    EXPECT_TRUE(Check(ReferenceKind::MinimumZone, std::vector<double>(8, 10.0), set, {0, 0, 10}, 0.0, check));
}

TEST(ReferenceCheck, InscribedContactsMustSurroundTheCentre)
{
    // A circle with two dents exactly opposite: the inscribed reference
    // touches both, and gaps of exactly half a turn still hold the centre.
    std::vector<double> r(360, 10.0);
    r[30] = r[210] = 9.99;
    const SampleSet set = SampleSet::EqualSteps(360);
    ReferenceCheck check;
    EXPECT_TRUE(Check(ReferenceKind::MaximumInscribed, r, set, {0, 0, 9.99}, 0, check));
    EXPECT_EQ(Touching(check, set), (std::vector<std::pair<int, ReferenceSide>>{{30, kInner}, {210, kInner}}));
    // One dent only, or the opposite one excluded: the centre can move away from it.
    std::vector<bool> used(360, true);
    used[210] = false;
    EXPECT_FALSE(Check(ReferenceKind::MaximumInscribed, r, SampleSet::EqualSteps(360, used), {0, 0, 9.99}, 0, check));
    EXPECT_EQ(check.Contacts.size(), 1u);
    r[210] = 10.0;
    EXPECT_FALSE(Check(ReferenceKind::MaximumInscribed, r, set, {0, 0, 9.99}, 0, check));
    // The circumscribed reference of the same profile touches every other sample.
    EXPECT_TRUE(Check(ReferenceKind::MinimumCircumscribed, r, set, {0, 0, 10.0}, 0, check));
    EXPECT_EQ(check.Contacts.size(), 359u);
}

TEST(ReferenceCheck, NumbersThatAreNoNumbersAreNeverVerified)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> r = {11, 10, 9, 10, 11, 10, 9, 10};
    const SampleSet set = SampleSet::EqualSteps(8);
    ReferenceCheck check;
    EXPECT_FALSE(CheckReference(ReferenceKind::MinimumZone, r, set, {0, 0, 10}, -1.0, check));
    EXPECT_FALSE(CheckReference(ReferenceKind::MinimumZone, r, set, {nan, 0, 10}, 1.0, check));
    EXPECT_FALSE(CheckReference(ReferenceKind::MinimumZone, std::span(r).first(7), set, {0, 0, 10}, 1.0, check));
    EXPECT_TRUE(check.Contacts.empty());
    // A sample that is no number fails the check where it is used, not where it is excluded.
    r[3] = nan;
    EXPECT_FALSE(CheckReference(ReferenceKind::MinimumZone, r, set, {0, 0, 10}, 1.0, check));
    std::vector<bool> used(8, true);
    used[3] = false;
    EXPECT_TRUE(CheckReference(ReferenceKind::MinimumZone, r, SampleSet::EqualSteps(8, used), {0, 0, 10}, 1.0, check));
}

} // namespace
} // namespace kyklos
