#include "platform/windows/TWinTreeEraser.h"

#include "platform/windows/WinText.h"

#include <algorithm>
#include <cstddef>

namespace Platform {

namespace {

TEntryKind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TEntryKind::Link;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TEntryKind::Folder : TEntryKind::File;
}

bool Gone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

TWinTreeEraser::TWinTreeEraser(const TDeleteFilter& filter, std::wstring startText)
    : FFilter(filter), FStartText(std::move(startText)), FBuffer(64 * 1024) {}

TDeleteReport TWinTreeEraser::Empty(HANDLE h, const Win::THandleInfo& info) {
    FReport = TDeleteReport{};
    FReport.Opened = true;
    TLevel start;
    start.Handle = h;
    start.Volume = info.Id.Volume;
    start.Verdict = TDeleteVerdict::Empty;
    FLevels.push_back(std::move(start));
    List(0);
    while (!FLevels.empty()) {
        const size_t level = FLevels.size() - 1;
        TLevel& l = FLevels[level];
        if (l.Next < l.Entries.size()) {
            const TListed e = l.Entries[l.Next++];
            Entry(level, e); // may enter a sub-folder
        } else {
            Leave(level);
        }
    }
    return FReport;
}

// Reads a folder's whole listing before anything in it is removed.
void TWinTreeEraser::List(size_t level) {
    TLevel& l = FLevels[level];
    bool first = true;
    for (;;) {
        const FILE_INFO_BY_HANDLE_CLASS kind =
            first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo;
        first = false;
        if (!GetFileInformationByHandleEx(l.Handle, kind, FBuffer.data(),
                                          static_cast<DWORD>(FBuffer.size()))) {
            const DWORD error = GetLastError();
            if (error != ERROR_NO_MORE_FILES)
                Failed(level, error); // what the listing did not show stays
            return;
        }
        size_t offset = 0;
        for (;;) {
            const auto* d = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(FBuffer.data() + offset);
            std::wstring name(d->FileName, d->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                TListed e;
                e.Name = std::move(name);
                e.Attributes = d->FileAttributes;
                e.FileIndex = static_cast<uint64_t>(d->FileId.QuadPart);
                e.ChangedUnix =
                    Win::UnixSeconds(std::max(d->LastWriteTime.QuadPart, d->ChangeTime.QuadPart));
                l.Entries.push_back(std::move(e));
            }
            if (d->NextEntryOffset == 0)
                break;
            offset += d->NextEntryOffset;
        }
    }
}

TDeleteVerdict TWinTreeEraser::Judge(size_t level, const TListed& e) const {
    if (!FFilter)
        return TDeleteVerdict::Delete;
    const std::string name = Win::Narrow(e.Name);
    TDeleteCandidate c;
    c.Name = name;
    c.Depth = static_cast<int>(level);
    c.Kind = KindOf(e.Attributes);
    c.ReadOnly = c.Kind == TEntryKind::File && (e.Attributes & FILE_ATTRIBUTE_READONLY);
    c.Id = {FLevels[level].Volume, e.FileIndex};
    c.ChangedUnix = e.ChangedUnix;
    return FFilter(c);
}

void TWinTreeEraser::Entry(size_t level, const TListed& e) {
    Hook(level, e.Name);
    const TDeleteVerdict verdict = Judge(level, e);
    if (verdict == TDeleteVerdict::Keep)
        return KeptIn(level);
    if (KindOf(e.Attributes) == TEntryKind::Folder)
        return Enter(level, e, verdict, true);
    if (verdict == TDeleteVerdict::Empty)
        return KeptIn(level); // only a folder can be emptied
    RemoveAsIs(level, e, true);
}

// A file, a link or a junction: opened as itself and removed on its own handle.
void TWinTreeEraser::RemoveAsIs(size_t level, const TListed& e, bool again) {
    DWORD error = 0;
    HANDLE h = Win::OpenRelative(FLevels[level].Handle, e.Name, false, error);
    if (h == INVALID_HANDLE_VALUE)
        return Gone(error) ? Removed(level) : Failed(level, error);
    Win::THandleInfo now;
    if (Win::QueryHandle(h, now) && now.IsFolder()) {
        // A real folder took its place since the listing: judged as the folder it is.
        CloseHandle(h);
        if (!again)
            return Failed(level, ERROR_RETRY);
        TListed folder = e;
        folder.Attributes = now.Attributes;
        folder.FileIndex = now.Id.Index;
        const TDeleteVerdict verdict = Judge(level, folder);
        if (verdict == TDeleteVerdict::Keep)
            return KeptIn(level);
        return Enter(level, folder, verdict, false);
    }
    const bool marked = Win::MarkForDeletion(h, true, error);
    CloseHandle(h);
    marked ? Removed(level) : Failed(level, error);
}

void TWinTreeEraser::Enter(size_t level, const TListed& e, TDeleteVerdict verdict, bool again) {
    DWORD error = 0;
    HANDLE h = Win::OpenRelative(FLevels[level].Handle, e.Name, true, error);
    if (h == INVALID_HANDLE_VALUE)
        return Gone(error) ? Removed(level) : Failed(level, error);
    Win::THandleInfo now;
    if (!Win::QueryHandle(h, now)) {
        error = GetLastError();
        CloseHandle(h);
        return Failed(level, error);
    }
    if (now.IsLink()) {
        // Swapped for a junction or a link since the listing: it goes as a link.
        CloseHandle(h);
        if (!again)
            return Failed(level, ERROR_RETRY);
        TListed link = e;
        link.Attributes = now.Attributes;
        return Judge(level, link) == TDeleteVerdict::Delete ? RemoveAsIs(level, link, false)
                                                            : KeptIn(level);
    }
    if (now.Id != TFileIdentity{FLevels[level].Volume, e.FileIndex} && e.FileIndex != 0) {
        CloseHandle(h);
        return Failed(level, ERROR_RETRY); // another folder took its place: not ours to empty
    }
    TLevel sub;
    sub.Handle = h;
    sub.Volume = now.Id.Volume;
    sub.Name = e.Name;
    sub.Verdict = verdict;
    FLevels.push_back(std::move(sub));
    List(FLevels.size() - 1);
}

void TWinTreeEraser::Leave(size_t level) {
    if (level == 0) {
        FLevels.pop_back(); // the caller closes the start
        return;
    }
    TLevel done = std::move(FLevels[level]);
    FLevels.pop_back();
    const size_t parent = level - 1;
    DWORD error = 0;
    bool marked = false;
    if (!done.Failed && !done.Kept && done.Verdict == TDeleteVerdict::Delete)
        marked = Win::MarkForDeletion(done.Handle, true, error);
    CloseHandle(done.Handle);
    if (marked && !Win::UsesPosixDeletion()) {
        // Marked the classic way, the folder went at the close only if it was empty then.
        HANDLE still = Win::OpenRelative(FLevels[parent].Handle, done.Name, true, error);
        if (still != INVALID_HANDLE_VALUE) {
            CloseHandle(still);
            marked = false;
            error = ERROR_DIR_NOT_EMPTY;
        }
    }
    if (done.Failed)
        return Failed(parent, 0);
    if (done.Kept || done.Verdict != TDeleteVerdict::Delete)
        return KeptIn(parent);
    marked ? Removed(parent) : Failed(parent, error);
}

void TWinTreeEraser::Hook(size_t level, const std::wstring& name) const {
    const TDescendHook& hook = CurrentDeleteHook();
    if (!hook)
        return;
    std::wstring folder = FStartText;
    for (size_t i = 1; i <= level; ++i)
        folder += L"\\" + FLevels[i].Name;
    hook(Win::Narrow(folder), Win::Narrow(name));
}

void TWinTreeEraser::Removed(size_t level) {
    if (level == 0)
        ++FReport.Removed;
}

void TWinTreeEraser::KeptIn(size_t level) {
    FLevels[level].Kept = true;
    if (level == 0)
        ++FReport.Kept;
}

void TWinTreeEraser::Failed(size_t level, DWORD error) {
    FLevels[level].Failed = true;
    if (FReport.Error == 0)
        FReport.Error = static_cast<int>(error);
    if (level == 0)
        ++FReport.Failed;
}

} // namespace Platform
