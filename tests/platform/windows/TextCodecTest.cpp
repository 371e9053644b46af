#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace Platform;

// The Windows test run uses a Simplified Chinese system locale (ANSI code page 936).
TEST(TextCodec, AnsiCodePageRoundTrip) {
    const std::string gbk = "\xB1\xB8\xB7\xDD\xCE\xC4\xBC\xFE";
    EXPECT_EQ(SystemToUtf8(gbk), "备份文件");
    EXPECT_EQ(Utf8ToSystem("备份文件"), gbk);
    EXPECT_EQ(SystemToUtf8("*.BAK"), "*.BAK");
}

TEST(TextCodec, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8("备份"));
    EXPECT_FALSE(IsValidUtf8("\xB1\xB8"));
    EXPECT_TRUE(IsValidUtf8(""));
}
