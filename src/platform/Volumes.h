#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

// Drive type codes, the values Windows' GetDriveType returns.
namespace DriveType {
inline constexpr uint8_t Unknown = 0;
inline constexpr uint8_t NoRootDir = 1;
inline constexpr uint8_t Removable = 2;
inline constexpr uint8_t Fixed = 3;
inline constexpr uint8_t Remote = 4;
inline constexpr uint8_t CdRom = 5;
inline constexpr uint8_t RamDisk = 6;
} // namespace DriveType

// One mounted volume as the drive table sees it.
struct TVolumeInfo {
    // The volume's root: "C:\" on Windows; the mount path with a trailing "/" on Linux.
    std::string Root;
    uint8_t Type = DriveType::Unknown;
    // The volume label; empty when it has none.
    std::string Label;
};

// The volumes of the machine. Tests install a fake with a fixed list.
class IVolumes {
public:
    virtual ~IVolumes() = default;
    // The volumes in drive order: on Windows C: to Z:; on Linux "/" first, then the
    // other volumes by mount path, at most 24 (the drive numbers 3 to 26).
    virtual std::vector<TVolumeInfo> List() = 0;
    // The drive type of a root; DriveType::NoRootDir when no volume has that root.
    virtual uint8_t TypeOf(const std::string& root) = 0;
    // Total and free bytes for the user; false when the system cannot tell (no medium).
    virtual bool Space(const std::string& root, int64_t& total, int64_t& free) = 0;
};

IVolumes& Volumes();
// Installs a replacement and returns the previous instance.
std::unique_ptr<IVolumes> SetVolumes(std::unique_ptr<IVolumes> volumes);

} // namespace Platform
