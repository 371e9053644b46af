#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// The one deletion engine of the program. Every removal of a file or folder goes through
// these calls. They work from open folder handles: the start is opened without following a
// link, every entry below it is examined and removed relative to its open parent, so no
// path text below the start reaches the system (depth is not limited by the path length)
// and a folder swapped for a link at any moment cannot redirect a removal. Another mounted
// file system below the start is never entered. A folder is read once: the time taken
// grows with the number of entries, whatever fails.
namespace Platform {

// Deletes a file, a link or a folder with everything in it, permanently. It refuses
// (deleting nothing) an empty path, the root folder, the user's home folder and every
// folder that holds it (compared by identity through links as well as by text), and a
// mount point. It goes on past what it cannot delete and returns true only when the path
// is gone. On false the system's error code of the first failure is left as the last
// error (0 for a refusal).
bool DeleteTree(const std::filesystem::path& path);

enum class TEntryKind : uint8_t {
    File,   // a regular file
    Folder, // a real folder, never a link to one
    Link,   // a symbolic link or another reparse point, whatever it points to
    Other,  // a socket, a FIFO or a device node
};

// Which file an entry is: the device (volume serial) and the inode (file index).
struct TFileIdentity {
    uint64_t Volume = 0;
    uint64_t Index = 0;
    bool operator==(const TFileIdentity&) const = default;
    auto operator<=>(const TFileIdentity&) const = default;
};

// What a keep filter sees of one entry below a folder that is being emptied.
struct TDeleteCandidate {
    std::string_view Name; // the file system's bytes
    int Depth = 0;         // 0 for an entry directly inside the folder being emptied
    TEntryKind Kind = TEntryKind::File;
    bool ReadOnly = false; // a file the owner may not write
    uint32_t Mode = 0;     // the POSIX mode bits; 0 where the system has none
    uint32_t Owner = 0;    // the owner's user id; 0 where the system has none
    TFileIdentity Id;
    int64_t ChangedUnix = 0; // the latest change of the contents or the status, seconds since 1970
};

enum class TDeleteVerdict {
    Delete, // the entry goes; a folder goes with everything in it that the filter lets go
    Keep,   // the entry stays as it is; a folder is not entered
    Empty,  // a folder is emptied (its entries judged by the same filter) and stays
};
// Called for every entry found, before anything is done to it. No filter: everything goes.
using TDeleteFilter = std::function<TDeleteVerdict(const TDeleteCandidate&)>;
// Called once with the opened start folder (Name empty, Depth -1): false leaves it alone.
using TStartCheck = std::function<bool(const TDeleteCandidate&)>;

// The outcome of emptying a folder, counted over the entries directly inside it.
struct TDeleteReport {
    bool Opened = false; // the folder was opened and accepted; false: nothing was touched
    int64_t Removed = 0; // entries that are gone
    int64_t Kept = 0;    // entries that stay as the filter asked, or that hold only what it kept
    // Entries that stay although they were to go, plus one when the folder could not be
    // read to its end (what the listing did not show was not removed either).
    int64_t Failed = 0;
    int Error = 0; // the system's code of the first failure; 0 when none

    // Everything that was to go is gone.
    bool Complete() const { return Opened && Failed == 0; }
};

// Deletes the contents of a folder, permanently, and keeps the folder. The folder is
// refused (Opened false) when it is a link (never followed), no folder, the root, the
// home folder or a folder that holds it, or when acceptStart says no. It may be the root
// of a mounted file system; mount points below it are not entered.
TDeleteReport EmptyFolder(const std::filesystem::path& folder, const TDeleteFilter& filter = {},
                          const TStartCheck& acceptStart = {});

enum class TEntryWanted {
    NotFolder,         // a file, a link (removed as a link) or a special file
    WritableNotFolder, // the same, but a file the owner may not write stays
    EmptyFolder,       // a real folder that holds nothing
};
enum class TEntryResult {
    Deleted,
    Missing,   // nothing by that name
    OtherKind, // the entry is not of the kind wanted: it was left alone
    Failed,    // the system refused; Error holds its code
};
struct TEntryOutcome {
    TEntryResult Result = TEntryResult::Deleted;
    int Error = 0;
};

// Deletes one entry without entering it and without following a link in its last part.
TEntryOutcome DeleteEntry(const std::filesystem::path& path, TEntryWanted wanted);

// For tests of races: called with the folder's path and an entry's name after the folder
// was listed, just before the engine acts on that entry (opens it as a sub-folder or
// removes it). Pass nullptr to remove.
using TDescendHook = std::function<void(const std::string& folder, std::string_view name)>;
void SetDeleteDescendHook(TDescendHook hook);

// For tests of the home guard: replaces where the guard reads the account's own home
// folder (the account database on Linux, the profile folder the system records on
// Windows) besides the HOME or USERPROFILE variable. Pass nullptr for the system's.
using THomeLookup = std::function<std::filesystem::path()>;
void SetAccountHomeLookup(THomeLookup lookup);

} // namespace Platform
