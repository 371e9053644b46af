#pragma once

#include "platform/Volumes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// One line of a Linux mount table (/proc/self/mountinfo), decoded.
struct TMountEntry {
    std::string MountPath; // octal escapes ("\040") decoded
    std::string FsType;    // "ext4", "tmpfs", "fuse.sshfs", ...
    std::string Source;    // "/dev/sda1", "server:/export", "tmpfs"
    std::string Root;      // the part of the file system mounted there ("/" unless a bind mount)
};

// Parses the text of /proc/self/mountinfo. Lines that do not parse are skipped.
std::vector<TMountEntry> ParseMountInfo(std::string_view text);

// What the volume list needs to know about the machine beyond the mount table.
struct TVolumeProbe {
    // True when the block device (a Source such as "/dev/sdb1") is removable or on USB.
    std::function<bool(const std::string& source)> IsRemovable;
    // True when the mount path is a folder (a bind-mounted file is not a volume).
    std::function<bool(const std::string& mountPath)> IsFolder;
    // The label of the block device; empty when none.
    std::function<std::string(const std::string& source)> LabelOf;
};

// Turns a mount table into the drive table's volume list: pseudo file systems (proc,
// sysfs, cgroup, devpts, ...) and the system's own mounts under /proc, /sys, /dev and
// /run (except /run/media) are left out, a path mounted twice counts once (the last
// mount hides the earlier one), "/" comes first and the rest by mount path, and the list
// stops at 24 volumes. Types: remote file systems -> Remote, iso9660/udf -> CdRom,
// tmpfs/ramfs -> RamDisk, removable block devices -> Removable, anything else -> Fixed.
std::vector<TVolumeInfo> VolumesFromMounts(const std::vector<TMountEntry>& mounts,
                                           const TVolumeProbe& probe);

} // namespace Platform
