#pragma once
// Turning the bytes a file or a file name carries into UTF-8 text for output.
//
// Profile files and file names are bytes: a file written on Windows often
// carries its texts in Windows-1252 (µ, °, Ø, ä as single bytes), one written
// elsewhere in UTF-8. The document keeps the bytes as read; every place where
// a text leaves it (JSON, the results block, the page, the window title,
// message boxes) shows it through DisplayText, so one rule holds everywhere.

#include <string>
#include <string_view>

namespace kyklos {

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The rule for texts from files and file names: valid UTF-8 as it is; UTF-8
// whose only fault is a character cut short at the very end (a line the
// reader shortened to its length limit of 253 bytes) without that last
// partial character, when the text is that long or holds another multibyte
// character; anything else read as Windows-1252.
std::string DisplayText(std::string_view bytes);

// Converts bytes in the named character set (an iconv name such as
// "WINDOWS-1252", "SHIFT_JIS", "GBK") to UTF-8. A byte sequence the character
// set does not define becomes U+FFFD and the conversion goes on after it; an
// unknown character set keeps ASCII and replaces every other byte likewise.
std::string ConvertToUtf8(std::string_view bytes, const char* charset);

} // namespace kyklos
