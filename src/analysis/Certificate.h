#pragma once
// What a check of a minimum zone, maximum inscribed or minimum circumscribed
// result proves about it. The result's numbers stay as the fit computed
// them; the certificate says how good they are. Lengths in mm (the unit of
// the profile or the points).

#include <limits>

namespace kyklos {

enum class CertificateLevel {
    None,  // nothing proved: least squares, or numbers that are no numbers
    Local, // the local conditions of optimality, checked in exact arithmetic
    Exact, // the global optimum bounded in exact arithmetic
};

struct Certificate {
    CertificateLevel Checked = CertificateLevel::None;
    // How far the worst sample lies beyond the reference (outside the zone),
    // rounded up; 0 when none does. +∞ when nothing was checked.
    double ViolationMm = std::numeric_limits<double>::infinity();
    // An upper bound, rounded up, on how far the reported value lies from
    // the optimum, the violation included (Exact); for Local see
    // TrueCircleCertificate.h. +∞ when nothing bounds it.
    double GapMm = std::numeric_limits<double>::infinity();
    // GapMm ≤ kOptimalGapMm.
    bool Optimal = false;
};

// A result within a nanometre of its optimum counts as the optimum.
inline constexpr double kOptimalGapMm = 1e-9;

} // namespace kyklos
