#pragma once

#include <cstdint>

// The version of this release, in the forms the program shows and compares.
namespace ProgramVersion {

// The launcher's version label and the number the update check compares.
inline constexpr const char* Number = "8.0";
// The release date the update check compares, month/day/year.
inline constexpr const char* Date = "06/14/2008";

// The program file's version data: its file version and the one translation that its
// string table is filed under (UK English, Western European code page).
inline constexpr uint16_t FileVersionParts[4] = {8, 0, 0, 3};
inline constexpr const char16_t* FileVersion = u"8.0.0.3";
inline constexpr uint16_t Language = 0x0809;
inline constexpr uint16_t CodePage = 0x04E4;

} // namespace ProgramVersion
