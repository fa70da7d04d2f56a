#pragma once
// Writing a profile as data: a .kyk file, or a CSV table that the table
// reader reads back as the very same profile. Numbers are written with a
// full stop under every locale.

#include "io/Profile.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kyklos {

inline constexpr std::string_view kOnlyEqualStepsAsKyk =
    "Only a profile at equal steps over a full turn can be saved as .kyk.";

// The .kyk file of a profile at equal steps over a full turn (1 to 36000
// radii), or nothing for any other. Radii read from a .kyk file are written
// as the micrometre values it held, so that it reads back bit for bit; any
// other radius as the micrometre value nearest to it, chosen among the
// neighbouring doubles so that reading (µm × 0.001) gives the radius back
// exactly where one does, and within an ulp otherwise.
std::optional<std::string> KykFileText(const Profile& profile);

// The micrometre value written for a radius in millimetres (see KykFileText).
double MicrometresToWrite(double radiusMm);

// The profile as a CSV table with the header "angle_deg,radius_mm" (and
// "filtered_radius_mm" when one filtered radius per sample is given), or
// "x_mm,y_mm" for points; the identification and the date above it as
// "identification: …" and "date: …". Radii and points in their shortest
// round-trip text; the angles of a profile at equal steps as i·360/N, any
// other angle as DegreesTextForRadians (TableAngle.h) writes it.
std::string ProfileTableText(const Profile& profile, std::span<const double> filteredRadius = {});

// Saves the profile: as .kyk when the file name ends so (any letter case),
// else as a CSV table. The message the user is shown, or "" when written.
std::string SaveProfile(const std::string& path, const Profile& profile, std::span<const double> filteredRadius = {});

} // namespace kyklos
