#include "clean/TJunkScanner.h"

#include "clean/JunkTexts.h"
#include "core/FileRoutines.h"
#include "core/PathText.h"
#include "core/TSetting.h"

using Platform::TDirEntry;
using Platform::TEntryInfo;
using Platform::TVisit;

namespace {

// The clock is read only every so many entries: reading it costs more than an entry.
constexpr unsigned EntriesPerClockCheck = 256;

constexpr char Separator = PathSeparator;

} // namespace

TJunkScanner::TJunkScanner(IJunkScanHost& host, TScanCounters& counters, const TSetting& setting,
                           const std::vector<std::string>& protectedNames)
    : FHost(host), FCounters(counters), FSetting(setting), FMatcher(protectedNames),
      FLastPump(std::chrono::steady_clock::now()) {}

void TJunkScanner::ScanDirectory(const std::string& folder, bool includeSubDir) {
    std::string start = folder;
    if (start.empty() || start.back() != Separator)
        start += Separator;
    FIncludeSubDir = includeSubDir;
    FLevels.clear();
    FLevels.push_back({start, false});
    // The caption is set once the folder has proved readable: a folder that cannot be
    // opened leaves no trace at all.
    FCaptionPending = true;
    Platform::TWalkOptions options;
    // Names alone answer the junk-type test; sizes are fetched for the few rows. Only the
    // empty-file rule needs the size of every file.
    options.Details = FSetting.IfCleanZeroFile();
    const Platform::TWalkResult result = FWalker.Walk(PathFromText(folder), *this, options);
    if (result.Opened)
        ShowPendingCaption();
    FCaptionPending = false;
    FLevels.clear();
}

void TJunkScanner::ShowPendingCaption() {
    if (!FCaptionPending)
        return;
    FCaptionPending = false;
    FHost.SetCaption(ScanCaptionText(FLevels.back().Folder));
}

TVisit TJunkScanner::OnEntry(const TDirEntry& entry) {
    ShowPendingCaption();
    Pump();
    if (!FHost.Running())
        return TVisit::Stop;
    if (entry.IsDirectory())
        return VisitFolder(entry);
    VisitFile(entry);
    return TVisit::Continue;
}

TVisit TJunkScanner::VisitFolder(const TDirEntry& entry) {
    ++FCounters.FScannedCount;
    std::string path = FLevels.back().Folder;
    path.append(entry.Name);
    bool empty = FLevels.back().EmptyTree;
    if (FSetting.IfCleanZeroDir()) {
        empty = empty || FolderIsEmpty(path);
        if (empty) {
            if (const std::optional<TEntryInfo> info = Platform::QueryEntry(PathFromText(path))) {
                AddRow(path, true, *info);
                ++FCounters.FJunkCount;
                Pump();
            }
        }
    }
    // The walker never enters another file system; neither does the scan.
    if (!FIncludeSubDir || entry.OtherFileSystem)
        return TVisit::Continue;
    path += Separator;
    FLevels.push_back({std::move(path), empty});
    FCaptionPending = true;
    return TVisit::Descend;
}

bool TJunkScanner::FolderIsEmpty(const std::string& path) {
    // A tree that cannot be read to its end, or that holds a mount point, is not empty:
    // what could not be seen may hold data, and deleting the row would remove it.
    return IsTreeEmpty(PathFromText(path));
}

void TJunkScanner::VisitFile(const TDirEntry& entry) {
    FPath.assign(FLevels.back().Folder);
    FPath.append(entry.Name);
    std::optional<TEntryInfo> info;
    auto details = [&]() -> const std::optional<TEntryInfo>& {
        if (!info)
            info = Platform::QueryEntry(PathFromText(FPath));
        return info;
    };

    // Only a regular file can be an empty file: a FIFO, a socket or a device node holds no
    // data of its own and is no junk, and a link is never empty.
    if (FSetting.IfCleanZeroFile() && !entry.Special && !entry.IsLink()) {
        // The whole length: a file of a multiple of 4 GiB is not empty.
        const bool zero = entry.HasDetails
                              ? entry.Size == 0
                              : details() && details()->Size == 0 && !details()->Special;
        if (zero && details()) {
            AddRow(FPath, false, *details());
            FHost.Scroll();
            Pump();
        }
    }
    if (Matcher().IsJunk(entry.Name) && details()) {
        AddRow(FPath, false, *details());
        ++FCounters.FJunkCount;
        FCounters.FJunkSize += details()->Size;
        FHost.Scroll();
        FHost.SetStatus(1, ScanStatusText(FCounters));
        Pump();
    }
    FHost.SetProgressPosition((FHost.ProgressPosition() + 1) % 100);
    // Counted only now: the status text of a junk row counts the files before it.
    ++FCounters.FScannedCount;
    FStatusText.assign("Scanning File [ ");
    FStatusText.append(entry.Name);
    FStatusText.append(" ] ");
    FHost.SetStatus(0, FStatusText);
}

void TJunkScanner::AddRow(const std::string& path, bool isDirectory, const TEntryInfo& info) {
    TJunkRow row;
    row.Path = path;
    row.IsDirectory = isDirectory;
    row.SizeText = SizeText(isDirectory ? 0 : info.Size);
    row.CreatedText = DateText(info.Created);
    row.LastWriteText = DateText(info.LastWrite);
    row.LastAccessText = DateText(info.LastAccess);
    FHost.AddRow(std::move(row));
}

void TJunkScanner::OnLeave(const TDirEntry&) {
    // A folder read to its end without a single entry still gets its caption.
    ShowPendingCaption();
    FLevels.pop_back();
}

void TJunkScanner::OnUnreadable(const TDirEntry&, int) {
    FCaptionPending = false;
}

void TJunkScanner::Pump() {
    if (FPumpInterval.count() > 0) {
        if (++FSinceClockCheck < EntriesPerClockCheck)
            return;
        FSinceClockCheck = 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - FLastPump < FPumpInterval)
            return;
        FLastPump = now;
    }
    FHost.Pump();
    // The user may have changed the junk types while the window handled its messages.
    FMatcherStale = true;
}

const TJunkMatcher& TJunkScanner::Matcher() {
    if (FMatcherStale) {
        FMatcher.Refresh(FSetting.Garbages());
        FMatcherStale = false;
    }
    return FMatcher;
}
