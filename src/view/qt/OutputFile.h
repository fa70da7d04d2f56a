#pragma once
// Output files named by the bytes the user gave. Qt turns a file name into
// a QString, and a name that is not valid UTF-8 (café.png written in
// Latin-1) does not survive that trip: it would be written under another
// name. So the file is opened by its bytes and Qt only writes to the handle.

#include <QFile>

#include <string>

namespace kyklos {

// Opens (creates or truncates) path for writing into `file`. False with a
// one-line reason in `error` when it cannot be opened.
bool OpenOutputFile(const std::string& path, QFile& file, std::string& error);

// Closes `file`. When `keep` is false, or the last bytes cannot be written,
// removes what was written, so that a failed export leaves no truncated file
// behind. False when the file was not kept.
bool FinishOutputFile(const std::string& path, QFile& file, bool keep);

// The extension in lower case with its dot (".png"), or empty.
std::string LowerExtension(const std::string& path);

} // namespace kyklos
