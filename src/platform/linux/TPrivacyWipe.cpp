#include "platform/linux/TPrivacyWipe.h"

#include "platform/IPrivacyRoutines.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <string>
#include <string_view>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Platform {

namespace {

// The files some running process holds open: Linux lets them be deleted, but a program
// that is writing its temporary file would lose it.
std::set<TFileIdentity> ReadOpenFiles() {
    std::set<TFileIdentity> ids;
    DIR* proc = opendir("/proc");
    if (!proc)
        return ids;
    while (const dirent* p = readdir(proc)) {
        if (p->d_name[0] < '0' || p->d_name[0] > '9')
            continue;
        const std::string fdDir = std::string("/proc/") + p->d_name + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (const dirent* f = readdir(fds)) {
            struct stat st;
            if (f->d_name[0] != '.' && stat((fdDir + "/" + f->d_name).c_str(), &st) == 0)
                ids.insert({st.st_dev, st.st_ino});
        }
        closedir(fds);
    }
    closedir(proc);
    return ids;
}

// Folders of the temporary folder that running sessions and services keep their sockets
// and private files in.
bool IsServiceFolder(std::string_view name) {
    static constexpr std::array<std::string_view, 5> socketFolders = {
        ".X11-unix", ".ICE-unix", ".XIM-unix", ".font-unix", ".Test-unix"};
    for (std::string_view s : socketFolders)
        if (name == s)
            return true;
    return name.starts_with("systemd-private-") || name.starts_with("snap-private-tmp");
}

// ".X<display>-lock", the lock of an X display.
bool IsDisplayLock(std::string_view name) {
    if (!name.starts_with(".X") || !name.ends_with("-lock") || name.size() <= 7)
        return false;
    for (char c : name.substr(2, name.size() - 7))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The lock holds the server's process number; a lock that cannot be read counts as held.
bool DisplayRunning(const fs::path& lock) {
    std::ifstream in(lock);
    std::string text;
    if (!std::getline(in, text))
        return true;
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos)
        return true;
    long pid = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), pid);
    (void)end;
    if (ec != std::errc() || pid <= 0)
        return true;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

bool TPrivacyWipe::InUse(const TFileIdentity& id) {
    if (!FOpenFiles)
        FOpenFiles = ReadOpenFiles();
    return FOpenFiles->count(id) != 0;
}

TDeleteVerdict TPrivacyWipe::Ordinary(const TDeleteCandidate& c) {
    if (c.Owner != FUid || c.Kind == TEntryKind::Other)
        return TDeleteVerdict::Keep; // another user's, or a running program's socket or pipe
    if (c.Kind == TEntryKind::File && InUse(c.Id))
        return TDeleteVerdict::Keep;
    return TDeleteVerdict::Delete;
}

TDeleteReport TPrivacyWipe::Wipe(const fs::path& folder) {
    return EmptyFolder(
        folder, [this](const TDeleteCandidate& c) { return Ordinary(c); },
        [this](const TDeleteCandidate& start) { return OwnStart(start); });
}

TDeleteReport TPrivacyWipe::WipeTemp(const fs::path& folder, bool shared) {
    constexpr int64_t RecentSeconds = 3600;
    const auto keep = [&](const TDeleteCandidate& c) {
        if (c.Depth == 0 && IsServiceFolder(c.Name))
            return TDeleteVerdict::Keep;
        if (c.Depth == 0 && IsDisplayLock(c.Name) && DisplayRunning(folder / std::string(c.Name)))
            return TDeleteVerdict::Keep;
        if (c.ChangedUnix > FNow - RecentSeconds)
            return TDeleteVerdict::Keep; // a program may be at work there
        return Ordinary(c);
    };
    const auto start = [&](const TDeleteCandidate& s) {
        return OwnStart(s) || (shared && s.Owner == 0 && (s.Mode & S_ISVTX));
    };
    return EmptyFolder(folder, keep, start);
}

TDeleteReport TPrivacyWipe::WipeTrash(const fs::path& trash) {
    const auto keep = [this](const TDeleteCandidate& c) {
        if (c.Depth > 0)
            return Ordinary(c);
        const bool part = c.Name == "files" || c.Name == "info" || c.Name == "expunged";
        if (part && c.Kind == TEntryKind::Folder)
            return TDeleteVerdict::Empty;
        if (c.Name == "directorysizes" && c.Kind == TEntryKind::File)
            return Ordinary(c);
        return TDeleteVerdict::Keep;
    };
    return EmptyFolder(trash, keep,
                       [this](const TDeleteCandidate& start) { return OwnStart(start); });
}

void WipeFolderContents(const fs::path& folder) {
    TPrivacyWipe(getuid(), time(nullptr)).Wipe(folder);
}

} // namespace Platform
