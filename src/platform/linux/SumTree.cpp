// Tree totals on several threads. Summing sizes needs no order, and one thread spends
// most of its time waiting in stat calls, so a second thread nearly halves a big walk.
#include "platform/TDirWalker.h"
#include "platform/linux/StatxAttributes.h"
#include "platform/linux/TDirReader.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {
namespace {

// An open folder shared by the tasks of its sub-folders; closed when the last is opened.
struct TOpenFolder {
    int Fd;
    explicit TOpenFolder(int fd) : Fd(fd) {}
    ~TOpenFolder() { close(Fd); }
    TOpenFolder(const TOpenFolder&) = delete;
    TOpenFolder& operator=(const TOpenFolder&) = delete;
};

struct TTask {
    std::shared_ptr<TOpenFolder> Parent; // null for the start folder
    std::string Name;
    std::string Path;
    int Depth = 0;
};

// Set once openat2 turned out to be missing (old kernel) or refused (a sandbox's filter).
std::atomic<bool> NoOpenat2{false};

// Opens a listed sub-folder to walk it: never through a link (one swapped in since the
// listing included) and never onto another mount, bind mounts on the same device
// included. openat2 refuses both by itself, which spares a statx per folder; without it
// the opened folder is checked with statx. -1 when it is not to be walked: errno is
// EXDEV for another file system, else the reason it could not be opened.
int OpenSubFolder(int parentFd, const char* name, uint32_t devMajor, uint32_t devMinor) {
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    if (!NoOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how {};
        how.flags = flags;
        how.resolve = RESOLVE_NO_XDEV | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const long fd = syscall(SYS_openat2, parentFd, name, &how, sizeof how);
        if (fd >= 0)
            return static_cast<int>(fd);
        if (errno != ENOSYS && errno != EPERM)
            return -1;
        NoOpenat2.store(true, std::memory_order_relaxed);
    }
    const int fd = openat(parentFd, name, flags);
    if (fd < 0)
        return -1;
    struct statx st;
    int error = 0;
    if (statx(fd, "", AT_EMPTY_PATH, STATX_TYPE, &st) != 0)
        error = errno;
    else if (IsMountRoot(st, devMajor, devMinor))
        error = EXDEV;
    if (error == 0)
        return fd;
    close(fd);
    errno = error;
    return -1;
}

// Helpers start only once this many folders wait, so small trees cost no thread.
constexpr size_t StartHelpersAt = 16;

class TTreeSum {
public:
    TTreeSum(const std::function<bool(const TDirEntry&)>& descend, uint32_t devMajor, uint32_t devMinor)
        : FDescend(descend), FDevMajor(devMajor), FDevMinor(devMinor) {}

    TTreeTotal Run(int rootFd, const std::string& rootPath) {
        Scan(rootFd, rootPath, 0, FBuffer);
        Work(FBuffer);
        for (std::thread& t : FHelpers)
            t.join();
        TTreeTotal total;
        total.Opened = true;
        total.Bytes = FBytes.load();
        total.Unreadable = FUnreadable.load();
        return total;
    }

private:
    void Work(std::vector<char>& buffer) {
        for (;;) {
            TTask task;
            {
                std::unique_lock lock(FMutex);
                FWake.wait(lock, [&] { return !FStack.empty() || FBusy == 0; });
                if (FStack.empty())
                    return; // nothing waits and nobody can add more
                task = std::move(FStack.back());
                FStack.pop_back();
                ++FBusy;
            }
            Open(task, buffer);
            {
                std::lock_guard lock(FMutex);
                --FBusy;
                if (FBusy == 0 && FStack.empty())
                    FWake.notify_all();
            }
        }
    }

    void Open(TTask& task, std::vector<char>& buffer) {
        const int fd = OpenSubFolder(task.Parent->Fd, task.Name.c_str(), FDevMajor, FDevMinor);
        task.Parent.reset();
        if (fd < 0) {
            // Another file system is passed over as the listing would have done had it
            // looked at the folder; anything else could not be read.
            if (errno != EXDEV)
                ++FUnreadable;
            return;
        }
        Scan(fd, task.Path, task.Depth, buffer);
    }

