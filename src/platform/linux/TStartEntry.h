#pragma once

#include "platform/TreeDelete.h"
#include "platform/linux/TParentFolder.h"

#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace Platform {

// A path split into the folder that holds it, opened, and its last name, examined without
// following a link. The folders on the way are the caller's: links there are followed, as
// the path given says. Below the opened folder only the name is handed to the system.
class TStartEntry {
public:
    // parents keeps the holding folder open across entries; nullptr: one of its own.
    explicit TStartEntry(const std::filesystem::path& path, TParentFolder* parents = nullptr);
    TStartEntry(const TStartEntry&) = delete;
    TStartEntry& operator=(const TStartEntry&) = delete;

    // Reads the entry's status. False with Error() set: 0 when the path was refused ("",
    // "/", a last part "." or ".."), else the system's code.
    bool Examine();
    int Error() const { return FError; }

    bool IsFolder() const { return S_ISDIR(FStat.stx_mode); }
    int ParentFd() const { return FParentFd; }
    const char* Name() const { return FName.c_str(); }
    const std::string& Text() const { return FText; }

    // The root, the home folder or a folder holding it, by identity or by text.
    bool Protected() const;
    // The root of a file system mounted on its parent (or a parent that cannot be read).
    bool MountPoint() const;
    // Opens the folder itself, never through a link, and checks that it is the folder
    // that was examined. -1 with errno set.
    int Open(bool sameFileSystem, struct stat& st) const;
    // Tells the test hook that the entry is about to be acted on.
    void CallHook() const;

    // Removes the entry without entering it, as DeleteEntry says.
    TEntryOutcome Delete(TEntryWanted wanted);

private:
    TParentFolder FOwnParents;
    std::string FText;
    std::string FParent;
    std::string FName;
    int FParentFd = -1;
    struct statx FStat {};
    int FError = 0;
};

} // namespace Platform
