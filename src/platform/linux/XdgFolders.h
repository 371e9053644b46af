#pragma once

#include <filesystem>

namespace Platform::Xdg {

// The user's base folders: the variable's value when it is an absolute path, else the
// default under the home folder. Empty when the home folder is unknown.
std::filesystem::path CacheHome();
std::filesystem::path ConfigHome();
std::filesystem::path DataHome();
// XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop.
std::filesystem::path DesktopFolder();

} // namespace Platform::Xdg
