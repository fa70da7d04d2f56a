#pragma once
// A table file read into a profile the document can take: the columns asked
// of the user when neither the file nor the options name them, and a point
// set turned into its radial profile about its least squares circle.

#include "document/TableImportPort.h"
#include "io/Profile.h"
#include "io/TableOptions.h"

#include <optional>
#include <string>

namespace kyklos {

struct TableOpening {
    std::optional<Profile> Read; // the profile, ready to analyse
    std::string Message;         // the refusal shown to the user; empty when read or cancelled
    bool Cancelled = false;      // the user cancelled the Import dialog
};

// Reads the table at `path` with `options`. Columns not named: the
// importer's choices read it again (they hold for this table only); without
// an importer it is refused.
TableOpening OpenTableProfile(const std::string& path, const TableOptions& options, TableImportPort* importer);

} // namespace kyklos
