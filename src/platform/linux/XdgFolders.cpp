#include "platform/linux/XdgFolders.h"

#include "platform/SystemInfo.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace Platform::Xdg {
namespace {

fs::path BaseFolder(const char* variable, const char* fallback) {
    // The base directory specification ignores relative values.
    if (const char* v = std::getenv(variable); v && *v == '/')
        return v;
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / fallback;
}

// The value of XDG_DESKTOP_DIR="..." with "$HOME" expanded; empty when absent.
fs::path DesktopFromUserDirs() {
    std::ifstream in(ConfigHome() / "user-dirs.dirs");
    const std::string key = "XDG_DESKTOP_DIR=";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = HomeFolder().native() + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return {};
}

} // namespace

fs::path CacheHome() { return BaseFolder("XDG_CACHE_HOME", ".cache"); }
fs::path ConfigHome() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }
fs::path DataHome() { return BaseFolder("XDG_DATA_HOME", ".local/share"); }

fs::path DesktopFolder() {
    const fs::path fromFile = DesktopFromUserDirs();
    if (!fromFile.empty())
        return fromFile;
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / "Desktop";
}

} // namespace Platform::Xdg
