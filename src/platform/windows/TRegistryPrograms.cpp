#include "platform/IInstalledPrograms.h"

#include "platform/windows/WinText.h"

#include <cwchar>
#include <optional>

#include <windows.h>
#include <shellapi.h>

namespace Platform {

namespace {

// A text value of a key: empty when missing, nullopt when it holds another type.
std::optional<std::wstring> TextValue(HKEY key, const wchar_t* name) {
    DWORD type = 0, size = 0;
    const LONG found = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (found == ERROR_FILE_NOT_FOUND)
        return std::wstring();
    if (found != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

// The subkeys of the Uninstall key in one registry view, in the registry's order. A
// subkey whose name or values cannot be read as text is passed over, as one broken
// entry must not hide the rest; a "{" key is kept unread, since the list ends there.
bool ReadView(REGSAM view, std::vector<TUninstallKey>& keys) {
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                      KEY_READ | view, &root) != ERROR_SUCCESS)
        return false;
    // Key names are at most 255 characters.
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        const LONG result =
            RegEnumKeyExW(root, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        TUninstallKey key;
        key.KeyName = Win::Narrow(std::wstring_view(name, length));
        if (name[0] != L'{') {
            // A key that cannot be opened yields empty values.
            HKEY sub = nullptr;
            if (RegOpenKeyExW(root, name, 0, KEY_READ | view, &sub) == ERROR_SUCCESS) {
                const std::optional<std::wstring> displayName = TextValue(sub, L"DisplayName");
                const std::optional<std::wstring> command = TextValue(sub, L"UninstallString");
                RegCloseKey(sub);
                if (!displayName || !command)
                    continue;
                key.DisplayName = Win::Narrow(*displayName);
                key.UninstallString = Win::Narrow(*command);
            }
        }
        keys.push_back(std::move(key));
    }
    RegCloseKey(root);
    return true;
}

// A 32-bit Windows has one registry view; both view flags then open the same key.
bool HasTwoViews() {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

class TRegistryPrograms : public IInstalledPrograms {
public:
    // The 32-bit view first (the program's own), then the 64-bit one.
    std::optional<std::vector<TUninstallKey>> ReadKeys() override {
        std::vector<TUninstallKey> keys;
        const bool opened32 = ReadView(KEY_WOW64_32KEY, keys);
        std::vector<TUninstallKey> keys64;
        const bool opened64 = HasTwoViews() && ReadView(KEY_WOW64_64KEY, keys64);
        if (!opened32 && !opened64)
            return std::nullopt;
        // Each view ends at its first "{" key: the 64-bit list follows after that point.
        for (auto it = keys.begin(); it != keys.end(); ++it) {
            if (!it->KeyName.empty() && it->KeyName[0] == '{') {
                keys.erase(it, keys.end());
                break;
            }
        }
        keys.insert(keys.end(), keys64.begin(), keys64.end());
        return keys;
    }
    // The shell starts the uninstaller and does not wait for it; whether it started or
    // not, the program counts as gone, since the registry cannot tell when it will be.
    std::unique_ptr<IUninstallRun> StartUninstaller(const TUninstallKey&,
                                                    const std::string& command) override {
        const std::wstring wide = Win::Widen(command);
        const bool started =
            reinterpret_cast<INT_PTR>(
                ShellExecuteW(nullptr, L"open", wide.c_str(), wide.c_str(), nullptr, SW_SHOW)) > 32;
        TUninstallOutcome outcome;
        outcome.Gone = true;
        outcome.Started = started;
        return FinishedRun(outcome);
    }
};

} // namespace

std::unique_ptr<IInstalledPrograms> CreateNativeInstalledPrograms() {
    return std::make_unique<TRegistryPrograms>();
}

} // namespace Platform
