#pragma once

#include "core/TDriveInfo.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A snapshot of the machine's drives, taken when the object is made. Drive numbers 3 to
// 26 are the volumes in drive order (C: to Z: on Windows; on Linux "/" first, then the
// other volumes by mount path). Each window that needs drive data makes its own.
class TDisk {
public:
    TDisk();

    // Number of existing drives (the size of Roots).
    uint8_t Count() const { return FCount; }
    // The roots of the existing drives, in drive order ("C:\"; "/", "/home/" on Linux).
    const std::vector<std::string>& Roots() const { return FRoots; }

    // Indexed by drive number 1..26; entry 0 is never used. Only existing drives from
    // number 3 are filled; every other entry stays all zero. Optical and network drives
    // keep Size and Free at 0.
    std::array<TDriveInfo, 27> Drives{};

    // Reads the list of drives again; refreshes Roots and Count only.
    void Rescan();

    bool DriveExists(const std::string& root) const;
    // The drive type code of a root; codes above 6 read as 0.
    uint8_t DriveTypeOf(const std::string& root) const;
    // The root at a position of Roots (from 0); empty when there is none.
    std::string RootAt(int index) const;
    // A copy of Drives[n] for n in 1..26; an all-zero record otherwise.
    TDriveInfo InfoOf(int n) const;

private:
    std::vector<std::string> FRoots;
    uint8_t FCount = 0;
};
