#pragma once

#include "platform/Volumes.h"

namespace Platform {

// The volumes of /proc/self/mountinfo, with the block devices' removable flags and
// labels from /sys and /dev/disk/by-label.
class TLinuxVolumes : public IVolumes {
public:
    std::vector<TVolumeInfo> List() override;
    uint8_t TypeOf(const std::string& root) override;
    bool Space(const std::string& root, int64_t& total, int64_t& free) override;

private:
    std::vector<TVolumeInfo> ListVolumes(bool withLabels);
};

} // namespace Platform
