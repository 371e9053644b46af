#pragma once

#include <cstdint>

// What the drive table keeps for one drive number.
struct TDriveInfo {
    uint8_t DriveNo = 0;   // 1..26; 0 when the number has no drive
    int64_t Size = 0;      // total bytes; -1 when the system cannot tell; 0 when not asked
    int64_t Free = 0;      // bytes free for the user; -1 / 0 as for Size
    uint8_t DriveType = 0; // Platform::DriveType code
};
