#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace kyklos {
namespace {

TEST(TextEncoding, ValidUtf8PassesUnchanged)
{
    EXPECT_EQ(DisplayText("Welle \xC3\x98 40 \xC2\xB5m"), "Welle \xC3\x98 40 \xC2\xB5m");
    EXPECT_EQ(DisplayText("\xE6\xB8\xAC\xE5\xAE\x9A"), "\xE6\xB8\xAC\xE5\xAE\x9A"); // CJK stays
    EXPECT_EQ(DisplayText(""), "");
}

TEST(TextEncoding, Windows1252BytesBecomeTheirCharacters)
{
    // µ ° Ø ä as single bytes, and the euro sign from the 0x80 row Latin-1 lacks.
    EXPECT_EQ(DisplayText("\xB5m \xB0 \xD8 \xE4 \x80"), "\xC2\xB5m \xC2\xB0 \xC3\x98 \xC3\xA4 \xE2\x82\xAC");
    // A byte Windows-1252 leaves undefined is replaced, the rest still converts.
    EXPECT_EQ(DisplayText("a\x81\xB5"), "a\xEF\xBF\xBD\xC2\xB5");
}

TEST(TextEncoding, MalformedUtf8IsNotTakenAsUtf8)
{
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF itself
    EXPECT_EQ(DisplayText("\xC0\xAF"), "\xC3\x80\xC2\xAF");
}

TEST(TextEncoding, Utf8CutShortAtTheEndLosesOnlyTheCutCharacter)
{
    EXPECT_EQ(DisplayText("Ma\xC3\x9F \xE2\x82"), "Ma\xC3\x9F ");
    EXPECT_EQ(DisplayText("\xC3\xB8 x\xF0\x9F\x98"), "\xC3\xB8 x");
    // Windows-1252 text whose last byte could lead a UTF-8 sequence: "Maß", "café".
    EXPECT_EQ(DisplayText("Ma\xDF"), "Ma\xC3\x9F");
    EXPECT_EQ(DisplayText("caf\xE9"), "caf\xC3\xA9");
    // A cut sequence inside the text is not a cut at the end.
    EXPECT_EQ(DisplayText("\xE2\x82 x"), "\xC3\xA2\xE2\x80\x9A x");
}

TEST(TextEncoding, ConvertsEastAsianCodePages)
{
    EXPECT_EQ(ConvertToUtf8("\x93\xFA\x96\x7B", "SHIFT_JIS"), "\xE6\x97\xA5\xE6\x9C\xAC"); // 日本
    EXPECT_EQ(ConvertToUtf8("\xD6\xD0\xCE\xC4", "GBK"), "\xE4\xB8\xAD\xE6\x96\x87");       // 中文
    // A lead byte cut short at the end is replaced, not dropped silently.
    EXPECT_EQ(ConvertToUtf8("A\x93", "SHIFT_JIS"), "A\xEF\xBF\xBD");
    EXPECT_EQ(ConvertToUtf8("A\xE4", "NO-SUCH-CHARSET"), "A\xEF\xBF\xBD");
}

} // namespace
} // namespace kyklos
