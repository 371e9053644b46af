#pragma once

#include "platform/Volumes.h"

namespace Platform {

// The drives C: to Z: as GetDriveType reports them.
class TWinVolumes : public IVolumes {
public:
    std::vector<TVolumeInfo> List() override;
    uint8_t TypeOf(const std::string& root) override;
    bool Space(const std::string& root, int64_t& total, int64_t& free) override;
};

} // namespace Platform
