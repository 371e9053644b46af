#include "platform/MountTable.h"

#include <algorithm>
#include <map>

namespace Platform {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes in paths as "\ooo".
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' && s[i + 2] <= '7' &&
            s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool Contains(const std::initializer_list<std::string_view>& set, std::string_view v) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

bool IsPseudo(const std::string& fs) {
    return Contains({"proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "securityfs",
                     "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs", "configfs",
                     "fusectl", "autofs", "binfmt_misc", "efivarfs", "nsfs", "rpc_pipefs",
                     "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal",
                     "fuse.lxcfs", "squashfs"},
                    fs);
}

bool StartsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Mounts the system keeps for itself; removable media under /run/media are the user's.
bool IsSystemPath(const std::string& path) {
    for (std::string_view top : {"/proc", "/sys", "/dev", "/run"}) {
        if (path == top || StartsWith(path, std::string(top) + "/"))
            return !StartsWith(path, "/run/media/");
    }
    return false;
}

bool IsRemote(const std::string& fs) {
    return Contains({"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "ceph",
                     "glusterfs", "fuse.glusterfs", "afs", "davfs", "fuse.davfs2", "fuse.rclone",
                     "ncpfs", "coda"},
                    fs);
}

uint8_t TypeOf(const TMountEntry& m, const TVolumeProbe& probe) {
    if (IsRemote(m.FsType))
        return DriveType::Remote;
    if (m.FsType == "iso9660" || m.FsType == "udf")
        return DriveType::CdRom;
    if (m.FsType == "tmpfs" || m.FsType == "ramfs")
        return DriveType::RamDisk;
    if (StartsWith(m.Source, "/dev/") && probe.IsRemovable && probe.IsRemovable(m.Source))
        return DriveType::Removable;
    return DriveType::Fixed;
}

} // namespace

std::vector<TMountEntry> ParseMountInfo(std::string_view text) {
    std::vector<TMountEntry> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::vector<std::string_view> f = Fields(text.substr(pos, end - pos));
        pos = end + 1;
        // id parent major:minor root mount-point options [optional...] - fstype source super
        const auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 6 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3)
            continue;
        TMountEntry m;
        m.Root = Unescape(f[3]);
        m.MountPath = Unescape(f[4]);
        m.FsType = Unescape(dash[1]);
        m.Source = Unescape(dash[2]);
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<TVolumeInfo> VolumesFromMounts(const std::vector<TMountEntry>& mounts,
                                           const TVolumeProbe& probe) {
    // Later mounts on the same path hide the earlier ones.
    std::map<std::string, const TMountEntry*> byPath;
    for (const TMountEntry& m : mounts) {
        if (m.MountPath.empty() || m.MountPath[0] != '/')
            continue;
        byPath[m.MountPath] = &m;
    }
    std::vector<TVolumeInfo> out;
    auto add = [&](const TMountEntry& m) {
        TVolumeInfo v;
        v.Root = m.MountPath == "/" ? "/" : m.MountPath + "/";
        v.Type = TypeOf(m, probe);
        if (probe.LabelOf && StartsWith(m.Source, "/dev/"))
            v.Label = probe.LabelOf(m.Source);
        out.push_back(std::move(v));
    };
    // std::map orders by bytes, so "/" comes first and the rest by mount path.
    for (const auto& [path, m] : byPath) {
        if (out.size() == 24)
            break;
        if (IsPseudo(m->FsType) || IsSystemPath(path))
            continue;
        if (probe.IsFolder && !probe.IsFolder(path))
            continue;
        add(*m);
    }
    return out;
}

} // namespace Platform
