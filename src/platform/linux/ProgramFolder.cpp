#include "platform/ProgramFolder.h"
#include "platform/SystemInfo.h"
#include "platform/TreeDelete.h"
#include "platform/linux/UserFolder.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

std::mutex gFolderMutex;
fs::path gOverride;

bool IsUnder(const fs::path& path, const fs::path& tree) {
    auto p = path.begin();
    for (auto t = tree.begin(); t != tree.end(); ++t, ++p) {
        if (p == path.end() || *p != *t)
            return false;
    }
    return true;
}

// Data are plain files without any execute bit, and folders; the program file and the
// other programs beside it stay where they are.
bool IsShippedData(const fs::path& entry) {
    struct stat st;
    if (entry.filename().native().starts_with('.') || stat(entry.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0);
}

void LinkShipped(const fs::path& shipped, const fs::path& link) {
    struct stat own;
    if (lstat(link.c_str(), &own) == 0) {
        struct stat target;
        const bool dangling = S_ISLNK(own.st_mode) && stat(link.c_str(), &target) != 0;
        if (!dangling || !DeleteTree(link))
            return;
    }
    std::error_code ec;
    fs::create_symlink(shipped, link, ec);
}

} // namespace

bool KeepsFilesBeside(const fs::path& programFolder) {
    if (programFolder.empty() || IsUnder(programFolder, "/usr") || IsUnder(programFolder, "/opt"))
        return false;
    return access(programFolder.c_str(), W_OK) == 0;
}

fs::path UserProgramFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return fs::path(xdg) / "Morvane";
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / ".local/share/Morvane";
}

void SeedUserFolder(const fs::path& shipped, const fs::path& user) {
    std::error_code ec;
    fs::create_directories(user, ec);
    for (const auto& entry : fs::directory_iterator(shipped, ec)) {
        if (IsShippedData(entry.path()))
            LinkShipped(entry.path(), user / entry.path().filename());
    }
}

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
    const fs::path user = UserProgramFolder();
    if (KeepsFilesBeside(exeFolder) || user.empty())
        return gOverride = exeFolder;
    SeedUserFolder(exeFolder, user);
    return gOverride = user;
}

void SetProgramFolder(const fs::path& folder) {
    std::lock_guard lock(gFolderMutex);
    gOverride = folder;
}

} // namespace Platform
