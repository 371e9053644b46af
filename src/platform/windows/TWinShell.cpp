#include "platform/windows/TWinShell.h"

#include "platform/windows/WinText.h"

#include <windows.h>
#include <shellapi.h>

namespace Platform {

bool TWinShell::Open(const std::string& target) {
    const HINSTANCE rc = ShellExecuteW(nullptr, L"open", Win::Widen(target).c_str(), nullptr,
                                       nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

} // namespace Platform
