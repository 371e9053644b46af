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
#include <utility>
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

// The listed count of a big folder is passed on every so many entries, so a window
// watching the walk sees it move while one folder takes long.
constexpr uint64_t ListedBatch = 1024;

constexpr size_t NoChild = static_cast<size_t>(-1);

// What became of a child folder of the start folder that was to be entered.
enum TChildState : uint8_t { ChildWaiting, ChildEntered, ChildOtherFileSystem };

class TTreeSum {
public:
    TTreeSum(const std::function<bool(const TDirEntry&)>& descend, uint32_t devMajor,
             uint32_t devMinor, const TWalkProgress* progress)
        : FDescend(descend), FDevMajor(devMajor), FDevMinor(devMinor), FProgress(progress) {}

    // The whole tree below rootFd (taken over). With enter, the start folder's entries go
    // to children, and enter picks the folders among them whose trees are totalled.
    void Run(int rootFd, const std::string& rootPath,
             const std::function<bool(const TDirEntry&)>* enter,
             std::vector<TChildTotal>* children) {
        FEnter = enter;
        FChildren = children;
        TTask root;
        root.Fd = rootFd;
        root.Path = rootPath;
        FStack.push_back(std::move(root));
        if (FProgress && FProgress->Tick)
            RunWatched();
        else
            Work(FBuffer);
        for (std::thread& t : FHelpers)
            t.join();
        if (FChildren) {
            for (size_t i = 0; i < FChildren->size(); ++i) {
                TChildTotal& c = (*FChildren)[i];
                c.TreeBytes = FChildBytes[i].load();
                const uint8_t state = FChildState[i].load();
                c.Entered = state == ChildEntered;
                c.OtherFileSystem = c.OtherFileSystem || state == ChildOtherFileSystem;
            }
        }
        if (FProgress && FProgress->Tick)
            FProgress->Tick(FListedBelow.load());
    }

    int64_t Bytes() const { return FBytes.load(); }
    uint64_t Unreadable() const { return FUnreadable.load(); }
    uint64_t Listed() const { return FListedRoot + FListedBelow.load(); }

private:
    struct TTask {
        std::shared_ptr<TOpenFolder> Parent; // null for the start folder, opened as Fd
        int Fd = -1;
        std::string Name;
        std::string Path;
        int Depth = 0;
        size_t Child = NoChild; // the child of the start folder whose tree this is
    };

