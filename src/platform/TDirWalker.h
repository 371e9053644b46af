#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// Attribute bits of a directory entry. The Windows values are kept so that rules written
// against them ("exactly a directory") read the same on every system. On Linux:
//   Directory  a real folder;
//   Hidden     the name begins with ".";
//   ReadOnly   a non-folder the owner cannot write;
//   ReparsePoint a symbolic link, plus Directory when it points to a folder;
//   Archive    a regular file;
//   System     a socket, FIFO or device node.
namespace Attr {
inline constexpr uint32_t ReadOnly = 0x1;
inline constexpr uint32_t Hidden = 0x2;
inline constexpr uint32_t System = 0x4;
inline constexpr uint32_t Directory = 0x10;
inline constexpr uint32_t Archive = 0x20;
inline constexpr uint32_t ReparsePoint = 0x400;
} // namespace Attr

// One entry as the walker reports it. The views are valid only during the callback;
// copy what must outlive it.
struct TDirEntry {
    std::string_view Name;    // the file system's bytes, never "." or ".."
    std::string_view DirPath; // the folder holding the entry, as given plus the names walked
    uint32_t Attributes = 0;  // Attr bits
    // Bytes of a file; the length of a link's own target text for a link; 0 for a folder.
    int64_t Size = 0;
    // Creation: the birth time where the file system keeps it, else the change time.
    TFileTime Created;
    TFileTime LastWrite;
    // 0 for the entries of the start folder, 1 for their children, and so on.
    int Depth = 0;
    // False in a names-only walk (TWalkOptions::Details off): then Attributes holds only
    // what the listing knows (Directory, Archive, ReparsePoint without the target's
    // kind, Hidden, System) and Size and the times are 0.
    bool HasDetails = true;
    // A folder that is the root of another mounted file system. It is reported but never
    // entered.
    bool OtherFileSystem = false;
    // A FIFO, socket or device node: it holds no data of its own, so it is never an
    // empty file (Linux; such entries are not listed on Windows).
    bool Special = false;

    bool IsDirectory() const {
        return (Attributes & (Attr::Directory | Attr::ReparsePoint)) == Attr::Directory;
    }
    bool IsLink() const { return (Attributes & Attr::ReparsePoint) != 0; }
    // DirPath joined with Name by one separator.
    std::filesystem::path Path() const;
};

// What the visitor wants after seeing an entry.
enum class TVisit {
    Continue, // go on with the next entry; a folder is not entered
    Descend,  // enter this folder (ignored for anything but a real folder on the same file system)
    Stop,     // end the whole walk now; OnLeave is still called for the folders open
};

class IDirVisitor {
public:
    virtual ~IDirVisitor() = default;
    // Called once per entry, in the order the file system lists them.
    virtual TVisit OnEntry(const TDirEntry& entry) = 0;
    // Follows every Descend the walker honoured: after the folder's entries have all been
    // reported, when the walk stopped inside it, or right after OnUnreadable when it could
    // not be opened. The argument is that folder's own entry as OnEntry saw it. Size
    // totals per folder are built here.
    virtual void OnLeave(const TDirEntry& folder) { (void)folder; }
    // A folder that was to be entered (the start folder included, then with an empty
    // name) could not be opened or read to its end. error is the system's code. The walk
    // goes on with the next entry.
    virtual void OnUnreadable(const TDirEntry& folder, int error) {
        (void)folder;
        (void)error;
    }
};

struct TWalkOptions {
    // Read each entry's size, times and full attributes (one stat per entry). Off for a
    // fast listing of names, where details are fetched later with QueryEntry.
    bool Details = true;
    // The start path may itself be a symbolic link to a folder (a user's chosen folder
    // often is). Links below the start are never followed either way.
    bool FollowStartLink = true;
};

struct TWalkResult {
    bool Opened = false;     // the start folder existed as a folder and was opened
    bool Stopped = false;    // a visitor returned Stop
    uint64_t Unreadable = 0; // folders passed over because they could not be read
};

