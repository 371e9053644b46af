#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace Platform {

// The privacy cleaner's routines that work on places of the system: browser caches,
// history and cookies, the recent-documents lists and the recycle bin.
enum class TPrivacyRoutine {
    TemporaryInternetFiles,
    History,
    Cookies,
    RecentFolders,
    RecycleBin,
};

// What the cleaner does with one place.
enum class TPlaceAction {
    WipeIfEntered, // make the folder the current directory; empty it only when that worked
    Wipe,          // empty the folder, keeping the folder itself
    DeleteFile,    // delete the file (a link as a link)
    PruneHistory,  // remove the visits from a browser database that also holds bookmarks
};

struct TPrivacyPlace {
    TPlaceAction Action = TPlaceAction::Wipe;
    std::filesystem::path Path;
};

// The places a routine cleans, in the order they are to be cleaned. Places of a browser
// that is running are left out. Nothing is touched here.
std::vector<TPrivacyPlace> PrivacyPlaces(TPrivacyRoutine routine);

// The system's temporary-files folder. Tests point it at a folder of their own with
// SetSystemTempFolder; an empty path restores the system's.
std::filesystem::path SystemTempFolder();
void SetSystemTempFolder(const std::filesystem::path& folder);
// The backend's answer, without the override.
std::filesystem::path NativeSystemTempFolder();

// Answers whether an entry of a temporary folder is in use and must stay. Built once per
// cleaning (it takes a snapshot of the files open in running processes). Where the system
// refuses to delete a file in use by itself, it answers false for everything.
using TInUseProbe = std::function<bool(const std::filesystem::path& entry)>;
TInUseProbe MakeInUseProbe();

// Removes every visit, and every place that no bookmark or keyword refers to, from a
// browser's history-and-bookmarks database; the bookmarks stay readable. False when the
// database could not be changed (then it is left as it was).
bool PruneBrowserHistory(const std::filesystem::path& database);

enum class TRecycleBinResult {
    Emptied,    // the system was asked to empty every recycle bin
    NoLibrary,  // the shell library could not be loaded
    NoFunction, // the shell library has no such function
    NotPresent, // the system has no shell recycle bin (its trash is among PrivacyPlaces)
};
// Empties the recycle bins of all drives without a question, progress window or sound.
// ownerWindow is the native handle of the window that owns any window the shell shows.
TRecycleBinResult EmptyShellRecycleBin(uintptr_t ownerWindow);

// The desktop shortcuts (and, where the desktop keeps them elsewhere too, launchers) that
// point to something that no longer exists. Nothing is deleted here.
std::vector<std::filesystem::path> BrokenShortcuts();

} // namespace Platform
