#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <vector>

// Size text of a KB count: "1024KB", "1.512MB" (the part after the point is the remainder
// of the last division by 1024, not a decimal fraction).
std::string FormatSizeKB(int64_t kb);

// (bytes + 1023) div 1024, with 1 in place of 0.
int64_t SizeKBOf(int64_t bytes);

// "R", "H", "S", "A" for the read-only, hidden, system and archive bits, in that order.
std::string AttributeLetters(uint32_t attributes);

// The local date-time in the user's short date format and long time format, the time
// left out at exactly midnight; empty for a zero or unrepresentable time.
std::string ModifiedTextOf(Platform::TFileTime time);

// "My Computer" when the parsing name is that of a virtual folder (it holds "::"),
// otherwise the parsing name.
std::string LocationTextOf(const std::string& parsingName);
inline constexpr const char* MyComputerText = "My Computer";

// Whether a location text names a drive root by its form: three characters or fewer on
// Windows ("C:\"). A Linux path ("/ab") is never told by its length: only "/" and the
// mount paths shown with their trailing separator ("/home/") are roots.
bool IsDriveRootText(const std::string& locationText);

// The drive root a folder row's "System Disk " test looks at: at My Computer the root
// inside the row name's last parentheses ("Local Disk (/home)" gives "/home/"), elsewhere
// the location text with one trailing separator. Empty when there is none.
std::string RowDriveRoot(const std::string& rowName, const std::string& locationText);

// The cells of a report-view row after the caption. Folder rows: "System Disk " first when
// systemDisk (the row's drive root is a network volume), then type, modified, attribute
// letters. File rows: size text, type, modified, attribute letters.
struct TShellItem;
std::vector<std::string> RowCells(const TShellItem& item, bool systemDisk);
