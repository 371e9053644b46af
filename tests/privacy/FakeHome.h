#pragma once

#include "platform/linux/TLinuxPrivacyRoutines.h"
#include "platform/Volumes.h"
#include "support/PathExists.h"
#include "support/TTempDir.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

// A home folder built in a temporary folder, with HOME and the XDG base folders pointed at
// it, the system temporary folder moved into it and the volume list reduced to the tops
// the test names, so that no cleaning in a test reaches the real home, /tmp or the real
// trash folders. Everything is restored afterwards.
class TListedVolumes : public Platform::IVolumes {
public:
    explicit TListedVolumes(std::vector<std::string> roots) : FRoots(std::move(roots)) {}
    std::vector<Platform::TVolumeInfo> List() override {
        std::vector<Platform::TVolumeInfo> list;
        for (const std::string& root : FRoots)
            list.push_back({root, Platform::DriveType::Fixed, {}});
        return list;
    }
    uint8_t TypeOf(const std::string&) override { return Platform::DriveType::Fixed; }
    bool Space(const std::string&, int64_t& total, int64_t& free) override {
        total = free = 0;
        return false;
    }

private:
    std::vector<std::string> FRoots;
};

class TFakeHomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Home = Temp.Path() / "home";
        SystemTemp = Temp.Path() / "systmp";
        std::filesystem::create_directories(Home);
        std::filesystem::create_directories(SystemTemp);
        SetEnv("HOME", Home.native());
        SetEnv("XDG_CACHE_HOME", (Home / ".cache").native());
        SetEnv("XDG_CONFIG_HOME", (Home / ".config").native());
        SetEnv("XDG_DATA_HOME", (Home / ".local/share").native());
        SetEnv("TMPDIR", std::nullopt);
        UseVolumes({});
        FOldCwd = std::filesystem::current_path();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::current_path(FOldCwd, ec);
        if (FOldVolumes)
            Platform::SetVolumes(std::move(FOldVolumes));
        for (const auto& [name, value] : FSaved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    void SetEnv(const std::string& name, const std::optional<std::string>& value) {
        if (!FSaved.count(name)) {
            const char* old = std::getenv(name.c_str());
            FSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    void UseVolumes(std::vector<std::string> roots) {
        auto previous = Platform::SetVolumes(std::make_unique<TListedVolumes>(std::move(roots)));
        if (!FOldVolumes)
            FOldVolumes = std::move(previous);
    }

    // The routines as the program builds them from the environment, with the system's
    // temporary folder moved into the fake home and the clock two hours on, so that what
    // a test has just made counts as old for the temporary folders' recent-change rule.
    Platform::TLinuxPrivacyRoutines Routines() const {
        Platform::TPrivacyPlaces places = Platform::TPrivacyPlaces::FromEnvironment();
        places.SystemTemp = SystemTemp;
        places.Now = static_cast<int64_t>(std::time(nullptr)) + 2 * 3600;
        return Platform::TLinuxPrivacyRoutines(places);
    }

    // Writes a file under the home folder and returns its path.
    std::filesystem::path Put(const std::string& rel, const std::string& bytes = "x") const {
        return Temp.Write(std::filesystem::path("home") / rel, bytes);
    }
    bool Exists(const std::filesystem::path& path) const { return PathExists(path); }
    bool IsEmptyFolder(const std::filesystem::path& path) const {
        std::error_code ec;
        return std::filesystem::is_directory(std::filesystem::symlink_status(path, ec)) &&
               std::filesystem::is_empty(path, ec);
    }

    TTempDir Temp;
    std::filesystem::path Home;
    std::filesystem::path SystemTemp;

private:
    std::map<std::string, std::optional<std::string>> FSaved;
    std::unique_ptr<Platform::IVolumes> FOldVolumes;
    std::filesystem::path FOldCwd;
};
