#include "platform/TDirWalker.h"
#include "platform/TFunctionVisitor.h"
#include "platform/TSavedEntry.h"
#include "platform/linux/StatxAttributes.h"
#include "platform/linux/TDirReader.h"

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

// Shallow levels get big buffers (wide folders are common there); deep chains of
// folders usually hold a few entries each, so they get small ones.
constexpr size_t BigBuffer = 64 * 1024;
constexpr size_t SmallBuffer = 4 * 1024;
constexpr size_t BigLevels = 32;

void AppendName(std::string& path, std::string_view name) {
    if (path.empty() || path.back() != '/')
        path += '/';
    path.append(name);
}

} // namespace

class TDirWalker::TImpl {
public:
    TWalkResult Walk(const fs::path& folder, IDirVisitor& visitor, const TWalkOptions& options);

private:
    struct TLevel {
        int Fd = -1;
        TDirReader Reader;
        size_t ParentPathLen = 0; // length of FPath for the folder holding this one
        TSavedEntry Self;         // this folder's own entry (empty name for the start)
    };

    bool Enter(int fd, size_t parentPathLen, const TDirEntry* self);
    void Leave(IDirVisitor& visitor, bool report);
    bool FillEntry(int dirFd, const TDirReader::TRaw& raw, TDirEntry& e, bool details);
    void Descend(const TDirEntry& e, int dirFd, IDirVisitor& visitor, TWalkResult& result);

    std::vector<TLevel> FLevels;
    std::vector<std::vector<char>> FBuffers; // one per depth, kept between walks
    std::string FPath;                       // the folder being listed
    uint32_t FDevMajor = 0;
    uint32_t FDevMinor = 0;
};

bool TDirWalker::TImpl::Enter(int fd, size_t parentPathLen, const TDirEntry* self) {
    const size_t depth = FLevels.size();
    if (FBuffers.size() <= depth)
        FBuffers.emplace_back(depth < BigLevels ? BigBuffer : SmallBuffer);
    TLevel level;
    level.Fd = fd;
    level.Reader = TDirReader(fd, FBuffers[depth].data(), FBuffers[depth].size());
    level.ParentPathLen = parentPathLen;
    if (self)
        level.Self.Save(*self);
    FLevels.push_back(std::move(level));
    return true;
}

// Closes the innermost folder and, for a folder that was entered from a listing,
// tells the visitor that its entries are done.
void TDirWalker::TImpl::Leave(IDirVisitor& visitor, bool report) {
    TLevel level = std::move(FLevels.back());
    FLevels.pop_back();
    close(level.Fd);
    FPath.resize(level.ParentPathLen);
    if (report && !FLevels.empty())
        visitor.OnLeave(level.Self.View(FPath));
}

bool TDirWalker::TImpl::FillEntry(int dirFd, const TDirReader::TRaw& raw, TDirEntry& e,
                                  bool details) {
    e.Name = raw.Name;
    e.DirPath = FPath;
    e.Depth = static_cast<int>(FLevels.size()) - 1;
    e.OtherFileSystem = false;
    const char* name = raw.Name.data(); // NUL-terminated in the listing buffer
    if (!details && raw.Type != DT_UNKNOWN) {
        e.HasDetails = false;
        e.Attributes = AttributesOfType(raw.Name, raw.Type);
        e.Special = IsSpecialType(raw.Type);
        e.Size = 0;
        e.Created = e.LastWrite = TFileTime{};
        return true;
    }
    struct statx st;
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatxMask, &st) != 0)
        return false; // gone since the listing, or unreadable: passed over
    bool linkToFolder = false;
    if (S_ISLNK(st.stx_mode)) {
        struct stat target;
        linkToFolder = fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    }
    e.HasDetails = true;
    e.Attributes = AttributesOf(raw.Name, st, linkToFolder);
    e.Special = IsSpecialMode(st.stx_mode);
    e.Size = S_ISDIR(st.stx_mode) ? 0 : static_cast<int64_t>(st.stx_size);
    e.Created = CreatedOf(st);
    e.LastWrite = ToFileTime(st.stx_mtime);
    e.OtherFileSystem = S_ISDIR(st.stx_mode) && IsMountRoot(st, FDevMajor, FDevMinor);
    return true;
}

