#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform::Win {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring LongPath(std::wstring_view path) {
    // Below this the plain form works everywhere, with room for a "\\*" pattern and an
    // 8.3 name that CreateDirectoryW needs to fit in MAX_PATH.
    constexpr size_t PlainLimit = MAX_PATH - 14;
    std::wstring text(path);
    if (text.size() < PlainLimit || text.rfind(L"\\\\?\\", 0) == 0 || text.rfind(L"\\\\.\\", 0) == 0)
        return text;
    const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return text;
    std::wstring full(needed, L'\0');
    const DWORD n = GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
    if (n == 0 || n >= needed)
        return text;
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return text;
}

std::string ErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return Narrow(text);
}

} // namespace Platform::Win
