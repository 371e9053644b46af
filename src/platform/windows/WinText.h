#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 at the edge of the wide Win32 calls.
namespace Platform::Win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// FormatMessage's text for a Win32 error code, without the trailing line break.
std::string ErrorText(unsigned long code);

} // namespace Platform::Win
