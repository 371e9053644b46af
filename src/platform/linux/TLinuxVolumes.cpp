#include "platform/linux/TLinuxVolumes.h"
#include "platform/FileIo.h"
#include "platform/MountTable.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

fs::path Resolved(const fs::path& p) {
    std::error_code ec;
    fs::path r = fs::canonical(p, ec);
    return ec ? p : r;
}

std::string FirstLine(const fs::path& file) {
    std::string text = ReadWholeFile(file, nullptr).value_or("");
    return text.substr(0, text.find('\n'));
}

// A partition is removable when its disk is: /sys/class/block/sdb1 resolves to
// .../block/sdb/sdb1, whose parent holds the flag. Disks on USB count as removable too,
// since many USB sticks and card readers do not set the flag.
bool IsRemovableDevice(const std::string& source) {
    const std::string dev = Resolved(source).filename().native();
    if (dev.empty())
        return false;
    fs::path sys = Resolved(fs::path("/sys/class/block") / dev);
    std::error_code ec;
    if (fs::exists(sys / "partition", ec))
        sys = sys.parent_path();
    if (FirstLine(sys / "removable") == "1")
        return true;
    return sys.native().find("/usb") != std::string::npos;
}

// udev writes unusual characters of a label as "\xNN".
std::string DecodeLabel(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

std::string LabelOfDevice(const std::string& source) {
    const fs::path dev = Resolved(source);
    std::error_code ec;
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
        if (Resolved(it->path()) == dev)
            return DecodeLabel(it->path().filename().native());
    }
    return {};
}

bool IsFolderPath(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::vector<TVolumeInfo> TLinuxVolumes::List() { return ListVolumes(true); }

std::vector<TVolumeInfo> TLinuxVolumes::ListVolumes(bool withLabels) {
    const std::string text = ReadWholeFile("/proc/self/mountinfo", nullptr).value_or("");
    TVolumeProbe probe;
    probe.IsRemovable = IsRemovableDevice;
    probe.IsFolder = IsFolderPath;
    if (withLabels)
        probe.LabelOf = LabelOfDevice;
    return VolumesFromMounts(ParseMountInfo(text), probe);
}

uint8_t TLinuxVolumes::TypeOf(const std::string& root) {
    for (const TVolumeInfo& v : ListVolumes(false)) {
        if (v.Root == root)
            return v.Type;
    }
    return DriveType::NoRootDir;
}

bool TLinuxVolumes::Space(const std::string& root, int64_t& total, int64_t& free) {
    struct statvfs s;
    if (statvfs(root.c_str(), &s) != 0)
        return false;
    total = static_cast<int64_t>(s.f_blocks) * static_cast<int64_t>(s.f_frsize);
    free = static_cast<int64_t>(s.f_bavail) * static_cast<int64_t>(s.f_frsize);
    return true;
}

} // namespace Platform
