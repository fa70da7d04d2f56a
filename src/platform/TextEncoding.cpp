#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace kyklos {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 prefix of bytes.
std::size_t ValidUtf8Prefix(std::string_view bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned c = s[i];
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;  // overlong
            if (c == 0xED) high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;  // overlong
            if (c == 0xF4) high = 0x8F; // above U+10FFFF
        } else {
            return i;
        }
        if (i + length > n) return i;
        if (s[i + 1] < low || s[i + 1] > high) return i;
        for (std::size_t k = 2; k < length; ++k)
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) return i;
        i += length;
    }
    return n;
}

// True when tail is the start of a UTF-8 sequence that the end of the text cut short.
bool IsCutSequence(std::string_view tail)
{
    if (tail.empty() || tail.size() > 3) return false;
    const auto lead = static_cast<unsigned char>(tail[0]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || tail.size() >= length) return false;
    for (std::size_t k = 1; k < tail.size(); ++k) {
        const auto c = static_cast<unsigned char>(tail[k]);
        if (c < 0x80 || c > 0xBF) return false;
    }
    return true;
}

bool HasMultibyteCharacter(std::string_view validUtf8)
{
    for (const char c : validUtf8)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) { return ValidUtf8Prefix(bytes) == bytes.size(); }

std::string DisplayText(std::string_view bytes)
{
    const std::size_t valid = ValidUtf8Prefix(bytes);
    if (valid == bytes.size()) return std::string(bytes);
    // A cut character counts as such only in a text that the profile reader
    // shortened to its limit of 253 bytes, or that shows it is UTF-8
    // elsewhere: "Maß" in Windows-1252 ends in a byte that could also lead a
    // UTF-8 sequence.
    constexpr std::size_t kLongestTextLine = 253;
    if (IsCutSequence(bytes.substr(valid)) &&
        (bytes.size() >= kLongestTextLine || HasMultibyteCharacter(bytes.substr(0, valid))))
        return std::string(bytes.substr(0, valid));
    return ConvertToUtf8(bytes, "WINDOWS-1252");
}

std::string ConvertToUtf8(std::string_view bytes, const char* charset)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    const iconv_t cd = iconv_open("UTF-8", charset);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80)
                out += c;
            else
                out += kReplacement;
        }
        return out;
    }
    char* in = const_cast<char*>(bytes.data()); // iconv's signature; it does not write the input
    std::size_t inLeft = bytes.size();
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: a byte the character set does not define, or a
        // multibyte character cut short at the end.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush a stateful encoding's shift sequence.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    iconv_close(cd);
    return out;
}

} // namespace kyklos
