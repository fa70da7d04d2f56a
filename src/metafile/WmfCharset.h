#pragma once
// Metafile text is bytes in the character set of the font selected when it is
// drawn (LOGFONT lfCharSet): Windows-1252 for ANSI fonts, Shift-JIS, GBK,
// Big5, Hangul or another Windows code page for the others. These helpers turn
// such bytes into UTF-8 for the canvas, by glibc's iconv.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kyklos {

// The iconv name of the code page a font character set stands for; an
// unknown character set is taken as ANSI.
const char* CharsetEncoding(int charset);

struct DecodedText {
    std::string utf8;    // control characters shown as blanks
    std::vector<int> dx; // one advance per character, or empty
};

// bytes: the text as the record stores it. dx: ExtTextOut's advances, one per
// byte, so that a double-byte character has two; they are summed per
// character. When the characters cannot be matched with the bytes (a byte
// sequence the code page does not define), dx is left empty and the text is
// spaced by its font.
DecodedText DecodeWmfText(std::span<const std::uint8_t> bytes, std::span<const int> dx, int charset);

} // namespace kyklos
