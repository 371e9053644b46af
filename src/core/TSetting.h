#pragma once

#include "core/TDirectorys.h"
#include "core/TGarbages.h"
#include "core/TPersistent.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// All user settings of the program, held in the one global instance Setting for the
// whole run. Every window reads and changes it directly; setters only store. The 21
// published properties persist in the settings file, the junk types in the settings
// file's name + ".Garbage"; the clean directories are rebuilt at every start.
class TSetting : public TPersistent {
public:
    // Removes what killed saves left in the settings file's folder (their temporaries),
    // sets the defaults, loads the settings file and the junk types file (a first start
    // without a junk types file gets the 28 default types, unchecked) and builds the
    // clean directories from the drives. Never throws: after a failed read it goes on
    // with the defaults, still loads the junk types file, and keeps the error's text in
    // LoadErrorText() for the launcher to show.
    explicit TSetting(const std::filesystem::path& settingsFile);
    TSetting(const TSetting&) = delete;
    TSetting& operator=(const TSetting&) = delete;

    // Reads the property records of the file, when it exists, then the junk types file
    // beside it, when that exists (it replaces Garbages). Throws EMorvaneError with the
    // reader's texts, or "Cannot open file "%s". %s" (also for a file that is not a
    // regular one or is too large to be a settings file); records read before the failure
    // stay applied and the junk types file is then not read.
    void LoadFromFile(const std::filesystem::path& path);
    // Rewrites the settings file, then the junk types file. Throws EMorvaneError
    // "Cannot create file "%s". %s" when the settings file cannot be written, or when a
    // settings file is there that cannot be read, which is kept as it is rather than
    // replaced by what the program did not read from it (the old file stays whole and
    // the junk types file is not written). A junk types file that cannot be written, or
    // cannot be read and is kept, fails silently.
    void SaveToFile(const std::filesystem::path& path) const;

    // Empty when the constructor's read went well.
    const std::string& LoadErrorText() const { return FLoadErrorText; }

    // Sets the 21 properties to their defaults.
    void SetDefaults();

    TGarbages& Garbages() { return FGarbages; }
    const TGarbages& Garbages() const { return FGarbages; }
    TDirectorys& Directorys() { return FDirectorys; }
    const TDirectorys& Directorys() const { return FDirectorys; }
    // One clean directory per existing drive, in drive order: Path = the drive root,
    // IncludeSubDir and IfClean set.
    void ResetDirectories();
    void ResetDirectories(const std::vector<std::string>& roots);

    std::string ClassName() const override { return "TSetting"; }
    std::span<const TPropertyInfo> PublishedProperties() const override;

