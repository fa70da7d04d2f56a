#pragma once
// The table options of a run checked and turned into what they mean: how
// every table is read, whether folders take tables, and the file each
// profile is saved to (numbered as the pages are when there are several).

#include "cli/Options.h"
#include "document/KyklosDoc.h"
#include "io/TableOptions.h"

#include <cstddef>
#include <optional>
#include <string>

namespace kyklos {

struct TablePlan {
    TableOptions Reading;
    bool FoldersTakeTables = false;
    std::string SaveProfilePath; // empty: no profile is saved
};

// The plan of the table options, or the refusal's message for a word that
// is none of its option's words.
std::optional<std::string> PlanTables(const TableOptionWords& words, TablePlan& plan);

// The file the profile at `index` (0-based, in input order, the
// demonstration first) of `count` is saved to: `path` itself for one
// profile, else NAME-1.csv, NAME-2.csv, ... beside it.
std::string SavedProfilePath(const std::string& path, std::size_t index, std::size_t count);

// Saves the document's profile as File ▸ Save Profile As… does (with the
// filtered radii when analysed): the message, or "" when written.
std::string SaveAnalysedProfile(const CKyklosDoc& doc, const std::string& path);

} // namespace kyklos
