#include "platform/windows/WinText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using Platform::Win::Narrow;
using Platform::Win::Widen;

TEST(WinText, ValidTextIsPlainUtf8) {
    EXPECT_EQ(Narrow(L"abc"), "abc");
    EXPECT_EQ(Narrow(L"\u5907\u4EFD \u0444 \U0001F600"), "备份 ф 😀");
    EXPECT_EQ(Widen("备份 ф 😀"), L"\u5907\u4EFD \u0444 \U0001F600");
    EXPECT_EQ(Narrow(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(Widen(""), L"");
}

// A Windows name may hold a surrogate without its partner. It must come back as the
// same name, never as U+FFFD (which could be the name of another file).
TEST(WinText, LoneSurrogatesSurviveTheRoundTrip) {
    const std::wstring names[] = {
        L"lone\xD800.txt",       L"\xDC00start",        L"end\xDBFF",
        L"reversed\xDC00\xD800", L"\xD800\xD800\xDC00",
    };
    for (const std::wstring& name : names) {
        const std::string bytes = Narrow(name);
        EXPECT_EQ(bytes.find("\xEF\xBF\xBD"), std::string::npos);
        EXPECT_EQ(Widen(bytes), name);
    }
    EXPECT_NE(Narrow(L"a\xD800"), Narrow(L"a\xFFFD"));

    std::mt19937 random(4);
    std::uniform_int_distribution<int> unit(1, 0xFFFF);
    for (int round = 0; round < 2000; ++round) {
        std::wstring text;
        for (int i = 0; i < 12; ++i)
            text += static_cast<wchar_t>(round % 2 ? unit(random) : 0xD7F0 + unit(random) % 0x40);
        ASSERT_EQ(Widen(Narrow(text)), text);
    }
}

TEST(WinText, BytesThatAreNoUtf8BecomeReplacementCharacters) {
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(Widen("\xC0\xAF"), L"\xFFFD\xFFFD");                     // an overlong "/"
    EXPECT_EQ(Widen("\xE4\xBD"), L"\xFFFD\xFFFD");                     // cut short
    EXPECT_EQ(Widen("\xF4\x90\x80\x80"), L"\xFFFD\xFFFD\xFFFD\xFFFD"); // past U+10FFFF
    EXPECT_EQ(Widen("\xB1\xB8\xB7\xDD"), L"\xFFFD\xFFFD\xFFFD\xFFFD"); // GBK bytes
}
