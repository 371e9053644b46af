#pragma once

#include "platform/Volumes.h"

#include <map>

// A fixed list of volumes installed for the length of a test.
class TFakeVolumes : public Platform::IVolumes {
public:
    std::vector<Platform::TVolumeInfo> Volumes;
    std::map<std::string, std::pair<int64_t, int64_t>> Spaces; // root -> total, free; absent = fails

    std::vector<Platform::TVolumeInfo> List() override { return Volumes; }
    uint8_t TypeOf(const std::string& root) override {
        for (const auto& v : Volumes)
            if (v.Root == root)
                return v.Type;
        return Platform::DriveType::NoRootDir;
    }
    bool Space(const std::string& root, int64_t& total, int64_t& free) override {
        const auto it = Spaces.find(root);
        if (it == Spaces.end())
            return false;
        total = it->second.first;
        free = it->second.second;
        return true;
    }
};

// Installs a fake for the scope and gives the real one back afterwards.
class TVolumesScope {
public:
    explicit TVolumesScope(TFakeVolumes*& fake) {
        auto f = std::make_unique<TFakeVolumes>();
        fake = f.get();
        FPrevious = Platform::SetVolumes(std::move(f));
    }
    ~TVolumesScope() { Platform::SetVolumes(std::move(FPrevious)); }

private:
    std::unique_ptr<Platform::IVolumes> FPrevious;
};
