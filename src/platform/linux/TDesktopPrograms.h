#pragma once

#include "platform/IInstalledPrograms.h"
#include "platform/linux/DpkgQuery.h"

#include <filesystem>
#include <string>
#include <vector>

namespace Platform {

// Where the desktop's applications and their packages are found. Built from the
// environment for the program; tests point them into folders of their own.
struct TProgramSources {
    std::vector<std::filesystem::path>
        ApplicationFolders;                         // $XDG_DATA_HOME first, then $XDG_DATA_DIRS
    std::vector<std::filesystem::path> SearchPath;  // where an entry's program is looked up
    std::vector<std::filesystem::path> FlatpakApps; // .../flatpak/app folders, user's first
    std::filesystem::path SnapMounts = "/snap";     // NAME/current links to the revision
    std::filesystem::path SnapImages = "/var/lib/snapd/snaps"; // NAME_REVISION.snap images
    // Runs dpkg-query, flatpak and snap for what they know of the packages.
    TCommandRunner Run = RunCommand;

    static TProgramSources FromEnvironment();
};

// The programs a user sees in the desktop menu, one per package that installs them: a dpkg
// package (the owner of the entry's program, else of the entry's file), a flatpak
// application or a snap. A user's own copy of a system entry stands in for it. An entry
// nobody can uninstall is left out. Uninstallers run as argument lists, never through a
// shell, and a run ends by asking the package system whether the program is gone.
class TDesktopPrograms : public IInstalledPrograms {
public:
    explicit TDesktopPrograms(TProgramSources sources) : FSources(std::move(sources)) {}
    std::optional<std::vector<TUninstallKey>> ReadKeys() override;
    std::unique_ptr<IUninstallRun> StartUninstaller(const TUninstallKey& key,
                                                    const std::string& command) override;
    // Whether the package system still has the program installed.
    bool IsInstalled(const TUninstallKey& key) const;

private:
    TProgramSources FSources;
};

} // namespace Platform
