#pragma once
// The four reference circles of roundness (ISO 12181-2) and the one switch
// that fits the chosen one to a filtered profile.

#include "analysis/Limacon.h"
#include "analysis/SampleAngles.h"
#include "analysis/SampleSet.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace kyklos {

// The numbers are the Reference Selection dialog's radio indices and what
// files and settings store.
enum class ReferenceKind : int {
    LeastSquares = 0,         // LSCI
    MinimumZone = 1,          // MZCI
    MaximumInscribed = 2,     // MICI
    MinimumCircumscribed = 3, // MCCI
};

inline constexpr std::array<ReferenceKind, 4> kReferenceKinds{ReferenceKind::LeastSquares, ReferenceKind::MinimumZone,
                                                              ReferenceKind::MaximumInscribed,
                                                              ReferenceKind::MinimumCircumscribed};

// The kind of a radio index or stored number: any number but 0, 2 and 3 is
// the minimum zone, as the analysis has always taken an unknown kind.
ReferenceKind ReferenceKindFromIndex(int index);

constexpr int ReferenceIndex(ReferenceKind kind) { return static_cast<int>(kind); }

// "LSCI", "MZCI", "MICI", "MCCI".
std::string_view ReferenceAbbreviation(ReferenceKind kind);

// The reference fit of one kind on the filtered profile (mm) at the sample
// angles of `angles`: `reference` enters holding the least squares fit of the
// raw profile, where the three-point fits start, and receives the fitted
// limaçon; the minimum zone fit also writes its half-width (mm). The fit's
// result: false when it found no reference (the outputs then hold what it left).
bool FitReferenceCircle(ReferenceKind kind, std::span<const double> filtered, const SampleAngles& angles,
                        LimaconReference& reference, double& zoneHalfWidth);

// The same switch over the used samples of `samples` (SampleSet.h): equal
// steps over a full turn give the fits above bit for bit; any other set is
// fitted exactly at its own angles. Inscribed and circumscribed are false
// when the used samples do not surround the centre (LargestGap() ≥ π): the
// caller then warns with PartialCoverageWarning. Check the result with
// CheckReference (ReferenceCheck.h) before showing it.
bool FitReferenceCircle(ReferenceKind kind, std::span<const double> filtered, const SampleSet& samples,
                        LimaconReference& reference, double& zoneHalfWidth);

// "The profile covers only D° of the circle; the inscribed and circumscribed
// circles need samples all around it." with D = 360° less the largest gap
// (radians) between used samples, to 0.1°, a full stop for the decimal.
std::string PartialCoverageWarning(double largestGap);

} // namespace kyklos
