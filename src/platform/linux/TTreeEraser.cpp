#include "platform/linux/TTreeEraser.h"

#include "platform/linux/OpenFolderAt.h"
#include "platform/linux/StatxAttributes.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr size_t ReadChunk = 32 * 1024;
// A folder whose listing outgrows this is read and emptied piece by piece and keeps its
// handle open meanwhile.
constexpr size_t ListingLimit = 256 * 1024;
constexpr unsigned StatMask =
    STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_MTIME | STATX_CTIME;

bool SameFolder(int fd, dev_t dev, ino_t ino) {
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == dev && st.st_ino == ino;
}

dev_t DeviceOf(const struct statx& st) {
    return makedev(st.stx_dev_major, st.stx_dev_minor);
}

TEntryKind KindOf(uint32_t mode) {
    if (S_ISREG(mode))
        return TEntryKind::File;
    if (S_ISDIR(mode))
        return TEntryKind::Folder;
    if (S_ISLNK(mode))
        return TEntryKind::Link;
    return TEntryKind::Other;
}

size_t HandleWindow() {
    struct rlimit lim;
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur == RLIM_INFINITY)
        return 256;
    return std::clamp<size_t>(lim.rlim_cur / 4, 8, 1024);
}

} // namespace

TTreeEraser::TTreeEraser(const TDeleteFilter& filter, std::string startText)
    : FFilter(filter), FStartText(std::move(startText)), FScratch(ReadChunk),
      FWindow(HandleWindow()) {}

TDeleteReport TTreeEraser::Empty(int fd, const struct stat& st) {
    FReport = TDeleteReport{};
    FReport.Opened = true;
    TLevel start;
    start.Fd = fd;
    start.Dev = st.st_dev;
    start.Ino = st.st_ino;
    start.Verdict = TDeleteVerdict::Empty;
    FLevels.push_back(std::move(start));
    FOpen = 1;
    Read(0);
    const char* name = nullptr;
    unsigned char type = DT_UNKNOWN;
    while (!FLevels.empty()) {
        const size_t level = FLevels.size() - 1;
        if (Next(level, name, type))
            Entry(level, name, type); // may enter a sub-folder
        else
            Leave(level);
    }
    return FReport;
}

// Reads the next part of a folder's listing: all of it for an ordinary folder.
void TTreeEraser::Read(size_t level) {
    TLevel& l = FLevels[level];
    l.Listing.clear();
    l.Pos = 0;
    while (!l.AtEnd && l.Listing.size() < ListingLimit) {
        const ssize_t n = getdents64(l.Fd, FScratch.data(), FScratch.size());
        if (n > 0) {
            l.Listing.insert(l.Listing.end(), FScratch.data(), FScratch.data() + n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n < 0)
                Failed(level, errno); // what the listing did not show stays
            l.AtEnd = true;
        }
    }
    if (l.AtEnd)
        l.Listing.shrink_to_fit();
}

bool TTreeEraser::Next(size_t level, const char*& name, unsigned char& type) {
    TLevel& l = FLevels[level];
    for (;;) {
        if (l.Pos >= l.Listing.size()) {
            if (l.AtEnd)
                return false;
            Read(level);
            continue;
        }
        const auto* d = reinterpret_cast<const struct dirent64*>(l.Listing.data() + l.Pos);
        l.Pos += d->d_reclen;
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        name = n;
        type = d->d_type;
        return true;
    }
}

void TTreeEraser::Entry(size_t level, const char* name, unsigned char type) {
    Hook(level, name);
    const int fd = FLevels[level].Fd;
    // Without a filter a non-folder goes at once: the listing's type is enough, and a
    // folder put in its place meanwhile is refused by the call itself.
    if (!FFilter && type != DT_DIR && type != DT_UNKNOWN) {
        if (unlinkat(fd, name, 0) == 0 || errno == ENOENT)
            return Removed(level);
        if (errno != EISDIR)
            return Failed(level, errno);
    }
    struct statx st;
    if (!Restat(level, name, st))
        return;
    Act(level, name, st, true);
}

