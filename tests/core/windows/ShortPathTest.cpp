#include "core/FileRoutines.h"
#include "core/IMessageBoxHook.h"
#include "platform/FileIo.h"
#include "platform/SystemInfo.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

class TBoxRecorder : public IMessageBoxHook {
public:
    explicit TBoxRecorder(std::vector<std::pair<std::string, std::string>>* shown)
        : FShown(shown) {}
    void Show(const std::string& text, const std::string& title) override {
        FShown->emplace_back(text, title);
    }

private:
    std::vector<std::pair<std::string, std::string>>* FShown;
};

std::string Utf8(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

} // namespace

TEST(WinShortPath, AnExistingPathGetsItsShortFormWithoutAMessage) {
    TTempDir dir;
    const std::filesystem::path file = dir.Write("Long Folder Name/uninstall program.exe", "MZ");
    std::vector<std::pair<std::string, std::string>> shown;
    auto old = SetMessageBoxHook(std::make_unique<TBoxRecorder>(&shown));
    const std::string shortPath = GetShortPath("  " + Utf8(file.wstring()) + "  ");
    SetMessageBoxHook(std::move(old));

    EXPECT_TRUE(shown.empty());
    wchar_t expected[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(file.c_str(), expected, MAX_PATH), 0u);
    EXPECT_EQ(shortPath, Utf8(expected));
    // No blanks left in the names: the shell can take it as one word.
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
}

TEST(WinShortPath, AMissingPathShowsTheSystemsMessage) {
    std::vector<std::pair<std::string, std::string>> shown;
    auto old = SetMessageBoxHook(std::make_unique<TBoxRecorder>(&shown));
    const std::string result = GetShortPath("\"C:\\no such folder\\uninst.exe\"");
    SetMessageBoxHook(std::move(old));

    ASSERT_EQ(shown.size(), 1u);
    // The system's own text for the failure (file or path not found), in its language.
    const std::string fileText = Platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
    const std::string pathText = Platform::SystemErrorText(ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(shown[0].first.empty());
    EXPECT_TRUE(shown[0].first == fileText || shown[0].first == pathText) << shown[0].first;
    EXPECT_EQ(shown[0].second, "");
    // The quoted command loses its closing quote.
    EXPECT_EQ(result, "\"C:\\no such folder\\uninst.exe");
}
