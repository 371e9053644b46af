#include "platform/TDirWalker.h"
#include "platform/TFunctionVisitor.h"
#include "platform/TSavedEntry.h"

#include "platform/windows/WinText.h"

#include <chrono>
#include <string>
#include <vector>

#include <windows.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

void AppendName(std::string& path, std::string_view name) {
    if (path.empty() || (path.back() != '\\' && path.back() != '/'))
        path += '\\';
    path.append(name);
}

TFileTime ToFileTime(const FILETIME& t) {
    return TFileTime{
        static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime)};
}

int64_t SizeOf(DWORD high, DWORD low) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

// A folder where another volume is mounted (a junction onto a volume, not onto a
// folder). Reparse points are never entered anyway; this only tells the two apart.
bool IsVolumeMountPoint(const WIN32_FIND_DATAW& d, const std::string& folder) {
    constexpr DWORD folderLink = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((d.dwFileAttributes & folderLink) != folderLink ||
        d.dwReserved0 != IO_REPARSE_TAG_MOUNT_POINT)
        return false;
    std::wstring path = Win::Widen(folder);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/'))
        path += L'\\';
    path += d.cFileName;
    path += L'\\';
    wchar_t volume[64];
    return GetVolumeNameForVolumeMountPointW(path.c_str(), volume, 64) != 0;
}

bool IsDotName(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

} // namespace

// One FindFirstFileExW listing per depth level. Reparse points (links, junctions,
// mounted folders) are reported with their own attribute word and never entered.
class TDirWalker::TImpl {
public:
    TWalkResult Walk(const fs::path& folder, IDirVisitor& visitor, const TWalkOptions& options);

private:
    struct TLevel {
        HANDLE Find = INVALID_HANDLE_VALUE;
        WIN32_FIND_DATAW Data{};
        bool HasPending = false; // Data holds an entry not yet reported
        size_t ParentPathLen = 0;
        TSavedEntry Self;
    };

    // Opens the listing of FPath; the system's code on failure.
    DWORD Open(TLevel& level) const;
    bool Next(TLevel& level) const;
    void Leave(IDirVisitor& visitor);

    std::vector<TLevel> FLevels;
    std::string FPath;
    std::string FName;
};

DWORD TDirWalker::TImpl::Open(TLevel& level) const {
    std::wstring pattern = Win::Widen(FPath);
    if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L'/'))
        pattern += L'\\';
    pattern += L'*';
    pattern = Win::LongPath(pattern);
    level.Find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &level.Data,
                                  FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (level.Find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // An empty folder (a drive root has no "." entry) is not an error.
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error;
    }
    level.HasPending = true;
    return 0;
}

bool TDirWalker::TImpl::Next(TLevel& level) const {
    for (;;) {
        if (level.Find == INVALID_HANDLE_VALUE)
            return false;
        if (!level.HasPending && !FindNextFileW(level.Find, &level.Data))
            return false;
        level.HasPending = false;
        if (!IsDotName(level.Data.cFileName))
            return true;
    }
}

void TDirWalker::TImpl::Leave(IDirVisitor& visitor) {
    TLevel level = std::move(FLevels.back());
    FLevels.pop_back();
    if (level.Find != INVALID_HANDLE_VALUE)
        FindClose(level.Find);
    FPath.resize(level.ParentPathLen);
    if (!FLevels.empty())
        visitor.OnLeave(level.Self.View(FPath));
}

