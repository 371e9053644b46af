#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace Platform;

// Wine takes the ANSI code page from the host locale; the run script asks for a Simplified
// Chinese one (936), but a host without that locale falls back to Western (1252).
TEST(TextCodec, AnsiCodePageRoundTrip) {
    const UINT acp = GetACP();
    if (acp == 936) {
        const std::string gbk = "\xB1\xB8\xB7\xDD\xCE\xC4\xBC\xFE";
        EXPECT_EQ(SystemToUtf8(gbk), "备份文件");
        EXPECT_EQ(Utf8ToSystem("备份文件"), gbk);
    } else if (acp == 1252) {
        const std::string latin = "caf\xE9 \xFC";
        EXPECT_EQ(SystemToUtf8(latin), "café ü");
        EXPECT_EQ(Utf8ToSystem("café ü"), latin);
    } else {
        GTEST_SKIP() << "ANSI code page " << acp << " has no sample text here";
    }
    EXPECT_EQ(SystemToUtf8("*.BAK"), "*.BAK");
}

TEST(TextCodec, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8("备份"));
    EXPECT_FALSE(IsValidUtf8("\xB1\xB8"));
    EXPECT_TRUE(IsValidUtf8(""));
}
