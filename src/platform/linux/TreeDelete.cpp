#include "platform/TreeDelete.h"

#include "platform/linux/TStartEntry.h"
#include "platform/linux/TTreeEraser.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

bool Refuse() {
    errno = 0;
    return false;
}

TDeleteCandidate StartCandidate(const struct stat& st) {
    TDeleteCandidate c;
    c.Depth = -1;
    c.Kind = TEntryKind::Folder;
    c.Mode = st.st_mode;
    c.Owner = st.st_uid;
    c.Id = {st.st_dev, st.st_ino};
    c.ChangedUnix = std::max(st.st_mtim.tv_sec, st.st_ctim.tv_sec);
    return c;
}

} // namespace

bool DeleteTree(const fs::path& path) {
    TStartEntry entry(path);
    if (!entry.Examine()) {
        errno = entry.Error();
        return false;
    }
    if (!entry.IsFolder()) {
        entry.CallHook();
        return unlinkat(entry.ParentFd(), entry.Name(), 0) == 0;
    }
    if (entry.Protected() || entry.MountPoint())
        return Refuse();
    entry.CallHook();
    struct stat st;
    const int fd = entry.Open(true, st);
    if (fd < 0) {
        const int error = errno;
        // Swapped for a link: the link goes, never what it points to.
        if (error == ELOOP || error == ENOTDIR) {
            struct stat now;
            if (fstatat(entry.ParentFd(), entry.Name(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                !S_ISDIR(now.st_mode))
                return unlinkat(entry.ParentFd(), entry.Name(), 0) == 0;
        }
        // A folder that may not be read still goes when it is empty.
        if ((error == EACCES || error == EPERM) &&
            unlinkat(entry.ParentFd(), entry.Name(), AT_REMOVEDIR) == 0)
            return true;
        errno = error;
        return false;
    }
    const TDeleteFilter none;
    const TDeleteReport report = TTreeEraser(none, entry.Text()).Empty(fd, st);
    if (report.Failed != 0) {
        errno = report.Error;
        return false;
    }
    return unlinkat(entry.ParentFd(), entry.Name(), AT_REMOVEDIR) == 0;
}

TDeleteReport EmptyFolder(const fs::path& folder, const TDeleteFilter& filter,
                          const TStartCheck& acceptStart) {
    TDeleteReport refused;
    TStartEntry entry(folder);
    if (!entry.Examine()) {
        refused.Error = entry.Error();
        return refused;
    }
    if (!entry.IsFolder() || entry.Protected())
        return refused;
    struct stat st;
    // The folder may be the root of a mounted file system (a temporary folder often is);
    // mount points below it are not entered.
    const int fd = entry.Open(false, st);
    if (fd < 0) {
        refused.Error = errno;
        return refused;
    }
    if (acceptStart && !acceptStart(StartCandidate(st))) {
        close(fd);
        return refused;
    }
    return TTreeEraser(filter, entry.Text()).Empty(fd, st);
}

TEntryOutcome DeleteEntry(const fs::path& path, TEntryWanted wanted) {
    return TStartEntry(path).Delete(wanted);
}

} // namespace Platform