    // Lists one open folder (taking ownership of fd), adds its sizes and queues the
    // sub-folders to enter.
    void Scan(int fd, const std::string& path, int depth, std::vector<char>& buffer) {
        auto self = std::make_shared<TOpenFolder>(fd);
        TDirReader reader(fd, buffer.data(), buffer.size());
        TDirReader::TRaw raw;
        std::vector<TTask> found;
        int64_t bytes = 0;
        TDirEntry e;
        e.DirPath = path;
        e.Depth = depth;
        while (reader.Next(raw)) {
            e.Name = raw.Name;
            if (raw.Type == DT_DIR) {
                // A folder adds no bytes of its own and the listing already tells all
                // that descend looks at, so it costs no statx; whether it lies on
                // another file system is found when it is opened.
                e.Attributes = AttributesOfType(raw.Name, raw.Type);
                e.Size = 0;
                e.Created = e.LastWrite = TFileTime{};
                e.HasDetails = false;
                e.OtherFileSystem = false;
                if (FDescend(e))
                    found.push_back(Task(self, raw.Name, path, depth));
                continue;
            }
            struct statx st;
            if (statx(fd, raw.Name.data(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatxMask, &st) != 0)
                continue;
            bool linkToFolder = false;
            if (S_ISLNK(st.stx_mode)) {
                struct stat target;
                linkToFolder = fstatat(fd, raw.Name.data(), &target, 0) == 0 && S_ISDIR(target.st_mode);
            }
            e.Attributes = AttributesOf(raw.Name, st, linkToFolder);
            e.Size = S_ISDIR(st.stx_mode) ? 0 : static_cast<int64_t>(st.stx_size);
            e.Created = CreatedOf(st);
            e.LastWrite = ToFileTime(st.stx_mtime);
            e.HasDetails = true;
            e.OtherFileSystem = S_ISDIR(st.stx_mode) && IsMountRoot(st, FDevMajor, FDevMinor);
            bytes += e.Size;
            if (e.IsDirectory() && !e.OtherFileSystem && FDescend(e))
                found.push_back(Task(self, raw.Name, path, depth));
        }
        if (reader.Error() != 0)
            ++FUnreadable;
        FBytes += bytes;
        if (found.empty())
            return;
        std::lock_guard lock(FMutex);
        for (TTask& t : found)
            FStack.push_back(std::move(t));
        if (FHelpers.empty() && FStack.size() >= StartHelpersAt)
            StartHelpers();
        FWake.notify_all();
    }

    static TTask Task(const std::shared_ptr<TOpenFolder>& parent, std::string_view name,
                      const std::string& path, int depth) {
        TTask t;
        t.Parent = parent;
        t.Name.assign(name);
        t.Path.reserve(path.size() + name.size() + 1);
        t.Path = path;
        if (path.size() > 1 || path.empty())
            t.Path += '/';
        t.Path += name;
        t.Depth = depth + 1;
        return t;
    }

    void StartHelpers() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const unsigned helpers = std::min(cores, 4u) - 1;
        try {
            for (unsigned i = 0; i < helpers; ++i) {
                FHelpers.emplace_back([this] {
                    std::vector<char> buffer(64 * 1024);
                    Work(buffer);
                });
            }
        } catch (const std::system_error&) {
            // No thread to be had: the threads already running finish the walk.
        }
    }

    const std::function<bool(const TDirEntry&)>& FDescend;
    const uint32_t FDevMajor;
    const uint32_t FDevMinor;
    std::vector<char> FBuffer = std::vector<char>(64 * 1024);
    std::mutex FMutex;
    std::condition_variable FWake;
    std::vector<TTask> FStack;
    int FBusy = 0;
    std::vector<std::thread> FHelpers;
    std::atomic<int64_t> FBytes{0};
    std::atomic<uint64_t> FUnreadable{0};
};

} // namespace

TTreeTotal SumTree(const fs::path& folder, const std::function<bool(const TDirEntry&)>& descend) {
    std::string path = folder.native();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct statx st;
    if (fd < 0 || statx(fd, "", AT_EMPTY_PATH, STATX_TYPE, &st) != 0) {
        if (fd >= 0)
            close(fd);
        TTreeTotal none;
        none.Unreadable = 1;
        return none;
    }
    TTreeSum sum(descend, st.stx_dev_major, st.stx_dev_minor);
    return sum.Run(fd, path);
}

} // namespace Platform
