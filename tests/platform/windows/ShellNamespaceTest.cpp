#include "platform/IShellNamespace.h"
#include "platform/TDirWalker.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Utf8(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// The long, absolute form of a path, as the shell names it (the temporary folder may be
// given in 8.3 form).
std::string LongName(const fs::path& path) {
    const std::wstring absolute = fs::absolute(path).wstring();
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetLongPathNameW(absolute.c_str(), buffer, MAX_PATH * 2);
    return Utf8(n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : absolute);
}

// The last name of a parsing name.
std::wstring LastName(const std::string& parsingName) {
    const std::wstring wide = Wide(parsingName);
    return wide.substr(wide.find_last_of(L'\\') + 1);
}

TIdList Child(const TIdList& folder, const TShellChild& child) {
    TIdList list = folder;
    list.Items.push_back(child.Item);
    return list;
}

} // namespace

TEST(WinShellNamespace, MyComputerHoldsDriveC) {
    auto ns = CreateShellNamespace();
    const TIdList computer = ns->MyComputer();
    ASSERT_FALSE(computer.Empty());
    std::vector<TShellChild> children;
    std::string error;
    ASSERT_TRUE(ns->Enumerate(computer, children, error)) << error;
    const auto c = std::find_if(children.begin(), children.end(), [&](const TShellChild& child) {
        return Upper(ns->ParsingName(Child(computer, child))) == "C:\\";
    });
    ASSERT_NE(c, children.end());
    EXPECT_TRUE(c->IsFolder);
    EXPECT_NE(c->DisplayName.find("C:"), std::string::npos) << c->DisplayName;
    // My Computer itself is a virtual folder: its parsing name is a class text.
    EXPECT_NE(ns->ParsingName(computer).find("::"), std::string::npos) << ns->ParsingName(computer);
}

TEST(WinShellNamespace, AFolderParsedEnumeratedAndDetailed) {
    TTempDir dir;
    dir.Write("b.txt", "bbbbb");
    dir.Write("a.txt", "aaa");
    dir.Write("sub/inner.txt", "i");
    const fs::path hidden = dir.Write("h.dat", "hh");
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    auto ns = CreateShellNamespace();
    std::string error;
    const auto folder = ns->Parse(LongName(dir.Path()), error);
    ASSERT_TRUE(folder) << error;
    EXPECT_EQ(Upper(ns->ParsingName(*folder)), Upper(LongName(dir.Path())));

    std::vector<TShellChild> children;
    ASSERT_TRUE(ns->Enumerate(*folder, children, error)) << error;
    ASSERT_EQ(children.size(), 4u); // the hidden file too

    ns->SortChildren(*folder, children);
    std::vector<std::string> sorted;
    for (const TShellChild& c : children)
        sorted.push_back(Utf8(LastName(ns->ParsingName(Child(*folder, c)))));
    // Folders first, then by name.
    EXPECT_EQ(sorted, (std::vector<std::string>{"sub", "a.txt", "b.txt", "h.dat"}));
    EXPECT_TRUE(children[0].IsFolder);
    EXPECT_FALSE(children[1].IsFolder);

    const TShellDetails b = ns->Details(Child(*folder, children[2]), false);
    EXPECT_EQ(b.Size, 5);
    EXPECT_FALSE(b.Attributes & Attr::Directory);
    EXPECT_NE(b.LastWrite.Ticks, 0);
    const TShellDetails h = ns->Details(Child(*folder, children[3]), true);
    EXPECT_EQ(h.Size, 2);
    EXPECT_TRUE(h.Attributes & Attr::Hidden);
    EXPECT_TRUE(h.Attributes & Attr::ReadOnly);
    const TShellDetails sub = ns->Details(Child(*folder, children[0]), false);
    EXPECT_TRUE(sub.Attributes & Attr::Directory);

    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WinShellNamespace, ANameOutsideTheAnsiCodePage) {
    TTempDir dir;
    const std::wstring name = L"\U0001F600 \uD55C.txt";
    HANDLE f =
        CreateFileW((dir.Path() / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    auto ns = CreateShellNamespace();
    std::string error;
    const auto folder = ns->Parse(LongName(dir.Path()), error);
    ASSERT_TRUE(folder) << error;
    std::vector<TShellChild> children;
    ASSERT_TRUE(ns->Enumerate(*folder, children, error)) << error;
    ASSERT_EQ(children.size(), 1u);
    const std::string parsing = ns->ParsingName(Child(*folder, children[0]));
    EXPECT_EQ(LastName(parsing), name);
}

TEST(WinShellNamespace, WhatNamesNothingGivesTheSystemsText) {
    TTempDir dir;
    const fs::path file = dir.Write("plain.txt", "p");
    auto ns = CreateShellNamespace();
    std::string error;
    EXPECT_FALSE(ns->Parse(LongName(dir.Path()) + "\\missing folder\\x", error));
    EXPECT_FALSE(error.empty());

    // A file is no folder to enumerate.
    const auto list = ns->Parse(LongName(file), error);
    ASSERT_TRUE(list) << error;
    std::vector<TShellChild> children;
    error.clear();
    EXPECT_FALSE(ns->Enumerate(*list, children, error));
    EXPECT_FALSE(error.empty());
}
