#include "platform/windows/TWinProtectedFolders.h"

#include "platform/DeleteHooks.h"
#include "platform/windows/WinHandles.h"
#include "platform/windows/WinText.h"

#include <cwctype>

#include <shlobj.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

fs::path AccountProfile() {
    if (const THomeLookup& lookup = CurrentAccountHomeLookup())
        return lookup();
    wchar_t buffer[MAX_PATH];
    return SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer) == S_OK ? fs::path(buffer)
                                                                                : fs::path();
}

// The path a folder really has, behind junctions and links; empty when unknown.
fs::path FinalPath(const fs::path& folder) {
    HANDLE h = CreateFileW(Win::LongPath(folder.native()).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring text(32768, L'\0');
    const DWORD n =
        GetFinalPathNameByHandleW(h, text.data(), static_cast<DWORD>(text.size()), VOLUME_NAME_DOS);
    CloseHandle(h);
    if (n == 0 || n >= text.size())
        return {};
    text.resize(n);
    if (text.rfind(L"\\\\?\\UNC\\", 0) == 0)
        text = L"\\\\" + text.substr(8);
    else if (text.rfind(L"\\\\?\\", 0) == 0)
        text = text.substr(4);
    return text;
}

} // namespace

std::wstring CanonicalPathText(const fs::path& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    std::wstring text = n > 0 && n < MAX_PATH * 4 ? std::wstring(buffer, n) : path.wstring();
    for (wchar_t& c : text)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(c));
    while (text.size() > 3 && text.back() == L'\\')
        text.pop_back();
    return text;
}

TWinProtectedFolders TWinProtectedFolders::ForUser() {
    TWinProtectedFolders f;
    if (const wchar_t* profile = _wgetenv(L"USERPROFILE"); profile && *profile)
        f.AddProfile(profile);
    f.AddProfile(AccountProfile());
    return f;
}

void TWinProtectedFolders::AddProfile(const fs::path& profile) {
    if (profile.empty() || !profile.is_absolute())
        return;
    ForEachUp(fs::path(CanonicalPathText(profile)), [&](const fs::path& p) { Add(p); });
    if (const fs::path real = FinalPath(profile); !real.empty())
        ForEachUp(real, [&](const fs::path& p) { Add(p); });
}

void TWinProtectedFolders::Add(const fs::path& folder) {
    FTexts.insert(CanonicalPathText(folder));
    DWORD error = 0;
    HANDLE h = Win::OpenPath(Win::LongPath(folder.native()), false, error);
    if (h == INVALID_HANDLE_VALUE)
        return;
    Win::THandleInfo info;
    if (Win::QueryHandle(h, info))
        FIdentities.insert(info.Id);
    CloseHandle(h);
}

bool TWinProtectedFolders::HoldsText(const fs::path& path) const {
    const std::wstring target = CanonicalPathText(path);
    // A drive root (C:\), whichever way it is spelt.
    if (target.size() <= 3 || CanonicalPathText(fs::path(target).root_path()) == target)
        return true;
    return FTexts.count(target) != 0;
}

} // namespace Platform
