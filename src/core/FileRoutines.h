#pragma once

#include "core/DateTime.h"
#include "platform/Clock.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// Shared file-system routines used by the windows. Paths are the file system's bytes.

// Deletes a file, link or folder tree permanently, without asking. False when anything
// stayed, and for an empty path, the root, the home folder and a mount point, which are
// never touched. Links are removed as links, never followed.
bool DeletePath(const std::filesystem::path& path);

// The short (8.3) form of a path. Where the system has none, the path itself. When the
// system fails, its error text is shown in a message box and the path comes back less a
// trailing double quote.
std::string GetShortPath(const std::string& path);

// The name the desktop shows for a path, or the path itself.
std::string GetShellDisplayName(const std::filesystem::path& path);

std::string GetLocalSettingsFolder();
std::string GetWindowsFolder();

// Byte total of a folder's whole tree (folders count 0); 0 for a path that is not a
// folder. Links are not followed and other file systems are not entered.
int64_t GetDirectorySize(const std::filesystem::path& folder);

// True when the folder's whole tree holds no byte: the same test as
// GetDirectorySize(folder) == 0, but it stops at the first byte found, and it answers
// false for a tree it cannot read to the end or that holds another file system's mount
// point, since what it could not see may hold data.
bool IsTreeEmpty(const std::filesystem::path& folder);

// A folder's total in a unit: 0 megabytes, 1 kilobytes, 3 gigabytes (cut, not rounded,
// to three decimals), 2 or any other code bytes. Only sub-folders whose attributes are
// exactly "directory" and whose name does not begin with "." are counted in.
double GetDirectorySizeIn(const std::filesystem::path& folder, int unit);

// -1, 0 or 1 by the sign of x (-0.0 gives 0).
int CompareSign(double x);

// The leading run of "0".."9" of a text, or "0" when there is none.
std::string LeadingDigits(const std::string& text);

// The date of a "month/day/year" text. Throws EMorvaneError "'%s' is not a valid
// integer value" for a part that is not an integer and "Invalid argument to date
// encode" for a day that does not exist.
TDateTime ParseSlashDate(const std::string& text);

// The drive root that holds a path: on Linux the mount path (with "/") of the volume
// holding it; "My Computer" for anything that is not a path on a drive.
std::string DriveRootOf(const std::string& path);

TDateTime FileTimeToLocalDateTime(Platform::TFileTime time);

// Creation time, last write time and the current time, each as "yyyy/mm/dd,hh:mm:ss"
// with the user's date and time separators. Missing entries give empty texts for the
// first two.
std::array<std::string, 3> GetFileDates(const std::filesystem::path& path);

// "<system> Version <major>.<minor>\r\n (Build <build>: <extra>)"; empty when unknown.
std::string GetOSVersionText();

// Switches the computer off. On failure shows "Exit Error" with the failing step as title.
void ShutDownComputer();