TWalkResult TDirWalker::TImpl::Walk(const fs::path& folder, IDirVisitor& visitor,
                                    const TWalkOptions& options) {
    TWalkResult result;
    FLevels.clear();
    FPath = Win::Narrow(folder.native());
    while (FPath.size() > 3 && (FPath.back() == '\\' || FPath.back() == '/'))
        FPath.pop_back();

    TDirEntry start;
    start.DirPath = FPath;
    const DWORD attributes = FPath.empty()
                                 ? INVALID_FILE_ATTRIBUTES
                                 : GetFileAttributesW(Win::LongPath(Win::Widen(FPath)).c_str());
    const bool isFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (options.FollowStartLink || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
    TLevel root;
    root.ParentPathLen = FPath.size();
    const DWORD error =
        !isFolder ? (attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY)
                  : Open(root);
    if (error != 0) {
        ++result.Unreadable;
        visitor.OnUnreadable(start, static_cast<int>(error == 0 ? ERROR_PATH_NOT_FOUND : error));
        return result;
    }
    result.Opened = true;
    FLevels.push_back(std::move(root));

    while (!FLevels.empty()) {
        bool descended = false;
        while (!descended && Next(FLevels.back())) {
            const WIN32_FIND_DATAW& d = FLevels.back().Data;
            FName = Win::Narrow(d.cFileName);
            TDirEntry e;
            e.Name = FName;
            e.DirPath = FPath;
            e.Attributes = d.dwFileAttributes;
            e.Size = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? 0
                         : SizeOf(d.nFileSizeHigh, d.nFileSizeLow);
            e.Created = ToFileTime(d.ftCreationTime);
            e.LastWrite = ToFileTime(d.ftLastWriteTime);
            e.Depth = static_cast<int>(FLevels.size()) - 1;
            e.OtherFileSystem = IsVolumeMountPoint(d, FPath);
            const TVisit visit = visitor.OnEntry(e);
            if (visit == TVisit::Stop) {
                result.Stopped = true;
                while (!FLevels.empty())
                    Leave(visitor);
                return result;
            }
            if (visit != TVisit::Descend || !e.IsDirectory())
                continue;
            TLevel level;
            level.ParentPathLen = FPath.size();
            level.Self.Save(e);
            AppendName(FPath, FName);
            if (const DWORD openError = Open(level); openError != 0) {
                FPath.resize(level.ParentPathLen);
                ++result.Unreadable;
                const TDirEntry self = level.Self.View(FPath);
                visitor.OnUnreadable(self, static_cast<int>(openError));
                visitor.OnLeave(self);
                continue;
            }
            FLevels.push_back(std::move(level));
            descended = true;
        }
        if (descended)
            continue;
        if (const DWORD readError = GetLastError(); readError != ERROR_NO_MORE_FILES &&
                                                    readError != 0 &&
                                                    FLevels.back().Find != INVALID_HANDLE_VALUE) {
            ++result.Unreadable;
            visitor.OnUnreadable(FLevels.back().Self.View(FPath), static_cast<int>(readError));
        }
        Leave(visitor);
    }
    return result;
}

TDirWalker::TDirWalker() : FImpl(std::make_unique<TImpl>()) {}
TDirWalker::~TDirWalker() = default;

TWalkResult TDirWalker::Walk(const fs::path& folder, IDirVisitor& visitor,
                             const TWalkOptions& options) {
    return FImpl->Walk(folder, visitor, options);
}

TWalkResult TDirWalker::Walk(const fs::path& folder,
                             const std::function<TVisit(const TDirEntry&)>& onEntry,
                             const TWalkOptions& options) {
    TFunctionVisitor visitor(onEntry);
    return FImpl->Walk(folder, visitor, options);
}

fs::path TDirEntry::Path() const {
    std::string p(DirPath);
    AppendName(p, Name);
    return fs::path(Win::Widen(p));
}

namespace {

// The clock is read only every so many entries: reading it costs more than an entry.
constexpr unsigned EntriesPerClockCheck = 256;

// A tree total on the calling thread: FindFirstFileExW with large fetches is already the
// fast path here, and one thread per volume is what the disk can serve. The news of a
// watched walk is given from the walking thread itself, between entries.
class TSumVisitor : public IDirVisitor {
public:
    // depthOffset: how far below the start folder the walked folder lies (1 for the
    // trees of its children).
    TSumVisitor(const std::function<bool(const TDirEntry&)>& descend, const TWalkProgress* progress,
                int depthOffset = 0)
        : FDescend(descend), FProgress(progress && progress->Tick ? progress : nullptr),
          FLastTick(std::chrono::steady_clock::now()), FDepthOffset(depthOffset) {}

    TVisit OnEntry(const TDirEntry& entry) override {
        TDirEntry e = entry;
        e.Depth += FDepthOffset;
        Bytes += e.Size;
        ++Listed;
        if (e.Depth > 0)
            Count(1);
        return e.IsDirectory() && !e.OtherFileSystem && FDescend(e) ? TVisit::Descend
                                                                    : TVisit::Continue;
    }
    // A folder read (or tried): its "." and ".." as the listing of a folder holds them.
    void OnLeave(const TDirEntry&) override {
        Listed += 2;
        Count(2);
    }
    void Final() const {
        if (FProgress)
            FProgress->Tick(FBelow);
    }

    // n entries listed below the start folder.
    void Count(uint64_t n) {
        FBelow += n;
        if (!FProgress || ++FSinceCheck < EntriesPerClockCheck)
            return;
        FSinceCheck = 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - FLastTick < FProgress->Interval)
            return;
        FLastTick = now;
        FProgress->Tick(FBelow);
    }

    int64_t Bytes = 0;
    uint64_t Listed = 0;

private:
    const std::function<bool(const TDirEntry&)>& FDescend;
    const TWalkProgress* FProgress;
    std::chrono::steady_clock::time_point FLastTick;
    const int FDepthOffset;
    unsigned FSinceCheck = 0;
    uint64_t FBelow = 0; // entries listed below the start folder
};

} // namespace

