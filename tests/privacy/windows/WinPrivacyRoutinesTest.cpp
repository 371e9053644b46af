#include "platform/IPrivacyRoutines.h"

#include "support/TTempDir.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace fs = std::filesystem;

namespace {

// These routines empty the user's recycle bin and clean the user's desktop. They run
// only under wine with the test run's own home folder (XDG_DATA_HOME set, as the test
// script does), never against a real user's bin and desktop.
std::string WhyNotHere() {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        return "runs only under wine, where the bin and desktop belong to the test home";
    if (!_wgetenv(L"XDG_DATA_HOME"))
        return "XDG_DATA_HOME is not set: the recycle bin would be the user's own";
    return {};
}

int64_t ItemsInRecycleBin() {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHQueryRecycleBinW(nullptr, &info)))
        return -1;
    return info.i64NumItems;
}

bool Exists(const fs::path& p) {
    return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH];
    return SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer) == S_OK ? buffer
                                                                                         : L"";
}

bool MakeShortcut(const std::wstring& file, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool saved = false;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        saved = SUCCEEDED(persist->Save(file.c_str(), TRUE));
        persist->Release();
    }
    link->Release();
    return saved;
}

} // namespace

TEST(WinPrivacyRoutines, EmptyRecycleBinEmptiesIt) {
    if (const std::string why = WhyNotHere(); !why.empty())
        GTEST_SKIP() << why;
    TTempDir dir;
    const fs::path file = dir.Write("to the bin.txt", "bin");
    // Double NUL at the end of the list of names.
    const std::wstring from = file.wstring() + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&op), 0);
    ASSERT_FALSE(Exists(file));
    const int64_t before = ItemsInRecycleBin();
    if (before <= 0)
        GTEST_SKIP() << "the file did not land in a recycle bin that can be counted here";

    EXPECT_EQ(Platform::PrivacyRoutines().EmptyRecycleBin(), "");
    EXPECT_EQ(ItemsInRecycleBin(), 0);
    // An empty bin is no error either.
    EXPECT_EQ(Platform::PrivacyRoutines().EmptyRecycleBin(), "");
}

TEST(WinPrivacyRoutines, BrokenDesktopShortcutsToFixedDrivesGo) {
    if (const std::string why = WhyNotHere(); !why.empty())
        GTEST_SKIP() << why;
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    CreateDirectoryW(desktop.c_str(), nullptr);
    TTempDir dir;
    const fs::path present = dir.Write("present.exe", "MZ");
    const DWORD mapped = GetLogicalDrives();
    wchar_t away = 0;
    for (wchar_t l = L'Y'; l >= L'D' && !away; --l)
        if (!(mapped & (1u << (l - L'A'))))
            away = l;
    ASSERT_NE(away, 0);

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::wstring broken = desktop + L"\\MorvaneTest broken.lnk";
    const std::wstring good = desktop + L"\\MorvaneTest good.lnk";
    const std::wstring elsewhere = desktop + L"\\MorvaneTest elsewhere.lnk";
    ASSERT_TRUE(MakeShortcut(broken, L"C:\\MorvaneTest missing folder\\gone.exe"));
    ASSERT_TRUE(MakeShortcut(good, present.wstring()));
    ASSERT_TRUE(MakeShortcut(elsewhere, std::wstring{away} + L":\\tools\\away.exe"));
    const std::wstring note = desktop + L"\\MorvaneTest note.txt";
    CloseHandle(CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CoUninitialize();

    Platform::PrivacyRoutines().CleanBrokenShortcuts();

    EXPECT_FALSE(Exists(broken));
    EXPECT_TRUE(Exists(good));
    // A drive that is not there now (a removable disk, a share) does not make it broken.
    EXPECT_TRUE(Exists(elsewhere));
    EXPECT_TRUE(Exists(note));
    for (const std::wstring& f : {broken, good, elsewhere, note})
        DeleteFileW(f.c_str());
}
