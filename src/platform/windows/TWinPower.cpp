#include "platform/windows/TWinPower.h"

#include <windows.h>

namespace Platform {

std::string TWinPower::PowerOff() {
    // Every Windows this program runs on is of the NT family: it needs the privilege.
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return "OpenProcessToken() Failed";
    TOKEN_PRIVILEGES tp{};
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid)) {
        CloseHandle(token);
        return "LookupPrivilegeValue() Failed";
    }
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    SetLastError(0);
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(token);
    if (error != 0)
        return "AdjustTokenPrivileges() Failed";
    ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
    return "";
}

} // namespace Platform
