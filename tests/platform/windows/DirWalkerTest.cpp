#include "platform/TDirWalker.h"
#include "platform/TreeDelete.h"

#include "support/TTempDir.h"
#include "support/windows/WinLinks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <windows.h>
#include <winioctl.h>

namespace fs = std::filesystem;
using namespace Platform;

namespace {

struct TSeen {
    uint32_t Attributes = 0;
    int64_t Size = 0;
    int Depth = 0;
    fs::path Path;
};

// Every entry of a tree by its name (UTF-8), entering every real folder.
std::map<std::string, TSeen> WalkAll(const fs::path& folder) {
    std::map<std::string, TSeen> seen;
    TDirWalker walker;
    const TWalkResult r = walker.Walk(folder, [&](const TDirEntry& e) {
        seen[std::string(e.Name)] = TSeen{e.Attributes, e.Size, e.Depth, e.Path()};
        return e.IsDirectory() ? TVisit::Descend : TVisit::Continue;
    });
    EXPECT_TRUE(r.Opened);
    EXPECT_EQ(r.Unreadable, 0u);
    return seen;
}

void SetAttributes(const fs::path& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << GetLastError();
}

// Grows a file to size bytes without writing them (sparse where the file system can).
void MakeLargeFile(const fs::path& path, int64_t size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h)) << GetLastError();
    CloseHandle(h);
}

// True when the text cannot be written in the ANSI code page without loss.
bool OutsideAnsiCodePage(const std::wstring& text) {
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                        nullptr, 0, nullptr, &lost);
    return lost != FALSE;
}

} // namespace

