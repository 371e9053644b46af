#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 at the edge of the wide Win32 calls. A lone surrogate of a Windows
// name survives the round trip (see WinText.cpp).
namespace Platform::Win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// The form of a path that the wide file calls take beyond MAX_PATH characters:
// "\\?\C:\..." or "\\?\UNC\server\share\...", made absolute with its separators turned
// into backslashes. Paths short enough for the plain form, and paths already in a
// device form, are returned as they are.
std::wstring LongPath(std::wstring_view path);

// FormatMessage's text for a Win32 error code, without the trailing line break.
std::string ErrorText(unsigned long code);

} // namespace Platform::Win
