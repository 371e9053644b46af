#include "platform/PrivacyPlaces.h"

#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

using TFileId = std::pair<dev_t, ino_t>;

// Every file that a running process (that we may look at) holds open.
std::set<TFileId> OpenFiles() {
    std::set<TFileId> open;
    std::error_code ec;
    for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
        const std::string pid = proc->path().filename().native();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(proc->path() / "fd", fdError); !fdError && fd != end;
             fd.increment(fdError)) {
            struct stat st;
            if (stat(fd->path().c_str(), &st) == 0)
                open.emplace(st.st_dev, st.st_ino);
        }
    }
    return open;
}

} // namespace

// A socket, FIFO or device node serves a running program; a file open in a process is in
// use; and another user's entry is theirs to remove.
TInUseProbe MakeInUseProbe() {
    auto open = std::make_shared<const std::set<TFileId>>(OpenFiles());
    const uid_t me = geteuid();
    return [open, me](const fs::path& entry) {
        struct stat st;
        if (lstat(entry.c_str(), &st) != 0)
            return false;
        if (S_ISSOCK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return true;
        if (st.st_uid != me)
            return true;
        return open->count({st.st_dev, st.st_ino}) != 0;
    };
}

} // namespace Platform
