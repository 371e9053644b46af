#include "platform/TSingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {
namespace {

std::string LockFolder() {
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/')
        return run;
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp == '/')
        return tmp;
    return "/tmp";
}

} // namespace

// flock() on a file stands for the named mutex: the kernel drops the lock when the process
// dies, so a killed copy never blocks the next start (the "abandoned mutex" case).
TSingleInstance::TSingleInstance(const std::string& name) {
    std::string path = LockFolder() + "/" + name + "-" + std::to_string(getuid()) + ".lock";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return; // no lock can be made: run rather than refuse
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            FState = TInstanceState::AlreadyRunning;
        close(fd);
        return;
    }
    FHandle = fd;
}

TSingleInstance::~TSingleInstance() {
    if (FHandle >= 0)
        close(static_cast<int>(FHandle));
}

} // namespace Platform