void TDirWalker::TImpl::Descend(const TDirEntry& e, int dirFd, IDirVisitor& visitor,
                                TWalkResult& result) {
    const int fd = openat(dirFd, e.Name.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const size_t parentLen = FPath.size();
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        // The folder may have been swapped since it was listed; what was opened must be
        // a folder of our file system and not a mount root.
        struct statx st;
        if (statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_INO, &st) != 0)
            error = errno;
        else if (IsMountRoot(st, FDevMajor, FDevMinor))
            error = EXDEV;
    }
    if (error != 0) {
        if (fd >= 0)
            close(fd);
        ++result.Unreadable;
        visitor.OnUnreadable(e, error);
        visitor.OnLeave(e);
        return;
    }
    Enter(fd, parentLen, &e);
    AppendName(FPath, e.Name);
}

TWalkResult TDirWalker::TImpl::Walk(const fs::path& folder, IDirVisitor& visitor,
                                    const TWalkOptions& options) {
    TWalkResult result;
    FLevels.clear();
    FPath = folder.native();
    while (FPath.size() > 1 && FPath.back() == '/')
        FPath.pop_back();

    TDirEntry start;
    start.DirPath = FPath;
    const int flags =
        O_RDONLY | O_DIRECTORY | O_CLOEXEC | (options.FollowStartLink ? 0 : O_NOFOLLOW);
    const int rootFd = FPath.empty() ? -1 : open(FPath.c_str(), flags);
    struct statx rootSt;
    if (rootFd < 0 || statx(rootFd, "", AT_EMPTY_PATH, STATX_TYPE, &rootSt) != 0) {
        const int error = FPath.empty() ? ENOENT : errno;
        if (rootFd >= 0)
            close(rootFd);
        ++result.Unreadable;
        visitor.OnUnreadable(start, error);
        return result;
    }
    result.Opened = true;
    FDevMajor = rootSt.stx_dev_major;
    FDevMinor = rootSt.stx_dev_minor;
    Enter(rootFd, FPath.size(), nullptr);

    TDirEntry e;
    TDirReader::TRaw raw;
    while (!FLevels.empty()) {
        const int fd = FLevels.back().Fd;
        TDirReader& reader = FLevels.back().Reader;
        bool descended = false;
        while (!descended && reader.Next(raw)) {
            if (!FillEntry(fd, raw, e, options.Details))
                continue;
            const TVisit visit = visitor.OnEntry(e);
            if (visit == TVisit::Stop) {
                result.Stopped = true;
                while (!FLevels.empty())
                    Leave(visitor, true);
                return result;
            }
            if (visit == TVisit::Descend && e.IsDirectory() && !e.OtherFileSystem) {
                Descend(e, fd, visitor, result);
                descended = FLevels.back().Fd != fd;
            }
        }
        if (descended)
            continue;
        if (const int error = FLevels.back().Reader.Error(); error != 0) {
            ++result.Unreadable;
            visitor.OnUnreadable(FLevels.back().Self.View(FPath), error);
        }
        Leave(visitor, true);
    }
    return result;
}

TDirWalker::TDirWalker() : FImpl(std::make_unique<TImpl>()) {}
TDirWalker::~TDirWalker() = default;

TWalkResult TDirWalker::Walk(const fs::path& folder, IDirVisitor& visitor,
                             const TWalkOptions& options) {
    return FImpl->Walk(folder, visitor, options);
}

TWalkResult TDirWalker::Walk(const fs::path& folder,
                             const std::function<TVisit(const TDirEntry&)>& onEntry,
                             const TWalkOptions& options) {
    TFunctionVisitor visitor(onEntry);
    return FImpl->Walk(folder, visitor, options);
}

fs::path TDirEntry::Path() const {
    std::string p(DirPath);
    AppendName(p, Name);
    return fs::path(std::move(p));
}

std::optional<TEntryInfo> QueryEntry(const fs::path& path) {
    struct statx st;
    if (path.empty() || statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                              StatxMask | STATX_ATIME, &st) != 0)
        return std::nullopt;
    bool linkToFolder = false;
    if (S_ISLNK(st.stx_mode)) {
        struct stat target;
        linkToFolder = stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    }
    TEntryInfo info;
    info.Attributes = AttributesOf(path.filename().native(), st, linkToFolder);
    info.Size = S_ISDIR(st.stx_mode) ? 0 : static_cast<int64_t>(st.stx_size);
    info.Special = IsSpecialMode(st.stx_mode);
    info.Created = CreatedOf(st);
    info.LastWrite = ToFileTime(st.stx_mtime);
    info.LastAccess = ToFileTime(st.stx_atime);
    return info;
}

bool IsFolder(const fs::path& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace Platform
