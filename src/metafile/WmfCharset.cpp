#include "metafile/WmfCharset.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <string_view>

namespace kyklos {

namespace {

// LOGFONT character sets.
enum : int {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255,
};

// A lead byte of a double-byte code page: it and the byte after it form one
// character (the ranges the code pages reserve for lead bytes).
bool IsLeadByte(int charset, std::uint8_t b)
{
    switch (charset) {
    case SHIFTJIS_CHARSET: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case HANGUL_CHARSET:
    case GB2312_CHARSET:
    case CHINESEBIG5_CHARSET: return b >= 0x81 && b <= 0xFE;
    case JOHAB_CHARSET: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
    }
}

std::size_t CodePoints(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

const char* CharsetEncoding(int charset)
{
    switch (charset) {
    // A symbol font draws the glyph its own encoding puts at each byte; the
    // bytes are passed on as the characters U+0000..U+00FF, which symbol faces
    // map to their glyphs (and which read as the letters typed where no such
    // face is installed).
    case SYMBOL_CHARSET: return "ISO-8859-1";
    case MAC_CHARSET: return "MACINTOSH";
    case SHIFTJIS_CHARSET: return "CP932";
    case HANGUL_CHARSET: return "CP949";
    case JOHAB_CHARSET: return "JOHAB";
    case GB2312_CHARSET: return "GBK";
    case CHINESEBIG5_CHARSET: return "CP950";
    case GREEK_CHARSET: return "CP1253";
    case TURKISH_CHARSET: return "CP1254";
    case VIETNAMESE_CHARSET: return "CP1258";
    case HEBREW_CHARSET: return "CP1255";
    case ARABIC_CHARSET: return "CP1256";
    case BALTIC_CHARSET: return "CP1257";
    case RUSSIAN_CHARSET: return "CP1251";
    case THAI_CHARSET: return "CP874";
    case EASTEUROPE_CHARSET: return "CP1250";
    case OEM_CHARSET: return "CP437";
    case ANSI_CHARSET:
    case DEFAULT_CHARSET:
    default: return "WINDOWS-1252";
    }
}

DecodedText DecodeWmfText(std::span<const std::uint8_t> bytes, std::span<const int> dx, int charset)
{
    DecodedText out;
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    out.utf8 = ConvertToUtf8(raw, CharsetEncoding(charset));
    // Control bytes never occur inside a UTF-8 sequence.
    for (char& c : out.utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (dx.empty()) return out;

    std::vector<int> perCharacter;
    for (std::size_t i = 0; i < bytes.size() && i < dx.size(); ++i) {
        if (IsLeadByte(charset, bytes[i]) && i + 1 < bytes.size()) {
            perCharacter.push_back(dx[i] + (i + 1 < dx.size() ? dx[i + 1] : 0));
            ++i;
        } else {
            perCharacter.push_back(dx[i]);
        }
    }
    if (perCharacter.size() == CodePoints(out.utf8)) out.dx = std::move(perCharacter);
    return out;
}

} // namespace kyklos
