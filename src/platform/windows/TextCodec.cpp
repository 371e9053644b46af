#include "platform/TextCodec.h"

#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform {

// The system code page of a Windows machine is its ANSI code page (936 on a Simplified
// Chinese system); text files are kept in it.
std::string SystemToUtf8(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return Win::Narrow(wide);
}

std::string Utf8ToSystem(std::string_view text) {
    const std::wstring wide = Win::Widen(text);
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    if (bytes.empty())
        return true;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

} // namespace Platform
