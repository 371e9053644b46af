#include "platform/linux/TLinuxPrivacyRoutines.h"

#include "platform/SystemInfo.h"
#include "platform/TreeDelete.h"
#include "platform/Volumes.h"
#include "platform/linux/UserSearchPath.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

fs::path EnvFolder(const char* name, const fs::path& fallback) {
    const std::string v = Env(name);
    return v.empty() ? fallback : fs::path(v);
}

bool Exists(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool IsRealFolder(const fs::path& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names in a folder that begin with prefix ("" for all), without "." and "..".
std::vector<std::string> NamesIn(const fs::path& folder, const std::string& prefix = "") {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    if (!d)
        return names;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name.compare(0, prefix.size(), prefix) == 0)
            names.push_back(name);
    }
    closedir(d);
    return names;
}

// Deletes a file or a link; a folder at that name is left alone.
void RemoveFile(const fs::path& path) {
    DeleteEntry(path, TEntryWanted::NotFolder);
}

void RemoveWithJournal(const fs::path& path) {
    RemoveFile(path);
    fs::path journal = path;
    journal += "-journal";
    RemoveFile(journal);
}

// The program a launcher starts: TryExec, else the first word of Exec. Empty when the
// launcher names none or its command cannot be read.
std::string LauncherProgram(const fs::path& file) {
    std::ifstream in(file);
    std::string line, tryExec, exec;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            inEntry = line.rfind("[Desktop Entry]", 0) == 0;
        else if (inEntry && line.rfind("TryExec=", 0) == 0)
            tryExec = line.substr(8);
        else if (inEntry && line.rfind("Exec=", 0) == 0)
            exec = line.substr(5);
    }
    if (!tryExec.empty())
        return tryExec;
    size_t start = exec.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    if (exec[start] == '"') {
        const size_t end = exec.find('"', start + 1);
        return end == std::string::npos ? std::string() : exec.substr(start + 1, end - start - 1);
    }
    const size_t end = exec.find(' ', start);
    return exec.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool ProgramExists(const std::string& program, const TSearchPathSource& searchPath) {
    // A relative path depends on the folder the launcher is started in: it is not judged.
    if (program.find('/') != std::string::npos)
        return program.front() != '/' || access(program.c_str(), X_OK) == 0;
    for (const std::string& dir : searchPath())
        if (access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

// A link whose target is missing; one that cannot be judged (a target in a folder we may
// not read) is not broken.
bool Dangling(const fs::path& link) {
    struct stat target;
    return stat(link.c_str(), &target) != 0 &&
           (errno == ENOENT || errno == ENOTDIR || errno == ELOOP);
}

} // namespace

TPrivacyPlaces TPrivacyPlaces::FromEnvironment() {
    TPrivacyPlaces p;
    p.Home = HomeFolder();
    p.ConfigHome = EnvFolder("XDG_CONFIG_HOME", p.Home / ".config");
    p.CacheHome = EnvFolder("XDG_CACHE_HOME", p.Home / ".cache");
    p.DataHome = EnvFolder("XDG_DATA_HOME", p.Home / ".local/share");
    p.Desktop = p.Home / "Desktop";
    std::ifstream dirs(p.ConfigHome / "user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        if (line.rfind("XDG_DESKTOP_DIR=\"", 0) != 0 || line.size() < 18 || line.back() != '"')
            continue;
        std::string value = line.substr(17, line.size() - 18);
        if (value.rfind("$HOME", 0) == 0)
            value = p.Home.native() + value.substr(5);
        if (!value.empty() && value[0] == '/')
            p.Desktop = value;
    }
    p.TmpDir = Env("TMPDIR");
    p.SystemTemp = "/tmp";
    p.Uid = getuid();
    if (const struct passwd* pw = getpwuid(p.Uid); pw && pw->pw_shell && *pw->pw_shell)
        p.Shell = pw->pw_shell;
    else
        p.Shell = Env("SHELL");
    return p;
}

std::unique_ptr<IPrivacyRoutines> CreateNativePrivacyRoutines() {
    return std::make_unique<TLinuxPrivacyRoutines>(TPrivacyPlaces::FromEnvironment());
}

TPrivacyWipe TLinuxPrivacyRoutines::Wiper() const {
    return TPrivacyWipe(FPlaces.Uid,
                        FPlaces.Now != 0 ? FPlaces.Now : static_cast<int64_t>(std::time(nullptr)));
}

