#pragma once

#include <string>
#include <string_view>

// The 26 ASCII letters upper-cased, every other byte kept: names may be any bytes, and
// the comparisons that use this ignore only the case of plain letters.
std::string UpperAscii(std::string_view text);
