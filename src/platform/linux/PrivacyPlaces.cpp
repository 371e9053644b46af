#include "platform/PrivacyPlaces.h"

#include "platform/SystemInfo.h"
#include "platform/linux/PrivacyFiles.h"
#include "platform/linux/TrashPlaces.h"
#include "platform/linux/XdgFolders.h"

#include <array>
#include <string_view>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace Platform::PrivacyFiles;

namespace Platform {
namespace {

// Where a browser keeps its cache and its profiles: the user's own folders, and the
// homes that snap and flatpak give a packaged browser.
struct TBrowserHome {
    fs::path Cache;    // holds "mozilla/", "chromium/", "google-chrome*/"
    fs::path Config;   // holds the Chromium and Chrome user data folders
    fs::path Mozilla;  // holds the Firefox profiles
};

std::vector<TBrowserHome> BrowserHomes() {
    const fs::path home = HomeFolder();
    std::vector<TBrowserHome> homes{{Xdg::CacheHome(), Xdg::ConfigHome(), {}}};
    if (home.empty())
        return homes;
    homes[0].Mozilla = home / ".mozilla/firefox";
    homes.push_back({home / "snap/firefox/common/.cache", {}, home / "snap/firefox/common/.mozilla/firefox"});
    homes.push_back({home / "snap/chromium/common/.cache", home / "snap/chromium/common", {}});
    homes.push_back({home / ".var/app/org.mozilla.firefox/cache", {},
                     home / ".var/app/org.mozilla.firefox/.mozilla/firefox"});
    homes.push_back({home / ".var/app/org.chromium.Chromium/cache",
                     home / ".var/app/org.chromium.Chromium/config", {}});
    return homes;
}

bool Exists(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool AnyName(std::string_view) { return true; }
bool IsChromiumName(std::string_view name) {
    return name == "chromium" || name.starts_with("google-chrome");
}
bool IsChromiumProfile(std::string_view name) {
    return name == "Default" || name.starts_with("Profile ");
}

// A running Firefox holds a "lock" link in its profile; a running Chromium or Chrome a
// "SingletonLock" link in its user data folder.
bool FirefoxRuns(const fs::path& profile) { return Exists(profile / "lock"); }
bool ChromiumRuns(const fs::path& userData) { return Exists(userData / "SingletonLock"); }

std::vector<fs::path> IdleFirefoxProfiles(const TBrowserHome& home) {
    std::vector<fs::path> idle;
    if (home.Mozilla.empty())
        return idle;
    for (const fs::path& profile : SubFolders(home.Mozilla, AnyName))
        if (!FirefoxRuns(profile))
            idle.push_back(profile);
    return idle;
}

bool AnyFirefoxRuns(const TBrowserHome& home) {
    if (home.Mozilla.empty())
        return false;
    for (const fs::path& profile : SubFolders(home.Mozilla, AnyName))
        if (FirefoxRuns(profile))
            return true;
    return false;
}

std::vector<fs::path> IdleChromiumProfiles(const TBrowserHome& home) {
    std::vector<fs::path> idle;
    if (home.Config.empty())
        return idle;
    for (const fs::path& userData : SubFolders(home.Config, IsChromiumName)) {
        if (ChromiumRuns(userData))
            continue;
        for (const fs::path& profile : SubFolders(userData, IsChromiumProfile))
            idle.push_back(profile);
    }
    return idle;
}

void AddWithJournal(std::vector<TPrivacyPlace>& places, const fs::path& file) {
    AddDelete(places, file);
    AddDelete(places, fs::path(file.native() + "-journal"));
}

void AddCaches(std::vector<TPrivacyPlace>& places, const TBrowserHome& home) {
    if (!AnyFirefoxRuns(home))
        AddWipe(places, home.Cache / "mozilla");
    for (const fs::path& cache : SubFolders(home.Cache, IsChromiumName))
        if (home.Config.empty() || !ChromiumRuns(home.Config / cache.filename()))
            AddWipe(places, cache);
    for (const fs::path& profile : IdleChromiumProfiles(home))
        for (const char* name : {"Cache", "Code Cache", "GPUCache"})
            AddWipe(places, profile / name);
}

void AddHistory(std::vector<TPrivacyPlace>& places, const TBrowserHome& home) {
    for (const fs::path& profile : IdleChromiumProfiles(home))
        for (const char* name : {"History", "Archived History", "Top Sites", "Shortcuts",
                                 "Visited Links", "Network Action Predictor"})
            AddWithJournal(places, profile / name);
    for (const fs::path& profile : IdleFirefoxProfiles(home)) {
        // Bookmarks live in the same database as the history, so it is pruned, not deleted.
        struct stat st;
        const fs::path places_db = profile / "places.sqlite";
        if (lstat(places_db.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            places.push_back({TPlaceAction::PruneHistory, places_db});
        AddDelete(places, profile / "downloads.sqlite");
    }
}

void AddCookies(std::vector<TPrivacyPlace>& places, const TBrowserHome& home) {
    for (const fs::path& profile : IdleFirefoxProfiles(home))
        for (const char* name : {"cookies.sqlite", "cookies.sqlite-wal", "cookies.sqlite-shm", "cookies.txt"})
            AddDelete(places, profile / name);
    for (const fs::path& profile : IdleChromiumProfiles(home))
        for (const char* name : {"Cookies", "Network/Cookies", "Extension Cookies"})
            AddWithJournal(places, profile / name);
}

void AddRecent(std::vector<TPrivacyPlace>& places) {
    const fs::path data = Xdg::DataHome();
    if (!data.empty()) {
        for (const fs::path& file : FilesStartingWith(data, "recently-used.xbel"))
            AddDelete(places, file);
    }
    if (const fs::path home = HomeFolder(); !home.empty())
        for (const fs::path& file : FilesStartingWith(home, ".recently-used"))
            AddDelete(places, file);
    if (!data.empty())
        AddWipe(places, data / "RecentDocuments");
}

} // namespace

std::vector<TPrivacyPlace> PrivacyPlaces(TPrivacyRoutine routine) {
    std::vector<TPrivacyPlace> places;
    switch (routine) {
    case TPrivacyRoutine::TemporaryInternetFiles:
        for (const TBrowserHome& home : BrowserHomes())
            AddCaches(places, home);
        break;
    case TPrivacyRoutine::History:
        for (const TBrowserHome& home : BrowserHomes())
            AddHistory(places, home);
        break;
    case TPrivacyRoutine::Cookies:
        for (const TBrowserHome& home : BrowserHomes())
            AddCookies(places, home);
        break;
    case TPrivacyRoutine::RecentFolders:
        AddRecent(places);
        break;
    case TPrivacyRoutine::RecycleBin:
        places = TrashPlaces();
        break;
    }
    return places;
}

fs::path NativeSystemTempFolder() { return "/tmp"; }

TRecycleBinResult EmptyShellRecycleBin(uintptr_t) { return TRecycleBinResult::NotPresent; }

} // namespace Platform
