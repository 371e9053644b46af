#include "platform/TSingleInstance.h"

#include "platform/linux/TFd.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? value : "";
}

// A real folder (not a link: it was opened with O_NOFOLLOW) of this user that nobody
// else may enter.
bool IsOwnPrivateFolder(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

// The folder name inside parent, made 0700 when missing, or -1 when what is there is not
// a private folder of this user: another user who made it first in a shared folder must
// not hold our lock, nor make us exit.
int OpenOwnFolder(const std::string& parent, const std::string& name) {
    if (parent.empty())
        return -1;
    const TFd parentFd(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parentFd.Get() < 0)
        return -1;
    if (mkdirat(parentFd.Get(), name.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    TFd fd(openat(parentFd.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    return fd.Get() >= 0 && IsOwnPrivateFolder(fd.Get()) ? fd.Release() : -1;
}

// Where the lock lies: the session's runtime folder, which only this user can reach.
// Without one, a folder of this user's own in the temporary folder, or, when that name
// is taken by someone else, in the user's cache folder.
int OpenLockFolder() {
    if (const std::string run = AbsoluteEnv("XDG_RUNTIME_DIR"); !run.empty())
        return open(run.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string temp = AbsoluteEnv("TMPDIR");
    if (temp.empty())
        temp = "/tmp";
    const int fd = OpenOwnFolder(temp, "morvane-" + std::to_string(geteuid()));
    if (fd >= 0)
        return fd;
    std::string cache = AbsoluteEnv("XDG_CACHE_HOME");
    if (cache.empty() && !AbsoluteEnv("HOME").empty()) {
        cache = AbsoluteEnv("HOME") + "/.cache";
        mkdir(cache.c_str(), 0700);
    }
    return OpenOwnFolder(cache, "morvane");
}

// The lock file, when it is a plain file of this user; -1 otherwise.
int OpenLockFile(int folderFd, const std::string& fileName) {
    TFd fd(openat(folderFd, fileName.c_str(),
                  O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat st {};
    if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid())
        return -1;
    return fd.Release();
}

} // namespace

// flock() on a file stands for the named mutex: the kernel drops the lock when the process
// dies, so a killed copy never blocks the next start (the "abandoned mutex" case). Only a
// lock that this user's own file holds counts: when no such file can be had, the copy
// runs rather than refuse.
TSingleInstance::TSingleInstance(const std::string& name) {
    const TFd folder(OpenLockFolder());
    if (folder.Get() < 0)
        return;
    TFd fd(OpenLockFile(folder.Get(), name + "-" + std::to_string(getuid()) + ".lock"));
    if (fd.Get() < 0)
        return;
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            FState = TInstanceState::AlreadyRunning;
        return;
    }
    FHandle = fd.Release();
}

TSingleInstance::~TSingleInstance() {
    if (FHandle >= 0)
        close(static_cast<int>(FHandle));
}

} // namespace Platform
