#include "cli/PathBytes.h"

#include "platform/TextEncoding.h"

namespace kyklos {

namespace {
// The length a UTF-8 lead byte announces; 0 for a byte that cannot lead.
std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}
} // namespace

std::string EscapedPathBytes(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = SequenceLength(byte);
        if (byte == '\\') {
            text += "\\\\";
        } else if (length > 0 && i + length <= bytes.size() && IsValidUtf8(bytes.substr(i, length))) {
            text.append(bytes.substr(i, length));
            i += length;
            continue;
        } else {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        }
        ++i;
    }
    return text;
}

} // namespace kyklos
