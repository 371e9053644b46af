#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

std::mutex gFolderMutex;
fs::path gOverride;

fs::path UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local/share";
}

// Copies the shipped data files that the user's folder does not have yet; files the
// user already has (settings, lists) are never overwritten.
void SeedFrom(const fs::path& shipped, const fs::path& target) {
    std::error_code ec;
    fs::create_directories(target, ec);
    for (const auto& entry : fs::directory_iterator(shipped, ec)) {
        if (!entry.is_regular_file(ec))
            continue;
        const fs::path name = entry.path().filename();
        if (name == ProgramFile().filename())
            continue;
        fs::copy_file(entry.path(), target / name, fs::copy_options::skip_existing, ec);
    }
}

} // namespace

fs::path ProgramFile() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self;
}

fs::path ProgramFolder() {
    std::lock_guard lock(gFolderMutex);
    if (!gOverride.empty())
        return gOverride;
    const fs::path exeFolder = ProgramFile().parent_path();
    if (!exeFolder.empty() && access(exeFolder.c_str(), W_OK) == 0)
        return gOverride = exeFolder;
    const fs::path user = UserDataHome() / "Morvane";
    SeedFrom(exeFolder, user);
    return gOverride = user;
}

void SetProgramFolder(const fs::path& folder) {
    std::lock_guard lock(gFolderMutex);
    gOverride = folder;
}

} // namespace Platform
