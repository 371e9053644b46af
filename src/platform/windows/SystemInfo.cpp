#include "platform/SystemInfo.h"

#include "platform/windows/WinText.h"

#include <cstdlib>
#include <cwchar>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

std::wstring KnownFolder(int csidl) {
    wchar_t buffer[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, buffer) != S_OK)
        return {};
    return buffer;
}

// The names of the platform ids of the version record; no name for an id not known.
std::string PlatformName(DWORD platformId) {
    switch (platformId) {
    case VER_PLATFORM_WIN32s:
        return "Win32s";
    case VER_PLATFORM_WIN32_WINDOWS:
        return "Windows 95";
    case VER_PLATFORM_WIN32_NT:
        return "Windows NT";
    default:
        return "";
    }
}

} // namespace

std::optional<TOSVersion> OSVersion() {
    // GetVersionExW reports the version the program is manifested for; RtlGetVersion
    // reports the real one and has the same record.
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool ok = false;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        if (auto rtl = reinterpret_cast<TRtlGetVersion>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
            ok = rtl(&info) == 0;
    }
    if (!ok)
        return std::nullopt;
    TOSVersion v;
    v.PlatformName = PlatformName(info.dwPlatformId);
    v.Major = info.dwMajorVersion;
    v.Minor = info.dwMinorVersion;
    v.Build = info.dwBuildNumber;
    // At most 128 characters, cut in UTF-16 so that no character is split in two.
    v.ServicePack =
        Win::Narrow(std::wstring_view(info.szCSDVersion, wcsnlen(info.szCSDVersion, 128)));
    return v;
}

std::optional<std::string> ShortPathName(const std::string& path, int& errorCode) {
    const std::wstring wide = Win::Widen(path);
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) {
        errorCode = static_cast<int>(GetLastError());
        return std::nullopt;
    }
    std::wstring shortPath(needed, L'\0');
    const DWORD n = GetShortPathNameW(wide.c_str(), shortPath.data(), needed);
    if (n == 0 || n >= needed) {
        errorCode = static_cast<int>(GetLastError());
        return std::nullopt;
    }
    shortPath.resize(n);
    errorCode = 0;
    return Win::Narrow(shortPath);
}

std::optional<std::string> ShellDisplayName(const fs::path& path) {
    if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME))
        return Win::Narrow(path.filename().native());
    return Win::Narrow(info.szDisplayName);
}

std::string WindowsFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Win::Narrow(std::wstring_view(buffer, n)) : std::string();
}

std::string LocalSettingsFolder() { return Win::Narrow(KnownFolder(CSIDL_LOCAL_APPDATA)); }

fs::path HomeFolder() {
    if (const wchar_t* profile = _wgetenv(L"USERPROFILE"); profile && *profile)
        return profile;
    return KnownFolder(CSIDL_PROFILE);
}

// Windows has no per-process limit of open folder handles to raise.
bool RaiseOpenFileLimit() { return true; }

} // namespace Platform