// Examines an entry again; false when it is gone (counted) or cannot be examined.
bool TTreeEraser::Restat(size_t level, const char* name, struct statx& st) {
    if (statx(FLevels[level].Fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatMask, &st) == 0)
        return true;
    if (errno == ENOENT)
        Removed(level);
    else
        Failed(level, errno);
    return false;
}

TDeleteVerdict TTreeEraser::Judge(size_t level, const char* name, const struct statx& st) const {
    if (!FFilter)
        return TDeleteVerdict::Delete;
    TDeleteCandidate c;
    c.Name = name;
    c.Depth = static_cast<int>(level);
    c.Kind = KindOf(st.stx_mode);
    c.ReadOnly = S_ISREG(st.stx_mode) && !(st.stx_mode & S_IWUSR);
    c.Mode = st.stx_mode;
    c.Owner = st.stx_uid;
    c.Id = {DeviceOf(st), st.stx_ino};
    c.ChangedUnix = std::max(st.stx_mtime.tv_sec, st.stx_ctime.tv_sec);
    return FFilter(c);
}

// Acts on an examined entry. again: whether a change of kind since it was examined may
// be met by examining it once more.
void TTreeEraser::Act(size_t level, const char* name, const struct statx& st, bool again) {
    const TDeleteVerdict verdict = Judge(level, name, st);
    if (verdict == TDeleteVerdict::Keep ||
        (verdict == TDeleteVerdict::Empty && !S_ISDIR(st.stx_mode)))
        return KeptIn(level);
    if (S_ISDIR(st.stx_mode))
        return Enter(level, name, st, verdict, again);
    if (unlinkat(FLevels[level].Fd, name, 0) == 0 || errno == ENOENT)
        return Removed(level);
    struct statx now;
    if (errno == EISDIR && again && Restat(level, name, now))
        return Act(level, name, now, false);
    Failed(level, errno);
}

void TTreeEraser::Enter(size_t level, const char* name, const struct statx& st,
                        TDeleteVerdict verdict, bool again) {
    const dev_t parentDev = FLevels[level].Dev;
    if (IsMountRoot(st, major(parentDev), minor(parentDev)))
        return Failed(level, EXDEV); // another file system stays as it is
    const int fd = OpenSub(level, name);
    if (fd < 0) {
        const int error = errno;
        struct statx now;
        // Swapped for a link or a file since it was examined: that is judged as it is.
        if ((error == ELOOP || error == ENOTDIR) && again) {
            if (Restat(level, name, now))
                Act(level, name, now, false);
            return;
        }
        // A folder that may not be read can still go when it is empty.
        if ((error == EACCES || error == EPERM) && verdict == TDeleteVerdict::Delete &&
            unlinkat(FLevels[level].Fd, name, AT_REMOVEDIR) == 0)
            return Removed(level);
        return error == ENOENT ? Removed(level) : Failed(level, error);
    }
    if (!SameFolder(fd, DeviceOf(st), st.stx_ino)) {
        close(fd);
        return Failed(level, EAGAIN); // another folder took its place: it is not ours to empty
    }
    TLevel sub;
    sub.Fd = fd;
    sub.Dev = DeviceOf(st);
    sub.Ino = st.stx_ino;
    sub.Name = name;
    sub.Verdict = verdict;
    FLevels.push_back(std::move(sub));
    ++FOpen;
    Read(FLevels.size() - 1);
    if (FOpen > FWindow)
        GiveUpAHandle();
}

int TTreeEraser::OpenSub(size_t level, const char* name) {
    int fd = OpenFolderAt(FLevels[level].Fd, name, true);
    while (fd < 0 && (errno == EMFILE || errno == ENFILE) && GiveUpAHandle())
        fd = OpenFolderAt(FLevels[level].Fd, name, true);
    return fd;
}

