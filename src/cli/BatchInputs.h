#pragma once
// The files a batch evaluates, from the command line's inputs: a file names
// itself; a folder means the .kyk files in it (any letter case), in name
// order, and with `recursive` those of its subfolders too, links to folders
// followed and every real folder listed once; "-" reads names from `list`,
// one per line or, with a NUL separator, as `find -print0` writes them (so
// that `find … | kyklos-report -` works).

#include <istream>
#include <string>
#include <vector>

namespace kyklos {

struct BatchInput {
    std::string Path;
    std::string Error; // set when the input itself cannot be listed (a folder that cannot be read)
};

// The message of a folder whose entries cannot be listed.
inline constexpr const char* kUnreadableFolderMessage = "Cannot read the folder.";

// separator: '\n' (a CR before it is dropped) or '\0' for the names read from `list`.
// tables: folders also take table files (.csv, .tsv, .txt, .dat in any
// letter case), which a folder of profiles may hold for other reasons (a
// readme.txt) and so only when asked for.
std::vector<BatchInput> ExpandInputs(const std::vector<std::string>& arguments, bool recursive, std::istream& list,
                                     char separator = '\n', bool tables = false);

// True when the name ends in ".kyk" in any letter case.
bool HasProfileExtension(const std::string& name);

} // namespace kyklos
