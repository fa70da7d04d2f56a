// The verdict and the numbers shown beside it: equal is Pass whichever way
// RONt reached the tolerance's unit, the verdict line names what it judged,
// and no shown roundness, tolerance or margin contradicts the verdict.

#include "document/ShownVerdict.h"
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <string>

namespace kyklos {
namespace {

RoundnessEvaluation Judged(double rontMm, const RoundnessTolerance& tolerance,
                           ReferenceKind kind = ReferenceKind::LeastSquares)
{
    RoundnessEvaluation e;
    e.Valid = true;
    e.SelectedReference = kind;
    for (ReferenceEvaluation& r : e.References) {
        r.FitValid = true;
        r.RONt = rontMm * 1.25;
    }
    e.References[static_cast<std::size_t>(ReferenceIndex(kind))].RONt = rontMm;
    JudgeTolerance(e, tolerance);
    return e;
}

double Parsed(const std::string& text)
{
    const std::optional<double> value = ParseNumber(text);
    EXPECT_TRUE(value) << text;
    return value.value_or(std::nan(""));
}

TEST(ShownVerdict, EqualToTheToleranceAsTypedPasses)
{
    // Three-decimal tolerances up to 100 µm and a RONt equal to each, reached
    // in millimetres (t/1000) or in microinches: a conversion's rounding is
    // no difference of form. A thousandth of a nanometre over fails.
    std::mt19937 random(17);
    std::uniform_int_distribution<int> thousandths(1, 100000);
    int wrong = 0;
    for (int i = 0; i < 100000; ++i) {
        const int m = thousandths(random);
        const std::string typed = std::to_string(m / 1000) + "." + std::to_string(1000 + m % 1000).substr(1);
        const double t = Parsed(typed);
        wrong += Judged(t / 1000.0, {t, true}).Verdict != ToleranceVerdict::Pass;
        wrong += Judged(t * 0.0254 / 1000.0, {t, false}).Verdict != ToleranceVerdict::Pass;
        wrong += Judged((t + 1e-6) / 1000.0, {t, true}).Verdict != ToleranceVerdict::Fail;
        wrong += Judged((t + 1e-6) * 0.0254 / 1000.0, {t, false}).Verdict != ToleranceVerdict::Fail;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ShownVerdict, TextsNameTheToleranceAsTypedAndWhatWasJudged)
{
    EXPECT_EQ(TypedDecimals(12.0), 0);
    EXPECT_EQ(TypedDecimals(11.7), 1);
    EXPECT_EQ(TypedDecimals(11.7003), 4);
    EXPECT_EQ(TypedDecimals(1e-05), 5);
    EXPECT_EQ(TypedDecimals(1.5e-07), 8);
    EXPECT_EQ(TypedDecimals(1e21), 0);

    EXPECT_EQ(ToleranceText({11.7, true}, true), "11.700");
    EXPECT_EQ(ToleranceText({11.7003, true}, true), "11.7003");
    EXPECT_EQ(ToleranceText({500.0, false}, false), "500.00");
    EXPECT_EQ(ToleranceText({11.5, true}, false), "452.76"); // converted: the unit's decimals
    EXPECT_EQ(ToleranceText({196.85, false}, true), "5.000");

    EXPECT_EQ(VerdictLine(Judged(0.0117, {11.7, true})), "RONt LSCI \u2264 11.700 \u00B5m: Pass");
    EXPECT_EQ(VerdictLine(Judged(0.0118, {11.7, true}, ReferenceKind::MinimumZone)),
              "RONt MZCI > 11.700 \u00B5m: Fail");
    EXPECT_EQ(VerdictLine(Judged(0.0118, {500.0, false}, ReferenceKind::MaximumInscribed)),
              "RONt MICI \u2264 500.00 \u00B5in: Pass");
    RoundnessEvaluation none = Judged(0.0118, {5.0, true});
    JudgeTolerance(none, std::nullopt);
    EXPECT_EQ(VerdictLine(none), "\u2014");
    EXPECT_EQ(MarginText(none, true), "\u2014");

    // 11.7003 µm against 11.700 µm: shown with the fourth decimal that fails
    // it; the other references keep the tolerance's decimals.
    const RoundnessEvaluation over = Judged(0.0117003, {11.7, true});
    EXPECT_EQ(RoundnessText(over, ReferenceKind::LeastSquares, true), "11.7003");
    EXPECT_EQ(RoundnessText(over, ReferenceKind::MinimumZone, true), "14.625");
    EXPECT_EQ(MarginText(over, true), "-0.0003");
    EXPECT_EQ(RoundnessText(over, ReferenceKind::LeastSquares, false), "460.64");
    const RoundnessEvaluation typedFine = Judged(0.0117, {11.7003, true});
    EXPECT_EQ(RoundnessText(typedFine, ReferenceKind::MinimumZone, true), "14.6250");
    // A RONt a rounding over the tolerance is equal to it: no "-0.000".
    const RoundnessEvaluation equal = Judged(std::nextafter(0.0117, 1.0), {11.7, true});
    EXPECT_EQ(equal.Verdict, ToleranceVerdict::Pass);
    EXPECT_EQ(MarginText(equal, true), "0.000");
    RoundnessEvaluation failedFit = over;
    failedFit.References[0].FitValid = false;
    failedFit.References[0].RONt.reset();
    EXPECT_EQ(RoundnessText(failedFit, ReferenceKind::LeastSquares, true), "\u2014");
}

TEST(ShownVerdict, NoShownNumberContradictsTheVerdict)
{
    // Tolerances typed with 0 to 4 decimals in either unit; RONt equal to
    // them, a rounding or a hair off, anywhere within the last shown digit,
    // or the tolerance typed as the RONt was shown.
    std::mt19937 random(29);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double offsets[] = {0.0, 1e-13, -1e-13, 1e-9, -1e-9, 4e-4, -4e-4, 5e-4, -5e-4, 5e-3, -5e-3};
    int contradictions = 0;
    for (int i = 0; i < 40000; ++i) {
        const bool metric = i % 2 == 0;
        const int decimals = static_cast<int>(uniform(random) * 5.0);
        const double toShown = 1000.0 * (metric ? 1.0 : 39.37007874015748);
        double t = Parsed(FixedNumber(0.5 + 50.0 * uniform(random), decimals));
        double shownRont = t * (1.0 + offsets[i % std::size(offsets)] / 10.0) + offsets[(i / 7) % std::size(offsets)];
        if (i % 5 == 0) t = Parsed(FixedNumber(shownRont, std::max(decimals, metric ? 3 : 2)));
        const RoundnessEvaluation e = Judged(shownRont / toShown, {t, metric});
        const bool pass = e.Verdict == ToleranceVerdict::Pass;
        const double ront = Parsed(RoundnessText(e, ReferenceKind::LeastSquares, metric));
        const double tolerance = Parsed(ToleranceText(*e.Tolerance, metric));
        const std::string margin = MarginText(e, metric);
        const double left = Parsed(margin);
        const bool consistent =
            pass == (ront <= tolerance) && (pass ? left >= 0.0 : left <= 0.0) && (left != 0.0 || margin[0] != '-');
        if (!consistent) {
            ADD_FAILURE() << RoundnessText(e, ReferenceKind::LeastSquares, metric) << " " << VerdictLine(e)
                          << " margin " << margin;
            if (++contradictions > 5) break;
        }
    }
    EXPECT_EQ(contradictions, 0);
}

} // namespace
} // namespace kyklos
