#include "platform/TreeDelete.h"

#include "platform/DeleteHooks.h"
#include "platform/windows/TWinProtectedFolders.h"
#include "platform/windows/TWinTreeEraser.h"
#include "platform/windows/WinHandles.h"
#include "platform/windows/WinText.h"

#include <string>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

// A full path opened as itself: a junction or link there is opened as the link, never
// followed. Only full paths: a drive-relative one ("C:", "C:name") names a folder below
// that drive's current folder, which the refusals would judge while the listing would
// take the drive's root.
class TStartHandle {
public:
    TStartHandle(const fs::path& path, bool forDelete) {
        if (path.empty() || !path.is_absolute()) {
            FError = ERROR_INVALID_NAME;
            return;
        }
        FText = path.native();
        FHandle = Win::OpenPath(Win::LongPath(FText), forDelete, FError);
        if (FHandle != INVALID_HANDLE_VALUE && !Win::QueryHandle(FHandle, FInfo)) {
            FError = GetLastError();
            CloseHandle(FHandle);
            FHandle = INVALID_HANDLE_VALUE;
        }
    }
    ~TStartHandle() { Close(); }
    TStartHandle(const TStartHandle&) = delete;
    TStartHandle& operator=(const TStartHandle&) = delete;

    bool Open() const { return FHandle != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return FHandle; }
    DWORD Error() const { return FError; }
    const Win::THandleInfo& Info() const { return FInfo; }
    const std::wstring& Text() const { return FText; }
    void Close() {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }
    bool Protected() const {
        const TWinProtectedFolders folders = TWinProtectedFolders::ForUser();
        return folders.HoldsIdentity(FInfo.Id) || folders.HoldsText(FText);
    }
    void CallHook() const {
        if (const TDescendHook& hook = CurrentDeleteHook()) {
            const fs::path p(FText);
            hook(Win::Narrow(p.parent_path().native()), Win::Narrow(p.filename().native()));
        }
    }

private:
    std::wstring FText;
    HANDLE FHandle = INVALID_HANDLE_VALUE;
    DWORD FError = 0;
    Win::THandleInfo FInfo;
};

bool Gone(const std::wstring& text) {
    return GetFileAttributesW(Win::LongPath(text).c_str()) == INVALID_FILE_ATTRIBUTES;
}

TDeleteCandidate StartCandidate(HANDLE h, const Win::THandleInfo& info) {
    TDeleteCandidate c;
    c.Depth = -1;
    c.Kind = TEntryKind::Folder;
    c.Id = info.Id;
    c.ChangedUnix = Win::ChangedUnixOf(h);
    return c;
}

} // namespace

// Deletes permanently, as the shell's delete without the recycle bin does, but from open
// handles so that junctions and links are removed as links and never entered.
bool DeleteTree(const fs::path& path) {
    TStartHandle start(path, true);
    if (!start.Open()) {
        SetLastError(start.Error());
        return false;
    }
    DWORD error = 0;
    if (start.Info().IsFolder()) {
        if (start.Protected()) {
            SetLastError(0);
            return false;
        }
        start.CallHook();
        const TDeleteFilter none;
        const TDeleteReport report =
            TWinTreeEraser(none, start.Text()).Empty(start.Handle(), start.Info());
        if (report.Failed != 0) {
            SetLastError(static_cast<DWORD>(report.Error));
            return false;
        }
    }
    const bool marked = Win::MarkForDeletion(start.Handle(), true, error);
    start.Close();
    if (!marked) {
        SetLastError(error);
        return false;
    }
    return Gone(start.Text());
}

TDeleteReport EmptyFolder(const fs::path& folder, const TDeleteFilter& filter,
                          const TStartCheck& acceptStart) {
    TDeleteReport refused;
    TStartHandle start(folder, false);
    if (!start.Open()) {
        refused.Error = static_cast<int>(start.Error());
        return refused;
    }
    if (!start.Info().IsFolder() || start.Protected())
        return refused;
    if (acceptStart && !acceptStart(StartCandidate(start.Handle(), start.Info())))
        return refused;
    return TWinTreeEraser(filter, start.Text()).Empty(start.Handle(), start.Info());
}

TEntryOutcome DeleteEntry(const fs::path& path, TEntryWanted wanted) {
    TStartHandle entry(path, true);
    if (!entry.Open()) {
        const DWORD error = entry.Error();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {TEntryResult::Missing, 0};
        return {TEntryResult::Failed, static_cast<int>(error)};
    }
    const bool folderWanted = wanted == TEntryWanted::EmptyFolder;
    if (entry.Info().IsFolder() != folderWanted)
        return {TEntryResult::OtherKind, 0};
    if (folderWanted && entry.Protected())
        return {TEntryResult::Failed, ERROR_ACCESS_DENIED};
    entry.CallHook();
    // A read-only file stays, as the system's own file delete keeps it.
    DWORD error = 0;
    const bool marked = Win::MarkForDeletion(entry.Handle(), false, error);
    entry.Close();
    if (!marked)
        return {TEntryResult::Failed, static_cast<int>(error)};
    if (folderWanted && !Gone(entry.Text()))
        return {TEntryResult::Failed, ERROR_DIR_NOT_EMPTY};
    return {TEntryResult::Deleted, 0};
}

} // namespace Platform