// Closes the handle of the highest folder that has been read to its end and is not the
// one being worked on. False when there is none.
bool TTreeEraser::GiveUpAHandle() {
    for (size_t i = std::max<size_t>(FLowestOpen, 1); i + 1 < FLevels.size(); ++i) {
        TLevel& l = FLevels[i];
        if (l.Fd >= 0 && l.AtEnd) {
            close(l.Fd);
            l.Fd = -1;
            --FOpen;
            FLowestOpen = i + 1;
            return true;
        }
    }
    return false;
}

// Gets the handle of a parent back: through the child's "..", which must be the folder
// it was, else down from the nearest folder above that still has its handle.
void TTreeEraser::Reopen(size_t parent, size_t child) {
    TLevel& p = FLevels[parent];
    int fd = -1;
    if (FLevels[child].Fd >= 0) {
        fd = openat(FLevels[child].Fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && !SameFolder(fd, p.Dev, p.Ino)) {
            close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        fd = ReopenFromAbove(parent);
    if (fd < 0) {
        // Out of reach: what it still holds stays, and so does everything above it.
        p.Pos = p.Listing.size();
        p.AtEnd = true;
        return Failed(parent, errno ? errno : EAGAIN);
    }
    p.Fd = fd;
    ++FOpen;
    FLowestOpen = std::min(FLowestOpen, parent);
}

int TTreeEraser::ReopenFromAbove(size_t level) {
    size_t from = level;
    while (from > 0 && FLevels[from].Fd < 0)
        --from;
    if (FLevels[from].Fd < 0)
        return -1;
    int fd = FLevels[from].Fd;
    for (size_t i = from + 1; i <= level; ++i) {
        const int next = OpenFolderAt(fd, FLevels[i].Name.c_str(), true);
        if (fd != FLevels[from].Fd)
            close(fd);
        if (next < 0)
            return -1;
        if (!SameFolder(next, FLevels[i].Dev, FLevels[i].Ino)) {
            close(next);
            errno = EAGAIN;
            return -1;
        }
        fd = next;
    }
    return fd;
}

// A folder's listing is done: it goes when all in it went and the filter let it go.
void TTreeEraser::Leave(size_t level) {
    if (level == 0) {
        close(FLevels[0].Fd);
        FLevels.pop_back();
        return;
    }
    const size_t parent = level - 1;
    if (FLevels[parent].Fd < 0)
        Reopen(parent, level);
    TLevel done = std::move(FLevels[level]);
    FLevels.pop_back();
    if (done.Fd >= 0) {
        close(done.Fd);
        --FOpen;
    }
    FLowestOpen = std::min(FLowestOpen, FLevels.size());
    const int parentFd = FLevels[parent].Fd;
    if (done.Failed || parentFd < 0)
        return Failed(parent, 0);
    if (done.Kept || done.Verdict != TDeleteVerdict::Delete)
        return KeptIn(parent);
    // ENOTEMPTY here means entries appeared while the folder was being emptied: it is
    // not read again, and it stays as a failure.
    if (unlinkat(parentFd, done.Name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT)
        return Removed(parent);
    Failed(parent, errno);
}

void TTreeEraser::Hook(size_t level, const char* name) const {
    const TDescendHook& hook = CurrentDeleteHook();
    if (!hook)
        return;
    std::string folder = FStartText;
    for (size_t i = 1; i <= level; ++i)
        folder += "/" + FLevels[i].Name;
    hook(folder, name);
}

void TTreeEraser::Removed(size_t level) {
    if (level == 0)
        ++FReport.Removed;
}

void TTreeEraser::KeptIn(size_t level) {
    FLevels[level].Kept = true;
    if (level == 0)
        ++FReport.Kept;
}

void TTreeEraser::Failed(size_t level, int error) {
    FLevels[level].Failed = true;
    if (FReport.Error == 0)
        FReport.Error = error;
    if (level == 0)
        ++FReport.Failed;
}

} // namespace Platform