// The program's one directory walker. It works from open folder handles, one per depth
// level, so a folder swapped for a link while the walk runs is not followed and the
// depth is not limited by the length of the path. It never follows a symbolic link below
// the start folder and never enters another mounted file system; it passes over what it
// cannot read and reports it to OnUnreadable. Paths are kept as the file system's bytes.
//
// The walk is depth first: when the visitor answers Descend, the folder's entries are
// reported next (Depth + 1), then OnLeave, then the walk continues with the parent's
// next entry. It does not recurse on the C++ stack.
//
// A walker object keeps its buffers between walks; reuse one for many small walks.
// It is not thread-safe; use one walker per thread.
class TDirWalker {
public:
    TDirWalker();
    ~TDirWalker();
    TDirWalker(const TDirWalker&) = delete;
    TDirWalker& operator=(const TDirWalker&) = delete;

    TWalkResult Walk(const std::filesystem::path& folder, IDirVisitor& visitor,
                     const TWalkOptions& options = {});

    // The same with a function for OnEntry (OnLeave and OnUnreadable do nothing).
    TWalkResult Walk(const std::filesystem::path& folder,
                     const std::function<TVisit(const TDirEntry&)>& onEntry,
                     const TWalkOptions& options = {});

    class TImpl;

private:
    std::unique_ptr<TImpl> FImpl;
};

// The byte total of a tree: the Size of every entry reported, entering the folders for
// which descend(entry) is true. The same rules as TDirWalker::Walk (no links followed,
// one file system, folders swapped for links not entered, unreadable folders passed
// over), but the order of entries is not defined: big trees are walked by several
// threads at once. descend is called from those threads and must only look at its
// argument: its Name, Attributes and Depth. A folder may come without its times
// (HasDetails false) when the listing alone shows it is a folder. A small tree is walked
// on the calling thread alone.
struct TTreeTotal {
    bool Opened = false; // the start folder existed as a folder and was opened
    int64_t Bytes = 0;
    uint64_t Unreadable = 0; // folders that could not be read (another file system is no fault)
    // Entries listed in every folder read, the start folder included, each folder's "."
    // and ".." counted as a listing returns them.
    uint64_t Listed = 0;
};

// Live news of a tree total for a window that shows activity while the walk runs. When
// one is given, the walk runs on threads of its own and the calling thread only waits
// and calls Tick: at most once per Interval, and once more at the end with the final
// figure. listed counts as TTreeTotal::Listed does, but only the folders below the
// start folder (the start folder's own entries are the caller's to count).
struct TWalkProgress {
    std::function<void(uint64_t listed)> Tick;
    std::chrono::milliseconds Interval{10};
};

TTreeTotal SumTree(const std::filesystem::path& folder,
                   const std::function<bool(const TDirEntry& entry)>& descend,
                   const TWalkProgress* progress = nullptr);

// One direct child of a folder with the total of its tree, as SumChildren gives it.
struct TChildTotal {
    std::string Name;        // the file system's bytes
    uint32_t Attributes = 0; // Attr bits as a walk with details reports them
    int64_t Size = 0;        // the entry's own size (0 for a folder)
    // A folder on another file system than the start folder (a mount point): never
    // entered, whatever enter said.
    bool OtherFileSystem = false;
    bool Entered = false;  // a folder that enter chose and that could be opened
    int64_t TreeBytes = 0; // of an entered folder: the bytes of everything below it
};
struct TChildTotals {
    bool Opened = false;
    std::vector<TChildTotal> Children; // in listing order
    uint64_t Unreadable = 0;
    uint64_t Listed = 0; // as TTreeTotal::Listed
};

// The children of a folder, each folder among them with the byte total of its own tree:
// one walk of the whole tree under the same rules as SumTree. The start folder's device
// decides for every level, its children included, so a mount point among them is
// reported with OtherFileSystem and adds nothing. enter picks the children to total
// (only real folders are ever entered), descend the folders below them.
TChildTotals SumChildren(const std::filesystem::path& folder,
                         const std::function<bool(const TDirEntry& entry)>& enter,
                         const std::function<bool(const TDirEntry& entry)>& descend,
                         const TWalkProgress* progress = nullptr);

// The entry of one path itself, as a listing of its folder would report it (a link is
// reported as the link). Depth 0, DirPath the parent's text. nullopt when it does not
// exist or cannot be read.
struct TEntryInfo {
    uint32_t Attributes = 0;
    int64_t Size = 0;
    bool Special = false; // as TDirEntry::Special
    TFileTime Created;
    TFileTime LastWrite;
    TFileTime LastAccess;
};
std::optional<TEntryInfo> QueryEntry(const std::filesystem::path& path);

// True when the path names a folder (links followed), as the start of a walk needs.
bool IsFolder(const std::filesystem::path& path);

} // namespace Platform
