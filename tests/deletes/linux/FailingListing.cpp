#include "deletes/linux/FailingListing.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> Armed{false};
std::atomic<dev_t> MarkedDevice{0};
std::atomic<ino_t> MarkedInode{0};
std::atomic<int> EntriesLeft{0};
std::atomic<bool> FirstReadDone{false};

bool IsMarked(int fd) {
    struct stat st;
    return Armed.load() && fstat(fd, &st) == 0 && st.st_dev == MarkedDevice.load() &&
           st.st_ino == MarkedInode.load();
}

} // namespace

void FailListingOf(const std::filesystem::path& folder, int entries) {
    struct stat st;
    if (stat(folder.c_str(), &st) != 0)
        return;
    MarkedDevice = st.st_dev;
    MarkedInode = st.st_ino;
    EntriesLeft = entries;
    FirstReadDone = false;
    Armed = true;
}

void StopFailingListings() {
    Armed = false;
}

// Linked into the test program, this definition takes the place of the C library's for
// every call the program's own code makes.
extern "C" ssize_t getdents64(int fd, void* buffer, size_t length) {
    if (!IsMarked(fd))
        return syscall(SYS_getdents64, fd, buffer, length);
    if (FirstReadDone.exchange(true)) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = syscall(SYS_getdents64, fd, buffer, length);
    if (n <= 0)
        return n;
    // Keep the first records, drop the rest of this read.
    auto* bytes = static_cast<char*>(buffer);
    ssize_t kept = 0;
    int left = EntriesLeft.load();
    while (kept < n) {
        const auto* d = reinterpret_cast<const struct dirent64*>(bytes + kept);
        const bool dots = std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0;
        if (!dots && left-- <= 0)
            break;
        kept += d->d_reclen;
    }
    if (kept == 0) {
        errno = EIO;
        return -1;
    }
    return kept;
}