TTreeTotal SumTree(const fs::path& folder,
                   const std::function<bool(const TDirEntry& entry)>& descend,
                   const TWalkProgress* progress) {
    TTreeTotal total;
    TDirWalker walker;
    TSumVisitor visitor(descend, progress);
    const TWalkResult r = walker.Walk(folder, visitor);
    visitor.Final();
    total.Opened = r.Opened;
    total.Unreadable = r.Unreadable;
    total.Bytes = visitor.Bytes;
    total.Listed = r.Opened ? visitor.Listed + 2 : 0;
    return total;
}

TChildTotals SumChildren(const fs::path& folder, const std::function<bool(const TDirEntry&)>& enter,
                         const std::function<bool(const TDirEntry&)>& descend,
                         const TWalkProgress* progress) {
    TChildTotals totals;
    TDirWalker walker;
    std::vector<bool> chosen;
    const TWalkResult r = walker.Walk(folder, [&](const TDirEntry& e) {
        TChildTotal& c = totals.Children.emplace_back();
        c.Name.assign(e.Name);
        c.Attributes = e.Attributes;
        c.Size = e.Size;
        c.OtherFileSystem = e.OtherFileSystem;
        chosen.push_back(e.IsDirectory() && !e.OtherFileSystem && enter(e));
        return TVisit::Continue;
    });
    totals.Opened = r.Opened;
    totals.Unreadable = r.Unreadable;
    if (!r.Opened)
        return totals;
    // The entries of each child's tree lie one level below the start folder.
    TSumVisitor visitor(descend, progress, 1);
    totals.Listed = totals.Children.size() + 2;
    for (size_t i = 0; i < totals.Children.size(); ++i) {
        if (!chosen[i])
            continue;
        TChildTotal& c = totals.Children[i];
        const int64_t before = visitor.Bytes;
        TDirWalker inner;
        const TWalkResult w = inner.Walk(folder / fs::path(Win::Widen(c.Name)), visitor);
        c.Entered = w.Opened;
        c.TreeBytes = visitor.Bytes - before;
        totals.Unreadable += w.Unreadable;
        if (w.Opened) {
            visitor.Listed += 2; // the child's own "." and ".."
            visitor.Count(2);
        }
    }
    visitor.Final();
    totals.Listed += visitor.Listed;
    return totals;
}

std::optional<TEntryInfo> QueryEntry(const fs::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (path.empty() ||
        !GetFileAttributesExW(Win::LongPath(path.native()).c_str(), GetFileExInfoStandard, &d))
        return std::nullopt;
    TEntryInfo info;
    info.Attributes = d.dwFileAttributes;
    info.Size = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? 0
                    : SizeOf(d.nFileSizeHigh, d.nFileSizeLow);
    info.Created = ToFileTime(d.ftCreationTime);
    info.LastWrite = ToFileTime(d.ftLastWriteTime);
    info.LastAccess = ToFileTime(d.ftLastAccessTime);
    return info;
}

bool IsFolder(const fs::path& path) {
    if (path.empty())
        return false;
    const DWORD a = GetFileAttributesW(Win::LongPath(path.native()).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace Platform
