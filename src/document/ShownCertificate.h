#pragma once
// What the exact check proved of a reference, in the words the evaluation
// panel and the evaluation page show beside it.

#include "analysis/Certificate.h"
#include "document/RoundnessEvaluation.h"

#include <string>

namespace kyklos {

// "optimal (proved)" for a gap of 0; "optimal within 0.000123 µm" (or µin)
// for a finite one, with three significant digits rounded up, since the gap
// is a bound; empty when nothing was checked or nothing bounds the gap.
std::string CertificateText(const Certificate& certificate, bool metric);

// The certificates of the shown minimum zone, inscribed and circumscribed
// references in one line, references with the same text together:
// "MZCI, MICI, MCCI: optimal (proved)"; empty when none was checked.
std::string CertificateNote(const RoundnessEvaluation& evaluation, bool metric);

} // namespace kyklos
