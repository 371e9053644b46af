#pragma once

#include "clean/IJunkScanHost.h"
#include "clean/TJunkMatcher.h"
#include "clean/TScanCounters.h"
#include "platform/TDirWalker.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class TSetting;

// The junk scan of one clean directory at a time. It walks the folder depth first with
// the program's one walker (links are never entered, other file systems are never
// crossed), lists junk-type files, empty files and empty folders as the settings ask,
// and keeps the counters, the progress bar and the status texts of its host up to date.
// The settings are read as the walk goes, so a change made while it pumps takes effect
// at once. One scanner serves a whole scan of several folders.
class TJunkScanner : private Platform::IDirVisitor {
public:
    TJunkScanner(IJunkScanHost& host, TScanCounters& counters, const TSetting& setting,
                 const std::vector<std::string>& protectedNames);

    // Walks folder (with or without its trailing separator) and, when includeSubDir is
    // true, every folder below it. A folder that cannot be opened is passed over in
    // silence. Returns early when the host's run flag is cleared.
    void ScanDirectory(const std::string& folder, bool includeSubDir);

    // How often the host's message pump runs at most. Handling window messages costs as
    // much as reading an entry, so by default the pump runs when 10 ms have passed,
    // which a user cannot tell from a pump per entry. Zero pumps before every entry.
    void SetPumpInterval(std::chrono::milliseconds interval) { FPumpInterval = interval; }

private:
    struct TLevel {
        std::string Folder; // the folder's path with its trailing separator
        bool EmptyTree;     // known to hold no byte: every folder below is empty too
    };

    Platform::TVisit OnEntry(const Platform::TDirEntry& entry) override;
    void OnLeave(const Platform::TDirEntry& folder) override;
    void OnUnreadable(const Platform::TDirEntry& folder, int error) override;

    Platform::TVisit VisitFolder(const Platform::TDirEntry& entry);
    void VisitFile(const Platform::TDirEntry& entry);
    bool FolderIsEmpty(const std::string& path);
    void AddRow(const std::string& path, bool isDirectory, const Platform::TEntryInfo& info);
    void ShowPendingCaption();
    void Pump();
    const TJunkMatcher& Matcher();

    IJunkScanHost& FHost;
    TScanCounters& FCounters;
    const TSetting& FSetting;
    TJunkMatcher FMatcher;
    bool FMatcherStale = true;
    Platform::TDirWalker FWalker;
    std::vector<TLevel> FLevels;
    bool FIncludeSubDir = false;
    bool FCaptionPending = false;
    std::chrono::milliseconds FPumpInterval{10};
    std::chrono::steady_clock::time_point FLastPump;
    unsigned FSinceClockCheck = 0;
    std::string FPath;       // reused for the path of the entry at hand
    std::string FStatusText; // reused for status panel 0
};
