#include "platform/linux/TStartEntry.h"

#include "platform/DeleteHooks.h"
#include "platform/linux/OpenFolderAt.h"
#include "platform/linux/StatxAttributes.h"
#include "platform/linux/TProtectedFolders.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

TStartEntry::TStartEntry(const fs::path& path, TParentFolder* parents) {
    std::string text = path.native();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    if (text.empty() || text == "/")
        return; // refused, not failed
    const size_t slash = text.rfind('/');
    FName = slash == std::string::npos ? text : text.substr(slash + 1);
    FParent = slash == std::string::npos ? "." : text.substr(0, slash);
    if (FParent.empty())
        FParent = "/";
    if (FName == "." || FName == "..")
        return;
    FText = text;
    FParentFd = (parents ? *parents : FOwnParents).Open(FParent);
    if (FParentFd < 0)
        FError = errno;
}

bool TStartEntry::Examine() {
    if (FParentFd < 0)
        return false;
    if (statx(FParentFd, FName.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO, &FStat) != 0) {
        FError = errno;
        return false;
    }
    return true;
}

bool TStartEntry::Protected() const {
    const TProtectedFolders protectedFolders = TProtectedFolders::ForUser();
    return protectedFolders.HoldsIdentity(makedev(FStat.stx_dev_major, FStat.stx_dev_minor),
                                          FStat.stx_ino) ||
           protectedFolders.HoldsText(FText);
}

bool TStartEntry::MountPoint() const {
    struct stat parent;
    if (fstat(FParentFd, &parent) != 0)
        return true;
    return IsMountRoot(FStat, major(parent.st_dev), minor(parent.st_dev));
}

int TStartEntry::Open(bool sameFileSystem, struct stat& st) const {
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

void TStartEntry::CallHook() const {
    if (const TDescendHook& hook = CurrentDeleteHook())
        hook(FParent, FName);
}

TEntryOutcome TStartEntry::Delete(TEntryWanted wanted) {
    if (FParentFd < 0) {
        if (FError == ENOENT || FError == ENOTDIR)
            return {TEntryResult::Missing, 0};
        return {TEntryResult::Failed, FError != 0 ? FError : EINVAL}; // "", "/", "." or ".."
    }
    const bool folderWanted = wanted == TEntryWanted::EmptyFolder;
    // Only a folder or a file that must stay when read-only needs a look first: unlinking
    // without AT_REMOVEDIR never removes a folder, so a plain entry goes at once.
    if (wanted != TEntryWanted::NotFolder) {
        if (!Examine())
            return FError == ENOENT ? TEntryOutcome{TEntryResult::Missing, 0}
                                    : TEntryOutcome{TEntryResult::Failed, FError};
        if (IsFolder() != folderWanted)
            return {TEntryResult::OtherKind, 0};
        const uint32_t mode = FStat.stx_mode;
        if (wanted == TEntryWanted::WritableNotFolder && S_ISREG(mode) && !(mode & S_IWUSR))
            return {TEntryResult::Failed, EACCES};
        if (folderWanted && (Protected() || MountPoint()))
            return {TEntryResult::Failed, EPERM};
    }
    CallHook();
    if (unlinkat(FParentFd, FName.c_str(), folderWanted ? AT_REMOVEDIR : 0) == 0)
        return {TEntryResult::Deleted, 0};
    const int error = errno;
    if (error == ENOENT)
        return {TEntryResult::Missing, 0};
    // A folder, or changed its kind since it was examined: left alone.
    if (error == EISDIR || (folderWanted && error == ENOTDIR))
        return {TEntryResult::OtherKind, 0};
    return {TEntryResult::Failed, error};
}

} // namespace Platform
