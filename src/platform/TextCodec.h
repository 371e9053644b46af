#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Text files are kept in the system code page. On Linux that is UTF-8; a file that is not
// valid UTF-8 is taken to be GB18030, the code page of old files from a Chinese Windows.
std::string SystemToUtf8(std::string_view bytes);
std::string Utf8ToSystem(std::string_view text);

bool IsValidUtf8(std::string_view bytes);

} // namespace Platform