TEST(WinDirWalker, ReportsTheSystemsAttributeWords) {
    TTempDir dir;
    dir.Write("plain.txt", "p");
    SetAttributes(dir.Write("hidden.txt", "h"), FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir.Write("readonly.txt", "r"), FILE_ATTRIBUTE_READONLY);
    SetAttributes(dir.Write("archive.txt", "a"), FILE_ATTRIBUTE_ARCHIVE);
    dir.Write("sub/inner.txt", "inner");
    SetAttributes(dir / "sub", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    const auto seen = WalkAll(dir.Path());
    ASSERT_EQ(seen.size(), 6u);
    // The walker hands on the word the listing holds: the same as asking for the path.
    for (const auto& [name, entry] : seen)
        EXPECT_EQ(entry.Attributes, GetFileAttributesW(entry.Path.c_str())) << name;

    EXPECT_TRUE(seen.at("hidden.txt").Attributes & Attr::Hidden);
    EXPECT_FALSE(seen.at("hidden.txt").Attributes & Attr::ReadOnly);
    EXPECT_TRUE(seen.at("readonly.txt").Attributes & Attr::ReadOnly);
    EXPECT_FALSE(seen.at("readonly.txt").Attributes & Attr::Hidden);
    EXPECT_TRUE(seen.at("archive.txt").Attributes & Attr::Archive);
    EXPECT_FALSE(seen.at("plain.txt").Attributes &
                 (Attr::Hidden | Attr::ReadOnly | Attr::Directory));
    EXPECT_TRUE(seen.at("sub").Attributes & Attr::Directory);
    EXPECT_TRUE(seen.at("sub").Attributes & Attr::Hidden);
    EXPECT_EQ(seen.at("sub").Size, 0);
    EXPECT_EQ(seen.at("inner.txt").Depth, 1);
    EXPECT_EQ(seen.at("inner.txt").Size, 5);
    EXPECT_FALSE(seen.at("inner.txt").Attributes & Attr::Directory);

    SetAttributes(dir / "readonly.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST(WinDirWalker, SizesBeyondFourGiBAreWhole) {
    TTempDir dir;
    const int64_t big = (int64_t{5} << 30) + 7; // high and low halves both in use
    const int64_t exact = int64_t{1} << 32;     // the low half alone would read 0
    MakeLargeFile(dir / "big.bin", big);
    MakeLargeFile(dir / "four.bin", exact);
    dir.Write("small.bin", "123");

    const auto seen = WalkAll(dir.Path());
    EXPECT_EQ(seen.at("big.bin").Size, big);
    EXPECT_EQ(seen.at("four.bin").Size, exact);
    EXPECT_EQ(seen.at("small.bin").Size, 3);
    ASSERT_TRUE(QueryEntry(dir / "big.bin"));
    EXPECT_EQ(QueryEntry(dir / "big.bin")->Size, big);

    const TTreeTotal total = SumTree(dir.Path(), [](const TDirEntry&) { return true; });
    EXPECT_TRUE(total.Opened);
    EXPECT_EQ(total.Bytes, big + exact + 3);
}

TEST(WinDirWalker, NamesOutsideTheAnsiCodePageAreFoundAndDeleted) {
    TTempDir dir;
    const std::wstring fileName = L"\u0444\u0430\u0439\u043B \uD55C\uAE00 \U0001F600.txt";
    const std::wstring folderName = L"\U0001F4C1 \u0E44\u0E1F\u0E25\u0E4C";
    ASSERT_TRUE(OutsideAnsiCodePage(L"\U0001F600")) << "code page " << GetACP();
    ASSERT_TRUE(CreateDirectoryW((dir.Path() / folderName).c_str(), nullptr));
    HANDLE h = CreateFileW((dir.Path() / folderName / fileName).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "abcd", 4, &written, nullptr);
    CloseHandle(h);

    const std::string fileUtf8 = "файл 한글 😀.txt";
    const std::string folderUtf8 = "📁 ไฟล์";
    const auto seen = WalkAll(dir.Path());
    ASSERT_TRUE(seen.count(folderUtf8));
    ASSERT_TRUE(seen.count(fileUtf8));
    EXPECT_EQ(seen.at(fileUtf8).Size, 4);
    EXPECT_EQ(seen.at(fileUtf8).Path, dir.Path() / folderName / fileName);

    // The path the walk reported acts on that very file.
    EXPECT_TRUE(DeleteTree(seen.at(fileUtf8).Path));
    EXPECT_EQ(GetFileAttributesW((dir.Path() / folderName / fileName).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteTree(seen.at(folderUtf8).Path));
    EXPECT_EQ(GetFileAttributesW((dir.Path() / folderName).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WinDirWalker, AJunctionIsReportedAndNeverEntered) {
    TTempDir dir;
    dir.Write("outside/secret.txt", "s");
    fs::create_directories(dir / "tree");
    if (const std::string why = MakeJunction(dir / "tree" / "link", dir / "outside"); !why.empty())
        GTEST_SKIP() << "no junctions here (" << why << ")";
    const auto seen = WalkAll(dir / "tree");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen.at("link").Attributes & Attr::ReparsePoint);
    EXPECT_TRUE(seen.at("link").Attributes & Attr::Directory);
}

TEST(WinDirWalker, TreesDeeperThanMaxPathAreWalkedAndDeleted) {
    TTempDir dir;
    // Eight folders of 60 characters each: the deepest path is far past MAX_PATH.
    const std::wstring name(60, L'd');
    std::wstring deep = L"\\\\?\\" + fs::absolute(dir.Path()).wstring() + L"\\chain";
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    for (int i = 0; i < 8; ++i) {
        deep += L"\\" + name;
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << i << ": " << GetLastError();
    }
    ASSERT_GT(deep.size(), size_t{MAX_PATH + 100});
    // Windows refuses the plain form of such a path (wine takes it), so the walk and the
    // delete must use the long form.
    HANDLE h = CreateFileW((deep + L"\\bottom.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "0123456789", 10, &written, nullptr);
    CloseHandle(h);

    const auto seen = WalkAll(dir / "chain");
    ASSERT_TRUE(seen.count("bottom.bin"));
    EXPECT_EQ(seen.at("bottom.bin").Depth, 8);
    EXPECT_EQ(seen.at("bottom.bin").Size, 10);
    ASSERT_TRUE(QueryEntry(seen.at("bottom.bin").Path));
    EXPECT_EQ(QueryEntry(seen.at("bottom.bin").Path)->Size, 10);
    EXPECT_EQ(SumTree(dir / "chain", [](const TDirEntry&) { return true; }).Bytes, 10);

    EXPECT_TRUE(DeleteTree(dir / "chain"));
    EXPECT_EQ(GetFileAttributesW((dir / "chain").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WinDirWalker, ANameWithALoneSurrogateIsDeletedExactly) {
    TTempDir dir;
    const std::wstring lone = L"lone\xD800.txt";
    const std::wstring lookalike = L"lone\xFFFD.txt";
    HANDLE h =
        CreateFileW((dir.Path() / lone).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "this file system takes no such name (error " << GetLastError() << ")";
    CloseHandle(h);
    h = CreateFileW((dir.Path() / lookalike).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                    nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    const auto seen = WalkAll(dir.Path());
    ASSERT_EQ(seen.size(), 2u);
    for (const auto& [name, entry] : seen) {
        if (entry.Path.filename().wstring() == lone) {
            EXPECT_TRUE(DeleteTree(entry.Path));
        }
    }
    EXPECT_EQ(GetFileAttributesW((dir.Path() / lone).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((dir.Path() / lookalike).c_str()), INVALID_FILE_ATTRIBUTES);
}
