#include "analysis/VolumeShare.h"

#include "core/FileRoutines.h"
#include "platform/Volumes.h"

#include <algorithm>

double VolumeSharePercent(const std::string& folder, double folderMB) {
    const std::string root = DriveRootOf(folder);
    int64_t total = 0, free = 0;
    if (root == "My Computer" || !Platform::Volumes().Space(root, total, free) || total <= 0)
        return 0;
    const double totalMB = static_cast<double>(total) / 1048576;
    return std::clamp(folderMB * 100 / totalMB, 0.0, 100.0);
}
