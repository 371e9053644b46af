#include "platform/TreeDelete.h"

#include "platform/linux/OpenFolderAt.h"
#include "platform/linux/StatxAttributes.h"
#include "platform/linux/TProtectedFolders.h"
#include "platform/linux/TTreeEraser.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

TDescendHook& DescendHook() {
    static TDescendHook hook;
    return hook;
}

// A path split into the folder that holds it, opened, and its last name, examined
// without following a link. The folders on the way are the caller's: links there are
// followed, as the path given says.
class TStartEntry {
public:
    explicit TStartEntry(const fs::path& path) {
        std::string text = path.native();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        if (text.empty() || text == "/") {
            FError = 0; // refused, not failed
            return;
        }
        const size_t slash = text.rfind('/');
        FName = slash == std::string::npos ? text : text.substr(slash + 1);
        FParent = slash == std::string::npos ? "." : text.substr(0, slash);
        if (FParent.empty())
            FParent = "/";
        if (FName == "." || FName == "..") {
            FError = 0;
            return;
        }
        FText = text;
        FParentFd = open(FParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (FParentFd < 0) {
            FError = errno;
            return;
        }
        if (statx(FParentFd, FName.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                  STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO, &FStat) != 0 ||
            fstat(FParentFd, &FParentStat) != 0) {
            FError = errno;
            return;
        }
        FFound = true;
    }
    ~TStartEntry() {
        if (FParentFd >= 0)
            close(FParentFd);
    }
    TStartEntry(const TStartEntry&) = delete;
    TStartEntry& operator=(const TStartEntry&) = delete;

    bool Found() const { return FFound; }
    int Error() const { return FError; }
    bool IsFolder() const { return S_ISDIR(FStat.stx_mode); }
    const struct statx& Stat() const { return FStat; }
    int ParentFd() const { return FParentFd; }
    const char* Name() const { return FName.c_str(); }
    const std::string& Parent() const { return FParent; }
    const std::string& Text() const { return FText; }

    // The root, the home folder or a folder holding it, by identity or by text.
    bool Protected() const {
        const TProtectedFolders protectedFolders = TProtectedFolders::ForUser();
        return protectedFolders.HoldsIdentity(makedev(FStat.stx_dev_major, FStat.stx_dev_minor),
                                              FStat.stx_ino) ||
               protectedFolders.HoldsText(FText);
    }
    bool MountPoint() const {
        return IsMountRoot(FStat, major(FParentStat.st_dev), minor(FParentStat.st_dev));
    }

    // Opens the folder itself, never through a link, and checks that it is the folder
    // that was examined. -1 with errno set.
    int Open(bool sameFileSystem, struct stat& st) const {
        const int fd = OpenFolderAt(FParentFd, FName.c_str(), sameFileSystem);
        if (fd < 0)
            return -1;
        if (fstat(fd, &st) != 0 || st.st_dev != makedev(FStat.stx_dev_major, FStat.stx_dev_minor) ||
            st.st_ino != FStat.stx_ino) {
            close(fd);
            errno = EAGAIN;
            return -1;
        }
        return fd;
    }

private:
    std::string FText;
    std::string FParent;
    std::string FName;
    int FParentFd = -1;
    struct statx FStat {};
    struct stat FParentStat {};
    bool FFound = false;
    int FError = 0;
};

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

void CallHook(const TStartEntry& entry) {
    if (const TDescendHook& hook = DescendHook())
        hook(entry.Parent(), entry.Name());
}

} // namespace

const TDescendHook& CurrentDeleteHook() {
    return DescendHook();
}

void SetDeleteDescendHook(TDescendHook hook) {
    DescendHook() = std::move(hook);
}

bool DeleteTree(const fs::path& path) {
    const TStartEntry entry(path);
    if (!entry.Found()) {
        errno = entry.Error();
        return false;
    }
    if (!entry.IsFolder()) {
        CallHook(entry);
        return unlinkat(entry.ParentFd(), entry.Name(), 0) == 0;
    }
    if (entry.Protected() || entry.MountPoint())
        return Refuse();
    CallHook(entry);
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
    const TStartEntry entry(folder);
    if (!entry.Found()) {
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
    const TStartEntry entry(path);
    if (!entry.Found()) {
        if (entry.Error() == ENOENT || entry.Error() == ENOTDIR)
            return {TEntryResult::Missing, 0};
        return {TEntryResult::Failed,
                entry.Error() != 0 ? entry.Error() : EINVAL}; // "", "/", "." or ".."
    }
    const bool folderWanted = wanted == TEntryWanted::EmptyFolder;
    if (entry.IsFolder() != folderWanted)
        return {TEntryResult::OtherKind, 0};
    const uint32_t mode = entry.Stat().stx_mode;
    if (wanted == TEntryWanted::WritableNotFolder && S_ISREG(mode) && !(mode & S_IWUSR))
        return {TEntryResult::Failed, EACCES};
    if (folderWanted && (entry.Protected() || entry.MountPoint()))
        return {TEntryResult::Failed, EPERM};
    CallHook(entry);
    if (unlinkat(entry.ParentFd(), entry.Name(), folderWanted ? AT_REMOVEDIR : 0) == 0)
        return {TEntryResult::Deleted, 0};
    const int error = errno;
    if (error == ENOENT)
        return {TEntryResult::Missing, 0};
    // Changed its kind since it was examined: left alone.
    if (error == EISDIR || (folderWanted && error == ENOTDIR))
        return {TEntryResult::OtherKind, 0};
    return {TEntryResult::Failed, error};
}

} // namespace Platform