    // The walk runs on helper threads; this thread reports how far it got.
    void RunWatched() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        {
            std::lock_guard lock(FMutex);
            StartHelpers(std::min(cores, 4u));
        }
        if (FHelpers.empty()) {
            Work(FBuffer); // no thread to be had: the walk runs here, unwatched
            return;
        }
        std::unique_lock lock(FMutex);
        while (!FWake.wait_for(lock, FProgress->Interval,
                               [&] { return FStack.empty() && FBusy == 0; })) {
            lock.unlock();
            FProgress->Tick(FListedBelow.load());
            lock.lock();
        }
    }

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
        if (!task.Parent) {
            Scan(task.Fd, task, buffer);
            return;
        }
        const int fd = OpenSubFolder(task.Parent->Fd, task.Name.c_str(), FDevMajor, FDevMinor);
        task.Parent.reset();
        const bool child = task.Child != NoChild && task.Depth == 1;
        if (fd < 0) {
            // Another file system is passed over as the listing would have done had it
            // looked at the folder; anything else could not be read.
            if (errno != EXDEV)
                ++FUnreadable;
            else if (child)
                FChildState[task.Child] = ChildOtherFileSystem;
            return;
        }
        if (child)
            FChildState[task.Child] = ChildEntered;
        Scan(fd, task, buffer);
    }

    // Lists one open folder (taking ownership of fd), adds its sizes and queues the
    // sub-folders to enter.
    void Scan(int fd, const TTask& task, std::vector<char>& buffer) {
        auto self = std::make_shared<TOpenFolder>(fd);
        const bool root = task.Fd >= 0; // only the start folder comes opened
        TDirReader reader(fd, buffer.data(), buffer.size());
        TDirReader::TRaw raw;
        std::vector<TTask> found;
        int64_t bytes = 0;
        uint64_t listed = 2; // "." and ".."
        TDirEntry e;
        e.DirPath = task.Path;
        e.Depth = task.Depth;
        while (reader.Next(raw)) {
            if (++listed % ListedBatch == 0 && !root)
                FListedBelow += std::exchange(listed, 0);
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
                e.Special = false;
            } else if (!Stat(fd, raw, e)) {
                continue;
            }
            bytes += e.Size;
            const bool childLevel = root && FChildren;
            const size_t child = childLevel ? Record(e) : task.Child;
            if (e.IsDirectory() && !e.OtherFileSystem && (childLevel ? (*FEnter)(e) : FDescend(e)))
                found.push_back(Task(self, raw.Name, task, child));
        }
        if (reader.Error() != 0)
            ++FUnreadable;
        if (root) {
            FListedRoot = listed;
            if (FChildren)
                MakeChildSlots();
        } else {
            FListedBelow += listed;
        }
        // The start folder's own entries are its children's sizes, not their trees'.
        if (!(root && FChildren)) {
            FBytes += bytes;
            if (task.Child != NoChild)
                FChildBytes[task.Child] += bytes;
        }
        if (found.empty())
            return;
        std::lock_guard lock(FMutex);
        for (TTask& t : found)
            FStack.push_back(std::move(t));
        if (FHelpers.empty() && FStack.size() >= StartHelpersAt && !(FProgress && FProgress->Tick))
            StartHelpers(std::min(std::max(1u, std::thread::hardware_concurrency()), 4u) - 1);
        FWake.notify_all();
    }

    // The details of an entry the listing does not show to be a folder.
    bool Stat(int fd, const TDirReader::TRaw& raw, TDirEntry& e) const {
        struct statx st;
        if (statx(fd, raw.Name.data(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, StatxMask, &st) != 0)
            return false;
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
        e.Special = IsSpecialMode(st.stx_mode);
        return true;
    }

    size_t Record(const TDirEntry& e) {
        TChildTotal& c = FChildren->emplace_back();
        c.Name.assign(e.Name);
        c.Attributes = e.Attributes;
        c.Size = e.Size;
        c.OtherFileSystem = e.OtherFileSystem;
        return FChildren->size() - 1;
    }

    void MakeChildSlots() {
        const size_t n = FChildren->size();
        FChildBytes = std::make_unique<std::atomic<int64_t>[]>(n);
        FChildState = std::make_unique<std::atomic<uint8_t>[]>(n);
        for (size_t i = 0; i < n; ++i) {
            FChildBytes[i] = 0;
            FChildState[i] = ChildWaiting;
        }
    }

    static TTask Task(const std::shared_ptr<TOpenFolder>& parent, std::string_view name,
                      const TTask& in, size_t child) {
        TTask t;
        t.Parent = parent;
        t.Name.assign(name);
        t.Path.reserve(in.Path.size() + name.size() + 1);
        t.Path = in.Path;
        if (in.Path.size() > 1 || in.Path.empty())
            t.Path += '/';
        t.Path += name;
        t.Depth = in.Depth + 1;
        t.Child = child;
        return t;
    }

    // Called with FMutex held.
    void StartHelpers(unsigned helpers) {
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
    const TWalkProgress* FProgress;
    const std::function<bool(const TDirEntry&)>* FEnter = nullptr;
    std::vector<TChildTotal>* FChildren = nullptr;
    std::unique_ptr<std::atomic<int64_t>[]> FChildBytes;
    std::unique_ptr<std::atomic<uint8_t>[]> FChildState;
    std::vector<char> FBuffer = std::vector<char>(64 * 1024);
    std::mutex FMutex;
    std::condition_variable FWake;
    std::vector<TTask> FStack;
    int FBusy = 0;
    std::vector<std::thread> FHelpers;
    std::atomic<int64_t> FBytes{0};
    std::atomic<uint64_t> FUnreadable{0};
    uint64_t FListedRoot = 0; // written by the one thread that lists the start folder
    std::atomic<uint64_t> FListedBelow{0};
};

// Opens the start of a tree total; -1 when it is no folder that can be opened.
int OpenStart(const fs::path& folder, std::string& path, struct statx& st) {
    path = folder.native();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 && statx(fd, "", AT_EMPTY_PATH, STATX_TYPE, &st) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

TTreeTotal SumTree(const fs::path& folder, const std::function<bool(const TDirEntry&)>& descend,
                   const TWalkProgress* progress) {
    std::string path;
    struct statx st;
    TTreeTotal total;
    const int fd = OpenStart(folder, path, st);
    if (fd < 0) {
        total.Unreadable = 1;
        return total;
    }
    TTreeSum sum(descend, st.stx_dev_major, st.stx_dev_minor, progress);
    sum.Run(fd, path, nullptr, nullptr);
    total.Opened = true;
    total.Bytes = sum.Bytes();
    total.Unreadable = sum.Unreadable();
    total.Listed = sum.Listed();
    return total;
}

TChildTotals SumChildren(const fs::path& folder, const std::function<bool(const TDirEntry&)>& enter,
                         const std::function<bool(const TDirEntry&)>& descend,
                         const TWalkProgress* progress) {
    std::string path;
    struct statx st;
    TChildTotals totals;
    const int fd = OpenStart(folder, path, st);
    if (fd < 0) {
        totals.Unreadable = 1;
        return totals;
    }
    TTreeSum sum(descend, st.stx_dev_major, st.stx_dev_minor, progress);
    sum.Run(fd, path, &enter, &totals.Children);
    totals.Opened = true;
    totals.Unreadable = sum.Unreadable();
    totals.Listed = sum.Listed();
    return totals;
}

} // namespace Platform
