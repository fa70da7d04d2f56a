#pragma once
// What the exact check proved of a reference, in the words the evaluation
// panel and the evaluation page show beside it.

#include "analysis/Certificate.h"
#include "document/RoundnessEvaluation.h"

#include <string>

namespace kyklos {

// "optimal (proved)" for a gap of 0; "optimal within G µm" (or µin) for a
// finite one, G with three significant digits rounded up, since the gap is
// a bound: "0.000124", or "3.69e-12" below a ten-thousandth; empty when
// nothing was checked or nothing bounds the gap.
std::string CertificateText(const Certificate& certificate, bool metric);

// The certificates of the shown references in one line, references with the
// same text together: "MZCI, MCCI: optimal (proved); MICI: optimal within
// 0.000124 µm". `together`: all of them under the largest gap, which bounds
// each ("MZCI, MICI, MCCI: optimal within 3.69e-12 µm"), for a line too
// short for each its own. Empty when none was checked.
std::string CertificateNote(const RoundnessEvaluation& evaluation, bool metric, bool together = false);

} // namespace kyklos
