#pragma once
// Output files named by the bytes the user gave. Qt turns a file name into
// a QString, and a name that is not valid UTF-8 (café.png written in
// Latin-1) does not survive that trip: it would be written under another
// name. So the file is opened by its bytes and Qt only writes to the handle.
//
// The bytes go to NAME.part beside the file, which is renamed to NAME once
// complete: a run that is killed or fails never leaves a truncated file, and
// an earlier file of that name stays until the new one replaces it. A name
// that is a link writes beside the file it leads to; a device or a pipe is
// written directly.

#include <QFile>

#include <string>

namespace kyklos {

// Opens path's part file for writing into `file`. False with a one-line
// reason in `error` when it cannot be opened.
bool OpenOutputFile(const std::string& path, QFile& file, std::string& error);

// Closes `file`. When `keep` is true and every byte was written, the part
// file becomes `path`; otherwise it is removed, and an earlier file of that
// name stays. False when the file was not kept.
bool FinishOutputFile(const std::string& path, QFile& file, bool keep);

// The extension in lower case with its dot (".png"), or empty.
std::string LowerExtension(const std::string& path);

} // namespace kyklos
