#include "core/TDisk.h"
#include "platform/Volumes.h"

namespace {

constexpr int FirstDrive = 3; // C:, the first drive the table fills
constexpr int LastDrive = 26;

// The existing volumes in drive order, at most one per drive number from 3 to 26.
std::vector<Platform::TVolumeInfo> ExistingVolumes() {
    std::vector<Platform::TVolumeInfo> out;
    for (Platform::TVolumeInfo& v : Platform::Volumes().List()) {
        if (out.size() == static_cast<size_t>(LastDrive - FirstDrive + 1))
            break;
        if (v.Type != Platform::DriveType::NoRootDir)
            out.push_back(std::move(v));
    }
    return out;
}

} // namespace

TDisk::TDisk() {
    // One reading of the volume list serves Roots and every entry; asking per drive
    // would read the mount table two dozen times.
    const std::vector<Platform::TVolumeInfo> volumes = ExistingVolumes();
    for (const Platform::TVolumeInfo& v : volumes)
        FRoots.push_back(v.Root);
    FCount = static_cast<uint8_t>(FRoots.size());
    for (size_t i = 0; i < volumes.size(); ++i) {
        const int n = FirstDrive + static_cast<int>(i);
        TDriveInfo& info = Drives[static_cast<size_t>(n)];
        info.DriveNo = static_cast<uint8_t>(n);
        info.DriveType = volumes[i].Type > 6 ? 0 : volumes[i].Type;
        if (info.DriveType == Platform::DriveType::CdRom || info.DriveType == Platform::DriveType::Remote)
            continue; // asking a network or optical drive can hang or spin up a disc
        if (!Platform::Volumes().Space(volumes[i].Root, info.Size, info.Free))
            info.Size = info.Free = -1;
    }
}

void TDisk::Rescan() {
    FRoots.clear();
    for (const Platform::TVolumeInfo& v : ExistingVolumes())
        FRoots.push_back(v.Root);
    FCount = static_cast<uint8_t>(FRoots.size());
}

bool TDisk::DriveExists(const std::string& root) const {
    return Platform::Volumes().TypeOf(root) != Platform::DriveType::NoRootDir;
}

uint8_t TDisk::DriveTypeOf(const std::string& root) const {
    const uint8_t type = Platform::Volumes().TypeOf(root);
    return type > 6 ? 0 : type;
}

std::string TDisk::RootAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= FRoots.size())
        return {};
    return FRoots[static_cast<size_t>(index)];
}

TDriveInfo TDisk::InfoOf(int n) const {
    if (n < 1 || n > LastDrive)
        return {};
    return Drives[static_cast<size_t>(n)];
}
