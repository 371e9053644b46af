#include "platform/PrivacyPlaces.h"

#include "platform/SystemInfo.h"
#include "platform/windows/WinText.h"

#include <string>

#include <windows.h>
#include <shellapi.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

// W: the Windows folder; L: the user's local settings folder; P: L less its last
// "\Local Settings", which leaves the profile folder.
std::wstring WindowsBase() { return Win::Widen(WindowsFolder()); }
std::wstring LocalSettingsBase() { return Win::Widen(LocalSettingsFolder()); }
std::wstring ProfileBase() {
    const std::wstring local = LocalSettingsBase();
    return local.size() < 16 ? std::wstring() : local.substr(0, local.size() - 15);
}

void Add(std::vector<TPrivacyPlace>& places, TPlaceAction action, const std::wstring& base,
         const wchar_t* tail) {
    if (!base.empty())
        places.push_back({action, fs::path(base + tail)});
}

} // namespace

std::vector<TPrivacyPlace> PrivacyPlaces(TPrivacyRoutine routine) {
    std::vector<TPrivacyPlace> places;
    const auto entered = TPlaceAction::WipeIfEntered;
    switch (routine) {
    case TPrivacyRoutine::TemporaryInternetFiles:
        Add(places, entered, WindowsBase(), L"\\Temporary Internet Files");
        Add(places, entered, LocalSettingsBase(), L"\\Temporary Internet Files");
        break;
    case TPrivacyRoutine::History:
        Add(places, entered, WindowsBase(), L"\\History");
        Add(places, entered, LocalSettingsBase(), L"\\History");
        break;
    case TPrivacyRoutine::Cookies:
        Add(places, entered, WindowsBase(), L"\\cookies");
        Add(places, entered, ProfileBase(), L"\\cookies");
        break;
    case TPrivacyRoutine::RecentFolders:
        Add(places, TPlaceAction::Wipe, WindowsBase(), L"\\Recent");
        Add(places, TPlaceAction::Wipe, ProfileBase(), L"\\Recent");
        break;
    case TPrivacyRoutine::RecycleBin:
        break; // the shell empties it: EmptyShellRecycleBin
    }
    return places;
}

fs::path NativeSystemTempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(256, buffer);
    if (n == 0 || n > 255)
        return {};
    return fs::path(std::wstring(buffer, n));
}

// Windows refuses to delete a file in use by itself.
TInUseProbe MakeInUseProbe() {
    return [](const fs::path&) { return false; };
}

// The Windows browser keeps its history in folders, which are emptied whole.
bool PruneBrowserHistory(const fs::path&) { return false; }

TRecycleBinResult EmptyShellRecycleBin(uintptr_t ownerWindow) {
    using TSHEmptyRecycleBinW = HRESULT(WINAPI*)(HWND, LPCWSTR, DWORD);
    HMODULE shell = LoadLibraryW(L"Shell32.dll");
    if (!shell)
        return TRecycleBinResult::NoLibrary;
    auto empty = reinterpret_cast<TSHEmptyRecycleBinW>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHEmptyRecycleBinW")));
    TRecycleBinResult result = TRecycleBinResult::NoFunction;
    if (empty) {
        const DWORD flags = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND; // 7
        empty(reinterpret_cast<HWND>(ownerWindow), nullptr, flags);
        result = TRecycleBinResult::Emptied;
    }
    FreeLibrary(shell);
    return result;
}

} // namespace Platform
