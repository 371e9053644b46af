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
