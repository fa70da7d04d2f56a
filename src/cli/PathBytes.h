#pragma once
// A file name as text that gives its bytes back. File names are bytes: one
// written in Latin-1 (caf\xE9.kyk) is not UTF-8, and shown through
// DisplayText it reads as the UTF-8 name café.kyk, a different file. So the
// table and the JSON also carry the name with every byte that is not part
// of a valid UTF-8 character written as \xNN (two lower-case hex digits)
// and a backslash written as \\: two different names never give the same
// text, and undoing the two escapes reopens the file.

#include <string>
#include <string_view>

namespace kyklos {

std::string EscapedPathBytes(std::string_view bytes);

} // namespace kyklos