    bool AutoClean() const { return FAutoClean; }
    void SetAutoClean(bool value) { FAutoClean = value; }
    bool AutoCleanShutDown() const { return FAutoCleanShutDown; }
    void SetAutoCleanShutDown(bool value) { FAutoCleanShutDown = value; }
    // Days since 30 December 1899 (local time); 0 when never set.
    double LastCleanDate() const { return FLastCleanDate; }
    void SetLastCleanDate(double value) { FLastCleanDate = value; }
    bool IfShowChart() const { return FIfShowChart; }
    void SetIfShowChart(bool value) { FIfShowChart = value; }
    bool IfIncludeDir() const { return FIfIncludeDir; }
    void SetIfIncludeDir(bool value) { FIfIncludeDir = value; }
    bool ShowTips() const { return FShowTips; }
    void SetShowTips(bool value) { FShowTips = value; }
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool value) { FAutoUpdate = value; }
    bool IfCleanZeroDir() const { return FIfCleanZeroDir; }
    void SetIfCleanZeroDir(bool value) { FIfCleanZeroDir = value; }
    bool IfCleanZeroFile() const { return FIfCleanZeroFile; }
    void SetIfCleanZeroFile(bool value) { FIfCleanZeroFile = value; }
    bool IfClean_Windows_Recent_Files() const { return FIfClean_Windows_Recent_Files; }
    void SetIfClean_Windows_Recent_Files(bool value) { FIfClean_Windows_Recent_Files = value; }
    // Stored and loaded only; nothing else reads them.
    bool IfClean_ZeroFile() const { return FIfClean_ZeroFile; }
    void SetIfClean_ZeroFile(bool value) { FIfClean_ZeroFile = value; }
    bool IfClean_ZeroDir() const { return FIfClean_ZeroDir; }
    void SetIfClean_ZeroDir(bool value) { FIfClean_ZeroDir = value; }
    bool IfClean_Internet_Explorer_Temporary_Files() const {
        return FIfClean_Internet_Explorer_Temporary_Files;
    }
    void SetIfClean_Internet_Explorer_Temporary_Files(bool value) {
        FIfClean_Internet_Explorer_Temporary_Files = value;
    }
    bool IfClean_Internet_Explorer_History() const { return FIfClean_Internet_Explorer_History; }
    void SetIfClean_Internet_Explorer_History(bool value) {
        FIfClean_Internet_Explorer_History = value;
    }
    bool IfClean_Internet_Explorer_Cookies() const { return FIfClean_Internet_Explorer_Cookies; }
    void SetIfClean_Internet_Explorer_Cookies(bool value) {
        FIfClean_Internet_Explorer_Cookies = value;
    }
    bool IfClean_Windows_Find_History() const { return FIfClean_Windows_Find_History; }
    void SetIfClean_Windows_Find_History(bool value) { FIfClean_Windows_Find_History = value; }
    bool IfClean_Windows_Run_History() const { return FIfClean_Windows_Run_History; }
    void SetIfClean_Windows_Run_History(bool value) { FIfClean_Windows_Run_History = value; }
    bool IfClean_Windows_Temporary_Files() const { return FIfClean_Windows_Temporary_Files; }
    void SetIfClean_Windows_Temporary_Files(bool value) {
        FIfClean_Windows_Temporary_Files = value;
    }
    bool IfClean_Recycle_Bin() const { return FIfClean_Recycle_Bin; }
    void SetIfClean_Recycle_Bin(bool value) { FIfClean_Recycle_Bin = value; }
    bool IfClean_Broken_ShutCuts() const { return FIfClean_Broken_ShutCuts; }
    void SetIfClean_Broken_ShutCuts(bool value) { FIfClean_Broken_ShutCuts = value; }
    // Smallest pie slice, in percent, before slices are merged into "Other".
    int32_t SlicePercent() const { return FSlicePercent; }
    void SetSlicePercent(int32_t value) { FSlicePercent = value; }

private:
    bool FAutoClean = false;
    bool FAutoCleanShutDown = false;
    double FLastCleanDate = 0;
    bool FIfShowChart = false;
    bool FIfIncludeDir = false;
    bool FShowTips = false;
    bool FAutoUpdate = true;
    bool FIfCleanZeroDir = false;
    bool FIfCleanZeroFile = false;
    bool FIfClean_Windows_Recent_Files = false;
    bool FIfClean_ZeroFile = true;
    bool FIfClean_ZeroDir = true;
    bool FIfClean_Internet_Explorer_Temporary_Files = true;
    bool FIfClean_Internet_Explorer_History = true;
    bool FIfClean_Internet_Explorer_Cookies = true;
    bool FIfClean_Windows_Find_History = true;
    bool FIfClean_Windows_Run_History = true;
    bool FIfClean_Windows_Temporary_Files = true;
    bool FIfClean_Recycle_Bin = true;
    bool FIfClean_Broken_ShutCuts = true;
    int32_t FSlicePercent = 10;

    void ReadGarbages(const std::filesystem::path& garbagesFile);

    TGarbages FGarbages;
    TDirectorys FDirectorys;
    std::string FLoadErrorText;
    // The junk types file existed but could not be read; saves then leave it alone.
    bool FGarbagesUnreadable = false;
};

// The one settings object of the run, created and destroyed by the launcher.
extern TSetting* Setting;

// "<program folder>/Morvane.cfg".
std::filesystem::path SettingsFilePath();

// The junk types file beside a settings file: its name with ".Garbage" appended.
std::filesystem::path GarbagesFilePath(const std::filesystem::path& settingsFile);
