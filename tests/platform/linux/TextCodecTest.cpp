#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(TextCodec, Utf8PassesThroughUnchanged) {
    const std::string text = "备份文件 *.BAK";
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(SystemToUtf8(text), text);
    EXPECT_EQ(Utf8ToSystem(text), text);
}

TEST(TextCodec, Gb18030FileIsDecoded) {
    // "备份文件" in GB18030 (the same bytes as GBK / code page 936).
    const std::string gb = "\xB1\xB8\xB7\xDD\xCE\xC4\xBC\xFE";
    EXPECT_FALSE(IsValidUtf8(gb));
    EXPECT_EQ(SystemToUtf8(gb), "备份文件");
}

TEST(TextCodec, RejectsOverlongAndSurrogateForms) {
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // UTF-16 surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE5\xA4"));         // cut short
    EXPECT_TRUE(IsValidUtf8(""));
}

TEST(TextCodec, LongLineOfInvalidBytesDecodesInOnePass) {
    // Eight MiB of bytes that mean nothing in GB18030 (a decoder that grows its buffer for
    // every bad byte needs hours here, past the test program's time limit), between
    // characters that must survive, and ending in a cut-short character.
    const size_t n = 8u << 20;
    const std::string gb = "\xB1\xB8" + std::string(n, '\xFF') + "\x80\xB7\xDDok\xB1";
    const std::string utf8 = SystemToUtf8(gb);
    std::string expected = "备";
    for (size_t i = 0; i < n + 1; ++i)
        expected += "\xEF\xBF\xBD";
    expected += "份ok\xEF\xBF\xBD";
    EXPECT_EQ(utf8, expected);
}

TEST(TextCodec, BadBytesBecomeOneReplacementEachAndTheRestDecodes) {
    // A lead byte with no fitting second byte, a four-byte form cut short, a four-byte
    // character, and a four-byte form the table does not know, between plain letters.
    EXPECT_EQ(SystemToUtf8("a\x81\x7F"
                           "b"),
              "a\xEF\xBF\xBD\x7F"
              "b");
    EXPECT_EQ(SystemToUtf8("z\x81\x30\x81"), "z\xEF\xBF\xBD"
                                             "0\xEF\xBF\xBD");
    EXPECT_EQ(SystemToUtf8("\x81\x30\x81\x30-\xFF"), "\xC2\x80-\xEF\xBF\xBD");
    EXPECT_EQ(SystemToUtf8("\x84\x31\xA5\x30"), "\xEF\xBF\xBD"
                                                "1\xEF\xBF\xBD"
                                                "0");
}
