#include "platform/PrivacyPlaces.h"

#include <string>

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

// Spelled out here so that the program needs no import library for them.
const GUID ShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID ShellLinkWInterface = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID PersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer) != S_OK)
        return {};
    return buffer;
}

// The file-system target of a shortcut with its variables expanded; empty when the
// shortcut cannot be read or points to something that is not a file-system path.
std::wstring ShortcutTarget(const std::wstring& lnk) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, ShellLinkWInterface,
                                reinterpret_cast<void**>(&link))))
        return {};
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(PersistFileInterface, reinterpret_cast<void**>(&file)))) {
        wchar_t raw[MAX_PATH] = L"";
        if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)) &&
            link->GetPath(raw, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
            wchar_t expanded[MAX_PATH] = L"";
            const DWORD n = ExpandEnvironmentStringsW(raw, expanded, MAX_PATH);
            target = n > 0 && n <= MAX_PATH ? expanded : raw;
        }
        file->Release();
    }
    link->Release();
    return target;
}

// Only a target on a fixed drive that is there is judged: a shortcut to a network
// share or a removable disk that is away right now is not broken.
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

} // namespace

std::vector<fs::path> BrokenShortcuts() {
    std::vector<fs::path> broken;
    const std::wstring desktop = DesktopFolder();
    if (desktop.empty())
        return broken;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((desktop + L"\\*.lnk").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::wstring lnk = desktop + L"\\" + data.cFileName;
            if (TargetGone(ShortcutTarget(lnk)))
                broken.emplace_back(lnk);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return broken;
}

} // namespace Platform
