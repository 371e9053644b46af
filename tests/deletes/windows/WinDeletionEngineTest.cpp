// The deletion engine's promises on Windows, where the system (or wine) lets a test show
// them: identities behind other spellings, folders swapped at the moment between listing
// and removal, filters and reports.
#include "core/FileRoutines.h"
#include "platform/IPrivacyRoutines.h"
#include "platform/TreeDelete.h"

#include "support/TTempDir.h"
#include "support/windows/WinLinks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <windows.h>

namespace fs = std::filesystem;
using Platform::TDeleteCandidate;
using Platform::TDeleteVerdict;
using Platform::TEntryResult;
using Platform::TEntryWanted;

namespace {

bool Exists(const fs::path& p) {
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Points the user's profile somewhere else for the length of a test.
class TProfileFolder {
public:
    explicit TProfileFolder(const fs::path& folder) {
        if (const wchar_t* old = _wgetenv(L"USERPROFILE"))
            FOld = old;
        Set(folder);
    }
    ~TProfileFolder() {
        _wputenv_s(L"USERPROFILE", FOld.c_str());
        Platform::SetAccountHomeLookup(nullptr);
        Platform::SetDeleteDescendHook(nullptr);
    }
    void Set(const fs::path& folder) { _wputenv_s(L"USERPROFILE", folder.c_str()); }

private:
    std::wstring FOld;
};

// A spare drive letter mapped onto a folder; empty when none could be mapped.
class TMappedDrive {
public:
    explicit TMappedDrive(const fs::path& folder) {
        const DWORD mapped = GetLogicalDrives();
        for (wchar_t l = L'Y'; l >= L'D' && FDevice.empty(); --l)
            if (!(mapped & (1u << (l - L'A'))))
                FDevice = std::wstring{l, L':'};
        if (!FDevice.empty() && !DefineDosDeviceW(0, FDevice.c_str(), folder.c_str()))
            FDevice.clear();
    }
    ~TMappedDrive() {
        if (!FDevice.empty())
            DefineDosDeviceW(DDD_REMOVE_DEFINITION, FDevice.c_str(), nullptr);
    }
    fs::path Root() const { return FDevice.empty() ? fs::path() : fs::path(FDevice + L"\\"); }

private:
    std::wstring FDevice;
};

// The folder as wine's Z: drive (the Linux root) spells it; empty outside wine.
fs::path ThroughWineRoot(const fs::path& folder) {
    using TUnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    char* name = unixName(folder.c_str());
    if (!name)
        return {};
    std::wstring spelt = L"Z:";
    for (const char* c = name; *c; ++c)
        spelt += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    HeapFree(GetProcessHeap(), 0, name);
    return spelt;
}

} // namespace

// The profile is known by another spelling of its path (a drive letter mapped onto a
// folder above it, or under wine its Linux path on Z:), so no text of USERPROFILE names the real
// parents: they are refused by identity, with USERPROFILE set and with only the account's record.
TEST(WinDeletionEngine, TheRealParentsOfAProfileSpeltAnotherWayAreRefused) {
    TTempDir dir;
    dir.Write("disk/users/me/notes.txt", "mine");
    TMappedDrive drive(dir / "disk");
    fs::path spelt = drive.Root() / "users" / "me";
    if (drive.Root().empty() || !Exists(spelt / "notes.txt"))
        spelt = ThroughWineRoot(dir / "disk" / "users" / "me");
    if (spelt.empty() || !Exists(spelt / "notes.txt"))
        GTEST_SKIP() << "no other spelling of a folder's path can be made here";
    ASSERT_NE(spelt.wstring().substr(0, 2), (dir / "disk").wstring().substr(0, 2));
    TProfileFolder profile(spelt);
    for (const bool set : {true, false}) {
        SCOPED_TRACE(set ? "USERPROFILE set" : "only the account's record");
        if (!set) {
            profile.Set(L"");
            Platform::SetAccountHomeLookup([&] { return spelt; });
        }
        EXPECT_FALSE(DeletePath(dir / "disk" / "users"));
        EXPECT_FALSE(DeletePath(dir / "disk" / "users" / "me"));
        EXPECT_FALSE(Platform::EmptyFolder(dir / "disk" / "users").Opened);
        EXPECT_FALSE(Platform::EmptyFolder(dir / "disk").Opened);
        // The temporary-files item with TMPDIR on the profile empties nothing either.
        Platform::WipeFolderContents(dir / "disk" / "users" / "me");
        EXPECT_EQ(TTempDir::Read(dir / "disk/users/me/notes.txt"), "mine");
    }
}

TEST(WinDeletionEngine, AFolderSwappedForAnotherBetweenListingAndRemovalIsLeftWhole) {
    TTempDir dir;
    dir.Write("canary/keep.txt", "canary");
    dir.Write("tree/sub/inner.txt", "mine");
    dir.Write("tree/other.txt", "mine");
    TProfileFolder profile(dir / "elsewhere");
    bool swapped = false;
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view name) {
        if (name == "sub" && !swapped) {
            swapped = MoveFileW((dir / "tree/sub").c_str(), (dir / "parked").c_str()) &&
                      MoveFileW((dir / "canary").c_str(), (dir / "tree/sub").c_str());
        }
    });
    EXPECT_FALSE(DeletePath(dir / "tree"));
    ASSERT_TRUE(swapped);
    EXPECT_EQ(TTempDir::Read(dir / "tree/sub/keep.txt"), "canary");
    EXPECT_FALSE(Exists(dir / "tree/other.txt"));
}

