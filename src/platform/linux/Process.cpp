#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Platform {

bool StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty())
        return false;
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // Double fork: the short-lived middle child starts the program in a new session and
    // exits at once, so the program is adopted by init and never becomes our zombie.
    pid_t first = fork();
    if (first < 0)
        return false;
    if (first == 0) {
        setsid();
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        pid_t child = 0;
        int rc = posix_spawnp(&child, args[0], nullptr, &attr, args.data(), environ);
        posix_spawnattr_destroy(&attr);
        _exit(rc == 0 ? 0 : 127);
    }
    int status = 0;
    while (waitpid(first, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace Platform
