#include "core/FileRoutines.h"

#include "support/TTempDir.h"
#include "support/windows/WinLinks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& p) {
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetAttributes(const fs::path& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << GetLastError();
}

// Points the user's profile folder somewhere else for the length of a test.
class TProfileFolder {
public:
    explicit TProfileFolder(const fs::path& folder) {
        if (const wchar_t* old = _wgetenv(L"USERPROFILE"))
            FOld = old;
        _wputenv_s(L"USERPROFILE", folder.c_str());
    }
    ~TProfileFolder() { _wputenv_s(L"USERPROFILE", FOld.c_str()); }

private:
    std::wstring FOld;
};

} // namespace

TEST(WinDeletePath, RemovesATreeOfReadOnlyHiddenAndSystemEntries) {
    TTempDir dir;
    const fs::path tree = dir / "tree";
    SetAttributes(dir.Write("tree/readonly.txt", "r"), FILE_ATTRIBUTE_READONLY);
    SetAttributes(dir.Write("tree/hidden.txt", "h"), FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir.Write("tree/system.txt", "s"), FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir.Write("tree/all.txt", "a"),
                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir.Write("tree/deep/er/ro.txt", "x"), FILE_ATTRIBUTE_READONLY);
    SetAttributes(tree / "deep" / "er", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(tree / "deep", FILE_ATTRIBUTE_SYSTEM);
    dir.Write("keep.txt", "k");

    EXPECT_TRUE(DeletePath(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(dir / "keep.txt"));
}

TEST(WinDeletePath, RemovesASingleReadOnlyFile) {
    TTempDir dir;
    const fs::path file = dir.Write("one.txt", "1");
    SetAttributes(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(DeletePath(file));
    EXPECT_FALSE(Exists(file));
}

TEST(WinDeletePath, AMissingOrEmptyPathGivesFalse) {
    TTempDir dir;
    EXPECT_FALSE(DeletePath(dir / "missing"));
    EXPECT_FALSE(DeletePath(dir / "missing" / "below"));
    EXPECT_FALSE(DeletePath(fs::path()));
    EXPECT_TRUE(Exists(dir.Path()));
}

TEST(WinDeletePath, RefusesPathsThatAreNotFull) {
    TTempDir dir;
    dir.Write("work/sub/file.txt", "f");
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    ASSERT_TRUE(SetCurrentDirectoryW((dir / "work").c_str()));
    const std::wstring drive = dir.Path().wstring().substr(0, 2); // "C:"
    // Relative to the current folder, and relative to the drive's current folder.
    EXPECT_FALSE(DeletePath(L"sub"));
    EXPECT_FALSE(DeletePath(drive + L"sub"));
    EXPECT_FALSE(DeletePath(L"sub\file.txt"));
    SetCurrentDirectoryW(old);
    EXPECT_TRUE(Exists(dir / "work" / "sub" / "file.txt"));
}

TEST(WinDeletePath, RefusesTheProfileFolderAndTheFoldersAboveIt) {
    TTempDir dir;
    dir.Write("users/me/Documents/a.txt", "a");
    dir.Write("users/other/b.txt", "b");
    TProfileFolder profile(dir / "users" / "me");

    EXPECT_FALSE(DeletePath(dir / "users" / "me"));
    EXPECT_FALSE(DeletePath(dir / "users"));
    // The same folder spelt another way: other case, forward slashes, a trailing one.
    std::wstring spelt = (dir / "USERS" / "ME").wstring() + L"\\";
    EXPECT_FALSE(DeletePath(spelt));
    std::wstring forward = (dir / "users").wstring();
    for (wchar_t& c : forward)
        if (c == L'\\')
            c = L'/';
    EXPECT_FALSE(DeletePath(forward));
    EXPECT_TRUE(Exists(dir / "users" / "me" / "Documents" / "a.txt"));
    EXPECT_TRUE(Exists(dir / "users" / "other" / "b.txt"));

    // What lies inside the profile, or beside it, may go.
    EXPECT_TRUE(DeletePath(dir / "users" / "me" / "Documents"));
    EXPECT_TRUE(DeletePath(dir / "users" / "other"));
    EXPECT_TRUE(Exists(dir / "users" / "me"));
}

TEST(WinDeletePath, RefusesADriveRoot) {
    TTempDir dir;
    dir.Write("drive/file.txt", "f");
    // A spare letter mapped onto a test folder, so a refusal that failed would only
    // empty that folder.
    const DWORD mapped = GetLogicalDrives();
    wchar_t letter = 0;
    for (wchar_t l = L'Y'; l >= L'D' && !letter; --l)
        if (!(mapped & (1u << (l - L'A'))))
            letter = l;
    ASSERT_NE(letter, 0);
    const std::wstring device{letter, L':'};
    if (!DefineDosDeviceW(0, device.c_str(), (dir / "drive").c_str()))
        GTEST_SKIP() << "cannot map a drive letter here (error " << GetLastError() << ")";
    const std::wstring root = device + L"\\";
    const bool visible = Exists(fs::path(root) / "file.txt");
    EXPECT_FALSE(DeletePath(root));
    EXPECT_FALSE(DeletePath(device + L"/"));
    DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
    EXPECT_TRUE(Exists(dir / "drive" / "file.txt"));
    if (!visible)
        GTEST_SKIP() << "the mapped letter did not show the folder";
}

TEST(WinDeletePath, AJunctionInsideTheTreeGoesAsALinkAndItsTargetStays) {
    TTempDir dir;
    dir.Write("outside/keep.txt", "keep");
    dir.Write("tree/file.txt", "f");
    if (const std::string why = MakeJunction(dir / "tree" / "junction", dir / "outside");
        !why.empty())
        GTEST_SKIP() << "no junctions here (" << why << ")";
    const std::string symlink = MakeFolderSymlink(dir / "tree" / "symlink", dir / "outside");

    EXPECT_TRUE(DeletePath(dir / "tree"));
    EXPECT_FALSE(Exists(dir / "tree"));
    EXPECT_EQ(TTempDir::Read(dir / "outside" / "keep.txt"), "keep");
    if (!symlink.empty())
        GTEST_SKIP() << "junction checked; no symbolic links here (" << symlink << ")";
}

TEST(WinDeletePath, AJunctionGivenItselfGoesAsALink) {
    TTempDir dir;
    dir.Write("outside/keep.txt", "keep");
    if (const std::string why = MakeJunction(dir / "junction", dir / "outside"); !why.empty())
        GTEST_SKIP() << "no junctions here (" << why << ")";
    EXPECT_TRUE(DeletePath(dir / "junction"));
    EXPECT_FALSE(Exists(dir / "junction"));
    EXPECT_EQ(TTempDir::Read(dir / "outside" / "keep.txt"), "keep");
}
