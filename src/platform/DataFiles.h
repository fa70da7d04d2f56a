#pragma once
// Where the programs find the data files installed beside them (the two logo
// metafiles). The current folder comes first, so that a user's own logo there
// wins; then the installed data folder <prefix>/share/kyklos, found from the
// running program's own path (<prefix>/bin/...) so that an installation moved
// to another prefix still works; last, for a program run from inside the
// build tree only, the source tree's resources folder.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kyklos {

// The path of the running program (/proc/self/exe on Linux), or empty when
// it cannot be read.
std::filesystem::path ExecutablePath();

// The folders searched, in order, for a program at executable. The first
// entry is empty: the current folder. The installed data folder is
// <executable's folder>/../share/kyklos. resources is added only when
// executable lies inside buildTree (both may be empty: no such folder).
std::vector<std::filesystem::path> DataSearchPath(const std::filesystem::path& executable,
                                                  const std::filesystem::path& buildTree,
                                                  const std::filesystem::path& resources);

// The search path of the running program, with the build tree this library
// was compiled in.
std::vector<std::filesystem::path> DataSearchPath();

// The first folder in folders holding a regular file called name, joined with
// name; name itself when none does, so that opening it fails as it would
// have in the current folder.
std::string FindDataFile(std::string_view name, const std::vector<std::filesystem::path>& folders);

// FindDataFile over the running program's search path.
std::string FindDataFile(std::string_view name);

} // namespace kyklos