// Cleans a cache folder only when it can be made the current folder, and leaves it current.
void TLinuxPrivacyRoutines::WipeEntered(TPrivacyWipe& wiper, const fs::path& folder) const {
    if (IsRealFolder(folder) && chdir(folder.c_str()) == 0)
        wiper.Wipe(folder);
}

std::vector<fs::path> TLinuxPrivacyRoutines::FirefoxProfiles() const {
    std::vector<fs::path> profiles;
    for (const fs::path& root :
         {FPlaces.Home / ".mozilla/firefox", FPlaces.Home / "snap/firefox/common/.mozilla/firefox",
          FPlaces.Home / ".var/app/org.mozilla.firefox/.mozilla/firefox"}) {
        for (const std::string& name : NamesIn(root)) {
            const fs::path profile = root / name;
            // A running Firefox keeps a "lock" link in its profile.
            if (IsRealFolder(profile) && Exists(profile / "prefs.js") && !Exists(profile / "lock"))
                profiles.push_back(profile);
        }
    }
    return profiles;
}

std::vector<fs::path> TLinuxPrivacyRoutines::ChromiumDataFolders() const {
    std::vector<fs::path> folders{FPlaces.ConfigHome / "chromium",
                                  FPlaces.Home / "snap/chromium/common/chromium",
                                  FPlaces.Home / ".var/app/org.chromium.Chromium/config/chromium"};
    for (const std::string& name : NamesIn(FPlaces.ConfigHome, "google-chrome"))
        folders.push_back(FPlaces.ConfigHome / name);
    std::vector<fs::path> idle;
    for (const fs::path& f : folders)
        if (IsRealFolder(f) && !Exists(f / "SingletonLock")) // a running browser holds the lock
            idle.push_back(f);
    return idle;
}

std::vector<fs::path> TLinuxPrivacyRoutines::ChromiumProfiles() const {
    std::vector<fs::path> profiles;
    for (const fs::path& data : ChromiumDataFolders())
        for (const std::string& name : NamesIn(data))
            if ((name == "Default" || name.rfind("Profile ", 0) == 0) && IsRealFolder(data / name))
                profiles.push_back(data / name);
    return profiles;
}

void TLinuxPrivacyRoutines::CleanTemporaryInternetFiles() {
    const fs::path& home = FPlaces.Home;
    bool firefoxRunning = false;
    for (const fs::path& root :
         {home / ".mozilla/firefox", home / "snap/firefox/common/.mozilla/firefox",
          home / ".var/app/org.mozilla.firefox/.mozilla/firefox"})
        for (const std::string& name : NamesIn(root))
            firefoxRunning |= Exists(root / name / "lock");
    TPrivacyWipe wiper = Wiper();
    if (!firefoxRunning)
        for (const fs::path& cache :
             {FPlaces.CacheHome / "mozilla", home / "snap/firefox/common/.cache",
              home / ".var/app/org.mozilla.firefox/cache"})
            WipeEntered(wiper, cache);

    bool chromiumRunning = false;
    for (const fs::path& data :
         {FPlaces.ConfigHome / "chromium", home / "snap/chromium/common/chromium",
          home / ".var/app/org.chromium.Chromium/config/chromium"})
        chromiumRunning |= Exists(data / "SingletonLock");
    for (const std::string& name : NamesIn(FPlaces.ConfigHome, "google-chrome"))
        chromiumRunning |= Exists(FPlaces.ConfigHome / name / "SingletonLock");
    if (!chromiumRunning) {
        WipeEntered(wiper, FPlaces.CacheHome / "chromium");
        for (const std::string& name : NamesIn(FPlaces.CacheHome, "google-chrome"))
            WipeEntered(wiper, FPlaces.CacheHome / name);
        // The snap keeps its profiles in common/chromium; only its cache is wiped.
        WipeEntered(wiper, home / "snap/chromium/common/.cache");
        WipeEntered(wiper, home / ".var/app/org.chromium.Chromium/cache");
    }
    for (const fs::path& profile : ChromiumProfiles())
        for (const char* cache : {"Cache", "Code Cache", "GPUCache"})
            WipeEntered(wiper, profile / cache);
}

