#include "platform/windows/TWinVolumes.h"
#include "platform/windows/WinText.h"

#include <windows.h>

namespace Platform {

std::vector<TVolumeInfo> TWinVolumes::List() {
    std::vector<TVolumeInfo> out;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        const uint8_t type = TypeOf(root);
        if (type == DriveType::NoRootDir)
            continue;
        TVolumeInfo v;
        v.Root = root;
        v.Type = type;
        wchar_t label[MAX_PATH + 1] = {};
        // Asking a floppy or an empty optical drive for its label can stall; the label
        // is only wanted for fixed and removable disks.
        if ((type == DriveType::Fixed || type == DriveType::RamDisk) &&
            GetVolumeInformationW(Win::Widen(root).c_str(), label, MAX_PATH, nullptr, nullptr,
                                  nullptr, nullptr, 0))
            v.Label = Win::Narrow(label);
        out.push_back(std::move(v));
    }
    return out;
}

uint8_t TWinVolumes::TypeOf(const std::string& root) {
    const UINT type = GetDriveTypeW(Win::Widen(root).c_str());
    return type > 6 ? DriveType::Unknown : static_cast<uint8_t>(type);
}

bool TWinVolumes::Space(const std::string& root, int64_t& total, int64_t& free) {
    ULARGE_INTEGER avail, all;
    if (!GetDiskFreeSpaceExW(Win::Widen(root).c_str(), &avail, &all, nullptr))
        return false;
    total = static_cast<int64_t>(all.QuadPart);
    free = static_cast<int64_t>(avail.QuadPart);
    return true;
}

} // namespace Platform
