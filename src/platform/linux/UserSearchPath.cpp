#include "platform/linux/UserSearchPath.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace Platform {

namespace {

constexpr std::chrono::milliseconds ShellWait{3000};
// Put before the PATH in the shell's output, since a profile may print text of its own.
constexpr std::string_view Marker = "@@user-path@@";

void AddParts(const std::string& path, std::vector<std::string>& out) {
    size_t from = 0;
    while (from <= path.size()) {
        const size_t to = std::min(path.find(':', from), path.size());
        const std::string dir = path.substr(from, to - from);
        if (!dir.empty() && dir[0] == '/' && std::find(out.begin(), out.end(), dir) == out.end())
            out.push_back(dir);
        from = to + 1;
    }
}

// Everything the child writes until it ends or the time is up.
std::string ReadUntil(int fd, std::chrono::steady_clock::time_point deadline) {
    std::string out;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || out.size() > 1024 * 1024)
            break;
        struct pollfd p {
            fd, POLLIN, 0
        };
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready <= 0)
            break;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

} // namespace

std::string LoginShellPath(const fs::path& shell) {
    if (shell.empty() || access(shell.c_str(), X_OK) != 0)
        return {};
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // Its own process group, so that whatever the profile starts ends with it.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const std::string command = "printf '\\n" + std::string(Marker) + "%s\\n' \"$PATH\"";
    std::string arg0 = shell.native(), login = "-l", dashC = "-c", cmd = command;
    char* argv[] = {arg0.data(), login.data(), dashC.data(), cmd.data(), nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, shell.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return {};
    }
    const std::string out = ReadUntil(pipeFds[0], std::chrono::steady_clock::now() + ShellWait);
    close(pipeFds[0]);
    kill(-child, SIGKILL);
    waitpid(child, nullptr, 0);
    const size_t at = out.rfind(Marker);
    if (at == std::string::npos)
        return {};
    const size_t from = at + Marker.size();
    const size_t end = out.find('\n', from);
    return end == std::string::npos ? std::string() : out.substr(from, end - from);
}

std::vector<std::string> UserSearchPath(const fs::path& home, const fs::path& shell) {
    std::vector<std::string> dirs;
    if (!home.empty())
        AddParts((home / ".local/bin").native(), dirs);
    AddParts(LoginShellPath(shell), dirs);
    if (const char* own = std::getenv("PATH"))
        AddParts(own, dirs);
    return dirs;
}

} // namespace Platform
