#include "platform/linux/OpenFolderAt.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

namespace {

// Cleared once the kernel (or a sandbox in front of it) turns openat2 down.
std::atomic<bool> HaveOpenat2{true};

} // namespace

int OpenFolderAt(int dirFd, const char* name, bool sameFileSystem) {
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    if (HaveOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how {};
        how.flags = flags;
        how.resolve =
            RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | (sameFileSystem ? RESOLVE_NO_XDEV : 0);
        for (;;) {
            const long fd = syscall(SYS_openat2, dirFd, name, &how, sizeof how);
            if (fd >= 0)
                return static_cast<int>(fd);
            if (errno == EINTR)
                continue;
            if (errno == ENOSYS || errno == E2BIG) {
                HaveOpenat2.store(false, std::memory_order_relaxed);
                break;
            }
            // A sandbox may answer EPERM to calls it does not know: the plain call decides.
            if (errno != EPERM)
                return -1;
            break;
        }
    }
    return openat(dirFd, name, flags);
}

} // namespace Platform
