#pragma once
// The three-point exchange shared by the maximum inscribed and the minimum
// circumscribed fits: a limaçon is laid exactly through three contacts, the
// profile point that violates it most (deepest inside, or farthest outside)
// replaces one contact so that the three still surround the centre, until no
// point violates it or the pass limit is reached.

#include "analysis/SampleAngles.h"

#include <span>

namespace kyklos {

enum class ContactSide {
    Valleys, // inscribed: no point may lie inside
    Peaks,   // circumscribed: no point may lie outside
};

// Angles in radians; a, b, c in the unit of the profile.
// `contactAngles` holds the start angles (each taken to its nearest sample)
// and receives the final contact angles. a, b, c are the working reference:
// they stay in force while the three-point solve is singular. True when it
// converged; false when `passLimit` passes were made (the counter is tested
// before convergence), with a, b, c then set to the pass of smallest
// peak − valley, the earliest of equals. `profile` must hold angles.Count()
// ≥ 1 samples.
bool IterateThreePointExchange(std::span<const double> profile, const SampleAngles& angles, ContactSide side,
                               int passLimit, double& a, double& b, double& c, double contactAngles[3]);

} // namespace kyklos
