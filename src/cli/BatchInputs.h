#pragma once
// The files a batch evaluates, from the command line's inputs: a file names
// itself; a folder means the .kyk files in it (any letter case), in name
// order, and with `recursive` those of its subfolders too; "-" reads one name
// per line from `list` (so that `find … | kyklos-report -` works).

#include <istream>
#include <string>
#include <vector>

namespace kyklos {

struct BatchInput {
    std::string Path;
    std::string Error;  // set when the input itself cannot be listed (a folder that cannot be read)
};

std::vector<BatchInput> ExpandInputs(const std::vector<std::string>& arguments, bool recursive, std::istream& list);

// True when the name ends in ".kyk" in any letter case.
bool HasProfileExtension(const std::string& name);

} // namespace kyklos
