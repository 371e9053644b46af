#include "platform/TreeDelete.h"
#include "platform/SystemInfo.h"
#include "platform/linux/StatxAttributes.h"
#include "platform/linux/TDirReader.h"

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

TDescendHook& DescendHook() {
    static TDescendHook hook;
    return hook;
}

bool SameFile(const struct statx& a, const struct stat& b) {
    return makedev(a.stx_dev_major, a.stx_dev_minor) == b.st_dev && a.stx_ino == b.st_ino;
}

bool SameFileAs(const struct statx& st, const fs::path& other) {
    struct stat o;
    return !other.empty() && stat(other.c_str(), &o) == 0 && SameFile(st, o);
}

// The root, the home folder and every folder that holds the home folder: deleting any
// of them would take the user's own files with it.
bool IsProtectedFolder(const struct statx& st) {
    if (SameFileAs(st, "/"))
        return true;
    std::vector<fs::path> homes{HomeFolder()};
    if (const struct passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        homes.emplace_back(pw->pw_dir);
    for (const fs::path& home : homes) {
        for (fs::path p = home; !p.empty(); p = p.parent_path()) {
            if (SameFileAs(st, p))
                return true;
            if (p == p.parent_path())
                break;
        }
    }
    return false;
}

// Empties and removes one folder tree below an open parent, from folder handles only.
class TTreeEraser {
public:
    // Removes the folder "name" of parentFd, already known (st) to be a real folder of
    // the parent's file system. True when it is gone.
    bool Erase(int parentFd, const std::string& parentPath, const char* name, const struct statx& st);

private:
    struct TLevel {
        int Fd = -1;
        TDirReader Reader;
        std::string Name;      // the name in the parent folder
        size_t ParentPathLen = 0;
        bool Removed = false;  // something went in this pass over the listing
        bool Seen = false;     // the pass found entries
    };

    bool Open(int parentFd, const char* name, const struct statx& st);
    void Entry(TLevel& level, const TDirReader::TRaw& raw);
    void RemoveFolder(TLevel& level, const char* name);

    std::vector<TLevel> FLevels;
    std::vector<std::vector<char>> FBuffers;
    std::string FPath;
    uint32_t FDevMajor = 0;
    uint32_t FDevMinor = 0;
    bool FFailed = false; // something stayed; the walk still removes all it can
};

// Opens a listed sub-folder without following a link and checks that what was opened is
// still the folder that was listed.
bool TTreeEraser::Open(int parentFd, const char* name, const struct statx& st) {
    if (DescendHook())
        DescendHook()(FPath, name);
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // Swapped for a link or a file since it was listed: remove that as it is.
        if ((errno == ELOOP || errno == ENOTDIR) && unlinkat(parentFd, name, 0) == 0) {
            if (!FLevels.empty())
                FLevels.back().Removed = true;
        } else {
            FFailed = true;
        }
        return false;
    }
    struct stat now;
    if (fstat(fd, &now) != 0 || !SameFile(st, now)) {
        close(fd);
        FFailed = true;
        return false;
    }
    const size_t depth = FLevels.size();
    if (FBuffers.size() <= depth)
        FBuffers.emplace_back(depth < 16 ? 32 * 1024 : 4 * 1024);
    TLevel level;
    level.Fd = fd;
    level.Reader = TDirReader(fd, FBuffers[depth].data(), FBuffers[depth].size());
    level.Name = name;
    level.ParentPathLen = FPath.size();
    FLevels.push_back(std::move(level));
    if (FPath.empty() || FPath.back() != '/')
        FPath += '/';
    FPath += name;
    return true;
}

void TTreeEraser::Entry(TLevel& level, const TDirReader::TRaw& raw) {
    level.Seen = true;
    const char* name = raw.Name.data();
    if (raw.Type != DT_DIR && raw.Type != DT_UNKNOWN) {
        if (unlinkat(level.Fd, name, 0) == 0) {
            level.Removed = true;
            return;
        }
        if (errno != EISDIR) {
            FFailed = true;
            return;
        }
    }
    struct statx st;
    if (statx(level.Fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO, &st) != 0) {
        FFailed = true;
        return;
    }
    if (!S_ISDIR(st.stx_mode)) {
        if (unlinkat(level.Fd, name, 0) == 0)
            level.Removed = true;
        else
            FFailed = true;
        return;
    }
    if (IsMountRoot(st, FDevMajor, FDevMinor)) {
        FFailed = true; // another file system stays as it is
        return;
    }
    Open(level.Fd, name, st);
}

void TTreeEraser::RemoveFolder(TLevel& parent, const char* name) {
    if (unlinkat(parent.Fd, name, AT_REMOVEDIR) == 0)
        parent.Removed = true;
    else
        FFailed = true;
}

bool TTreeEraser::Erase(int parentFd, const std::string& parentPath, const char* name,
                        const struct statx& st) {
    FPath = parentPath;
    FDevMajor = st.stx_dev_major;
    FDevMinor = st.stx_dev_minor;
    if (!Open(parentFd, name, st))
        return false;
    TDirReader::TRaw raw;
    while (!FLevels.empty()) {
        TLevel& level = FLevels.back();
        if (level.Reader.Next(raw)) {
            Entry(level, raw); // may push a level: 'level' is not used after this
            continue;
        }
        if (level.Reader.Error() != 0) {
            FFailed = true;
        } else if (level.Seen && level.Removed) {
            // Read the folder again: a listing changed while it is read may skip entries.
            level.Seen = level.Removed = false;
            level.Reader.Rewind();
            continue;
        }
        TLevel done = std::move(FLevels.back());
        FLevels.pop_back();
        close(done.Fd);
        FPath.resize(done.ParentPathLen);
        if (FLevels.empty())
            return unlinkat(parentFd, done.Name.c_str(), AT_REMOVEDIR) == 0;
        else {
            RemoveFolder(FLevels.back(), done.Name.c_str());
        }
    }
    return false;
}

} // namespace

void SetDeleteDescendHook(TDescendHook hook) { DescendHook() = std::move(hook); }

bool DeleteTree(const fs::path& path) {
    std::string text = path.native();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    if (text.empty() || text == "/")
        return false;
    const size_t slash = text.rfind('/');
    const std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    std::string parent = slash == std::string::npos ? "." : text.substr(0, slash);
    if (parent.empty())
        parent = "/";
    if (name == "." || name == "..")
        return false;

    const int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return false;
    bool gone = false;
    struct statx st;
    struct statx parentSt;
    if (statx(parentFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO, &st) == 0 &&
        statx(parentFd, "", AT_EMPTY_PATH, STATX_TYPE, &parentSt) == 0) {
        if (!S_ISDIR(st.stx_mode))
            gone = unlinkat(parentFd, name.c_str(), 0) == 0;
        else if (!IsProtectedFolder(st) && !IsMountRoot(st, parentSt.stx_dev_major, parentSt.stx_dev_minor))
            gone = TTreeEraser().Erase(parentFd, parent, name.c_str(), st);
    }
    close(parentFd);
    return gone;
}

} // namespace Platform
