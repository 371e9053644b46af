#include "core/FileRoutines.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include <windows.h>

namespace {

// The record as the system itself keeps it, asked without the compatibility shims of
// GetVersionExW (which answer what the program is manifested for).
OSVERSIONINFOW SystemRecord() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl = reinterpret_cast<TRtlGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    EXPECT_NE(rtl, nullptr);
    if (rtl)
        rtl(&info);
    return info;
}

} // namespace

TEST(WinOSVersionText, NamesThePlatformVersionBuildAndServicePack) {
    const std::string text = GetOSVersionText();
    // "Windows NT Version 10.0", CR LF, " (Build 19045: )" with the service pack text
    // (empty on today's systems) between the colon's blank and the bracket.
    EXPECT_TRUE(std::regex_match(
        text, std::regex("Windows NT Version [0-9]+\\.[0-9]+\r\n \\(Build [0-9]+: .*\\)")))
        << text;

    const OSVERSIONINFOW info = SystemRecord();
    std::string servicePack;
    for (const wchar_t* c = info.szCSDVersion; *c; ++c)
        servicePack += static_cast<char>(*c); // the service pack names are ASCII
    EXPECT_EQ(text, "Windows NT Version " + std::to_string(info.dwMajorVersion) + "." +
                        std::to_string(info.dwMinorVersion) + "\r\n (Build " +
                        std::to_string(info.dwBuildNumber) + ": " + servicePack + ")");
    // The major version of every system this runs on is at least that of Windows XP.
    EXPECT_GE(info.dwMajorVersion, 5u);
}
