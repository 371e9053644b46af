#include "platform/SystemInfo.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

using namespace Platform;

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

TEST(WinSystemInfo, TheSystemsFolders) {
    const std::string windows = WindowsFolder();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows.substr(1, 2), ":\\");
    EXPECT_NE(windows.back(), '\\');
    const DWORD attributes =
        GetFileAttributesA(windows.c_str()); // the Windows folder's name is ASCII
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));

    const std::string local = LocalSettingsFolder();
    EXPECT_FALSE(local.empty());
    // The per-user folders live in the profile.
    const std::wstring home = HomeFolder().wstring();
    ASSERT_FALSE(home.empty());
    EXPECT_EQ(Upper(local).rfind(Upper(std::string(home.begin(), home.end())), 0), 0u) << local;
}

TEST(WinSystemInfo, DisplayNames) {
    TTempDir dir;
    const auto file = dir.Write("report.bin", "r");
    const auto name = ShellDisplayName(file);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->rfind("report", 0), 0u) << *name;
    const auto drive = ShellDisplayName(L"C:\\");
    ASSERT_TRUE(drive);
    EXPECT_NE(drive->find("C:"), std::string::npos) << *drive;
    EXPECT_FALSE(ShellDisplayName(dir / "missing"));
    EXPECT_FALSE(ShellDisplayName(std::filesystem::path()));
}
