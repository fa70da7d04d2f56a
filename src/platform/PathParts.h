#pragma once
// Splitting a path into drive, directory, file name and extension, the way the
// classic runtime does: the directory keeps its trailing separator, the
// extension keeps its dot, and only the last dot of the last component counts.

#include <string>
#include <string_view>

namespace kyklos {

struct PathParts {
    std::string drive;     // "C:" on Windows-style paths, else empty
    std::string directory; // up to and including the last '/' or '\\'
    std::string name;      // last component without its extension
    std::string extension; // from the last '.', or empty
};

PathParts SplitPath(std::string_view path);

// The current working directory, or empty when it cannot be read.
std::string CurrentDirectory();

} // namespace kyklos
