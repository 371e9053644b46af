#include "app/FileVersion.h"
#include "app/ProgramVersion.h"

#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

namespace {

// The version resource of a file through the system's own calls.
std::vector<char> VersionResource(const std::wstring& file) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

} // namespace

// The test program carries the same version resource as the program (the build adds it
// with windres): the system reads it back, and so does our own reader of the file's bytes.
TEST(WinVersionResource, FileVersionReadBackThroughTheSystem) {
    const std::wstring self = Platform::ProgramFile().wstring();
    std::vector<char> block = VersionResource(self);
    ASSERT_FALSE(block.empty()) << "no version resource, error " << GetLastError();

    UINT length = 0;
    void* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], ProgramVersion::Language);
    EXPECT_EQ(translation[1], ProgramVersion::CodePage);

    ASSERT_TRUE(
        VerQueryValueW(block.data(), L"\\StringFileInfo\\080904E4\\FileVersion", &value, &length));
    const std::u16string fileVersion(static_cast<const char16_t*>(value));
    EXPECT_EQ(fileVersion, ProgramVersion::FileVersion);

    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), ProgramVersion::FileVersionParts[0]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), ProgramVersion::FileVersionParts[1]);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), ProgramVersion::FileVersionParts[2]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), ProgramVersion::FileVersionParts[3]);

    // Our reader finds the same text in the program file.
    EXPECT_EQ(GetFileVersionText(Platform::ProgramFile()), "8.0.0.3");
}

TEST(WinVersionResource, AFileWithoutOneHasNone) {
    EXPECT_TRUE(VersionResource(L"C:\\no such folder\\none.exe").empty());
    EXPECT_EQ(GetFileVersionText(L"C:\\no such folder\\none.exe"), "");
}
