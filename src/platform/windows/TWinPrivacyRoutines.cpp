#include "platform/IPrivacyRoutines.h"

#include "platform/SystemInfo.h"
#include "platform/TreeDelete.h"
#include "platform/windows/WinText.h"

#include <cstdlib>
#include <string>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

std::wstring Wide(const std::string& utf8) {
    return Win::Widen(utf8);
}

// W, L and P: the Windows folder, the user's local settings folder and the profile
// folder that holds it.
std::wstring WindowsBase() {
    return Wide(WindowsFolder());
}
std::wstring LocalBase() {
    return Wide(LocalSettingsFolder());
}
std::wstring ProfileBase() {
    const std::wstring l = LocalBase();
    return l.size() < 16 ? std::wstring() : l.substr(0, l.size() - 15);
}

void WipeIfEntered(const std::wstring& base, const wchar_t* tail) {
    if (base.empty())
        return;
    const std::wstring folder = base + tail;
    if (SetCurrentDirectoryW(folder.c_str()))
        WipeFolderContents(fs::path(folder));
}

void WipeFolder(const std::wstring& base, const wchar_t* tail) {
    if (!base.empty())
        WipeFolderContents(fs::path(base + tail));
}

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH];
    return SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer) == S_OK ? buffer
                                                                                         : L"";
}

// The target of a shortcut file; empty when it names none (a shortcut to a virtual item).
std::wstring ShortcutTarget(const std::wstring& file) {
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        wchar_t path[MAX_PATH] = L"";
        if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            // The raw path may hold variables such as "%windir%".
            wchar_t expanded[MAX_PATH] = L"";
            const DWORD n = ExpandEnvironmentStringsW(path, expanded, MAX_PATH);
            target = n > 0 && n <= MAX_PATH ? expanded : path;
        }
        persist->Release();
    }
    link->Release();
    return target;
}

// Only a target on a fixed drive that is there is judged: a shortcut to a network share
// or a removable disk that is away right now is not broken.
bool TargetGone(const std::wstring& target) {
    if (target.size() < 3 || target[1] != L':' || target[2] != L'\\')
        return false;
    const std::wstring root = target.substr(0, 3);
    if (GetDriveTypeW(root.c_str()) != DRIVE_FIXED)
        return false;
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class TWinPrivacyRoutines : public IPrivacyRoutines {
public:
    void CleanTemporaryInternetFiles() override {
        WipeIfEntered(WindowsBase(), L"\\Temporary Internet Files");
        WipeIfEntered(LocalBase(), L"\\Temporary Internet Files");
    }
    void CleanHistory() override {
        WipeIfEntered(WindowsBase(), L"\\History");
        WipeIfEntered(LocalBase(), L"\\History");
    }
    void CleanCookies() override {
        WipeIfEntered(WindowsBase(), L"\\cookies");
        WipeIfEntered(ProfileBase(), L"\\cookies");
    }
    void CleanRecentFolders() override {
        WipeFolder(WindowsBase(), L"\\Recent");
        WipeFolder(ProfileBase(), L"\\Recent");
    }
    void CleanTempFolders() override {
        if (const wchar_t* tmp = _wgetenv(L"TMPDIR"); tmp && *tmp)
            WipeFolderContents(fs::path(tmp));
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
        if (n > 0 && n <= MAX_PATH)
            WipeFolderContents(fs::path(std::wstring(temp, n)));
    }
    std::string EmptyRecycleBin() override {
        HMODULE shell = LoadLibraryW(L"Shell32.dll");
        if (!shell)
            return "Failed to load Shell32.dll.";
        using TEmpty = HRESULT(WINAPI*)(HWND, LPCWSTR, DWORD);
        if (auto empty = reinterpret_cast<TEmpty>(
                reinterpret_cast<void*>(GetProcAddress(shell, "SHEmptyRecycleBinW"))))
            empty(GetActiveWindow(), nullptr, 7); // no question, no progress, no sound
        FreeLibrary(shell);
        return {};
    }
    // Shortcuts on the desktop whose target file or folder is gone.
    void CleanBrokenShortcuts() override {
        const std::wstring desktop = DesktopFolder();
        if (desktop.empty())
            return;
        const HRESULT init = CoInitialize(nullptr);
        WIN32_FIND_DATAW d;
        HANDLE find = FindFirstFileW((desktop + L"\\*.lnk").c_str(), &d);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring file = desktop + L"\\" + d.cFileName;
                const std::wstring target = ShortcutTarget(file);
                if (TargetGone(target))
                    DeleteEntry(fs::path(file), TEntryWanted::NotFolder);
            } while (FindNextFileW(find, &d));
            FindClose(find);
        }
        if (SUCCEEDED(init))
            CoUninitialize();
    }
};

} // namespace

std::unique_ptr<IPrivacyRoutines> CreateNativePrivacyRoutines() {
    return std::make_unique<TWinPrivacyRoutines>();
}

// Through the deletion engine, which refuses a folder that is a link or junction, a drive
// root, the profile folder and the folders holding it: a TMPDIR set to the profile, say,
// empties nothing. What is in use stays, and the next entry is taken.
void WipeFolderContents(const fs::path& folder) {
    if (!folder.empty())
        EmptyFolder(folder);
}

} // namespace Platform
