#pragma once
// The .kyk profile file: the magic word KYKLOS_DATA, the revision 1.0, the
// designators IDENTIFICATION:, DATE:, NUMBER_OF_POINTS: and PROFILE_UM:
// (any letter case), then N radii in micrometres at equal steps over one turn.

#include "io/Profile.h"

#include <optional>
#include <string>

namespace kyklos {

// The format's limit: the samples of one profile.
inline constexpr int kMaxKykPoints = 36000;

struct KykReadResult {
    std::optional<Profile> Read; // the profile (mm), named after the file, when the whole file was read
    std::string Message;         // otherwise the message the user is shown
    // The file was taken for a profile file (magic word and revision
    // accepted) and failed later: the profile shown before is given up, and
    // the report names this file without a profile.
    bool ProfileLost = false;
};

// Reads a .kyk file. Only a regular file is opened; a token is read to at
// most 256 characters; the count must be a whole number from 1 to 36000
// and every radius a finite number.
KykReadResult ReadKykFile(const std::string& path);

} // namespace kyklos