TEST(WinDeletionEngine, AFolderSwappedForAJunctionBetweenListingAndRemovalIsNotFollowed) {
    TTempDir dir;
    dir.Write("canary/keep.txt", "canary");
    dir.Write("tree/sub/inner.txt", "mine");
    const std::string probe = MakeJunction(dir / "probe", dir / "canary");
    if (!probe.empty())
        GTEST_SKIP() << "no junctions here (" << probe << ")";
    RemoveDirectoryW((dir / "probe").c_str());
    TProfileFolder profile(dir / "elsewhere");
    Platform::SetDeleteDescendHook([&](const std::string&, std::string_view name) {
        if (name == "sub" && MoveFileW((dir / "tree/sub").c_str(), (dir / "parked").c_str()))
            MakeJunction(dir / "tree/sub", dir / "canary");
    });
    EXPECT_TRUE(DeletePath(dir / "tree"));
    EXPECT_EQ(TTempDir::Read(dir / "canary/keep.txt"), "canary");
    EXPECT_FALSE(Exists(dir / "tree"));
}

TEST(WinDeletionEngine, TheFilterDecidesPerEntryAndTheReportCountsWhatLiesDirectlyInside) {
    TTempDir dir;
    dir.Write("t/keep.txt", "k");
    dir.Write("t/keepdir/x", "k");
    dir.Write("t/emptyme/a", "a");
    dir.Write("t/go/deep/f", "f");
    dir.Write("t/mixed/stay.txt", "s");
    dir.Write("t/mixed/gone.txt", "g");
    const fs::path readOnly = dir.Write("t/read-only.txt", "r");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    std::map<std::string, int> seen;
    const Platform::TDeleteReport r =
        Platform::EmptyFolder(dir / "t", [&](const TDeleteCandidate& c) {
            seen[std::string(c.Name)] = c.Depth;
            if (c.Name == "keep.txt" || c.Name == "keepdir" || c.Name == "stay.txt")
                return TDeleteVerdict::Keep;
            return c.Name == "emptyme" ? TDeleteVerdict::Empty : TDeleteVerdict::Delete;
        });
    EXPECT_TRUE(r.Opened);
    EXPECT_EQ(r.Removed, 2); // go, read-only.txt (the tree delete takes read-only files)
    EXPECT_EQ(r.Kept, 4);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_TRUE(Exists(dir / "t/keepdir/x"));
    EXPECT_EQ(seen.count("x"), 0u);
    EXPECT_TRUE(fs::is_empty(dir / "t/emptyme"));
    EXPECT_TRUE(Exists(dir / "t/mixed/stay.txt"));
    EXPECT_FALSE(Exists(dir / "t/mixed/gone.txt"));
    EXPECT_EQ(seen["f"], 2);
    EXPECT_FALSE(Platform::EmptyFolder(readOnly).Opened);
}

TEST(WinDeletionEngine, OneEntryGoesOnlyWhenItIsOfTheKindAsked) {
    TTempDir dir;
    const fs::path file = dir.Write("file.txt", "f");
    const fs::path readOnly = dir.Write("read-only.txt", "r");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    dir.Write("full/x", "x");
    fs::create_directory(dir / "empty");
    using Platform::DeleteEntry;
    EXPECT_EQ(DeleteEntry(dir / "full", TEntryWanted::NotFolder).Result, TEntryResult::OtherKind);
    EXPECT_EQ(DeleteEntry(file, TEntryWanted::EmptyFolder).Result, TEntryResult::OtherKind);
    EXPECT_EQ(DeleteEntry(dir / "full", TEntryWanted::EmptyFolder).Result, TEntryResult::Failed);
    // A read-only file stays, as the system's own file delete keeps it.
    EXPECT_EQ(DeleteEntry(readOnly, TEntryWanted::NotFolder).Result, TEntryResult::Failed);
    EXPECT_TRUE(Exists(readOnly));
    EXPECT_EQ(DeleteEntry(file, TEntryWanted::NotFolder).Result, TEntryResult::Deleted);
    EXPECT_EQ(DeleteEntry(dir / "empty", TEntryWanted::EmptyFolder).Result, TEntryResult::Deleted);
    EXPECT_EQ(DeleteEntry(dir / "gone.txt", TEntryWanted::NotFolder).Result, TEntryResult::Missing);
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(dir / "empty"));
    EXPECT_TRUE(Exists(dir / "full/x"));
}
