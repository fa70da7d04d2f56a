#pragma once
// The verdict as every evaluation output shows it — the text block, the
// evaluation panel and the evaluation page: the tolerance as typed, the
// roundness it judged with at least the tolerance's decimals, the verdict
// line naming what was judged, and the margin. Derived here once, so that no
// pair of shown numbers contradicts the verdict.
//
// The report page's own rows keep their fixed decimals; these are for the
// evaluation beside it.

#include "document/RoundnessEvaluation.h"

#include <string>

namespace kyklos {

// The decimals a typed value carries: those of the shortest text that reads
// back as it ("11.7" has 1, "12" none, 1e-05 has 5), at most 20.
int TypedDecimals(double value);

// The tolerance in the shown unit: as typed, with at least the unit's
// decimals, when it was typed in that unit ("11.700", "11.7003"); converted
// and with the unit's decimals otherwise.
std::string ToleranceText(const RoundnessTolerance& tolerance, bool metric);

// The decimals RONt is shown with in a unit: the unit's, or the tolerance's
// when it was typed in that unit with more.
int RoundnessDecimals(const RoundnessEvaluation& evaluation, bool metric);

// RONt about a reference in the shown unit, with RoundnessDecimals; the
// judged one with as many more as it takes for a Fail to show above the
// tolerance. The dash without a RONt (a failed fit) or a finite one.
std::string RoundnessText(const RoundnessEvaluation& evaluation, ReferenceKind kind, bool metric);

// What was judged and how it came out, in the tolerance's own unit:
// "RONt LSCI ≤ 11.700 µm: Pass", "RONt MZCI > 11.700 µm: Fail"; the dash
// without a verdict.
std::string VerdictLine(const RoundnessEvaluation& evaluation);

// t − RONt in the shown unit, with the decimals of the judged RONt; a margin
// that rounds to zero is shown without a sign. The dash without a verdict.
std::string MarginText(const RoundnessEvaluation& evaluation, bool metric);

} // namespace kyklos
