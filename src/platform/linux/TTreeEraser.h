#pragma once

#include "platform/DeleteHooks.h"
#include "platform/TreeDelete.h"

#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace Platform {

// Empties one open folder from folder handles only; one object per delete.
//
// Each folder is read to its end once (in pieces for a big folder), its entries are
// judged and removed relative to its handle, and a sub-folder is entered through a handle
// opened without following links and checked against the device and inode it was listed
// with. A folder is never read again: when entries appear in it while it is being
// emptied, removing it fails and that is reported. Only a bounded number of folder
// handles stay open: a deeper folder that has been read to its end gives its handle up
// and gets it back through the ".." of its child, checked by identity, on the way up.
class TTreeEraser {
public:
    // No filter: everything goes. startText: the start folder's path, for the test hook only.
    TTreeEraser(const TDeleteFilter& filter, std::string startText);

    // Empties the folder open as fd (which it closes), whose identity is st.
    TDeleteReport Empty(int fd, const struct stat& st);

private:
    struct TLevel {
        int Fd = -1;
        dev_t Dev = 0;
        ino_t Ino = 0;
        std::string Name;          // in its parent; empty for the start
        std::vector<char> Listing; // dirent64 records not yet handled
        size_t Pos = 0;
        bool AtEnd = false;  // the whole listing has been read
        bool Failed = false; // something that was to go stays, or the listing broke
        bool Kept = false;   // something the filter kept stays
        TDeleteVerdict Verdict = TDeleteVerdict::Delete;
    };

    void Read(size_t level);
    bool Next(size_t level, const char*& name, unsigned char& type);
    void Entry(size_t level, const char* name, unsigned char type);
    void Act(size_t level, const char* name, const struct statx& st, bool again);
    void Enter(size_t level, const char* name, const struct statx& st, TDeleteVerdict verdict,
               bool again);
    void Leave(size_t level);
    TDeleteVerdict Judge(size_t level, const char* name, const struct statx& st) const;
    bool Restat(size_t level, const char* name, struct statx& st);
    int OpenSub(size_t level, const char* name);
    void Reopen(size_t parent, size_t child);
    int ReopenFromAbove(size_t level);
    bool GiveUpAHandle();
    void Hook(size_t level, const char* name) const;

    void Removed(size_t level);
    void KeptIn(size_t level);
    void Failed(size_t level, int error);

    const TDeleteFilter& FFilter;
    std::string FStartText;
    std::vector<TLevel> FLevels;
    std::vector<char> FScratch;
    TDeleteReport FReport;
    size_t FOpen = 0;       // handles of FLevels now open
    size_t FWindow = 64;    // at most this many stay open while the walk goes deeper
    size_t FLowestOpen = 1; // no level above this one but the start holds a handle it could give up
};

} // namespace Platform
