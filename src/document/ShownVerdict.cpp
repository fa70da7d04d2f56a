#include "document/ShownVerdict.h"

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace kyklos {

namespace {

// Far beyond what a tolerance is typed with; the decimals a double can still tell apart.
constexpr int kMostDecimals = 20;

// The judged RONt: on a Fail in the tolerance's unit, with as many decimals
// beyond RoundnessDecimals as it takes to show it above the tolerance.
int JudgedDecimals(const RoundnessEvaluation& evaluation, bool metric)
{
    int decimals = RoundnessDecimals(evaluation, metric);
    const std::optional<RoundnessTolerance>& tolerance = evaluation.Tolerance;
    if (evaluation.Verdict != ToleranceVerdict::Fail || !tolerance || tolerance->Metric != metric) return decimals;
    const double ront = ShownLength(*evaluation.Selected().RONt, metric);
    for (; decimals < kMostDecimals; ++decimals) {
        const std::optional<double> shown = ParseNumber(FixedNumber(ront, decimals));
        if (shown && *shown > tolerance->Value) break;
    }
    return decimals;
}

// "-0.000" says less than nothing: a margin that rounds to zero has no sign.
std::string WithoutSignOfZero(std::string text)
{
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
    return text;
}

} // namespace

int TypedDecimals(double value)
{
    const std::string text = ShortestNumber(value);
    const std::size_t exponentAt = text.find('e');
    const std::string mantissa = text.substr(0, exponentAt);
    const std::size_t point = mantissa.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
    if (exponentAt != std::string::npos) {
        std::size_t from = exponentAt + 1;
        if (from < text.size() && text[from] == '+') ++from;
        int exponent = 0;
        std::from_chars(text.data() + from, text.data() + text.size(), exponent);
        decimals -= exponent;
    }
    return std::clamp(decimals, 0, kMostDecimals);
}

std::string ToleranceText(const RoundnessTolerance& tolerance, bool metric)
{
    if (tolerance.Metric == metric)
        return FixedNumberOrDash(tolerance.Value, std::max(LengthDecimals(metric), TypedDecimals(tolerance.Value)));
    return FixedNumberOrDash(tolerance.Shown(metric), LengthDecimals(metric));
}

int RoundnessDecimals(const RoundnessEvaluation& evaluation, bool metric)
{
    const int decimals = LengthDecimals(metric);
    const std::optional<RoundnessTolerance>& tolerance = evaluation.Tolerance;
    return tolerance && tolerance->Metric == metric ? std::max(decimals, TypedDecimals(tolerance->Value)) : decimals;
}

std::string RoundnessText(const RoundnessEvaluation& evaluation, ReferenceKind kind, bool metric)
{
    const ReferenceEvaluation& reference = evaluation.Reference(kind);
    if (!reference.FitValid || !reference.RONt) return std::string(kNoValueText);
    const int decimals = kind == evaluation.SelectedReference ? JudgedDecimals(evaluation, metric)
                                                              : RoundnessDecimals(evaluation, metric);
    return FixedNumberOrDash(ShownLength(*reference.RONt, metric), decimals);
}

std::string CentreNote(const RoundnessEvaluation& evaluation, ReferenceKind kind, bool metric)
{
    const ReferenceEvaluation& reference = evaluation.Reference(kind);
    if (reference.CentreUnique || !reference.RONtRange) return {};
    const int decimals = RoundnessDecimals(evaluation, metric);
    return " \u2014 centre not unique: " +
           FixedNumberOrDash(ShownLength(reference.RONtRange->first, metric), decimals) + " to " +
           FixedNumberOrDash(ShownLength(reference.RONtRange->second, metric), decimals) + " " +
           std::string(LengthUnitSymbol(metric));
}

std::string VerdictLine(const RoundnessEvaluation& evaluation)
{
    if (evaluation.Verdict == ToleranceVerdict::None || !evaluation.Tolerance) return std::string(kNoValueText);
    const RoundnessTolerance& tolerance = *evaluation.Tolerance;
    const bool pass = evaluation.Verdict == ToleranceVerdict::Pass;
    return "RONt " + std::string(ReferenceAbbreviation(evaluation.SelectedReference)) + (pass ? " \u2264 " : " > ") +
           ToleranceText(tolerance, tolerance.Metric) + " " + std::string(LengthUnitSymbol(tolerance.Metric)) + ": " +
           std::string(VerdictText(evaluation.Verdict));
}

std::string MarginText(const RoundnessEvaluation& evaluation, bool metric)
{
    if (!evaluation.MarginUm) return std::string(kNoValueText);
    return WithoutSignOfZero(
        FixedNumberOrDash(MicrometresToShown(*evaluation.MarginUm, metric), JudgedDecimals(evaluation, metric)));
}

} // namespace kyklos
