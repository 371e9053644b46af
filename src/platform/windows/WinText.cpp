#include "platform/windows/WinText.h"

#include <cstdint>

#include <windows.h>

namespace Platform::Win {

// Windows names are UTF-16 that need not be valid: a lone surrogate is a legal character
// of a file name. Such a unit is kept as the three bytes of its code point (as WTF-8
// does), so Widen gives back exactly the name Narrow was given and the path acted on is
// the path listed. The system's converters would turn it into U+FFFD, which may name
// another file. Bytes that are no UTF-8 at all still become U+FFFD.
std::wstring Widen(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    const size_t n = utf8.size();
    auto byte = [&](size_t at) { return static_cast<unsigned char>(utf8[at]); };
    auto continuation = [&](size_t at) { return at < n && (byte(at) & 0xC0) == 0x80; };
    for (size_t i = 0; i < n;) {
        const unsigned char b0 = byte(i);
        if (b0 < 0x80) {
            out += static_cast<wchar_t>(b0);
            ++i;
            continue;
        }
        uint32_t c = 0;
        size_t length = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF && continuation(i + 1)) {
            c = ((b0 & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF && continuation(i + 1) && continuation(i + 2) &&
                   (b0 != 0xE0 || byte(i + 1) >= 0xA0)) {
            c = ((b0 & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
            length = 3;
        } else if (b0 >= 0xF0 && b0 <= 0xF4 && continuation(i + 1) && continuation(i + 2) &&
                   continuation(i + 3) && (b0 != 0xF0 || byte(i + 1) >= 0x90) &&
                   (b0 != 0xF4 || byte(i + 1) <= 0x8F)) {
            c = ((b0 & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) |
                ((byte(i + 2) & 0x3Fu) << 6) | (byte(i + 3) & 0x3Fu);
            length = 4;
        }
        if (length == 0) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i += length;
    }
    return out;
}

std::string Narrow(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(wide[i + 1]) - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring LongPath(std::wstring_view path) {
    // Below this the plain form works everywhere, with room for a "\\*" pattern and an
    // 8.3 name that CreateDirectoryW needs to fit in MAX_PATH.
    constexpr size_t PlainLimit = MAX_PATH - 14;
    std::wstring text(path);
    if (text.size() < PlainLimit || text.rfind(L"\\\\?\\", 0) == 0 ||
        text.rfind(L"\\\\.\\", 0) == 0)
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
