#pragma once

#include "platform/TreeDelete.h"

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

namespace Platform::Win {

// What a handle says about the file it is open on.
struct THandleInfo {
    DWORD Attributes = 0;
    TFileIdentity Id; // volume serial and file index

    bool IsLink() const { return (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
    bool IsFolder() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !IsLink(); }
};
bool QueryHandle(HANDLE h, THandleInfo& info);
// The latest change of the contents or the status of the file open on h, seconds since
// 1970; the last write where the system keeps no change time. 0 when unknown. Asked
// apart from QueryHandle, which every entry of a delete needs and this only its start.
int64_t ChangedUnixOf(HANDLE h);

// Opens the entry called name inside the open folder dir, relative to that handle (the
// way openat does) and never through a reparse point: a link or junction is opened as
// itself. folder: open it for listing (and fail on what is no folder). INVALID_HANDLE_VALUE
// with the Win32 error in error.
HANDLE OpenRelative(HANDLE dir, std::wstring_view name, bool folder, DWORD& error);

// Opens a path as itself (a reparse point is not followed) for listing and, with
// forDelete, deleting.
HANDLE OpenPath(const std::wstring& path, bool forDelete, DWORD& error);

// Marks the open entry for deletion: POSIX semantics (the name goes at once, even while
// somebody else holds the file open) where the system has them, else the classic
// delete-on-close. ignoreReadOnly: a read-only file goes too, as the shell's delete
// takes it; otherwise it stays, as DeleteFile keeps it. False with the Win32 error.
bool MarkForDeletion(HANDLE h, bool ignoreReadOnly, DWORD& error);

// False once the system has turned the POSIX-semantics disposition down: then a folder
// marked for deletion goes only when its handle closes, and whether it went is seen only
// afterwards.
bool UsesPosixDeletion();

// The seconds since 1970 of a FILETIME-like count.
int64_t UnixSeconds(int64_t fileTime);

} // namespace Platform::Win
