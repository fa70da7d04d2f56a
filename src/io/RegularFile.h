#pragma once
// Opening a profile file safely: only a regular file is read.

#include <cstdio>
#include <string>

namespace kyklos {

// Opens a regular file for reading, or returns null: a directory, a FIFO, a
// socket or a device is no profile file, and opening one never blocks.
std::FILE* OpenRegularFile(const std::string& path);

} // namespace kyklos
