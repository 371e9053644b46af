#pragma once

#include <cstdint>
#include <filesystem>
#include <sys/types.h>

namespace Platform {

// The folders the Linux privacy routines work in. Built from the environment for the
// program; tests point every one of them into a folder of their own.
struct TPrivacyPlaces {
    std::filesystem::path Home;
    std::filesystem::path ConfigHome; // $XDG_CONFIG_HOME or ~/.config
    std::filesystem::path CacheHome;  // $XDG_CACHE_HOME or ~/.cache
    std::filesystem::path DataHome;   // $XDG_DATA_HOME or ~/.local/share
    std::filesystem::path Desktop;    // XDG_DESKTOP_DIR of user-dirs.dirs or ~/Desktop
    std::filesystem::path TmpDir;     // $TMPDIR; empty when unset or empty
    std::filesystem::path SystemTemp; // /tmp
    std::filesystem::path Shell;      // the user's login shell, which says the user's own PATH
    uid_t Uid = 0;
    // The moment the temporary folders' recent-change rule counts back from, in seconds
    // since 1970; 0 for the clock.
    int64_t Now = 0;

    static TPrivacyPlaces FromEnvironment();
};

} // namespace Platform
