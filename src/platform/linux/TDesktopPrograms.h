#pragma once

#include "platform/IInstalledPrograms.h"

#include <filesystem>
#include <vector>

namespace Platform {

// Where the desktop's applications and their packages are found. Built from the
// environment for the program; tests point them into folders of their own.
struct TProgramSources {
    std::vector<std::filesystem::path> ApplicationFolders; // $XDG_DATA_HOME first, then $XDG_DATA_DIRS
    std::filesystem::path DpkgInfo = "/var/lib/dpkg/info";
    std::filesystem::path DpkgStatus = "/var/lib/dpkg/status";
    std::vector<std::filesystem::path> FlatpakApps; // .../flatpak/app folders, user's first
    std::filesystem::path SnapMounts = "/snap";            // NAME/current links to the revision
    std::filesystem::path SnapImages = "/var/lib/snapd/snaps"; // NAME_REVISION.snap images

    static TProgramSources FromEnvironment();
};

// The applications a user sees in the desktop menu, each with the package that owns it:
// a dpkg package, a flatpak application or a snap. An entry nobody can uninstall is left
// out. Uninstallers run as argument lists, never through a shell.
class TDesktopPrograms : public IInstalledPrograms {
public:
    explicit TDesktopPrograms(TProgramSources sources) : FSources(std::move(sources)) {}
    std::optional<std::vector<TUninstallKey>> ReadKeys() override;
    bool StartUninstaller(const TUninstallKey& key, const std::string& command) override;

private:
    TProgramSources FSources;
};

} // namespace Platform