void TLinuxPrivacyRoutines::CleanHistory() {
    for (const fs::path& profile : ChromiumProfiles())
        for (const char* file : {"History", "Archived History", "Top Sites", "Shortcuts",
                                 "Visited Links", "Network Action Predictor"})
            RemoveWithJournal(profile / file);
    for (const fs::path& profile : FirefoxProfiles()) {
        if (Exists(profile / "places.sqlite"))
            PruneFirefoxHistory(profile / "places.sqlite");
        RemoveFile(profile / "downloads.sqlite");
    }
}

void TLinuxPrivacyRoutines::CleanCookies() {
    for (const fs::path& profile : FirefoxProfiles())
        for (const char* file :
             {"cookies.sqlite", "cookies.sqlite-wal", "cookies.sqlite-shm", "cookies.txt"})
            RemoveFile(profile / file);
    for (const fs::path& profile : ChromiumProfiles())
        for (const char* file : {"Cookies", "Network/Cookies", "Extension Cookies"})
            RemoveWithJournal(profile / file);
}

void TLinuxPrivacyRoutines::CleanRecentFolders() {
    for (const std::string& name : NamesIn(FPlaces.DataHome, "recently-used.xbel"))
        RemoveFile(FPlaces.DataHome / name);
    for (const std::string& name : NamesIn(FPlaces.Home, ".recently-used"))
        RemoveFile(FPlaces.Home / name);
    Wiper().Wipe(FPlaces.DataHome / "RecentDocuments");
}

void TLinuxPrivacyRoutines::CleanTempFolders() {
    TPrivacyWipe wiper = Wiper();
    if (!FPlaces.TmpDir.empty())
        wiper.WipeTemp(FPlaces.TmpDir, false);
    wiper.WipeTemp(FPlaces.SystemTemp, true);
}

bool TLinuxPrivacyRoutines::OwnFolder(const fs::path& path) const {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == FPlaces.Uid;
}

std::string TLinuxPrivacyRoutines::EmptyRecycleBin() {
    TPrivacyWipe wiper = Wiper();
    wiper.WipeTrash(FPlaces.DataHome / "Trash");
    const std::string uid = std::to_string(FPlaces.Uid);
    for (const TVolumeInfo& volume : Volumes().List()) {
        const fs::path top = volume.Root;
        struct stat st;
        // A shared trash counts only as a real folder with the sticky bit, never a link.
        // Anybody may make folders in it, so our folder there must also be ours (which the
        // wipe checks again on the folder it opens).
        if (lstat((top / ".Trash").c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            (st.st_mode & S_ISVTX) && OwnFolder(top / ".Trash" / uid))
            wiper.WipeTrash(top / ".Trash" / uid);
        if (OwnFolder(top / (".Trash-" + uid)))
            wiper.WipeTrash(top / (".Trash-" + uid));
    }
    return {};
}

// Dangling links, and launchers whose program cannot be found on the user's own PATH.
void TLinuxPrivacyRoutines::RemoveBrokenLaunchersIn(
    const fs::path& folder, const TSearchPathSource& searchPath) const {
    const auto broken = [&](const TDeleteCandidate& c) {
        const fs::path path = folder / std::string(c.Name);
        if (c.Kind == TEntryKind::Link)
            return Dangling(path) ? TDeleteVerdict::Delete : TDeleteVerdict::Keep;
        if (c.Kind != TEntryKind::File || !c.Name.ends_with(".desktop"))
            return TDeleteVerdict::Keep;
        const std::string program = LauncherProgram(path);
        return !program.empty() && !ProgramExists(program, searchPath) ? TDeleteVerdict::Delete
                                                                       : TDeleteVerdict::Keep;
    };
    EmptyFolder(folder, broken,
                [this](const TDeleteCandidate& start) { return start.Owner == FPlaces.Uid; });
}

void TLinuxPrivacyRoutines::CleanBrokenShortcuts() {
    // Asking a login shell may take seconds: only a launcher that names a bare program needs
    // the search path, so it is made when the first one comes up.
    std::optional<std::vector<std::string>> folders;
    const TSearchPathSource searchPath = [&]() -> const std::vector<std::string>& {
        if (!folders)
            folders = UserSearchPath(FPlaces.Home, FPlaces.Shell);
        return *folders;
    };
    RemoveBrokenLaunchersIn(FPlaces.Desktop, searchPath);
    RemoveBrokenLaunchersIn(FPlaces.DataHome / "applications", searchPath);
    RemoveBrokenLaunchersIn(FPlaces.ConfigHome / "autostart", searchPath);
}

} // namespace Platform
