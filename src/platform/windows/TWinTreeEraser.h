#pragma once

#include "platform/DeleteHooks.h"
#include "platform/TreeDelete.h"
#include "platform/windows/WinHandles.h"

#include <string>
#include <vector>

#include <windows.h>

namespace Platform {

// Empties one open folder from folder handles only; one object per delete. Each folder is
// listed once to its end, then every entry is opened relative to the folder's handle as
// itself (a reparse point is never entered: a link or junction goes as the link it is), a
// sub-folder is checked against the volume and file index it was listed with, and every
// removal is made on the entry's own handle. A folder is never listed again.
class TWinTreeEraser {
public:
    TWinTreeEraser(const TDeleteFilter& filter, std::wstring startText);

    // Empties the folder open as h (the caller keeps and closes it).
    TDeleteReport Empty(HANDLE h, const Win::THandleInfo& info);

private:
    struct TListed {
        std::wstring Name;
        DWORD Attributes = 0;
        uint64_t FileIndex = 0;
        int64_t ChangedUnix = 0;
    };
    struct TLevel {
        HANDLE Handle = INVALID_HANDLE_VALUE;
        uint64_t Volume = 0;
        std::wstring Name;
        std::vector<TListed> Entries;
        size_t Next = 0;
        bool Failed = false;
        bool Kept = false;
        TDeleteVerdict Verdict = TDeleteVerdict::Delete;
    };

    void List(size_t level);
    void Entry(size_t level, const TListed& e);
    void RemoveAsIs(size_t level, const TListed& e, bool again);
    void Enter(size_t level, const TListed& e, TDeleteVerdict verdict, bool again);
    void Leave(size_t level);
    TDeleteVerdict Judge(size_t level, const TListed& e) const;
    void Hook(size_t level, const std::wstring& name) const;

    void Removed(size_t level);
    void KeptIn(size_t level);
    void Failed(size_t level, DWORD error);

    const TDeleteFilter& FFilter;
    std::wstring FStartText;
    std::vector<TLevel> FLevels;
    std::vector<unsigned char> FBuffer;
    TDeleteReport FReport;
};

} // namespace Platform
